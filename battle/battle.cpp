// Battle state, start, end and running; the battle screen and the message step.
#include "battle/battle.h"

#include <algorithm>
#include <cstdio>

#include "base/input.h"
#include "base/log.h"
#include "base/platform.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"

BITMAP *battlebackbuffer = nullptr;
BITMAP *enemyvorlet = nullptr;
BITMAP *ownvorletb = nullptr;
std::vector<writtentext> *battletranscript = nullptr;

battlerecord battleinfo;
int32_t currbattletype = 0;
ownedvorl wildvorlet;

void ResetBattle() {
    battleinfo = battlerecord();
    currbattletype = 0;
    wildvorlet = ownedvorl();
}

ownedvorl &PlayerVorlet() { return MainPlayer.owned[MainPlayer.party[battleinfo.activeslot]]; }

static void Recreate(BITMAP *&bmp, int w, int h) {
    if (bmp) destroy_bitmap(bmp);
    bmp = create_bitmap(w, h);
}

// Clears a creature picture to the mask colour: nothing of it is drawn.
static void ClearPicture(BITMAP *picture) {
    if (picture) clear_to_color(picture, bitmap_mask_color(picture));
}

void CreateBattleBuffers(bool pictures) {
    Recreate(battlebackbuffer, SURFACESIZE, SURFACESIZE);
    if (battlebackbuffer) clear_to_color(battlebackbuffer, 0);
    if (!pictures) return;
    Recreate(enemyvorlet, 60, 60);
    Recreate(ownvorletb, 50, 50);
    ClearPicture(enemyvorlet);
    ClearPicture(ownvorletb);
}

// ---------------------------------------------------------------------------
// The battle screen


void BattleText(int x, int y, const std::string &text) {
    if (battletranscript) battletranscript->push_back({x, y, text});
    if (battlebackbuffer) textout_ex(battlebackbuffer, font, text.c_str(), x, y, blkclr, -1);
}

void MessageLine(int line, const std::string &text) {
    BattleText(MESSAGEX, MESSAGEY + LINEHEIGHT * line, FitText(text, MESSAGECHARS));
}

int MessageLines(const std::string &text, int maxlines) {
    const std::vector<std::string> lines = FitLines(text, MESSAGECHARS, maxlines);
    for (size_t i = 0; i < lines.size(); i++) MessageLine((int)i, lines[i]);
    return (int)lines.size();
}

// The background, and the frame around the message and menu area.
static void BlankBattleScreen() {
    clear_to_color(battlebackbuffer, 0);
    rectfill(battlebackbuffer, 1, 1, 375, 375, whtclr);
    rect(battlebackbuffer, 2, 270, 350, 350, blkclr);
}

// A picture doubled at (x, y) from its top-left size x size area, or from
// the whole of a smaller picture.
static void DrawDoubled(BITMAP *picture, int size, int x, int y) {
    if (!picture) return;
    int w = std::min(size, picture->w), h = std::min(size, picture->h);
    masked_stretch_blit(picture, battlebackbuffer, 0, 0, w, h, x, y, w * 2, h * 2);
}

static void DrawEnemyPicture() { DrawDoubled(enemyvorlet, FRONTPICTURESIZE, 230, 5); }
static void DrawOwnPicture() { DrawDoubled(ownvorletb, BACKPICTURESIZE, 5, 170); }

static const char *GenderMark(const ownedvorl &vorlet) {
    static const char *const marks[] = {" ", "M", "F"};
    return marks[GetGender(vorlet.species, vorlet.atkiv)];
}

static const char *StatusText(const ownedvorl &vorlet) {
    bool known = vorlet.status >= STATUS_NONE && vorlet.status <= STATUS_FAINTED;
    return vorlstatus[known ? vorlet.status : STATUS_NONE].abbrev;
}

// Share of `part` in `whole` as 0 to 100 pixels.
static int BarLength(long long part, long long whole) { return (int)std::clamp(part * 100 / whole, 0LL, 100LL); }

void DrawHPBar(BITMAP *target, const ownedvorl &vorlet, int x, int y) {
    if (vorlet.maxhp > 0) {
        int p = BarLength(vorlet.hp, vorlet.maxhp);
        int colour = p >= 50 ? makecol(0, 255, 0) : p >= 25 ? makecol(255, 128, 0) : makecol(255, 0, 0);
        rectfill(target, x + 2, y + 2, x + 2 + p, y + 7, colour);
    }
    rect(target, x, y, x + 104, y + 9, blkclr);
}

void DrawExpBar(BITMAP *target, const ownedvorl &vorlet, int x, int y) {
    // A species without a valid growth rate has one threshold for every
    // level: its bar stays full.
    int lo = ExpNeededForLevel(vorlet.level, vorlet.species);
    int hi = ExpNeededForLevel(vorlet.level + 1, vorlet.species);
    int length = hi > lo ? BarLength((long long)vorlet.exp - lo, (long long)hi - lo) : 100;
    rectfill(target, x + 2, y + 2, x + 2 + length, y + 7, makecol(0, 0, 255));
    rect(target, x, y, x + 104, y + 9, blkclr);
}

