// Application shell: start-up and shutdown, the game log, the project index
// and chooser, the project file and new-game set-up, the game loop, the camera.
#pragma once

#include <allegro.h>
#include <string>

#include "shell/platform.h"

// start-up and shutdown
extern HINSTANCE hInst;
extern HWNDHANDLE hwnd;
extern int gamerunning;  // 1 once a game has been set up
extern int quitgamenow;  // once 1, the main loop stops
extern int whtclr;
extern int blkclr;
extern BITMAP *playerspritesbmp;
extern BITMAP *backbuffer;
extern BITMAP *battlebackbuffer;
extern BITMAP *enemyvorlet;
extern BITMAP *ownvorletb;
int WinMain(HINSTANCE instance, HINSTANCE previnstance, char *cmdline, int showcmd);
void Exit();

// the game log
extern const char *logfile;
enum { LOG_BREAKING = 1, LOG_MAJOR = 2, LOG_MINOR = 3, LOG_INFO = 4, LOG_DEBUG = 5 };
enum { LOGCAT_PROGRAM = 1, LOGCAT_PROJECT = 2, LOGCAT_USER = 3 };
void SetUpLog();
void log(int level, int category, const char *text);
// log() with a printf-style text; never cuts or overruns a long text.
void logfmt(int level, int category, const char *format, ...) __attribute__((format(printf, 3, 4)));

// the project index and chooser
#define INDEXMAX 255
#define IDD_LOADPROJ 120
#define IDLB_PROJSLIST 121
#define IDC_AVAILTEXT 122
#define IDB_LOADOLDER 123
#define IDC_PROJNAME 124
#define IDC_PROJDESC 125
#define IDC_PROJCREATOR 126
#define IDC_PROJURL 127
#define IDC_PROJGROUP 128
struct indexentry {
    std::string name;
    std::string description;
    std::string creator;
    std::string projectdir;
    std::string projectdata;
    std::string url;
};
extern indexentry GameIndex[INDEXMAX];
extern int indarrsiz;
extern int indexno;
extern const char *indexfile;
void GetProject();
// Reads gameindex.txt into GameIndex; 0 on success, -1 after a logged error.
int ReadGameIndex();
intptr_t LoadProjDialogProcs(HDLG dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

// new-game set-up
extern int playerfacing;  // 1 up, 2 right, 3 down, 4 left
extern PALETTE playerpal;
extern const char *playerspritefile;
// Reads the project file at `path` into CurrProj; 0 on success, -1 after a
// logged error (the fields read before it keep their new values).
int ReadProjectFile(const std::string &path);
// The rest of GetProject for the chosen project GameIndex[indexno]: the
// project file, the first map, the buffers, the camera and the player.
// Leaves gamerunning at 0 after a logged error.
void SetUpNewGame();

// the camera
// Places the view for a player at block (tilex, tiley): mapxtile, mapytile,
// mapxpxl, mapypxl. Does nothing while no map has a block size.
void PlaceCamera(int tilex, int tiley);
// The sprite's place on the view (plx, ply) for the player's block.
void PlaceSprite();

// the game loop
extern int currentgamestate;  // 1 overworld, 2 battle
enum { GAMESTATE_OVERWORLD = 1, GAMESTATE_BATTLE = 2 };
void GameLoop();

