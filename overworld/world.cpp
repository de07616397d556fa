// The project's settings, the player's place and the camera: the steps that
// set a world up for a new game or a loaded one.
#include "base/log.h"
#include "base/numbers.h"
#include "creatures/creatures.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"

int currentgamestate = GAMESTATE_OVERWORLD;
projsettings CurrProj;

int playertilex = 0, playertiley = 0;
int playerfacing = 0;
int playerspriteanim = 0;
BITMAP *playerspritesbmp = nullptr;
PALETTE playerpal;
const char *playerspritefile = "testproject\\sprites2.bmp";

int mapxtile = 0, mapytile = 0;
int mapxpxl = 0, mapypxl = 0;
int plx = 0, ply = 0;

void ResetWorld() {
    currentgamestate = GAMESTATE_OVERWORLD;
    CurrProj = projsettings();
    CurrMapFilename.clear();
    CurrMap = mapinfo();
    for (blockstruct &block : CurrBlckStruct) block = blockstruct();
    for (auto &row : CurrMapArray)
        for (maparraycell &cell : row) cell = maparraycell();
    playertilex = playertiley = playerfacing = playerspriteanim = 0;
    mapxtile = mapytile = mapxpxl = mapypxl = plx = ply = 0;
    ismoving = MOVE_NONE;
}

// ---- the project file ----

// A numeric KEY=value line; logs "KEY is invalid!" (minor) when the value
// is outside lo..hi.
static bool ReadSetting(PACKFILE *file, const char *key, int max, int lo, int hi, int &value) {
    value = ReadNumber(key, file, max);
    if (value >= lo && value <= hi) return true;
    logfmt(LOG_MINOR, LOGCAT_PROJECT, "%s is invalid!", key);
    return false;
}

// The view is drawn into the drawing surface; a larger one cannot be shown.
static bool ReadViewSize(PACKFILE *file, const char *key, int32_t &field) {
    int value;
    if (!ReadSetting(file, key, 20, 1, INT32_MAX, value)) return false;
    if (value > SURFACESIZE) {
        logfmt(LOG_MINOR, LOGCAT_PROJECT, "%s of %d is more than the %d pixels a view can have!", key, value,
               SURFACESIZE);
        return false;
    }
    field = value;
    return true;
}

static int ReadProjectFields(PACKFILE *file) {
    if (!VersionIsOne(file, 5)) return -1;
    if (!ReadMarker(file, 15, "BEGIN PROJECT")) {
        log(LOG_BREAKING, LOGCAT_PROJECT, "Missing BEGIN PROJECT in project file");
        return -1;
    }
    int value;
    if (!ReadViewSize(file, "WINDOWX", CurrProj.windowx)) return -1;
    if (!ReadViewSize(file, "WINDOWY", CurrProj.windowy)) return -1;
    CurrProj.startmap = ReadValPairLine("STARTMAP", file, 200);
    if (!ReadSetting(file, "STARTX", 20, 1, INT32_MAX, value)) return -1;
    CurrProj.startx = value;
    if (!ReadSetting(file, "STARTY", 20, 1, INT32_MAX, value)) return -1;
    CurrProj.starty = value;
    if (!ReadSetting(file, "FACING", 10, DIR_UP, DIR_LEFT, value)) return -1;
    CurrProj.facing = (uint8_t)value;
    if (!ReadSetting(file, "ENGINE", 15, 1, 5, value)) return -1;
    CurrProj.engine = (uint8_t)value;
    if (!ReadSetting(file, "STARTVRLT", 15, 1, 251, value)) return -1;
    // The game's species table is shorter than the numbers a project may
    // name; a number past it would read outside the table.
    if (value >= SPECIESCOUNT) {
        logfmt(LOG_MINOR, LOGCAT_PROJECT, "STARTVRLT %d is not a species of this game (1 to %d)!", value,
               SPECIESCOUNT - 1);
        return -1;
    }
    CurrProj.startvrlt = value;
    if (!ReadMarker(file, 15, "END PROJECT")) {
        log(LOG_BREAKING, LOGCAT_PROJECT, "Missing END PROJECT in project file");
        return -1;
    }
    return 0;
}

