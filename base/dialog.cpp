// The dialog model shared by the real and the headless dialog hosts.
#include "base/dialog.h"

#include <strings.h>

#include <algorithm>

static dlgcontroltext *FindText(HDLG dialog, int id) {
    for (dlgcontroltext &t : dialog->texts)
        if (t.id == id) return &t;
    return nullptr;
}

dialogstate DlgCreate(const dlgtemplate &dialogtemplate, intptr_t param) {
    dialogstate state;
    state.param = param;
    for (const dlgcontrol &control : dialogtemplate.controls) {
        if (control.kind == DLG_LIST)
            state.lists.push_back(dlglist{control.id, (control.flags & DLGF_SORTED) != 0, {}, -1});
        else if (control.kind == DLG_TEXT || control.kind == DLG_EDIT)
            state.texts.push_back(dlgcontroltext{control.id, control.caption ? control.caption : ""});
    }
    return state;
}

dlglist *DlgFindList(HDLG dialog, int id) {
    if (!dialog) return nullptr;
    for (dlglist &list : dialog->lists)
        if (list.id == id) return &list;
    return nullptr;
}

static intptr_t AddString(dlglist &list, const char *lparam) {
    std::string text = lparam ? lparam : "";
    auto at = list.items.end();
    // A sorted list inserts after every item whose text sorts before it
    // (case-insensitive, as a sorted list box orders its entries).
    if (list.sorted)
        at = std::upper_bound(list.items.begin(), list.items.end(), text,
                              [](const std::string &a, const dlglistitem &b) {
                                  return strcasecmp(a.c_str(), b.text.c_str()) < 0;
                              });
    intptr_t row = at - list.items.begin();
    list.items.insert(at, dlglistitem{text, 0});
    if (list.cursel >= row) list.cursel++;
    return row;
}

intptr_t SendDlgItemMessageA(HDLG dialog, int id, unsigned message, uintptr_t wparam, intptr_t lparam) {
    dlglist *list = DlgFindList(dialog, id);
    if (!list) return LB_ERR;
    std::vector<dlglistitem> &items = list->items;
    switch (message) {
    case LB_ADDSTRING: return AddString(*list, (const char *)lparam);
    case LB_RESETCONTENT:
        items.clear();
        list->cursel = -1;
        return 0;
    case LB_GETCOUNT: return (intptr_t)items.size();
    case LB_SETITEMDATA:
        if (wparam >= items.size()) return LB_ERR;
        items[wparam].data = lparam;
        return 1;
    case LB_GETITEMDATA:
        if (wparam >= items.size()) return LB_ERR;
        return items[wparam].data;
    case LB_GETCURSEL: return list->cursel < 0 ? (intptr_t)LB_ERR : (intptr_t)list->cursel;
    case LB_SETCURSEL:
        if ((intptr_t)wparam < 0 || wparam >= items.size()) {
            list->cursel = -1;
            return LB_ERR;
        }
        list->cursel = (int)wparam;
        return list->cursel;
    default: return LB_ERR;
    }
}

int SetDlgItemTextA(HDLG dialog, int id, const char *text) {
    if (!dialog) return 0;
    dlgcontroltext *t = FindText(dialog, id);
    if (!t) {
        dialog->texts.push_back(dlgcontroltext{id, ""});
        t = &dialog->texts.back();
    }
    t->text = text ? text : "";
    return 1;
}

const char *GetDlgItemTextPtr(HDLG dialog, int id) {
    dlgcontroltext *t = dialog ? FindText(dialog, id) : nullptr;
    return t ? t->text.c_str() : "";
}

int EndDialog(HDLG dialog, intptr_t result) {
    if (!dialog) return 0;
    dialog->ended = true;
    dialog->result = result;
    return 1;
}

void DlgSelectRow(HDLG dialog, DLGPROC proc, int id, int row) {
    dlglist *list = DlgFindList(dialog, id);
    if (!list || row < -1 || row >= (int)list->items.size() || row == list->cursel) return;
    list->cursel = row;
    proc(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), 0);
}

void DlgPressButton(HDLG dialog, DLGPROC proc, int id) {
    proc(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void DlgTypeText(HDLG dialog, DLGPROC proc, int id, const std::string &text) {
    SetDlgItemTextA(dialog, id, text.c_str());
    proc(dialog, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), 0);
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

// The start of the text that leaves room for "...", and the dots.
static std::string CutWithDots(const std::string &text, int maxchars) {
    std::string kept = text.substr(0, std::min(text.size(), (size_t)std::max(0, maxchars - 3)));
    while (!kept.empty() && kept.back() == ' ') kept.pop_back();
    return kept + "...";
}

std::string FitText(const std::string &text, int maxchars) {
    return (int)text.size() <= maxchars ? text : CutWithDots(text, maxchars);
}

std::vector<std::string> FitLines(const std::string &text, int maxchars, int maxlines) {
    std::vector<std::string> lines = WrapText(text, maxchars);
    if (maxlines < 1) maxlines = 1;
    if ((int)lines.size() <= maxlines) return lines;
    lines.resize((size_t)maxlines);
    // The last line shown says that more follows, even when it is short.
    lines.back() = CutWithDots(lines.back(), maxchars);
    return lines;
}

std::vector<std::string> DlgShownLines(HDLG dialog, const dlgcontrol &control) {
    if (control.kind != DLG_LIST)
        return FitLines(GetDlgItemTextPtr(dialog, control.id), control.w / DLGCHARWIDTH,
                        (control.h + DLGTEXTLINE - DLGCHARWIDTH) / DLGTEXTLINE);
    std::vector<std::string> rows;
    const dlglist *list = DlgFindList(dialog, control.id);
    if (!list) return rows;
    // Text starts 4 pixels in; the right border takes 2, a scroll bar 10.
    const bool scroll = (int)list->items.size() > DlgListRows(control.h);
    const int chars = (control.w - 3 - (scroll ? 10 : 2)) / DLGCHARWIDTH;
    for (const dlglistitem &item : list->items) rows.push_back(FitText(item.text, chars));
    return rows;
}
