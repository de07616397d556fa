// The project file and new-game set-up.
#include <cstdlib>
#include <cstring>

#include "creatures/creatures.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"
#include "shell/main.h"

int playerfacing = 0;
PALETTE playerpal;
const char *playerspritefile = "testproject\\sprites2.bmp";

// Reads one numeric KEY=value line; logs "KEY is invalid!" (minor) when the
// value is outside lo..hi.
static bool ReadNumber(PACKFILE *file, const char *key, int max, int lo, int hi, int &value) {
    value = atoi(ReadValPairLine(key, file, max));
    if (value >= lo && value <= hi) return true;
    logfmt(LOG_MINOR, LOGCAT_PROJECT, "%s is invalid!", key);
    return false;
}

static int ReadProjectFields(PACKFILE *file) {
    if (ReadVersionLine(file, 5) != 1) {
        log(LOG_BREAKING, LOGCAT_PROJECT, "Unrecognized version number");
        return -1;
    }
    if (strcmp(ReadLine(file, 15), "BEGIN PROJECT") != 0) {
        log(LOG_BREAKING, LOGCAT_PROJECT, "Missing BEGIN PROJECT in project file");
        return -1;
    }
    int value;
    if (!ReadNumber(file, "WINDOWX", 20, 1, INT32_MAX, value)) return -1;
    CurrProj.windowx = value;
    if (!ReadNumber(file, "WINDOWY", 20, 1, INT32_MAX, value)) return -1;
    CurrProj.windowy = value;
    CurrProj.startmap = ReadValPairLine("STARTMAP", file, 200);
    if (!ReadNumber(file, "STARTX", 20, 1, INT32_MAX, value)) return -1;
    CurrProj.startx = value;
    if (!ReadNumber(file, "STARTY", 20, 1, INT32_MAX, value)) return -1;
    CurrProj.starty = value;
    if (!ReadNumber(file, "FACING", 10, 1, 4, value)) return -1;
    CurrProj.facing = (uint8_t)value;
    if (!ReadNumber(file, "ENGINE", 15, 1, 5, value)) return -1;
    CurrProj.engine = (uint8_t)value;
    if (!ReadNumber(file, "STARTVRLT", 15, 1, 251, value)) return -1;
    // The game's species table is shorter than the numbers a project may
    // name; a number past it would read outside the table.
    if (value >= SPECIESCOUNT) {
        logfmt(LOG_MINOR, LOGCAT_PROJECT, "STARTVRLT %d is not a species of this game (1 to %d)!", value,
               SPECIESCOUNT - 1);
        return -1;
    }
    CurrProj.startvrlt = value;
    if (strcmp(ReadLine(file, 15), "END PROJECT") != 0) {
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

static BITMAP *Recreate(BITMAP *&bmp, int w, int h) {
    if (bmp) destroy_bitmap(bmp);
    bmp = create_bitmap(w, h);
    return bmp;
}

// Keeps the start position inside the view's size in blocks.
static void PlacePlayer() {
    playertilex = CurrProj.startx;
    playertiley = CurrProj.starty;
    playerfacing = playerspriteanim = CurrProj.facing;
    const int viewcols = CurrProj.windowx / CurrMap.blockwidth;
    const int viewrows = CurrProj.windowy / CurrMap.blockheight;
    if (playertilex >= viewcols) playertilex = viewcols;
    if (playertiley >= viewrows) playertiley = viewrows;
    // Where the first frame will draw the sprite, so that a step taken
    // before it animates from the right place.
    PlaceSprite();
}

void SetUpNewGame() {
    const indexentry &project = GameIndex[indexno];
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Project number %u picked", (unsigned)indexno);
    if (ReadProjectFile(JoinPath(project.projectdir, project.projectdata)) != 0) return;
    log(LOG_INFO, LOGCAT_PROGRAM, "Project File read. Attempting to read first map");

    CurrMapFilename = JoinPath(project.projectdir, CurrProj.startmap);
    // A map that loads always has a positive block size for the divisions below.
    if (LoadMapFile() != 0) return;
    log(LOG_INFO, LOGCAT_PROGRAM, "Map Array file Read. Preparing windowing");

    Recreate(backbuffer, 500, 500);
    Recreate(battlebackbuffer, 500, 500);
    Recreate(enemyvorlet, 60, 60);
    Recreate(ownvorletb, 50, 50);
    clear_to_color(screen, 0);
    if (backbuffer) clear_to_color(backbuffer, 0);
    if (battlebackbuffer) clear_to_color(battlebackbuffer, 0);
    log(LOG_INFO, LOGCAT_PROGRAM, "Window created");
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Map file %s read", CurrMapFilename.c_str());

    gamerunning = 1;
    currentgamestate = GAMESTATE_OVERWORLD;
    PlaceCamera(CurrProj.startx, CurrProj.starty);
    log(LOG_INFO, LOGCAT_PROGRAM, "Map set up. Preparing to place player");
    PlacePlayer();

    if (playerspritesbmp) destroy_bitmap(playerspritesbmp);
    playerspritesbmp = load_bitmap(HostPath(playerspritefile).c_str(), playerpal);
    if (!playerspritesbmp) {
        log(LOG_BREAKING, LOGCAT_PROJECT, "Unable to load sprite file!");
        gamerunning = 0;
        return;
    }
    log(LOG_INFO, LOGCAT_PROGRAM, "Setting up player");
    if (NewGamePlayer(CurrProj.startvrlt) != 0) {
        gamerunning = 0;
        return;
    }
    log(LOG_INFO, LOGCAT_PROGRAM, "Game set up. Exiting GetProject and starting game");
}
