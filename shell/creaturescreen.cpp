// The creature screen, opened from the map: the carried creatures one at a
// time, in party order, with their picture, stats and moves. It only looks:
// no record changes and no random number is drawn.
#include <allegro.h>

#include <algorithm>
#include <string>

#include "base/input.h"
#include "base/log.h"
#include "base/platform.h"
#include "battle/battle.h"
#include "fileload/fileload.h"
#include "shell/main.h"

namespace {

// The page's columns: the picture's frame at the left, the creature's
// summary beside it, and the 8-pixel font's characters that fit there.
constexpr int MARGIN = 8, RIGHTEDGE = WINDOWSIZE - MARGIN;
constexpr int PICTUREX = MARGIN, PICTUREY = 24;
constexpr int INFOX = 132, BARX = INFOX + 24;
constexpr size_t NAMECOLUMNS = (RIGHTEDGE - INFOX) / 8;
constexpr int STATSY = 148, MOVESY = 212, ROWHEIGHT = 14;
constexpr int TYPEX = 148, RIGHTCOLUMNX = 188;

// What the keys held in one look say: another creature, or close.
constexpr unsigned HELD_PREVIOUS = 1, HELD_NEXT = 2, HELD_CLOSE = 4;

unsigned HeldKeys() {
    // Each is asked every time, so that a short press of any is seen once.
    const bool previous = ActionDown(ACTION_UP), next = ActionDown(ACTION_DOWN);
    const bool close = ActionDown(ACTION_CREATURES) | ActionDown(ACTION_BACK) | KeyDown(KEY_ESC);
    return (previous ? HELD_PREVIOUS : 0) | (next ? HELD_NEXT : 0) | (close ? HELD_CLOSE : 0);
}

int TitleColour() { return makecol(40, 72, 128); }

void Text(BITMAP *page, int x, int y, const std::string &text, int colour) {
    textout_ex(page, font, text.c_str(), x, y, colour, -1);
}

void RightText(BITMAP *page, int right, int y, const std::string &text, int colour = blkclr) {
    textout_right_ex(page, font, text.c_str(), right, y, colour, -1);
}

// A heading in the title's colour, underlined across the page.
void Heading(BITMAP *page, int y, const char *text) {
    Text(page, MARGIN, y, text, TitleColour());
    hline(page, MARGIN, y + 10, RIGHTEDGE, TitleColour());
}

const ownedvorl &PartyVorlet(int position) { return MainPlayer.owned[MainPlayer.party[position]]; }

// The front picture as a battle shows it, shiny or not; none (after the
// loader's one line in the log) when it is missing or unreadable.
BITMAP *FrontPicture(const ownedvorl &vorlet) {
    PALETTE pal;
    return LoadPicture(Format(vorlet.shiny == 1 ? SHINYFRONTPICTURE : FRONTPICTURE, (unsigned)vorlet.species), pal);
}

void DrawSummary(BITMAP *page, const ownedvorl &v) {
    std::string name = v.nickname.size() > NAMECOLUMNS ? v.nickname.substr(0, NAMECOLUMNS - 1) + "." : v.nickname;
    Text(page, INFOX, 26, name, blkclr);
    Text(page, INFOX, 38, Format("Lv %d", v.level), blkclr);
    static const char *const genders[] = {"", "Male", "Female"};
    const int gender = GetGender(v.species, v.atkiv);
    Text(page, INFOX + 64, 38, genders[gender], gender == 2 ? makecol(192, 32, 96) : makecol(32, 80, 200));
    const vrltinfo &species = VrltData[v.species];
    std::string types = vltypes[species.type1].name;
    if (species.type2 != species.type1) types += std::string("/") + vltypes[species.type2].name;
    Text(page, INFOX, 50, "Type " + types, blkclr);
    const bool ill = v.status > STATUS_NONE && v.status <= STATUS_FAINTED;
    Text(page, INFOX, 62, std::string("Status ") + (ill ? vorlstatus[v.status].name : "OK"), blkclr);
    Text(page, INFOX, 78, "HP", blkclr);
    DrawHPBar(page, v, BARX, 77);
    Text(page, BARX + 112, 78, Format("%d/%d", v.hp, v.maxhp), blkclr);
    Text(page, INFOX, 94, "Exp", blkclr);
    DrawExpBar(page, v, BARX, 93);
    Text(page, INFOX, 110, "Exp. points", blkclr);
    RightText(page, RIGHTEDGE, 110, Format("%d", v.exp));
    if (v.level >= MAXLEVEL) {
        Text(page, INFOX, 124, "Highest level", blkclr);
    } else {
        Text(page, INFOX, 124, Format("To level %d", v.level + 1), blkclr);
        RightText(page, RIGHTEDGE, 124, Format("%d", std::max(ExpNeededForLevel(v.level + 1, v.species) - v.exp, 0)));
    }
}

void DrawStats(BITMAP *page, const ownedvorl &v) {
    Heading(page, STATSY, "Stats");
    const struct { const char *name; int value; } stats[] = {{"HP max", v.maxhp},       {"Speed", v.speed},
                                                            {"Attack", v.attack},       {"Sp. Attack", v.spattack},
                                                            {"Defense", v.defense},     {"Sp. Defense", v.spdefense}};
    for (int i = 0; i < 6; i++) {
        const int x = i % 2 ? RIGHTCOLUMNX : MARGIN + 4, y = STATSY + 16 + ROWHEIGHT * (i / 2);
        Text(page, x, y, stats[i].name, blkclr);
        RightText(page, x + 152, y, Format("%d", stats[i].value));
    }
}

void DrawMoves(BITMAP *page, const ownedvorl &v) {
    Heading(page, MOVESY, "Moves");
    Text(page, TYPEX, MOVESY, "Type", TitleColour());
    RightText(page, RIGHTEDGE, MOVESY, "PP", TitleColour());
    for (int slot = 0; slot < MOVESLOTS; slot++) {
        const moveslot &m = v.moves[slot];
        const int y = MOVESY + 16 + ROWHEIGHT * slot;
        if (m.move < 1 || m.move >= MOVECOUNT) {
            Text(page, MARGIN + 4, y, "-", blkclr);
            continue;
        }
        Text(page, MARGIN + 4, y, MoveData[m.move].name, blkclr);
        Text(page, TYPEX, y, vltypes[MoveData[m.move].type].name, blkclr);
        RightText(page, RIGHTEDGE, y, Format("%d/%d", m.pp, m.maxpp));
    }
}

void DrawPage(BITMAP *page, int position, BITMAP *picture) {
    const ownedvorl &v = PartyVorlet(position);
    clear_to_color(page, whtclr);
    rectfill(page, 0, 0, WINDOWSIZE - 1, 15, TitleColour());
    Text(page, MARGIN, 4, "Your Vorlets", whtclr);
    RightText(page, RIGHTEDGE, 4, Format("%d/%d", position + 1, MainPlayer.partycount), whtclr);
    // The picture doubled, as the battle shows the opposing creature.
    rect(page, PICTUREX, PICTUREY, PICTUREX + 2 * FRONTPICTURESIZE + 1, PICTUREY + 2 * FRONTPICTURESIZE + 1, blkclr);
    if (picture) {
        const int w = std::min(FRONTPICTURESIZE, picture->w), h = std::min(FRONTPICTURESIZE, picture->h);
        masked_stretch_blit(picture, page, 0, 0, w, h, PICTUREX + 1, PICTUREY + 1, w * 2, h * 2);
    }
    DrawSummary(page, v);
    DrawStats(page, v);
    DrawMoves(page, v);
    const std::string others = MainPlayer.partycount > 1
                                   ? Format("%s/%s: another   ", ActionKeyName(ACTION_UP), ActionKeyName(ACTION_DOWN))
                                   : "";
    hline(page, MARGIN, 326, RIGHTEDGE, makecol(160, 160, 160));
    Text(page, MARGIN, 334, others + ActionKeyName(ACTION_CREATURES) + "/ESC: close", makecol(96, 96, 96));
}

}  // namespace

