// The project checker's platform: the library without a window, nothing
// shown, no dialog, no wait. Pictures still load into bitmaps of the game's
// colour depth.
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "base/platform.h"

int PlatformStart(const windowoptions &) {
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return -1;
    set_color_depth(16);
    set_uformat(U_ASCII);
    // File names go to the system as the bytes they are, UTF-8 ones included.
    set_filename_encoding(U_ASCII);
    return 0;
}

void PlatformStop() {}
void *GetGameWindow() { return nullptr; }
int InitCommonControlsEx(int, int) { return 0; }
void ShowMessageBox(const char *, const char *) {}
// Only the log's own trouble raises an alert; the checker says so.
void ShowAlert(const char *line1, const char *line2, const char *) {
    fprintf(stderr, "quillbay-check: %s (%s)\n", line1 ? line1 : "", line2 ? line2 : "");
}
void PostQuitMessage(int) {}
int CloseRequested() { return 0; }
void SetCloseCheck(bool (*)()) {}
void ShowPassingNotice(const std::string &) {}
bool ReadGamepad(int, gamepadstate &) { return false; }
intptr_t DialogBoxParamA(const dlgtemplate &, DLGPROC, intptr_t) { return -1; }
// No file is ever chosen: the checker asks nobody.
int FileDialog(const filedialogsettings &, char *, int) { return 0; }
bool KeyDown(int) { return false; }
int LocalHour() { return 12; }
void WaitTick() {}
bool ShowBuffer(BITMAP *) { return false; }
void HoldShown(int) {}
void ClearScreen() {}
