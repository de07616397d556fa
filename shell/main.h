// Application shell, the top of the house: start-up and shutdown, the
// project chooser, the world set-up for a new game and a loaded one, and the
// game loop.
#pragma once

#include "base/dialog.h"

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
enum {
    IDD_LOADPROJ = 120,
    IDLB_PROJSLIST = 121,
    IDC_AVAILTEXT = 122,
    IDB_LOADOLDER = 123,
    IDC_PROJNAME = 124,
    IDC_PROJDESC = 125,
    IDC_PROJCREATOR = 126,
    IDC_PROJURL = 127,
    IDC_PROJGROUP = 128,
};
extern const dlgtemplate LoadProjDialog;  // dialog 120
// Reads the index, shows the chooser and sets the chosen game up.
void GetProject();
intptr_t LoadProjDialogProcs(HDLG dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

// the world set-up
// The rest of GetProject for the chosen project GameIndex[indexno]: the
// project file, the first map, the buffers, the camera and the player.
// Leaves gamerunning at 0 after a logged error.
void SetUpNewGame();
// The chooser's "Load Older Game": asks for a save file, reads and checks
// it, and sets its world up. LOAD_DONE (0), or the LOAD_ result of
// savefile.h that says why no game was loaded.
int LoadSaveFile();

// the game loop
void GameLoop();
// 1 once a step was made since the game was set up, loaded or saved.
extern int unsavedprogress;
// Before the game ends by Escape or the close button: true at once with
// nothing unsaved, otherwise the player's answer to "Quit without saving?".
bool ConfirmQuit();
// The creature screen: the party's creatures one at a time, Up and Down
// moving between them (round the party), until Tab, Escape or Backspace
// closes it (the key is let go first) or the window closes. Changes no
// record and draws no random number.
void CreatureScreen();
