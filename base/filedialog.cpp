// The file dialog and its Yes/No prompts, built on the dialog model.
#include "base/filedialog.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "base/platform.h"

namespace fs = std::filesystem;

// The name field and its OK come first, so the field takes the keyboard and
// Tab runs field, files, filters, OK, Cancel.
const dlgtemplate FileDlgTemplate = {
    "",
    328,
    280,
    {
        {DLG_EDIT, IDC_FD_NAME, nullptr, 124, 220, 200, 16, 0},
        {DLG_LIST, IDC_FD_FILES, nullptr, 4, 16, 232, 196, 0},
        {DLG_LIST, IDC_FD_TYPES, nullptr, 124, 244, 200, 28, 0},
        {DLG_BUTTON, IDOK, "&OK", 244, 16, 80, 22, 0},
        {DLG_BUTTON, IDCANCEL, "&Cancel", 244, 44, 80, 22, 0},
        {DLG_TEXT, IDC_FD_FOLDER, "Folder:", 4, 2, 320, 12, 0},
        {DLG_TEXT, IDC_FD_NAMELABEL, "File name:", 4, 224, 116, 12, 0},
        {DLG_TEXT, IDC_FD_TYPELABEL, "Files of type:", 4, 248, 116, 12, 0},
    },
};

const dlgtemplate PromptTemplate = {
    "",
    300,
    70,
    {
        {DLG_BUTTON, IDYES, "&Yes", 62, 44, 80, 22, 0},
        {DLG_BUTTON, IDNO, "&No", 158, 44, 80, 22, 0},
        {DLG_TEXT, IDC_PROMPTTEXT, nullptr, 6, 4, 288, 34, 0},
    },
};

enum { ROW_FILE = 0, ROW_FOLDER = 1 };

bool MatchesPattern(const std::string &name, const std::string &pattern) {
    if (pattern == "*.*") return true;
    // Backtracks over the last star only: enough for any pattern of * and ?.
    size_t n = 0, p = 0, star = std::string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || tolower((unsigned char)pattern[p]) == tolower((unsigned char)name[n]))) {
            p++;
            n++;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') p++;
    return p == pattern.size();
}

static bool HasWildcard(const std::string &name) { return name.find_first_of("*?") != std::string::npos; }

static bool NameBefore(const std::string &a, const std::string &b) { return strcasecmp(a.c_str(), b.c_str()) < 0; }

static void AddRow(HDLG dialog, const std::string &text, int kind) {
    intptr_t row = SendDlgItemMessageA(dialog, IDC_FD_FILES, LB_ADDSTRING, 0, (intptr_t)text.c_str());
    SendDlgItemMessageA(dialog, IDC_FD_FILES, LB_SETITEMDATA, (uintptr_t)row, kind);
}

// Fills the list: the way up, the sub-folders, then the files that match,
// each group in name order; hidden names are left out.
static void ListFolder(HDLG dialog, filedialogrun &run) {
    SendDlgItemMessageA(dialog, IDC_FD_FILES, LB_RESETCONTENT, 0, 0);
    std::vector<std::string> folders, files;
    std::error_code ec;
    fs::directory_iterator it(run.dir, ec), end;
    std::string heading = "Folder: " + run.dir;
    if (ec) heading += " (cannot be read)";
    SetDlgItemTextA(dialog, IDC_FD_FOLDER, heading.c_str());
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code kind;
        if (it->is_directory(kind))
            folders.push_back(name);
        else if (MatchesPattern(name, run.pattern))
            files.push_back(name);
    }
    std::sort(folders.begin(), folders.end(), NameBefore);
    std::sort(files.begin(), files.end(), NameBefore);
    AddRow(dialog, "../", ROW_FOLDER);
    for (const std::string &name : folders) AddRow(dialog, name + "/", ROW_FOLDER);
    for (const std::string &name : files) AddRow(dialog, name, ROW_FILE);
}

int AskYesNo(const char *title, const std::string &question) {
    dlgtemplate prompt = PromptTemplate;
    prompt.title = title;
    auto proc = [](HDLG dialog, unsigned message, uintptr_t wparam, intptr_t) -> intptr_t {
        if (message == WM_INITDIALOG) {
            SetDlgItemTextA(dialog, IDC_PROMPTTEXT, ((const std::string *)dialog->param)->c_str());
            return 1;
        }
        if (message != WM_COMMAND) return 0;
        // Escape or the close button (Cancel) answers No.
        EndDialog(dialog, LOWORD(wparam) == IDYES ? IDYES : IDNO);
        return 1;
    };
    return DialogBoxParamA(prompt, proc, (intptr_t)&question) == IDYES ? IDYES : IDNO;
}

// A folder's path as the heading shows it: "saves", not "./saves/".
static std::string FolderName(const fs::path &folder) {
    fs::path normal = folder.lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
    return normal.string();
}

