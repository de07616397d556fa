// The one seam between the game and the window / operating system.
// Two implementations are linked in alternatively: the real Allegro window
// (platform_allegro.cpp) for the game and a headless one for the tests.
#pragma once

#include <allegro.h>
#include <cstdint>
#include <string>
#include <vector>

// Opaque handles kept for the desktop conventions the game code follows.
typedef void *HINSTANCE;
typedef void *HWNDHANDLE;

// Window messages and notifications understood by the chooser model.
enum : unsigned {
    WM_INITDIALOG = 0x0110,
    WM_COMMAND = 0x0111,
};
enum : int { LBN_SELCHANGE = 1 };
enum : unsigned {
    LB_ADDSTRING = 0x0180,
    LB_GETCURSEL = 0x0188,
    LB_GETITEMDATA = 0x0199,
    LB_SETITEMDATA = 0x019A,
    LB_SETCURSEL = 0x0186,
};
enum : intptr_t { LB_ERR = -1 };
enum : int { IDOK = 1, IDCANCEL = 2 };

inline uintptr_t MAKEWPARAM(int low, int high) {
    return (uintptr_t)(((unsigned)low & 0xFFFF) | (((unsigned)high & 0xFFFF) << 16));
}
inline int LOWORD(uintptr_t w) { return (int)(w & 0xFFFF); }
inline int HIWORD(uintptr_t w) { return (int)((w >> 16) & 0xFFFF); }

// A modal dialog's state: a sorted list box, the texts of its static
// controls and its end result. The dialog procedure works on this alone,
// so its logic runs the same with a window or without one.
struct DlgListItem {
    std::string text;
    intptr_t data;
};
struct DlgControlText {
    int id;
    std::string text;
};
struct DialogState {
    int listid = 0;                    // the one list box's control id
    std::vector<DlgListItem> items;    // kept sorted by text
    int cursel = -1;                   // -1: nothing selected
    std::vector<DlgControlText> texts; // static texts by control id
    bool ended = false;
    intptr_t result = 0;
};
typedef DialogState *HDLG;
typedef intptr_t (*DLGPROC)(HDLG dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

// dialog model (platform independent, in platform_common.cpp)
intptr_t SendDlgItemMessageA(HDLG dialog, int id, unsigned message, uintptr_t wparam, intptr_t lparam);
int SetDlgItemTextA(HDLG dialog, int id, const char *text);
const char *GetDlgItemTextPtr(HDLG dialog, int id);
int EndDialog(HDLG dialog, intptr_t result);
// Select the list row `row` (or -1) and tell the procedure, as a click would.
void DlgSelectRow(HDLG dialog, DLGPROC proc, int row);
// Press the button `id`, as a click would.
void DlgPressButton(HDLG dialog, DLGPROC proc, int id);
// Split text into lines of at most `maxchars` characters, breaking at blanks
// where possible; explicit line feeds are kept.
std::vector<std::string> WrapText(const std::string &text, int maxchars);

// graphics start-up
// Initialise the library and open the game window; 0 on success.
int PlatformInitGraphics();
// InitCommonControlsEx stand-in: nonzero when dialogs can be shown.
int InitCommonControlsEx(int size, int classes);
HWNDHANDLE GetGameWindow();

// notices and requests
// A modal notice with title, text and an OK button; returns when confirmed.
void ShowMessageBox(const char *text, const char *title);
// The library's two-line alert box with one button.
void ShowAlert(const char *line1, const char *line2, const char *button);
// The quit request: recorded, nothing in the game loop depends on it.
void PostQuitMessage(int code);
// Set when the window's close button was pressed.
int CloseRequested();

// dialogs
// Runs dialog `resource` modally with `proc`; returns its result or -1
// when it cannot be shown.
intptr_t DialogBoxParamA(int resource, DLGPROC proc);
// Asks for a file. Returns 1 with the chosen path in `out`, 0 on cancel, or
// a negative error number.
int FileDialog(const char *title, const char *filter, const char *startname,
               const char *defext, char *out, int outsize);

// time and frames
int LocalHour();
// Called once in every iteration of every busy wait on key[].
void WaitTick();
// Copies the top-left of `bmp` to the screen and paces shown frames.
void ShowBuffer(BITMAP *bmp);
