// The project's settings, the player's place and the camera: the steps that
// set a world up for a new game or a loaded one.
#include "creatures/creatures.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"
#include "shell/log.h"

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

// ---- the project file ----

// A numeric KEY=value line; logs "KEY is invalid!" (minor) when the value
// is outside lo..hi.
static bool ReadSetting(PACKFILE *file, const char *key, int max, int lo, int hi, int &value) {
    value = ReadNumber(key, file, max);
    if (value >= lo && value <= hi) return true;
    logfmt(LOG_MINOR, LOGCAT_PROJECT, "%s is invalid!", key);
    return false;
}

static int ReadProjectFields(PACKFILE *file) {
    if (!VersionIsOne(file, 5)) return -1;
    if (!ReadMarker(file, 15, "BEGIN PROJECT")) {
        log(LOG_BREAKING, LOGCAT_PROJECT, "Missing BEGIN PROJECT in project file");
        return -1;
    }
    int value;
    if (!ReadSetting(file, "WINDOWX", 20, 1, INT32_MAX, value)) return -1;
    CurrProj.windowx = value;
    if (!ReadSetting(file, "WINDOWY", 20, 1, INT32_MAX, value)) return -1;
    CurrProj.windowy = value;
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
    pack_fclose(file);
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
    playertilex = tilex;
    playertiley = tiley;
    playerfacing = facing;
    playerspriteanim = frame;
    // Where the first frame will draw the sprite, so that a step taken
    // before it animates from the right place.
    PlaceSprite();
}

void PlacePlayerAtStart() {
    int x = CurrProj.startx, y = CurrProj.starty;
    if (x >= ViewColumns()) x = ViewColumns();
    if (y >= ViewRows()) y = ViewRows();
    PlacePlayer(x, y, CurrProj.facing, CurrProj.facing);
}

// ---- the camera ----

int ViewColumns() { return CurrMap.blockwidth > 0 ? CurrProj.windowx / CurrMap.blockwidth : 0; }
int ViewRows() { return CurrMap.blockheight > 0 ? CurrProj.windowy / CurrMap.blockheight : 0; }

void PlaceCamera(int tilex, int tiley) {
    const int bw = CurrMap.blockwidth, bh = CurrMap.blockheight;
    if (bw <= 0 || bh <= 0) return;  // no map has been read; nothing to place
    const int mw = CurrMap.maparrayx, mh = CurrMap.maparrayy;
    const int w = CurrProj.windowx, h = CurrProj.windowy;

    // The player stands in the view's middle block (left of and above the
    // middle when the view is an even number of blocks across).
    mapxtile = tilex - (ViewColumns() - 1) / 2;
    mapytile = tiley - (ViewRows() - 1) / 2;
    mapxpxl = mapxtile * bw;
    mapypxl = mapytile * bh;

    // Lower limits first; the upper ones come last and so win on a map
    // smaller than the view. Pixel and block corners are limited apart.
    if (mapxpxl <= 0) mapxpxl = 0;
    if (mapypxl <= 0) mapypxl = 0;
    if (mapxtile <= 0) mapxtile = 0;
    if (mapytile <= 0) mapytile = 0;
    if (mapxpxl >= mw * bw - w) mapxpxl = mw * bw - w;
    if (mapypxl >= mh * bh - h) mapypxl = mh * bh - h;
    if (mapxtile >= mw - ViewColumns()) mapxtile = mw - ViewColumns();
    if (mapytile >= mh - ViewRows()) mapytile = mh - ViewRows();
}

void PlaceSprite() {
    // From the pixel corner the map is drawn with, so that the sprite stands
    // on its own block even where the view is not a whole number of blocks
    // and the block corner and the pixel corner disagree.
    plx = playertilex * CurrMap.blockwidth - mapxpxl;
    ply = playertiley * CurrMap.blockheight - mapypxl;
}
