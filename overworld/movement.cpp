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

// Starts the step: decides between scrolling the map and walking the sprite.
static void BeginStep(int dir) {
    const int bw = CurrMap.blockwidth, bh = CurrMap.blockheight;
    const int cols = CurrProj.windowx / bw, rows = CurrProj.windowy / bh;
    const int halfx = (cols - 1) / 2, halfy = (rows - 1) / 2;
    const int px = playertilex, py = playertiley;
    switch (dir) {
    case 4:
        if (StepCollision(px, py, px - 1, py, dir) != 0) return;
        if (px > halfx + 1) {
            if (mapxtile > 0) {
                mapxtile--;
                ismoving = 1;
            } else {
                mapxtile = 0;
                ismoving = 2;
            }
        } else {
            ismoving = 2;
        }
        playerspriteanim = 8;
        playertilex--;
        break;
    case 2:
        if (StepCollision(px, py, px + 1, py, dir) != 0) return;
        ismoving = (px >= halfx + 2 && mapxtile < CurrMap.maparrayx - cols) ? 1 : 2;
        playerspriteanim = 6;
        playertilex++;
        break;
    case 1:
        if (StepCollision(px, py, px, py - 1, dir) != 0) return;
        if (py > halfy + 1) {
            if (mapytile > 0) {
                mapytile--;
                ismoving = 1;
            } else {
                mapytile = 0;
                ismoving = 2;
            }
        } else {
            ismoving = 2;
        }
        playerspriteanim = 5;
        playertiley--;
        break;
    case 3:
        if (StepCollision(px, py, px, py + 1, dir) != 0) return;
        ismoving = (py >= halfy + 2 && mapytile < CurrMap.maparrayy - rows) ? 1 : 2;
        playerspriteanim = 7;
        playertiley++;
        break;
    default:
        log(LOG_MAJOR, LOGCAT_PROGRAM, "Moving without valid movedir");
        break;
    }
}

// One animation frame's movement of 4 pixels; returns the counter's new value.
static int AnimateFrame(int dir, int counter) {
    const int bw = CurrMap.blockwidth, bh = CurrMap.blockheight;
    const int mx = CurrMap.maparrayx, my = CurrMap.maparrayy;
    const int w = CurrProj.windowx, h = CurrProj.windowy;
    switch (dir) {
    case 4:
        if (ismoving == 1) mapxpxl -= 4; else plx -= 4;
        counter += 4;
        if (ismoving == 1 && mapxpxl <= 0) {
            mapxpxl = 0;
            counter = bw;
        }
        if (ismoving == 2 && plx <= 0) {
            plx = 0;
            counter = bw;
            mapxtile = playertilex;
            mapxpxl = mapxtile * bw;
        }
        break;
    case 2:
        if (ismoving == 1) mapxpxl += 4; else plx += 4;
        counter += 4;
        if (ismoving == 1 && mapxpxl >= mx * bw - w) {
            mapxpxl = mx * bw - w;
            counter = bw;
        }
        // The sprite stops on the map's last column as the view shows it;
        // the camera stays where it is.
        if (ismoving == 2 && plx >= (mx - 1) * bw - mapxpxl) {
            plx = (mx - 1) * bw - mapxpxl;
            counter = bw;
        }
        break;
    case 1:
        if (ismoving == 1) mapypxl -= 4; else ply -= 4;
        counter += 4;
        if (ismoving == 1 && mapypxl <= 0) {
            mapypxl = 0;
            counter = bh;
        }
        if (ismoving == 2 && ply <= 0) {
            ply = 0;
            counter = bh;
            mapytile = playertiley;
            mapypxl = mapytile * bh;
        }
        break;
    case 3:
        if (ismoving == 1) mapypxl += 4; else ply += 4;
        counter += 4;
        if (ismoving == 1 && mapypxl >= my * bh - h) {
            mapypxl = my * bh - h;
            counter = bh;
        }
        if (ismoving == 2 && ply >= (my - 1) * bh - mapypxl) {
            ply = (my - 1) * bh - mapypxl;
            counter = bh;
        }
        break;
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
