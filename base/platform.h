// The one seam between the game and the window, the input devices and the
// operating system. Three implementations live in base/platform/ and one of
// them is linked into each program: the real Allegro window (allegro.cpp)
// for the game, the headless twin (headless.cpp) for the tests and
// benchmarks, and the checker's (check.cpp), which opens no window. Each is
// checked complete when it links (complete.cpp).
#pragma once

#include <allegro.h>

#include <cstdint>
#include <string>

#include "base/dialog.h"
#include "base/filedialog.h"

// the window and the drawing surfaces
constexpr int WINDOWSIZE = 352;  // the window is this many pixels wide and high
constexpr int SURFACESIZE = 500;  // the view and the battle screen are drawn into surfaces this large
// The part of a drawing surface a shown frame copies, from its top-left
// corner; the library clips it to the window.
constexpr int SHOWNWIDTH = 360, SHOWNHEIGHT = 370;
// White and black in the screen's pixel format, set once the window is open.
extern int whtclr;
extern int blkclr;
// Sets whtclr and blkclr for the screen's pixel format.
void SetScreenColours();

// starting and stopping
// How the window shows the view: enlarged `scale` times (0: the largest
// whole number that fits the desktop), or filling the screen.
struct windowoptions {
    int scale = 0;
    bool fullscreen = false;
};
constexpr int SCALEMAX = 6;
// Starts the library, opens the window titled "Quillbay" with keyboard,
// timer, mouse and gamepads, and sets plain 8-bit text drawn on a
// transparent background and file names passed on byte for byte; 0 on
// success. The game draws in 16-bit colour at the view's size whatever the
// window's size.
int PlatformStart(const windowoptions &options = windowoptions());
// Shuts the library down again; the counterpart of PlatformStart.
void PlatformStop();
void *GetGameWindow();
// Prepares the dialog controls; nonzero when dialogs can be shown.
int InitCommonControlsEx(int size, int classes);

// notices and requests
// A modal notice with title, text and an OK button; returns when confirmed.
void ShowMessageBox(const char *text, const char *title);
// The library's two-line alert box with one button.
void ShowAlert(const char *line1, const char *line2, const char *button);
// A notice over the picture that needs no key and goes by itself after a
// few seconds; it is never part of a screenshot.
void ShowPassingNotice(const std::string &text);
// The quit request: recorded; nothing in the game loop depends on it.
void PostQuitMessage(int code);
// Set once the window's close button has been pressed and the check (if
// any) agreed.
int CloseRequested();
// What the close button asks first: the platform calls `check` on the
// game's own thread as soon as the button is pressed, during any wait,
// frame or dialog; true lets the window close.
void SetCloseCheck(bool (*check)());

// dialogs
// Runs the described dialog modally with `proc` (which gets `param` in the
// state); returns its result, or -1 when it cannot be shown.
intptr_t DialogBoxParamA(const dlgtemplate &dialogtemplate, DLGPROC proc, intptr_t param);
// Asks for a file with the given settings. Returns 1 with the chosen path in
// `out`, 0 on cancel, or minus an error number (see ShowFileDialog).
int FileDialog(const filedialogsettings &settings, char *out, int outsize);

// input
// True while the key (one of the library's KEY_ codes) is held; a press
// too short for the game to have seen it held counts once.
bool KeyDown(int k);
// A gamepad's state: each stick's axes (-128 to 127), whether the stick
// rested in the middle when the pad was first read, and the buttons held.
constexpr int PADSTICKS = 5, PADBUTTONS = 32;
struct gamepadstate {
    struct stick {
        int x = 0, y = 0;
        bool rests = false;
    } sticks[PADSTICKS];
    unsigned buttons = 0;  // bit b: button b held
};
// The state of gamepad `pad` (from 0); false when there is no such pad.
bool ReadGamepad(int pad, gamepadstate &state);

// time and frames
int LocalHour();
// Called once in every iteration of every wait for a key: returns once
// something may have changed (a key, a gamepad, the close button).
void WaitTick();
// Copies the top-left SHOWNWIDTH by SHOWNHEIGHT of `bmp` to the screen and
// paces shown frames; false when the frame is the one shown already.
bool ShowBuffer(BITMAP *bmp);
// Leaves what the screen shows there for `ms` milliseconds while the window
// is served; no key acts and presses made meanwhile are dropped. A close
// request ends it at once.
void HoldShown(int ms);
// Clears what the window shows to black.
void ClearScreen();
