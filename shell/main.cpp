// Start-up and shutdown.
#include "shell/main.h"

#include <cstdio>
#include <ctime>

#include "battle/battle.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "shell/log.h"
#include "shell/platform.h"

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

int WinMain(HINSTANCE instance, HINSTANCE, char *, int) {
    hInst = instance;
    gamerunning = 0;

    // The library, the 16-bit window with keyboard, timer and mouse, plain
    // 8-bit text and the title.
    if (PlatformStart() != 0) {
        const char *reason = allegro_error[0] ? allegro_error : "no graphics driver could open a window";
        fprintf(stderr, "Quillbay: unable to open a 352 by 352 window in 16-bit colour: %s\n", reason);
        SetUpLog();
        logfmt(LOG_BREAKING, LOGCAT_PROGRAM, "Unable to open the game window: %s", reason);
        Exit();
        return 1;
    }
    hwnd = GetGameWindow();
    quitgamenow = 0;
    SeedRandom((unsigned)time(nullptr));
    whtclr = makecol(255, 255, 255);
    blkclr = makecol(0, 0, 0);
    WildEncounter = StartWildBattle;

    if (!InitCommonControlsEx(8, 0xFF)) {
        ShowMessageBox("InitCommonControlsEx failed!", "HELP!");
        Exit();
        return 0;
    }
    SetUpLog();
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
