// The map file with its wild tables, the map-array file with block
// structures, grid and tile strip, and drawing the visible map.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/log.h"
#include "base/numbers.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"

std::string CurrMapFilename;
mapinfo CurrMap;
blockstruct CurrBlckStruct[BLCKSTRCTMAX];
maparraycell CurrMapArray[MAPARRAYMAX][MAPARRAYMAX];
BITMAP *currentmaptilesbmp = nullptr;
PALETTE maptilespal;
BITMAP *backbuffer = nullptr;

namespace {

// Counts the tile strips and view surfaces made, for the drawing's memory
// of what it drew (below).
long long mapgeneration = 0;

// ---- reading ----

// One value of a comma-separated data line, in automatic base, and moves
// pos to the next value. Block and row lines write a blank after each
// comma, which is skipped unread (skipafter), so "3,3" loses its second 3's
// first character. At the end of the line every further value is 0.
long NextValue(const char *&pos, bool skipafter) {
    if (*pos == '\0') return 0;
    long value = strtol(pos, nullptr, 0);
    const char *comma = strchr(pos, ',');
    if (!comma) {
        pos += strlen(pos);
        return value;
    }
    pos = comma + 1;
    if (skipafter && *pos != '\0') pos++;
    return value;
}

// Fails with `message` unless the next significant line is exactly `text`.
bool Marker(PACKFILE *file, int limit, const char *text, int level, const char *message) {
    if (ReadMarker(file, limit, text)) return true;
    log(level, LOGCAT_PROJECT, message);
    return false;
}

bool WildMarker(PACKFILE *file, int limit, const char *which, const char *name) {
    std::string text = std::string(which) + " " + name;
    std::string message = "Missing " + text + " in project file";
    return Marker(file, limit, text.c_str(), LOG_BREAKING, message.c_str());
}

struct wildsection {
    const char *name;
    int beginlimit;
    int datalimit;
    int endlimit;
    wildentry *table;
    int count;
};

// The file writes species first, then level, for each entry.
void ParseWildLine(const char *line, wildentry *table, int count) {
    const char *pos = line;
    for (int i = 0; i < count; i++) {
        table[i].species = To32(NextValue(pos, false));
        table[i].level = To32(NextValue(pos, false));
    }
}

bool ReadWildSection(PACKFILE *file, const wildsection &section) {
    if (!WildMarker(file, section.beginlimit, "BEGIN", section.name)) return false;
    ParseWildLine(ReadLine(file, section.datalimit), section.table, section.count);
    return WildMarker(file, section.endlimit, "END", section.name);
}

bool ReadWildSections(PACKFILE *file) {
    const wildsection sections[] = {
        {"DAY", 15, 150, 10, CurrMap.daymons, 7},
        {"NIGHT", 20, 150, 15, CurrMap.nightmons, 7},
        {"MORN", 15, 150, 15, CurrMap.mornmons, 7},
        {"OLDROD", 15, 100, 15, CurrMap.oldrodmons, 3},
        {"GOODROD", 15, 100, 15, CurrMap.goodrodmons, 4},
        {"SUPERROD", 20, 100, 15, CurrMap.superrodmons, 4},
        {"SURF", 15, 50, 10, CurrMap.surfmons, 3},
        {"ROCKSMASH", 20, 50, 15, CurrMap.rocksmashmons, 2},
        {"HEADBUTT1", 20, 100, 20, CurrMap.headbutt1mons, 4},
        {"HEADBUTT2", 20, 100, 20, CurrMap.headbutt2mons, 4},
    };
    for (const wildsection &section : sections)
        if (!ReadWildSection(file, section)) return false;
    return true;
}


int ReadMapFileLines(PACKFILE *file) {
    if (!VersionIsOne(file, 5)) return -1;
    if (!Marker(file, 15, "BEGIN MAP", LOG_BREAKING, "Missing BEGIN MAP in project file")) return -1;
    CurrMap.mapname = ReadValPairLine("MAPNAME", file, 150);
    CurrMap.maparrayfile = ReadValPairLine("MAPARRAY", file, 150);
    CurrMap.eventfile = ReadValPairLine("EVENTFILE", file, 150);
    if (!Marker(file, 20, "BEGIN WILDMONS", LOG_BREAKING, "Missing BEGIN WILDMONS in project file")) return -1;
    int density = ReadNumber("WILDDENSITY", file, 20);
    if (density < 1) {
        log(LOG_MINOR, LOGCAT_PROJECT, "WILDDENSITY is invalid!");
        return -1;
    }
    CurrMap.wilddensity = density;
    if (!ReadWildSections(file)) return -1;
    if (!Marker(file, 20, "END WILDMONS", LOG_BREAKING, "Missing END WILDMONS in project file")) return -1;
    if (!Marker(file, 20, "END MAP", LOG_BREAKING, "Missing END MAP in project file")) return -1;
    return 0;
}

// A size read from the map-array file: at least 1 and, where a fixed table
// holds what it counts, no more than the table's size. Stored only once it
// has passed, so a refused value never reaches the camera or the tables.
bool ReadSize(PACKFILE *file, const char *key, int most, const char *what, int32_t &field) {
    int value = ReadNumber(key, file, 20);
    if (value < 1) {
        logfmt(LOG_BREAKING, LOGCAT_PROJECT, "Invalid %s value!", key);
        return false;
    }
    if (most > 0 && value > most) {
        logfmt(LOG_BREAKING, LOGCAT_PROJECT, "%s of %d is more than the %d %s can have!", key, value, most, what);
        return false;
    }
    field = value;
    return true;
}

// The eighth value, the level rise, is absent from older files and reads 0.
void ReadBlockLine(PACKFILE *file, int i) {
    const char *pos = ReadLine(file, 150);
    long values[8];
    for (long &value : values) value = NextValue(pos, true);
    if (values[0] != i)
        log(LOG_MINOR, LOGCAT_PROJECT, "File's blocknumber does not match current array position?");
    blockstruct &block = CurrBlckStruct[i];
    block.blocknum = To32(values[0]);
    block.blocktype = To32(values[1]);
    block.obstacle = To32(values[2]);
    block.walltop = To16(values[3]);
    block.wallleft = To16(values[4]);
    block.wallbottom = To16(values[5]);
    block.wallright = To16(values[6]);
    block.levelrise = (int32_t)Saturate(values[7], 0, LEVELRISEMAX);
    if (values[7] != block.levelrise)
        logfmt(LOG_MINOR, LOGCAT_PROJECT, "Block %d has a level rise of %ld, not 0 to %d; %d is used", i, values[7],
               LEVELRISEMAX, (int)block.levelrise);
}

// Every block number must name one of this map's block structures: the
// number indexes both that table and the tile strip.
bool ReadRowLine(PACKFILE *file, int y) {
    const char *pos = ReadLine(file, 600);
    for (int x = 0; x < CurrMap.maparrayx; x++) {
        long block = NextValue(pos, true);
        if (block < 0 || block >= CurrMap.blckstrctcnt) {
            logfmt(LOG_BREAKING, LOGCAT_PROJECT,
                   "Block %ld at row %d, column %d is not one of the map's %d block structures!", block, y, x,
                   (int)CurrMap.blckstrctcnt);
            return false;
        }
        CurrMapArray[y][x].block = To32(block);
    }
    return true;
}

int ReadMapArrayLines(PACKFILE *file) {
    if (!VersionIsOne(file, 5)) return -1;
    if (!Marker(file, 15, "BEGIN MAP", LOG_MAJOR, "Invalid mapfile")) return -1;
    CurrMap.tiles = ReadValPairLine("TILES", file, 150);
    if (!ReadSize(file, "BLOCKHEIGHT", BLOCKSIZEMAX, "pixels a block", CurrMap.blockheight)) return -1;
    if (!ReadSize(file, "BLOCKWIDTH", BLOCKSIZEMAX, "pixels a block", CurrMap.blockwidth)) return -1;
    if (!Marker(file, 20, "BEGIN BLOCKSTRUCT", LOG_BREAKING, "Mapfile does not properly start Blockstruct"))
        return -1;
    if (!ReadSize(file, "BLCKSTRCTCNT", BLCKSTRCTMAX, "block structures a map", CurrMap.blckstrctcnt)) return -1;
    for (int i = 0; i < CurrMap.blckstrctcnt; i++) ReadBlockLine(file, i);
    if (!Marker(file, 25, "END BLOCKSTRUCT", LOG_MAJOR, "END BLOCKSTRUCT is not where expected")) return -1;
    if (!Marker(file, 20, "BEGIN MAPARRAY", LOG_MAJOR, "Missing Maparray start")) return -1;
    if (!ReadSize(file, "MAPARRAYY", MAPARRAYMAX, "rows a map", CurrMap.maparrayy)) return -1;
    if (!ReadSize(file, "MAPARRAYX", MAPARRAYMAX, "columns a map", CurrMap.maparrayx)) return -1;
    for (int y = 0; y < CurrMap.maparrayy; y++)
        if (!ReadRowLine(file, y)) return -1;
    if (!Marker(file, 15, "END MAPARRAY", LOG_MAJOR, "Missing Maparray end")) return -1;
    if (!Marker(file, 10, "END MAP", LOG_MAJOR, "Missing Map end")) return -1;
    return 0;
}

// The chosen project's directory; files of a map are found inside it.
bool ProjectDir(std::string &dir) {
    if (indexno < 0 || indexno >= INDEXMAX) {
        logfmt(LOG_BREAKING, LOGCAT_PROGRAM, "Project number %d is not in the project index!", indexno);
        return false;
    }
    dir = GameIndex[indexno].projectdir;
    return true;
}

// The previous map's strip is released first, so a failed load leaves none.
int LoadTileStrip(const std::string &dir) {
    if (currentmaptilesbmp) destroy_bitmap(currentmaptilesbmp);
    currentmaptilesbmp = nullptr;
    std::string path = JoinPath(dir, CurrMap.tiles);
    currentmaptilesbmp = LoadPicture(path, maptilespal);
    mapgeneration++;
    if (!currentmaptilesbmp) {
        log(LOG_MAJOR, LOGCAT_PROJECT, "Unable to load map bitmap!");
        return -1;
    }
    return 0;
}

int LoadMapArrayFile() {
    std::string dir;
    if (!ProjectDir(dir)) return -1;
    PACKFILE *file = OpenDataFile(JoinPath(dir, CurrMap.maparrayfile), "Map file");
    if (!file) return -1;
    int result = ReadMapArrayLines(file);
    CloseDataFile(file);
    if (result != 0) return -1;
    return LoadTileStrip(dir);
}

// ---- drawing ----

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) q--;
    return q;
}

