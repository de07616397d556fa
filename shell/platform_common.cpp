// The dialog model shared by the real and the headless dialog hosts.
#include <algorithm>
#include <cstring>

#include "shell/platform.h"

static DlgControlText *FindText(HDLG dialog, int id) {
    for (DlgControlText &t : dialog->texts)
        if (t.id == id) return &t;
    return nullptr;
}

intptr_t SendDlgItemMessageA(HDLG dialog, int id, unsigned message, uintptr_t wparam, intptr_t lparam) {
    if (!dialog || id != dialog->listid) return LB_ERR;
    std::vector<DlgListItem> &items = dialog->items;
    switch (message) {
    case LB_ADDSTRING: {
        // Sorted list: insert after every item whose text sorts before it
        // (case-insensitive, as a sorted list box orders its entries).
        std::string text = lparam ? (const char *)lparam : "";
        auto at = std::upper_bound(items.begin(), items.end(), text,
                                   [](const std::string &a, const DlgListItem &b) {
                                       return strcasecmp(a.c_str(), b.text.c_str()) < 0;
                                   });
        intptr_t row = at - items.begin();
        items.insert(at, DlgListItem{text, 0});
        if (dialog->cursel >= row) dialog->cursel++;
        return row;
    }
    case LB_SETITEMDATA:
        if (wparam >= items.size()) return LB_ERR;
        items[wparam].data = lparam;
        return 1;
    case LB_GETITEMDATA:
        if (wparam >= items.size()) return LB_ERR;
        return items[wparam].data;
    case LB_GETCURSEL:
        return dialog->cursel < 0 ? (intptr_t)LB_ERR : (intptr_t)dialog->cursel;
    case LB_SETCURSEL:
        if ((intptr_t)wparam < 0 || wparam >= items.size()) {
            dialog->cursel = -1;
            return LB_ERR;
        }
        dialog->cursel = (int)wparam;
        return dialog->cursel;
    default:
        return LB_ERR;
    }
}

int SetDlgItemTextA(HDLG dialog, int id, const char *text) {
    if (!dialog) return 0;
    DlgControlText *t = FindText(dialog, id);
    if (!t) {
        dialog->texts.push_back(DlgControlText{id, ""});
        t = &dialog->texts.back();
    }
    t->text = text ? text : "";
    return 1;
}

const char *GetDlgItemTextPtr(HDLG dialog, int id) {
    DlgControlText *t = dialog ? FindText(dialog, id) : nullptr;
    return t ? t->text.c_str() : "";
}

int EndDialog(HDLG dialog, intptr_t result) {
    if (!dialog) return 0;
    dialog->ended = true;
    dialog->result = result;
    return 1;
}

void DlgSelectRow(HDLG dialog, DLGPROC proc, int row) {
    if (row < -1 || row >= (int)dialog->items.size() || row == dialog->cursel) return;
    dialog->cursel = row;
    proc(dialog, WM_COMMAND, MAKEWPARAM(dialog->listid, LBN_SELCHANGE), 0);
}

void DlgPressButton(HDLG dialog, DLGPROC proc, int id) {
    proc(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::vector<std::string> WrapText(const std::string &text, int maxchars) {
    std::vector<std::string> lines;
    if (maxchars < 1) maxchars = 1;
    size_t start = 0;
    while (start <= text.size()) {
        size_t feed = text.find('\n', start);
        std::string para = text.substr(start, feed == std::string::npos ? std::string::npos : feed - start);
        while ((int)para.size() > maxchars) {
            size_t cut = para.rfind(' ', (size_t)maxchars);
            if (cut == std::string::npos || cut == 0) cut = (size_t)maxchars;
            lines.push_back(para.substr(0, cut));
            size_t next = cut;
            while (next < para.size() && para[next] == ' ') next++;
            para = para.substr(next);
        }
        lines.push_back(para);
        if (feed == std::string::npos) break;
        start = feed + 1;
    }
    return lines;
}