// The characters of a name inside a status box.
constexpr int STATUSBOXCHARS = 13;

// The summary line "status :Llevel gender", ending at x = right.
static void DrawLevelLine(const ownedvorl &vorlet, int right, int y) {
    std::string line = Format("%s :L%u %s", StatusText(vorlet), (unsigned)vorlet.level, GenderMark(vorlet));
    textout_right_ex(battlebackbuffer, font, line.c_str(), right, y, blkclr, -1);
}

void DrawEnemyHPBox() {
    if (!battlebackbuffer || currbattletype != BATTLETYPE_WILD) return;
    rect(battlebackbuffer, 5, 5, 120, 45, blkclr);
    textout_ex(battlebackbuffer, font, FitText(VrltData[wildvorlet.species].name, STATUSBOXCHARS).c_str(), 10, 10, blkclr, -1);
    DrawLevelLine(wildvorlet, 115, 20);
    DrawHPBar(battlebackbuffer, wildvorlet, 10, 30);
}

void DrawTrainerHPBox() {
    if (!battlebackbuffer) return;
    const ownedvorl &own = PlayerVorlet();
    rect(battlebackbuffer, 230, 200, 345, 260, blkclr);
    textout_ex(battlebackbuffer, font, FitText(own.nickname, STATUSBOXCHARS).c_str(), 235, 205, blkclr, -1);
    DrawLevelLine(own, 340, 215);
    DrawHPBar(battlebackbuffer, own, 235, 225);
    std::string hp = Format("%d/%d", own.hp, own.maxhp);
    textout_ex(battlebackbuffer, font, hp.c_str(), 235, 238, blkclr, -1);
    DrawExpBar(battlebackbuffer, own, 235, 248);
}

void DrawBattleNoText() {
    if (!battlebackbuffer) return;
    BlankBattleScreen();
    DrawEnemyHPBox();
    DrawEnemyPicture();
    DrawTrainerHPBox();
    DrawOwnPicture();
}

static void DrawMoveMenu(const ownedvorl &own) {
    int slot = 0;
    for (; slot < MOVESLOTS; slot++) {
        const moveslot &m = own.moves[slot];
        if (m.move < 1 || m.move >= MOVECOUNT) break;
        int y = MENUY + LINEHEIGHT * slot;
        std::string line = Format("%d. %s", slot + 1, MoveData[m.move].name);
        std::string pp = Format("%d/%d", m.pp, m.maxpp);
        textout_ex(battlebackbuffer, font, line.c_str(), MESSAGEX, y, blkclr, -1);
        textout_ex(battlebackbuffer, font, pp.c_str(), 120, y, blkclr, -1);
        textout_ex(battlebackbuffer, font, vltypes[MoveData[m.move].type].name, 200, y, blkclr, -1);
    }
    battleinfo.reserved2 = (uint8_t)slot;
    textout_ex(battlebackbuffer, font, "5. Cancel", MESSAGEX, MENUY + LINEHEIGHT * MOVESLOTS, blkclr, -1);
}

// A menu's question, on the two lines above its choices.
static void MenuTitle(const std::string &title) {
    const std::vector<std::string> lines = FitLines(title, MESSAGECHARS, (MENUY - MESSAGEY) / LINEHEIGHT);
    for (size_t i = 0; i < lines.size(); i++)
        textout_ex(battlebackbuffer, font, lines[i].c_str(), MESSAGEX, MESSAGEY + LINEHEIGHT * (int)i, blkclr, -1);
}

void DrawBattle() {
    if (!battlebackbuffer) return;
    DrawBattleNoText();
    const ownedvorl &own = PlayerVorlet();
    if (battleinfo.menupage == 0) {
        MenuTitle(Format("What should %s do?", own.nickname.c_str()));
        static const char *const lines[] = {"1. Fight", "2. Vorlet", "3. Pack", "4. Run"};
        for (int i = 0; i < 4; i++) textout_ex(battlebackbuffer, font, lines[i], MESSAGEX, MENUY + LINEHEIGHT * i, blkclr, -1);
    } else if (battleinfo.menupage == 1) {
        MenuTitle(Format("What should %s use?", own.nickname.c_str()));
        DrawMoveMenu(own);
    }
}

void WaitForSpace() {
    while (!ActionDown(ACTION_CONFIRM) && !CloseRequested()) WaitTick();
    while (ActionDown(ACTION_CONFIRM) && !CloseRequested()) WaitTick();
}

void BattleMessage(const std::string &text) {
    DrawBattleNoText();
    MessageLines(text);
    ShowBuffer(battlebackbuffer);
    WaitForSpace();
}

// ---------------------------------------------------------------------------
// Starting, ending and running

// Loads a creature picture in place of the old one; false when the file is
// missing. A file that cannot be read (logged) leaves the picture cleared,
// so the battle shows no creature there rather than another one.
static bool LoadBattlePicture(BITMAP *&picture, const char *format, int species) {
    std::string path = Format(format, (unsigned)species);
    if (!FileExists(path)) return false;
    PALETTE pal;
    BITMAP *loaded = LoadPicture(path, pal);
    if (loaded) {
        if (picture) destroy_bitmap(picture);
        picture = loaded;
    } else {
        ClearPicture(picture);
    }
    return true;
}