void CreatureScreen() {
    const int count = MainPlayer.partycount;
    if (count < 1 || count > PARTYMAX) return;
    BITMAP *page = create_bitmap(WINDOWSIZE, WINDOWSIZE);
    if (!page) {
        log(LOG_MINOR, LOGCAT_PROGRAM, "No memory for the creature screen");
        return;
    }
    BITMAP *pictures[PARTYMAX] = {};
    for (int i = 0; i < count; i++) pictures[i] = FrontPicture(PartyVorlet(i));
    // The key that opened the screen acts again only once let go.
    unsigned before = HeldKeys();
    int position = 0;
    bool redraw = true;
    while (!CloseRequested()) {
        if (redraw) DrawPage(page, position, pictures[position]);
        redraw = false;
        const bool shown = ShowBuffer(page);
        const unsigned now = HeldKeys(), pressed = now & ~before;
        before = now;
        if (pressed & HELD_CLOSE) break;
        // Past the last creature comes the first again, and the other way.
        const int step = (pressed & HELD_NEXT ? 1 : 0) - (pressed & HELD_PREVIOUS ? 1 : 0);
        if (step) position = (position + step + count) % count, redraw = true;
        if (!shown && !pressed) WaitTick();
    }
    // The closing key is let go here, so that the map takes it for nothing
    // (Escape would ask to quit).
    while ((HeldKeys() & HELD_CLOSE) && !CloseRequested()) WaitTick();
    for (BITMAP *picture : pictures)
        if (picture) destroy_bitmap(picture);
    destroy_bitmap(page);
}
