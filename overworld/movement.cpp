// Walking block by block: collision, the step animation and encounters.
#include "battle/battle.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "shell/main.h"

int check_collision(int from, int to, int dir) {
    if (from < 0 || from >= BLCKSTRCTMAX || to < 0 || to >= BLCKSTRCTMAX) return 1;
    const blockstruct &a = CurrBlckStruct[from];
    const blockstruct &b = CurrBlckStruct[to];
    bool walled;
    switch (dir) {
    case 1: walled = a.walltop == 1 || b.wallbottom == 1; break;
    case 2: walled = a.wallright == 1 || b.wallleft == 1; break;
    case 3: walled = a.wallbottom == 1 || b.walltop == 1; break;
    case 4: walled = a.wallleft == 1 || b.wallright == 1; break;
    default:
        logfmt(LOG_MAJOR, LOGCAT_PROGRAM, "Invalid direction %u passed to check_collision", (unsigned)dir);
        return 1;
    }
    if (walled) return 1;
    // Water can only be entered with the swimming frames.
    if (b.blocktype == BLOCK_WATER && (playerspriteanim < 17 || playerspriteanim > 24)) return 2;
    if (b.blocktype == BLOCK_CLOSED) return 3;
    if (b.obstacle != 0) return 4;
    return 0;
}

// The block structure index at a map position, or -1 when the position is
// outside the map (or the grid) or holds a number without a block structure.
static int BlockAt(int x, int y) {
    if (x < 0 || y < 0 || x >= MAPARRAYMAX || y >= MAPARRAYMAX) return -1;
    if (x >= CurrMap.maparrayx || y >= CurrMap.maparrayy) return -1;
    int block = CurrMapArray[y][x].block;
    if (block < 0 || block >= CurrMap.blckstrctcnt || block >= BLCKSTRCTMAX) return -1;
    return block;
}

// Asks whether the step is allowed; a target without a block is blocked.
static int StepCollision(int px, int py, int tx, int ty, int dir) {
    int from = BlockAt(px, py), to = BlockAt(tx, ty);
    if (to < 0) return 1;
    if (from < 0) from = to;  // standing on no block: only the target's sides count
    return check_collision(from, to, dir);
}

// Column and row change of a step in each direction (1 up, 2 right, 3 down,
// 4 left).
static const int stepx[5] = {0, 0, 1, 0, -1};
static const int stepy[5] = {0, -1, 0, 1, 0};

// A step back along an axis (left or up): the map scrolls while the player
// stands past the view's middle and the view is not at the map's start.
static void BeginBack(int pos, int half, int &tile) {
    if (pos > half + 1 && tile > 0) {
        tile--;
        ismoving = 1;
        return;
    }
    if (pos > half + 1) tile = 0;
    ismoving = 2;
}

// A step forward along an axis (right or down): the map scrolls while the
// player stands past the middle and the view has map left beyond it.
static void BeginForward(int pos, int half, int tile, int mapblocks, int viewblocks) {
    ismoving = (pos >= half + 2 && tile < mapblocks - viewblocks) ? 1 : 2;
}

// Starts the step: decides between scrolling the map and walking the sprite
// and moves the player's block position.
static void BeginStep(int dir) {
    if (dir < 1 || dir > 4) {
        log(LOG_MAJOR, LOGCAT_PROGRAM, "Moving without valid movedir");
        return;
    }
    const int px = playertilex, py = playertiley;
    if (StepCollision(px, py, px + stepx[dir], py + stepy[dir], dir) != 0) return;

    const int cols = CurrProj.windowx / CurrMap.blockwidth, rows = CurrProj.windowy / CurrMap.blockheight;
    const int halfx = (cols - 1) / 2, halfy = (rows - 1) / 2;
    switch (dir) {
    case 1: BeginBack(py, halfy, mapytile); break;
    case 2: BeginForward(px, halfx, mapxtile, CurrMap.maparrayx, cols); break;
    case 3: BeginForward(py, halfy, mapytile, CurrMap.maparrayy, rows); break;
    case 4: BeginBack(px, halfx, mapxtile); break;
    }
    playerspriteanim = dir + 4;  // the walking frame of the direction
    playertilex += stepx[dir];
    playertiley += stepy[dir];
}

