// The one seam between the game and the window and operating system. Two
// implementations are linked in alternatively: the real Allegro window
// (platform_allegro.cpp) for the game and a headless one for the tests.
#pragma once

#include <allegro.h>

#include <cstdint>

#include "shell/dialog.h"
#include "shell/filedialog.h"

// the window
// Starts the library, opens the 352 by 352 16-bit window titled "Quillbay"
// with keyboard, timer and mouse, and sets plain 8-bit text drawn on a
// transparent background; 0 on success.
int PlatformStart();
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
// The quit request: recorded; nothing in the game loop depends on it.
void PostQuitMessage(int code);
// Set once the window's close button has been pressed.
int CloseRequested();

// dialogs
// Runs the described dialog modally with `proc` (which gets `param` in the
// state); returns its result, or -1 when it cannot be shown.
intptr_t DialogBoxParamA(const DlgTemplate &dialogtemplate, DLGPROC proc, intptr_t param);
// Asks for a file with the given settings. Returns 1 with the chosen path in
// `out`, 0 on cancel, or minus an error number (see ShowFileDialog).
int FileDialog(const FileDialogSettings &settings, char *out, int outsize);

// time and frames
int LocalHour();
// Called once in every iteration of every busy wait on key[].
void WaitTick();
// Copies the top-left 360 by 370 of `bmp` to the screen and paces shown frames.
void ShowBuffer(BITMAP *bmp);