// The blocks first..first+count+2 along one axis, and every block the view
// shows from the pixel corner on (while the map scrolls, and where the pixel
// corner and the block corner disagree, the two differ), cut to those whose
// picture reaches into the back buffer: the rest would be clipped away.
void BlockSpan(int first, int count, int size, int pxl, int view, int limit, long long &from, long long &to) {
    const long long lowest = FloorDiv(pxl, size);
    const long long highest = FloorDiv((long long)pxl + limit - 1, size);
    from = lowest;
    to = std::max((long long)first + count + 2, FloorDiv((long long)pxl + view - 1, size));
    if (to > highest) to = highest;
}

// Cells outside the grid, and block numbers whose picture is not wholly in
// the strip, are plain black rather than a read past the grid or the strip.
void DrawBlock(BITMAP *target, long long k, long long r, int bw, int bh) {
    int dx = (int)(k * bw - mapxpxl);
    int dy = (int)(r * bh - mapypxl);
    BITMAP *strip = currentmaptilesbmp;
    if (k >= 0 && k < MAPARRAYMAX && r >= 0 && r < MAPARRAYMAX && strip) {
        long long b = CurrMapArray[r][k].block;
        if (b >= 0 && (b + 1) * bw <= strip->w && bh <= strip->h) {
            blit(strip, target, (int)(b * bw), 0, dx, dy, bw, bh);
            return;
        }
    }
    long long right = (long long)dx + bw - 1, bottom = (long long)dy + bh - 1;
    rectfill(target, dx, dy, To32(right), To32(bottom), makecol(0, 0, 0));
}