int ReadProjectFile(const std::string &path) {
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Reading file %s", path.c_str());
    PACKFILE *file = OpenDataFile(path, "The project file");
    if (!file) return -1;
    int result = ReadProjectFields(file);
    CloseDataFile(file);
    return result;
}

// ---- the player ----

int LoadSpriteSheet() {
    if (playerspritesbmp) destroy_bitmap(playerspritesbmp);
    playerspritesbmp = LoadPicture(playerspritefile, playerpal);
    if (playerspritesbmp) return 0;
    log(LOG_BREAKING, LOGCAT_PROJECT, "Unable to load sprite file!");
    return -1;
}

void PlacePlayer(int tilex, int tiley, int facing, int frame) {
    PlaceCamera(tilex, tiley);
    playertilex = tilex;
    playertiley = tiley;
    playerfacing = facing;
    playerspriteanim = frame;
    // Where the first frame will draw the sprite, so that a step taken
    // before it animates from the right place.
    PlaceSprite();
}

void PlacePlayerAtStart() {
    // The start is kept inside the view before the camera uses it, so a
    // huge start number never reaches the camera's arithmetic.
    int x = CurrProj.startx, y = CurrProj.starty;
    if (x >= ViewColumns()) x = ViewColumns();
    if (y >= ViewRows()) y = ViewRows();
    PlacePlayer(x, y, CurrProj.facing, CurrProj.facing);
}

// ---- the camera ----

int ViewColumns() { return CurrMap.blockwidth > 0 ? CurrProj.windowx / CurrMap.blockwidth : 0; }
int ViewRows() { return CurrMap.blockheight > 0 ? CurrProj.windowy / CurrMap.blockheight : 0; }

cameraview CameraFor(int tilex, int tiley) {
    const long long bw = CurrMap.blockwidth, bh = CurrMap.blockheight;
    if (bw <= 0 || bh <= 0) return cameraview{0, 0, 0, 0};
    const long long mw = CurrMap.maparrayx, mh = CurrMap.maparrayy;
    const long long w = CurrProj.windowx, h = CurrProj.windowy;
    const long long cols = ViewColumns(), rows = ViewRows();

    // The player stands in the view's middle block (left of and above the
    // middle when the view is an even number of blocks across).
    long long xtile = tilex - (cols - 1) / 2, ytile = tiley - (rows - 1) / 2;
    long long xpxl = xtile * bw, ypxl = ytile * bh;

    // Lower limits first; the upper ones come last and so win on a map
    // smaller than the view. Pixel and block corners are limited apart.
    if (xpxl <= 0) xpxl = 0;
    if (ypxl <= 0) ypxl = 0;
    if (xtile <= 0) xtile = 0;
    if (ytile <= 0) ytile = 0;
    if (xpxl >= mw * bw - w) xpxl = mw * bw - w;
    if (ypxl >= mh * bh - h) ypxl = mh * bh - h;
    if (xtile >= mw - cols) xtile = mw - cols;
    if (ytile >= mh - rows) ytile = mh - rows;
    return cameraview{To32(xtile), To32(ytile), To32(xpxl), To32(ypxl)};
}

void PlaceCamera(int tilex, int tiley) {
    if (CurrMap.blockwidth <= 0 || CurrMap.blockheight <= 0) return;  // no map has been read
    cameraview view = CameraFor(tilex, tiley);
    mapxtile = view.xtile;
    mapytile = view.ytile;
    mapxpxl = view.xpxl;
    mapypxl = view.ypxl;
}

void PlaceSprite() {
    // From the pixel corner the map is drawn with, so that the sprite stands
    // on its own block even where the view is not a whole number of blocks
    // and the block corner and the pixel corner disagree.
    plx = To32((long long)playertilex * CurrMap.blockwidth - mapxpxl);
    ply = To32((long long)playertiley * CurrMap.blockheight - mapypxl);
}
