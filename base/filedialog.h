// The file dialog: a described dialog that lists a folder's files through a
// filter, lets the player walk into sub-folders, type a name or switch the
// filter, and asks before replacing or creating a file. Its procedure runs
// the same with a window or without one; the real platform only draws it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/dialog.h"

// options
enum : unsigned {
    OFN_OVERWRITEPROMPT = 0x2,  // ask before a chosen file that exists is replaced
    OFN_HIDEREADONLY = 0x4,     // no read-only box (this dialog never has one)
    OFN_CREATEPROMPT = 0x2000,  // ask before a chosen file that does not exist is created
    OFN_NONETWORKBUTTON = 0x20000,  // no network button (this dialog never has one)
};
// error numbers a failed dialog reports (as negative results)
enum { CDERR_DIALOGFAILURE = 0xFFFF, FNERR_BUFFERTOOSMALL = 0x3003 };

struct filefilter {
    const char *name;     // "Save File"
    const char *pattern;  // "*.qbs"; "*.*" shows every file
};
struct filedialogsettings {
    const char *title = "";
    std::vector<filefilter> filters;
    int filterindex = 0;        // the filter selected at first, from 0
    const char *startname = "";  // the file-name field's first text
    const char *startdir = ".";
    const char *defext = "";    // added to a name typed without an extension
    unsigned flags = 0;
};

// control ids
enum {
    IDC_FD_FOLDER = 1100,
    IDC_FD_FILES = 1101,
    IDC_FD_NAMELABEL = 1102,
    IDC_FD_NAME = 1103,
    IDC_FD_TYPELABEL = 1104,
    IDC_FD_TYPES = 1105,
    IDC_PROMPTTEXT = 1110,
};
extern const dlgtemplate FileDlgTemplate;
extern const dlgtemplate PromptTemplate;

// Shows the file dialog (through DialogBoxParamA). Returns 1 with the chosen
// path in `out`, 0 on cancel, or minus an error number: CDERR_DIALOGFAILURE
// when it cannot be shown, FNERR_BUFFERTOOSMALL when the path does not fit.
int ShowFileDialog(const filedialogsettings &settings, char *out, int outsize);
// The dialog's procedure; `param` of its state points at a filedialogrun.
intptr_t FileDlgProc(HDLG dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
// A question with Yes and No, titled `title`: IDYES or IDNO.
int AskYesNo(const char *title, const std::string &question);

// What the file dialog works on while it runs.
struct filedialogrun {
    const filedialogsettings *settings;
    std::string dir;      // the folder listed
    std::string pattern;  // the files listed match it
    std::string chosen;   // the path once chosen
    size_t outsize;       // the caller's room for the path, terminator included
};
// True when `name` matches the wildcard pattern (* and ?, letters in either
// case); "*.*" matches every name.
bool MatchesPattern(const std::string &name, const std::string &pattern);