// The map as last drawn, without the sprite, and all it was drawn from:
// while the camera stands still (nearly every frame) the view is copied
// from it instead of drawn again block by block. A new tile strip or view
// surface starts a new generation.
BITMAP *drawnmap = nullptr;
struct drawnview {
    long long generation = -1;
    const BITMAP *strip = nullptr;
    int stripw = 0, striph = 0, bw = 0, bh = 0, xpxl = 0, ypxl = 0;
    long long kfrom = 0, kto = -1, rfrom = 0, rto = -1;
    std::vector<int32_t> cells;  // the blocks of the drawn cells inside the grid
    bool operator==(const drawnview &o) const {
        return generation == o.generation && strip == o.strip && stripw == o.stripw && striph == o.striph &&
               bw == o.bw && bh == o.bh && xpxl == o.xpxl && ypxl == o.ypxl && kfrom == o.kfrom && kto == o.kto &&
               rfrom == o.rfrom && rto == o.rto && cells == o.cells;
    }
} drawn;

drawnview ViewToDraw(int bw, int bh, long long kfrom, long long kto, long long rfrom, long long rto) {
    drawnview v;
    v.generation = mapgeneration, v.strip = currentmaptilesbmp;
    v.stripw = v.strip ? v.strip->w : 0, v.striph = v.strip ? v.strip->h : 0;
    v.bw = bw, v.bh = bh, v.xpxl = mapxpxl, v.ypxl = mapypxl;
    v.kfrom = kfrom, v.kto = kto, v.rfrom = rfrom, v.rto = rto;
    for (long long r = std::max(rfrom, 0LL); r <= std::min(rto, MAPARRAYMAX - 1LL); r++)
        for (long long k = std::max(kfrom, 0LL); k <= std::min(kto, MAPARRAYMAX - 1LL); k++)
            v.cells.push_back(CurrMapArray[r][k].block);
    return v;
}

}  // namespace

