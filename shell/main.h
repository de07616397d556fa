// Application shell: start-up and shutdown, the project chooser, new-game
// set-up and the game loop. The log, the dialog model and the platform seam
// have headers of their own.
#pragma once

#include "shell/dialog.h"

// start-up and shutdown
typedef void *HINSTANCE;
typedef void *HWNDHANDLE;
extern HINSTANCE hInst;
extern HWNDHANDLE hwnd;
extern int gamerunning;  // 1 once a game has been set up
extern int quitgamenow;  // once 1, the main loop stops
int WinMain(HINSTANCE instance, HINSTANCE previnstance, char *cmdline, int showcmd);
// Releases the bitmaps and shuts the library down.
void Exit();

// the project chooser
#define IDD_LOADPROJ 120
#define IDLB_PROJSLIST 121
#define IDC_AVAILTEXT 122
#define IDB_LOADOLDER 123
#define IDC_PROJNAME 124
#define IDC_PROJDESC 125
#define IDC_PROJCREATOR 126
#define IDC_PROJURL 127
#define IDC_PROJGROUP 128
extern const DlgTemplate LoadProjDialog;  // dialog 120
// Reads the index, shows the chooser and sets the chosen game up.
void GetProject();
intptr_t LoadProjDialogProcs(HDLG dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

// new-game set-up
// The rest of GetProject for the chosen project GameIndex[indexno]: the
// project file, the first map, the buffers, the camera and the player.
// Leaves gamerunning at 0 after a logged error.
void SetUpNewGame();

// the game loop
void GameLoop();
