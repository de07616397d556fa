// Battle state, start, end and running.
//
// Stand-ins until battles are built: a wild encounter is logged and the
// player walks on; the battle-state entry points keep the game loop's
// dispatch whole (a turn returns to the main menu, running ends the battle,
// the screen is cleared).
#include "battle/battle.h"

#include "shell/log.h"

int currentgamestate = GAMESTATE_OVERWORLD;
BITMAP *battlebackbuffer = nullptr;
BITMAP *enemyvorlet = nullptr;
BITMAP *ownvorletb = nullptr;
int whtclr = 0;
int blkclr = 0;

battlerecord battleinfo;
int32_t currbattletype = 0;
ownedvorl wildvorlet;

void StartBattle(int battletype, int id, int level) {
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Entering a battletype %u, id %u and level %u", (unsigned)battletype,
           (unsigned)id, (unsigned)level);
}

static void Recreate(BITMAP *&bmp, int w, int h) {
    if (bmp) destroy_bitmap(bmp);
    bmp = create_bitmap(w, h);
}

void CreateBattleBuffers(bool pictures) {
    Recreate(battlebackbuffer, 500, 500);
    if (battlebackbuffer) clear_to_color(battlebackbuffer, 0);
    if (!pictures) return;
    Recreate(enemyvorlet, 60, 60);
    Recreate(ownvorletb, 50, 50);
}

void StartWildBattle(int species, int level) { StartBattle(BATTLETYPE_WILD, species, level); }

void EndBattle() { currentgamestate = GAMESTATE_OVERWORLD; }

void RunFromBattle(unsigned char) { EndBattle(); }

void DrawBattle() {
    if (battlebackbuffer) clear_bitmap(battlebackbuffer);
}

void BattleAttack() {
    battleinfo.playerchose = 0;
    battleinfo.menupage = 0;
}