// One 4-pixel frame of a step along one axis: `corner` is the view's map
// pixel, `sprite` the sprite's view pixel, `tile` the view's first block.
// Returns the counter's new value; reaching `block` ends the step.
static int AnimateAxis(bool back, int &corner, int &sprite, int &tile, int playertile, int block, int mapblocks,
                       int view, int counter) {
    if (ismoving == 1)
        corner += back ? -4 : 4;
    else
        sprite += back ? -4 : 4;
    counter += 4;
    if (back) {
        if (ismoving == 1 && corner <= 0) {
            corner = 0;
            counter = block;
        }
        if (ismoving == 2 && sprite <= 0) {
            sprite = 0;
            counter = block;
            tile = playertile;
            corner = tile * block;
        }
        return counter;
    }
    if (ismoving == 1 && corner >= mapblocks * block - view) {
        corner = mapblocks * block - view;
        counter = block;
    }
    // The sprite stops on the map's last block as the view shows it; the
    // camera stays where it is.
    const int last = (mapblocks - 1) * block - corner;
    if (ismoving == 2 && sprite >= last) {
        sprite = last;
        counter = block;
    }
    return counter;
}

static int AnimateFrame(int dir, int counter) {
    const int bw = CurrMap.blockwidth, bh = CurrMap.blockheight;
    switch (dir) {
    case 1: return AnimateAxis(true, mapypxl, ply, mapytile, playertiley, bh, CurrMap.maparrayy, CurrProj.windowy, counter);
    case 2: return AnimateAxis(false, mapxpxl, plx, mapxtile, playertilex, bw, CurrMap.maparrayx, CurrProj.windowx, counter);
    case 3: return AnimateAxis(false, mapypxl, ply, mapytile, playertiley, bh, CurrMap.maparrayy, CurrProj.windowy, counter);
    default: return AnimateAxis(true, mapxpxl, plx, mapxtile, playertilex, bw, CurrMap.maparrayx, CurrProj.windowx, counter);
    }
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

// A completed step onto encounter ground may meet a wild creature.
static void CheckEncounter() {
    if (random(CurrMap.wilddensity - 1) != 0) return;
    int entry = EncounterEntry(random(100));
    const wildentry *table = WildTableForHour(LocalHour());
    StartBattle(BATTLETYPE_WILD, table[entry].species, table[entry].level);
}

int move_player(int dir) {
    BeginStep(dir);
    if (ismoving == 0) return 1;

    const int limit = (dir == 2 || dir == 4) ? CurrMap.blockwidth : CurrMap.blockheight;
    for (int counter = 0; counter <= limit - 1;) {
        counter = AnimateFrame(dir, counter);
        DrawMap(plx, ply);
        ShowBuffer(backbuffer);
    }

    const int cols = CurrProj.windowx / CurrMap.blockwidth, rows = CurrProj.windowy / CurrMap.blockheight;
    if (dir == 2 && ismoving == 1 && ++mapxtile >= CurrMap.maparrayx - cols) mapxtile = CurrMap.maparrayx - cols;
    if (dir == 3 && ismoving == 1 && ++mapytile >= CurrMap.maparrayy - rows) mapytile = CurrMap.maparrayy - rows;

    // The sprite keeps its stride on kind-4 ground; elsewhere it stands.
    int here = BlockAt(playertilex, playertiley);
    ismoving = 0;
    if (here < 0 || CurrBlckStruct[here].blocktype != BLOCK_KEEPSTRIDE) playerspriteanim -= 4;
    if (here >= 0 && CurrBlckStruct[here].blocktype == BLOCK_ENCOUNTER) CheckEncounter();
    return 0;
}
