// Walking block by block: collision, the step animation and encounters.
#include <algorithm>

#include "base/log.h"
#include "base/numbers.h"
#include "base/platform.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"

int ismoving = MOVE_NONE;
void (*WildEncounter)(int species, int level) = nullptr;

int check_collision(int from, int to, int dir) {
    if (from < 0 || from >= BLCKSTRCTMAX || to < 0 || to >= BLCKSTRCTMAX) return 1;
    const blockstruct &a = CurrBlckStruct[from];
    const blockstruct &b = CurrBlckStruct[to];
    bool walled;
    switch (dir) {
    case DIR_UP: walled = a.walltop == 1 || b.wallbottom == 1; break;
    case DIR_RIGHT: walled = a.wallright == 1 || b.wallleft == 1; break;
    case DIR_DOWN: walled = a.wallbottom == 1 || b.walltop == 1; break;
    case DIR_LEFT: walled = a.wallleft == 1 || b.wallright == 1; break;
    default:
        logfmt(LOG_MAJOR, LOGCAT_PROGRAM, "Invalid direction %u passed to check_collision", (unsigned)dir);
        return 1;
    }
    if (walled) return 1;
    // Water can only be entered with the swimming frames.
    if (b.blocktype == BLOCK_WATER && (playerspriteanim < FRAME_SWIMFIRST || playerspriteanim > FRAME_SWIMLAST))
        return 2;
    if (b.blocktype == BLOCK_CLOSED) return 3;
    if (b.obstacle != 0) return 4;
    return 0;
}

// The block structure index at a map position, or -1 when the position is
// outside the map (or the grid) or holds a number without a block structure.
static int BlockAt(long long x, long long y) {
    if (x < 0 || y < 0 || x >= MAPARRAYMAX || y >= MAPARRAYMAX) return -1;
    if (x >= CurrMap.maparrayx || y >= CurrMap.maparrayy) return -1;
    int block = CurrMapArray[y][x].block;
    if (block < 0 || block >= CurrMap.blckstrctcnt || block >= BLCKSTRCTMAX) return -1;
    return block;
}

// Asks whether the step is allowed; a target without a block is blocked.
static int StepCollision(long long px, long long py, long long tx, long long ty, int dir) {
    int from = BlockAt(px, py), to = BlockAt(tx, ty);
    if (to < 0) return 1;
    if (from < 0) from = to;  // standing on no block: only the target's sides count
    return check_collision(from, to, dir);
}

// Starts the step: moves the player's block and takes the walking frame;
// false when no step is made.
static bool BeginStep(int dir) {
    if (dir < DIR_UP || dir > DIR_LEFT) {
        log(LOG_MAJOR, LOGCAT_PROGRAM, "Moving without valid movedir");
        return false;
    }
    const long long tx = (long long)playertilex + STEPX[dir], ty = (long long)playertiley + STEPY[dir];
    if (StepCollision(playertilex, playertiley, tx, ty, dir) != 0) return false;
    playerspriteanim = FRAME_WALK + dir - 1;
    playertilex = (int)tx;
    playertiley = (int)ty;
    return true;
}

// A value `part` of `whole` frames of the way from `from` to `to`.
static int Between(int from, int to, int part, int whole) {
    return (int)(from + ((long long)to - from) * part / whole);
}

// The step's animation, one pixel a frame, shown the way the camera will end
// up: where the camera for the new block differs from the camera for the old
// one the map scrolls, elsewhere the sprite walks, and at an edge the view
// reaches in part both share the way.
static void AnimateStep(int dir, int fromx, int fromy) {
    const cameraview from = CameraFor(fromx, fromy), to = CameraFor(playertilex, playertiley);
    const long long bw = CurrMap.blockwidth, bh = CurrMap.blockheight;
    ismoving = (from.xpxl != to.xpxl || from.ypxl != to.ypxl) ? MOVE_SCROLL : MOVE_WALK;
    mapxtile = std::min(from.xtile, to.xtile);
    mapytile = std::min(from.ytile, to.ytile);
    const bool across = dir == DIR_LEFT || dir == DIR_RIGHT;
    const int frames = across ? (int)bw : (int)bh;
    const int sign = (dir == DIR_RIGHT || dir == DIR_DOWN) ? 1 : -1;
    for (int i = 1; i <= frames; i++) {
        // The sprite moves one pixel over the map; the view follows its share.
        mapxpxl = Between(from.xpxl, to.xpxl, i, frames);
        mapypxl = Between(from.ypxl, to.ypxl, i, frames);
        const long long onmapx = fromx * bw + (across ? sign * i : 0);
        const long long onmapy = fromy * bh + (across ? 0 : sign * i);
        plx = (int)(onmapx - mapxpxl);
        ply = (int)(onmapy - mapypxl);
        DrawMap(plx, ply);
        ShowBuffer(backbuffer);
    }
    PlaceCamera(playertilex, playertiley);
    PlaceSprite();
}

int EncounterEntry(int r) {
    if (r < 30) return 0;
    if (r < 60) return 1;
    if (r < 80) return 2;
    if (r < 90) return 3;
    if (r < 95) return 4;
    if (r < 99) return 5;
    return 6;
}

const wildentry *WildTableForHour(int hour) {
    if (hour >= 6 && hour <= 11) return CurrMap.mornmons;
    if (hour >= 12 && hour <= 17) return CurrMap.daymons;
    return CurrMap.nightmons;
}

int WildLevel(int tablelevel, int levelrise) {
    if (tablelevel < 1 || tablelevel > MAXLEVEL) return tablelevel;
    return (int)Saturate((long long)tablelevel + levelrise, 1, MAXLEVEL);
}

// A completed step onto encounter ground may meet a wild creature, the
// stronger for the block's level rise.
static void CheckEncounter(const blockstruct &block) {
    if (random(CurrMap.wilddensity - 1) != 0) return;
    int entry = EncounterEntry(random(100));
    const wildentry *table = WildTableForHour(LocalHour());
    if (WildEncounter) WildEncounter(table[entry].species, WildLevel(table[entry].level, block.levelrise));
}

const char *const RESTNOTICE = "Your creatures are rested.";

int move_player(int dir) {
    const int fromx = playertilex, fromy = playertiley;
    if (!BeginStep(dir)) return 1;
    AnimateStep(dir, fromx, fromy);

    // The sprite keeps its stride on kind-4 ground; elsewhere it stands.
    int here = BlockAt(playertilex, playertiley);
    ismoving = MOVE_NONE;
    if (here < 0 || CurrBlckStruct[here].blocktype != BLOCK_KEEPSTRIDE) playerspriteanim -= FRAME_WALK - FRAME_STAND;
    if (here < 0) return 0;
    if (CurrBlckStruct[here].blocktype == BLOCK_ENCOUNTER) CheckEncounter(CurrBlckStruct[here]);
    // Rest ground heals every time, even a party already whole, so the
    // player learns what the ground does.
    if (CurrBlckStruct[here].blocktype == BLOCK_REST) {
        RestParty();
        ShowPassingNotice(RESTNOTICE);
    }
    return 0;
}
