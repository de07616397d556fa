// Start-up and shutdown.
#include "shell/main.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sstream>
#include <string>

#include "base/log.h"
#include "base/platform.h"
#include "battle/battle.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"

HINSTANCE hInst = nullptr;
HWNDHANDLE hwnd = nullptr;
int gamerunning = 0;
int quitgamenow = 0;

static void ReleaseBitmap(BITMAP *&bmp) {
    if (!bmp) return;
    destroy_bitmap(bmp);
    bmp = nullptr;
}

void Exit() {
    ReleaseBitmap(playerspritesbmp);
    ReleaseBitmap(backbuffer);
    ReleaseBitmap(battlebackbuffer);
    ReleaseBitmap(enemyvorlet);
    ReleaseBitmap(ownvorletb);
    ReleaseBitmap(currentmaptilesbmp);
    PlatformStop();
}

// The command line: --seed N plays the game of that seed again, draw for
// draw; --no-debug-boxes writes debug lines without their boxes. Returns
// false after a message for anything else.
static bool ReadOptions(const char *cmdline, bool &seeded, unsigned &seed) {
    std::istringstream words(cmdline ? cmdline : "");
    std::string word;
    while (words >> word) {
        if (word == "--no-debug-boxes") {
            showdebugboxes = 0;
        } else if (word == "--seed" && words >> word) {
            char *end = nullptr;
            unsigned long long value = strtoull(word.c_str(), &end, 10);
            if (*end != '\0' || word[0] == '-' || value > 0xFFFFFFFFull) {
                fprintf(stderr, "Quillbay: --seed needs a number from 0 to 4294967295, not %s\n", word.c_str());
                return false;
            }
            seeded = true;
            seed = (unsigned)value;
        } else {
            fprintf(stderr, "Quillbay: unknown option %s (known: --seed N, --no-debug-boxes)\n", word.c_str());
            return false;
        }
    }
    return true;
}

int WinMain(HINSTANCE instance, HINSTANCE, char *cmdline, int) {
    hInst = instance;
    gamerunning = 0;
    bool seeded = false;
    unsigned seed = 0;
    if (!ReadOptions(cmdline, seeded, seed)) return 2;

    // The library, the 16-bit window with keyboard, timer and mouse, plain
    // 8-bit text and the title.
    if (PlatformStart() != 0) {
        const char *reason = allegro_error[0] ? allegro_error : "no graphics driver could open a window";
        fprintf(stderr, "Quillbay: unable to open a %d by %d window in 16-bit colour: %s\n", WINDOWSIZE, WINDOWSIZE,
                reason);
        SetUpLog();
        logfmt(LOG_BREAKING, LOGCAT_PROGRAM, "Unable to open the game window: %s", reason);
        Exit();
        return 1;
    }
    hwnd = GetGameWindow();
    quitgamenow = 0;
    if (!seeded) seed = (unsigned)time(nullptr);
    SeedRandom(seed);
    SetScreenColours();
    WildEncounter = StartWildBattle;

    if (!InitCommonControlsEx(8, 0xFF)) {
        ShowMessageBox("InitCommonControlsEx failed!", "HELP!");
        Exit();
        return 0;
    }
    SetUpLog();
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Random seed %u", seed);
    GetProject();

    // A set-up error leaves no game and no quit; stop instead of spinning.
    if (!gamerunning && !quitgamenow) {
        log(LOG_INFO, LOGCAT_PROGRAM, "No game could be set up. Exiting");
        Exit();
        return 1;
    }
    while (!quitgamenow) GameLoop();
    Exit();
    return -1;
}
