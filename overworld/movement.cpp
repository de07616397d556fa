// Walking block by block: collision, the step animation and encounters.
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "shell/log.h"
#include "shell/platform.h"

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

// One axis of a step: the view's first block and map pixel along it, the
// sprite's view pixel, the player's block, and the sizes that bound them.
// Up and left step back towards the map's start, right and down forward.
struct Axis {
    int &tile;
    int &corner;
    int &sprite;
    int &player;
    int block;       // pixels of a block
    int mapblocks;   // blocks of the map
    int view;        // pixels of the view
    int viewblocks;  // whole blocks of the view
    bool back;
};

static Axis AxisOf(int dir) {
    if (dir == DIR_UP || dir == DIR_DOWN)
        return Axis{mapytile, mapypxl, ply, playertiley, CurrMap.blockheight, CurrMap.maparrayy, CurrProj.windowy,
                    ViewRows(), dir == DIR_UP};
    return Axis{mapxtile, mapxpxl, plx, playertilex, CurrMap.blockwidth, CurrMap.maparrayx, CurrProj.windowx,
                ViewColumns(), dir == DIR_LEFT};
}

// Starts the step: decides between scrolling the map and walking the sprite
// and moves the player's block position. The map scrolls while the player
// stands past the view's middle and the view has map left in that direction.
static void BeginStep(int dir) {
    if (dir < DIR_UP || dir > DIR_LEFT) {
        log(LOG_MAJOR, LOGCAT_PROGRAM, "Moving without valid movedir");
        return;
    }
    static const int stepx[5] = {0, 0, 1, 0, -1};
    static const int stepy[5] = {0, -1, 0, 1, 0};
    const int px = playertilex, py = playertiley;
    if (StepCollision(px, py, px + stepx[dir], py + stepy[dir], dir) != 0) return;

    Axis axis = AxisOf(dir);
    const int half = (axis.viewblocks - 1) / 2;
    if (!axis.back) {
        ismoving = (axis.player >= half + 2 && axis.tile < axis.mapblocks - axis.viewblocks) ? MOVE_SCROLL : MOVE_WALK;
    } else if (axis.player > half + 1 && axis.tile > 0) {
        axis.tile--;
        ismoving = MOVE_SCROLL;
    } else {
        if (axis.player > half + 1) axis.tile = 0;
        ismoving = MOVE_WALK;
    }
    playerspriteanim = FRAME_WALK + dir - 1;
    playertilex += stepx[dir];
    playertiley += stepy[dir];
}

// One 4-pixel frame of the step; returns the counter's new value, which
// reaches a block's size when the step has arrived.
static int AnimateFrame(const Axis &a, int counter) {
    const int delta = a.back ? -4 : 4;
    if (ismoving == MOVE_SCROLL)
        a.corner += delta;
    else
        a.sprite += delta;
    counter += 4;
    if (a.back) {
        if (ismoving == MOVE_SCROLL && a.corner <= 0) {
            a.corner = 0;
            counter = a.block;
        }
        if (ismoving == MOVE_WALK && a.sprite <= 0) {
            a.sprite = 0;
            counter = a.block;
            a.tile = a.player;
            a.corner = a.tile * a.block;
        }
        return counter;
    }
    if (ismoving == MOVE_SCROLL && a.corner >= a.mapblocks * a.block - a.view) {
        a.corner = a.mapblocks * a.block - a.view;
        counter = a.block;
    }
    // The sprite stops on the map's last block as the view shows it; the
    // camera stays where it is.
    const int last = (a.mapblocks - 1) * a.block - a.corner;
    if (ismoving == MOVE_WALK && a.sprite >= last) {
        a.sprite = last;
        counter = a.block;
    }
    return counter;
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
    if (WildEncounter) WildEncounter(table[entry].species, table[entry].level);
}

int move_player(int dir) {
    BeginStep(dir);
    if (ismoving == MOVE_NONE) return 1;

    Axis axis = AxisOf(dir);
    for (int counter = 0; counter <= axis.block - 1;) {
        counter = AnimateFrame(axis, counter);
        DrawMap(plx, ply);
        ShowBuffer(backbuffer);
    }
    if (!axis.back && ismoving == MOVE_SCROLL && ++axis.tile >= axis.mapblocks - axis.viewblocks)
        axis.tile = axis.mapblocks - axis.viewblocks;

    // The sprite keeps its stride on kind-4 ground; elsewhere it stands.
    int here = BlockAt(playertilex, playertiley);
    ismoving = MOVE_NONE;
    if (here < 0 || CurrBlckStruct[here].blocktype != BLOCK_KEEPSTRIDE) playerspriteanim -= FRAME_WALK - FRAME_STAND;
    if (here >= 0 && CurrBlckStruct[here].blocktype == BLOCK_ENCOUNTER) CheckEncounter();
    return 0;
}