int LoadMapFile() {
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Reading map file %s", CurrMapFilename.c_str());
    PACKFILE *file = OpenDataFile(CurrMapFilename, "Map file");
    if (!file) return -1;
    int result = ReadMapFileLines(file);
    CloseDataFile(file);
    if (result != 0) return -1;
    log(LOG_INFO, LOGCAT_PROGRAM, "Map File Read. Reading Map Array");
    return LoadMapArrayFile();
}

void CreateMapBuffer() {
    if (backbuffer) destroy_bitmap(backbuffer);
    backbuffer = create_bitmap(SURFACESIZE, SURFACESIZE);
    mapgeneration++;
    ClearScreen();
    if (backbuffer) clear_to_color(backbuffer, 0);
}

int DrawMap(int x, int y) {
    if (!backbuffer) return 0;
    int bw = CurrMap.blockwidth;
    int bh = CurrMap.blockheight;
    if (bw >= 1 && bh >= 1) {
        long long kfrom, kto, rfrom, rto;
        BlockSpan(mapxtile, ViewColumns(), bw, mapxpxl, CurrProj.windowx, backbuffer->w, kfrom, kto);
        BlockSpan(mapytile, ViewRows(), bh, mapypxl, CurrProj.windowy, backbuffer->h, rfrom, rto);
        if (!drawnmap || drawnmap->w != backbuffer->w || drawnmap->h != backbuffer->h) {
            if (drawnmap) destroy_bitmap(drawnmap);
            drawnmap = create_bitmap(backbuffer->w, backbuffer->h);
            drawn = drawnview();
        }
        drawnview wanted = ViewToDraw(bw, bh, kfrom, kto, rfrom, rto);
        BITMAP *target = drawnmap ? drawnmap : backbuffer;
        if (!drawnmap || !(wanted == drawn)) {
            for (long long k = kfrom; k <= kto; k++)
                for (long long r = rfrom; r <= rto; r++) DrawBlock(target, k, r, bw, bh);
            drawn = wanted;
        }
        // Only the blocks' own rectangle: the rest of the surface is left
        // as it was.
        const long long left = std::max(kfrom * bw - mapxpxl, 0LL), top = std::max(rfrom * bh - mapypxl, 0LL);
        const long long right = std::min((kto + 1) * bw - mapxpxl, (long long)backbuffer->w);
        const long long bottom = std::min((rto + 1) * bh - mapypxl, (long long)backbuffer->h);
        if (drawnmap && right > left && bottom > top)
            blit(drawnmap, backbuffer, (int)left, (int)top, (int)left, (int)top, (int)(right - left), (int)(bottom - top));
    }
    if (playerspritesbmp)
        masked_blit(playerspritesbmp, backbuffer, SPRITEFRAMESIZE * playerspriteanim + 1, 0, x, y, SPRITEFRAMESIZE,
                    SPRITEFRAMESIZE);
    return 0;
}