// OK: a pattern (perhaps in another folder) lists anew, a folder is walked
// into, and a file name (given the default extension when it has none) is
// the choice, once the prompts the options ask for have been answered Yes.
static void Accept(HDLG dialog, filedialogrun &run) {
    const filedialogsettings &settings = *run.settings;
    std::string name = GetDlgItemTextPtr(dialog, IDC_FD_NAME);
    if (name.empty()) return;
    fs::path path = fs::path(run.dir) / name;
    std::error_code ec;
    if (HasWildcard(name)) {
        run.dir = FolderName(path.parent_path());
        run.pattern = path.filename().string();
        SetDlgItemTextA(dialog, IDC_FD_NAME, run.pattern.c_str());
        ListFolder(dialog, run);
        return;
    }
    if (fs::is_directory(path, ec)) {
        run.dir = FolderName(path);
        SetDlgItemTextA(dialog, IDC_FD_NAME, run.pattern.c_str());
        ListFolder(dialog, run);
        return;
    }
    if (path.filename().empty()) return;
    if (!path.has_extension() && settings.defext[0]) path += std::string(".") + settings.defext;
    std::string chosen = path.lexically_normal().string();
    bool exists = fs::exists(path, ec);
    if (exists && (settings.flags & OFN_OVERWRITEPROMPT) &&
        AskYesNo(settings.title, chosen + " already exists.\nDo you want to replace it?") != IDYES)
        return;
    if (!exists && (settings.flags & OFN_CREATEPROMPT) &&
        AskYesNo(settings.title, chosen + " does not exist.\nDo you want to create it?") != IDYES)
        return;
    if (chosen.size() + 1 > run.outsize) {
        EndDialog(dialog, -FNERR_BUFFERTOOSMALL);
        return;
    }
    run.chosen = chosen;
    EndDialog(dialog, 1);
}

static void Initialise(HDLG dialog, filedialogrun &run) {
    const filedialogsettings &settings = *run.settings;
    SetDlgItemTextA(dialog, IDC_FD_NAME, settings.startname);
    for (const filefilter &filter : settings.filters) {
        std::string row = std::string(filter.name) + " (" + filter.pattern + ")";
        SendDlgItemMessageA(dialog, IDC_FD_TYPES, LB_ADDSTRING, 0, (intptr_t)row.c_str());
    }
    int first = settings.filterindex;
    bool hasfilter = first >= 0 && first < (int)settings.filters.size();
    if (hasfilter) SendDlgItemMessageA(dialog, IDC_FD_TYPES, LB_SETCURSEL, (uintptr_t)first, 0);
    run.dir = settings.startdir;
    run.pattern = HasWildcard(settings.startname) ? settings.startname
                  : hasfilter                     ? settings.filters[(size_t)first].pattern
                                                  : "*.*";
    ListFolder(dialog, run);
}

static std::string SelectedText(HDLG dialog, int id) {
    dlglist *list = DlgFindList(dialog, id);
    if (!list || list->cursel < 0 || list->cursel >= (int)list->items.size()) return "";
    return list->items[(size_t)list->cursel].text;
}

intptr_t FileDlgProc(HDLG dialog, unsigned message, uintptr_t wparam, intptr_t) {
    filedialogrun *run = dialog ? (filedialogrun *)dialog->param : nullptr;
    if (!run || !run->settings) return 0;
    if (message == WM_INITDIALOG) {
        Initialise(dialog, *run);
        return 1;
    }
    if (message != WM_COMMAND) return 0;
    int id = LOWORD(wparam);
    if (HIWORD(wparam) == LBN_SELCHANGE) {
        // A file or folder row becomes the name OK acts on.
        if (id == IDC_FD_FILES) {
            std::string row = SelectedText(dialog, IDC_FD_FILES);
            if (!row.empty()) SetDlgItemTextA(dialog, IDC_FD_NAME, row.c_str());
            return 1;
        }
        // Another filter lists anew, and replaces a pattern in the name field.
        intptr_t k = SendDlgItemMessageA(dialog, IDC_FD_TYPES, LB_GETCURSEL, 0, 0);
        if (id != IDC_FD_TYPES || k < 0 || k >= (intptr_t)run->settings->filters.size()) return 0;
        run->pattern = run->settings->filters[(size_t)k].pattern;
        std::string name = GetDlgItemTextPtr(dialog, IDC_FD_NAME);
        if (name.empty() || HasWildcard(name)) SetDlgItemTextA(dialog, IDC_FD_NAME, run->pattern.c_str());
        ListFolder(dialog, *run);
        return 1;
    }
    if (HIWORD(wparam) != 0) return 0;
    if (id == IDOK) {
        Accept(dialog, *run);
        return 1;
    }
    if (id == IDCANCEL) {
        EndDialog(dialog, 0);
        return 1;
    }
    return 0;
}

int ShowFileDialog(const filedialogsettings &settings, char *out, int outsize) {
    if (!out || outsize < 1) return -FNERR_BUFFERTOOSMALL;
    filedialogrun run{&settings, ".", "", "", (size_t)outsize};
    dlgtemplate dialog = FileDlgTemplate;
    dialog.title = settings.title;
    intptr_t result = DialogBoxParamA(dialog, FileDlgProc, (intptr_t)&run);
    if (result == 1) {
        memcpy(out, run.chosen.c_str(), run.chosen.size() + 1);
        return 1;
    }
    if (result == 0) return 0;
    // -1: the dialog could not be shown; anything else is the procedure's error.
    return result == -1 ? -CDERR_DIALOGFAILURE : (int)result;
}
