// Start-up and shutdown.
#include "shell/main.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "creatures/creatures.h"
#include "overworld/overworld.h"

HINSTANCE hInst = nullptr;
HWNDHANDLE hwnd = nullptr;
int gamerunning = 0;
int quitgamenow = 0;
int whtclr = 0;
int blkclr = 0;
BITMAP *playerspritesbmp = nullptr;
BITMAP *backbuffer = nullptr;
BITMAP *battlebackbuffer = nullptr;
BITMAP *enemyvorlet = nullptr;
BITMAP *ownvorletb = nullptr;

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
    allegro_exit();
}

int WinMain(HINSTANCE instance, HINSTANCE, char *, int) {
    hInst = instance;
    gamerunning = 0;

    // Library, 16-bit window, keyboard, timer and mouse, plain 8-bit text,
    // the title; the platform does these steps in this order.
    if (PlatformInitGraphics() != 0) {
        const char *reason = allegro_error[0] ? allegro_error : "no graphics driver could open a window";
        fprintf(stderr, "Quillbay: unable to open a 352 by 352 window in 16-bit colour: %s\n", reason);
        SetUpLog();
        logfmt(LOG_BREAKING, LOGCAT_PROGRAM, "Unable to open the game window: %s", reason);
        Exit();
        return 1;
    }
    set_uformat(U_ASCII);
    set_window_title("Quillbay");
    hwnd = GetGameWindow();
    quitgamenow = 0;
    SeedRandom((unsigned)time(nullptr));
    whtclr = makecol(255, 255, 255);
    blkclr = makecol(0, 0, 0);
    // The old textout calls draw with a transparent background.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(-1);
#pragma GCC diagnostic pop

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
