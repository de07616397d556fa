// Dialogs: the description a dialog's owner gives (its controls with their
// ids, captions and places), and the state its dialog procedure works on
// while it runs. Both platforms build that state from the description and
// feed the player's actions into the procedure, so a dialog's logic runs the
// same with a window or without one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// window messages and notifications
enum : unsigned { WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111 };
enum : int { LBN_SELCHANGE = 1, LBN_DBLCLK = 2, EN_CHANGE = 0x0300 };
enum : unsigned {
    LB_ADDSTRING = 0x0180,
    LB_RESETCONTENT = 0x0184,
    LB_SETCURSEL = 0x0186,
    LB_GETCURSEL = 0x0188,
    LB_GETCOUNT = 0x018B,
    LB_GETITEMDATA = 0x0199,
    LB_SETITEMDATA = 0x019A,
};
enum : intptr_t { LB_ERR = -1 };
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

inline uintptr_t MAKEWPARAM(int low, int high) {
    return (uintptr_t)(((unsigned)low & 0xFFFF) | (((unsigned)high & 0xFFFF) << 16));
}
inline int LOWORD(uintptr_t w) { return (int)(w & 0xFFFF); }
inline int HIWORD(uintptr_t w) { return (int)((w >> 16) & 0xFFFF); }

// the description
enum dlgkind { DLG_TEXT, DLG_EDIT, DLG_LIST, DLG_BUTTON, DLG_GROUP };
enum { DLGF_SORTED = 1 };  // a list that keeps its items in order by text
struct dlgcontrol {
    dlgkind kind;
    int id;
    const char *caption;  // a button's or group's label; a text's first text
    int x, y, w, h;       // pixels inside the dialog's frame, below its title
    int flags;
};
// A dialog's frame stands in the middle of the window, its title bar above
// the w by h pixels its controls are placed in.
struct dlgtemplate {
    const char *title;
    int w, h;
    std::vector<dlgcontrol> controls;
};

// the state
struct dlglistitem {
    std::string text;
    intptr_t data;
};
struct dlglist {
    int id;
    bool sorted;
    std::vector<dlglistitem> items;
    int cursel;  // -1: nothing selected
};
struct dlgcontroltext {
    int id;
    std::string text;
};
struct dialogstate {
    std::vector<dlglist> lists;
    std::vector<dlgcontroltext> texts;  // texts and edit fields by control id
    bool ended = false;
    intptr_t result = 0;
    intptr_t param = 0;  // what the dialog's owner passed in
};
typedef dialogstate *HDLG;
typedef intptr_t (*DLGPROC)(HDLG dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

// building and running
// The state a description starts with: empty lists, and each text and edit
// field holding its caption.
dialogstate DlgCreate(const dlgtemplate &dialogtemplate, intptr_t param);
dlglist *DlgFindList(HDLG dialog, int id);
// Select row `row` (or -1) of list `id` and tell the procedure, as a click would.
void DlgSelectRow(HDLG dialog, DLGPROC proc, int id, int row);
// Press the button `id`, as a click would.
void DlgPressButton(HDLG dialog, DLGPROC proc, int id);
// Change an edit field's text and tell the procedure, as typing would.
void DlgTypeText(HDLG dialog, DLGPROC proc, int id, const std::string &text);

// what a dialog procedure calls
intptr_t SendDlgItemMessageA(HDLG dialog, int id, unsigned message, uintptr_t wparam, intptr_t lparam);
int SetDlgItemTextA(HDLG dialog, int id, const char *text);
const char *GetDlgItemTextPtr(HDLG dialog, int id);
int EndDialog(HDLG dialog, intptr_t result);

// text layout
// Split text into lines of at most `maxchars` characters, breaking at blanks
// where possible; explicit line feeds are kept.
std::vector<std::string> WrapText(const std::string &text, int maxchars);
// The text whole when it has at most `maxchars` characters, otherwise cut
// so that it ends in "..." at `maxchars`.
std::string FitText(const std::string &text, int maxchars);
// The text wrapped as WrapText does, in at most `maxlines` lines; when it
// needs more, the last line shown ends in "...".
std::vector<std::string> FitLines(const std::string &text, int maxchars, int maxlines);

// What the dialog hosts draw: the library's 8 by 8 font, text lines this
// many pixels apart, list rows this high.
constexpr int DLGCHARWIDTH = 8, DLGTEXTLINE = 10, DLGLISTROW = 12;
// A list's rows shown at once in a box `h` pixels high.
inline int DlgListRows(int h) { return (h - 4) / DLGLISTROW; }
// The lines a text control shows inside its box, or the rows of a list
// (all of them, each cut to the width left beside a scroll bar when the
// list needs one).
std::vector<std::string> DlgShownLines(HDLG dialog, const dlgcontrol &control);