// The first party position whose creature has HP left, or -1.
static int FirstFitPosition() {
    if (MainPlayer.owned[MainPlayer.party[0]].hp > 0) return 0;
    for (int i = 1; i < PARTYMAX && i < MainPlayer.partycount; i++)
        if (MainPlayer.owned[MainPlayer.party[i]].hp > 0) return i;
    return -1;
}

static void ResetBattleState() {
    for (int i = 0; i < PARTYMAX; i++) battleinfo.participated[i] = battleinfo.grewlevel[i] = 0;
    battleinfo.participated[battleinfo.activeslot] = 1;
    for (int i = 0; i < STATCOUNT; i++) battleinfo.ownstages[i] = battleinfo.enemystages[i] = 0;
    battleinfo.ownsleep = PlayerVorlet().status == STATUS_ASLEEP ? (uint8_t)(random(6) + 1) : 0;
    battleinfo.enemysleep = battleinfo.ownfocus = battleinfo.enemyfocus = 0;
    battleinfo.ownaccuracy = battleinfo.ownevasion = battleinfo.enemyaccuracy = battleinfo.enemyevasion = 0;
}

void StartBattle(int battletype, int id, int level) {
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Entering a battletype %u, id %u and level %u", (unsigned)battletype,
           (unsigned)id, (unsigned)level);
    if (battletype == BATTLETYPE_WILD) {
        if (id == 0) {
            log(LOG_MAJOR, LOGCAT_PROJECT, "A wild battle was possible with a Vorlet number of 0!!");
            return;
        }
        ownedvorl wild;
        int known = CreateVorlet(wild, id, level, VORLET_WILD, nullptr);
        if (known < 0) {
            log(LOG_INFO, LOGCAT_PROJECT, "No wild battle: the wild Vorlet of the map's table could not be made");
            return;
        }
        wildvorlet = wild;
        battleinfo.enemymovecount = (uint8_t)known;
    } else if (battletype != BATTLETYPE_TRAINER) {
        log(LOG_MAJOR, LOGCAT_PROGRAM, "Unrecognised battletype!");
        return;
    }

    int position = FirstFitPosition();
    if (position < 0)
        log(LOG_MAJOR, LOGCAT_PROGRAM, "No non-fainted Vorlet for battle?!");
    else
        battleinfo.activeslot = position;
    ResetBattleState();
    currbattletype = battletype;
    currentgamestate = GAMESTATE_BATTLE;
    if (!battlebackbuffer) return;

    // The first screen: the wild creature appears.
    ClearScreen();
    BlankBattleScreen();
    if (currbattletype == BATTLETYPE_WILD) {
        MessageLine(0, Format("Wild %s appeared", VrltData[wildvorlet.species].name));
        const char *front = wildvorlet.shiny == 1 ? SHINYFRONTPICTURE : FRONTPICTURE;
        if (!LoadBattlePicture(enemyvorlet, front, wildvorlet.species)) {
            log(LOG_BREAKING, LOGCAT_PROGRAM, "Enemy Vorlet picture does not exist!!");
            return;
        }
        DrawEnemyPicture();
        ShowBuffer(battlebackbuffer);
        WaitForSpace();
    }

    // The second screen: the player's creature is sent out.
    BlankBattleScreen();
    DrawEnemyPicture();
    const ownedvorl &own = PlayerVorlet();
    MessageLine(0, Format("%s send out %s!", MainPlayer.name.c_str(), own.nickname.c_str()));
    DrawEnemyHPBox();
    if (own.shiny == 1) log(LOG_DEBUG, LOGCAT_PROGRAM, "It's shiny!!");
    const char *back = own.shiny == 1 ? SHINYBACKPICTURE : BACKPICTURE;
    if (!LoadBattlePicture(ownvorletb, back, own.species)) {
        log(LOG_BREAKING, LOGCAT_PROGRAM, "Own Vorlet back picture does not exist!!");
        return;
    }
    DrawOwnPicture();
    ShowBuffer(battlebackbuffer);
    WaitForSpace();
    battleinfo.menupage = 0;
}

void StartWildBattle(int species, int level) { StartBattle(BATTLETYPE_WILD, species, level); }

void EndBattle() {
    CheckForEvo();
    currentgamestate = GAMESTATE_OVERWORLD;
    ClearScreen();
    for (BITMAP *bmp : {backbuffer, enemyvorlet, ownvorletb})
        if (bmp) clear_to_color(bmp, 0);
}

void RunFromBattle(unsigned char) {
    if (currbattletype == BATTLETYPE_WILD) {
        BattleMessage(Format("%s ran away!", MainPlayer.name.c_str()));
        EndBattle();
    } else if (currbattletype == BATTLETYPE_TRAINER) {
        BattleMessage("No! There's no running from a trainer battle!");
    }
}
