// The real platform: an Allegro window on the desktop. Dialogs and message
// boxes are modal Allegro GUI dialogs drawn inside the game window.
#include <time.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell/platform.h"

static volatile int closerequested = 0;

static void OnCloseButton() { closerequested = 1; }
END_OF_FUNCTION(OnCloseButton)

int PlatformInitGraphics() {
    if (allegro_init() != 0) return -1;
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 352, 352, 0, 0) != 0) return -1;
    install_keyboard();
    install_timer();
    install_mouse();
    LOCK_FUNCTION(OnCloseButton);
    LOCK_VARIABLE(closerequested);
    set_close_button_callback(OnCloseButton);
    return 0;
}

int InitCommonControlsEx(int, int) { return 1; }

HWNDHANDLE GetGameWindow() { return (HWNDHANDLE)screen; }

int CloseRequested() { return closerequested; }

void PostQuitMessage(int) {}

int LocalHour() {
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    return local.tm_hour;
}

void WaitTick() { rest(1); }

void ShowBuffer(BITMAP *bmp) {
    // Pace shown frames to 60 per second against the monotonic clock; after
    // a long stall the schedule restarts instead of rushing to catch up.
    static struct timespec next = {0, 0};
    const long frame = 1000000000L / 60;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    long long nowns = now.tv_sec * 1000000000LL + now.tv_nsec;
    long long nextns = next.tv_sec * 1000000000LL + next.tv_nsec;
    if (nextns == 0 || nowns - nextns > frame * 4) nextns = nowns;
    if (nextns > nowns) {
        struct timespec wait = {(time_t)((nextns - nowns) / 1000000000LL), (long)((nextns - nowns) % 1000000000LL)};
        nanosleep(&wait, nullptr);
    }
    if (bmp) blit(bmp, screen, 0, 0, 0, 0, 360, 370);
    nextns += frame;
    next.tv_sec = (time_t)(nextns / 1000000000LL);
    next.tv_nsec = (long)(nextns % 1000000000LL);
}

// ---------------------------------------------------------------------------
// GUI helpers

static int Colour(int r, int g, int b) { return makecol(r, g, b); }
static int PanelColour() { return Colour(228, 224, 212); }
static int InkColour() { return Colour(16, 16, 24); }
static int TitleColour() { return Colour(40, 72, 128); }

// Title bar of a dialog frame: the caption on a coloured strip.
static int FrameProc(int msg, DIALOG *d, int) {
    if (msg == MSG_DRAW) {
        BITMAP *gs = gui_get_screen();
        rectfill(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, PanelColour());
        rect(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, InkColour());
        rectfill(gs, d->x + 1, d->y + 1, d->x + d->w - 2, d->y + 14, TitleColour());
        textout_ex(gs, font, (const char *)d->dp, d->x + 5, d->y + 4, Colour(255, 255, 255), -1);
    }
    return D_O_K;
}

// Draws wrapped lines inside the object's box, clipped to it.
static void DrawWrapped(BITMAP *gs, DIALOG *d, const std::string &text, int colour) {
    int maxchars = d->w / text_length(font, "M");
    std::vector<std::string> lines = WrapText(text, maxchars);
    int oldcl, oldct, oldcr, oldcb;
    get_clip_rect(gs, &oldcl, &oldct, &oldcr, &oldcb);
    set_clip_rect(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1);
    int y = d->y;
    for (const std::string &line : lines) {
        textout_ex(gs, font, line.c_str(), d->x, y, colour, -1);
        y += text_height(font) + 2;
    }
    set_clip_rect(gs, oldcl, oldct, oldcr, oldcb);
}

// Plain wrapped text held in dp (message boxes, fixed captions).
static int WrappedTextProc(int msg, DIALOG *d, int) {
    if (msg == MSG_DRAW) {
        rectfill(gui_get_screen(), d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, PanelColour());
        DrawWrapped(gui_get_screen(), d, (const char *)d->dp, InkColour());
    }
    return D_O_K;
}

static int GroupBoxProc(int msg, DIALOG *d, int) {
    if (msg == MSG_DRAW) {
        BITMAP *gs = gui_get_screen();
        int top = d->y + text_height(font) / 2;
        rect(gs, d->x, top, d->x + d->w - 1, d->y + d->h - 1, Colour(120, 116, 108));
        const char *caption = (const char *)d->dp;
        int width = text_length(font, caption);
        rectfill(gs, d->x + 2, d->y, d->x + 3 + width, d->y + text_height(font), PanelColour());
        textout_ex(gs, font, caption, d->x + 3, d->y, InkColour(), -1);
    }
    return D_O_K;
}

// Runs an Allegro dialog until it closes; restores what lay beneath it.
// Returns the index of the object that closed it, or -1 for Escape or the
// window's close button.
static int RunModal(DIALOG *dialog, int focus, int (*done)()) {
    int x = screen->w, y = screen->h, r = 0, b = 0;
    for (DIALOG *d = dialog; d->proc; d++) {
        if (d->w <= 0 || d->h <= 0) continue;
        if (d->x < x) x = d->x;
        if (d->y < y) y = d->y;
        if (d->x + d->w > r) r = d->x + d->w;
        if (d->y + d->h > b) b = d->y + d->h;
    }
    BITMAP *under = (r > x && b > y) ? create_bitmap(r - x, b - y) : nullptr;
    if (under) blit(screen, under, x, y, 0, 0, r - x, b - y);

    clear_keybuf();
    show_mouse(screen);
    DIALOG_PLAYER *player = init_dialog(dialog, focus);
    while (update_dialog(player)) {
        if (closerequested || (done && done())) break;
    }
    int closer = closerequested ? -1 : player->obj;
    shutdown_dialog(player);
    show_mouse(nullptr);

    if (under) {
        blit(under, screen, 0, 0, x, y, r - x, b - y);
        destroy_bitmap(under);
    }
    // Keys that closed the dialog must not leak into the game loop.
    while (key[KEY_ENTER] || key[KEY_SPACE] || key[KEY_ESC]) rest(1);
    clear_keybuf();
    return closer;
}

static void SetColours(DIALOG *dialog) {
    for (DIALOG *d = dialog; d->proc; d++) {
        d->fg = InkColour();
        d->bg = PanelColour();
    }
}

// ---------------------------------------------------------------------------
// Message boxes

static void ShowNotice(const std::vector<std::string> &lines, const char *title, const char *button) {
    // Without a window (the graphics mode failed) the notice goes to the
    // terminal instead.
    if (!screen) {
        fprintf(stderr, "%s:", title);
        for (const std::string &line : lines) fprintf(stderr, " %s", line.c_str());
        fprintf(stderr, "\n");
        return;
    }
    const int charw = 8, lineh = text_height(font) + 2;
    const int maxchars = (screen->w - 28) / charw;
    std::string text;
    for (const std::string &line : lines) {
        if (!text.empty()) text += "\n";
        text += line;
    }
    std::vector<std::string> wrapped = WrapText(text, maxchars);
    int widest = (int)strlen(title) + 2;
    for (const std::string &line : wrapped)
        if ((int)line.size() > widest) widest = (int)line.size();
    int w = widest * charw + 28;
    if (w < 160) w = 160;
    if (w > screen->w - 4) w = screen->w - 4;
    int maxlines = (screen->h - 70) / lineh;
    if ((int)wrapped.size() > maxlines) wrapped.resize((size_t)maxlines);
    int texth = (int)wrapped.size() * lineh;
    int h = 16 + 10 + texth + 10 + 22 + 10;
    int x = (screen->w - w) / 2, y = (screen->h - h) / 2;

    std::string shown;
    for (const std::string &line : wrapped) {
        if (!shown.empty()) shown += "\n";
        shown += line;
    }
    DIALOG dialog[] = {
        {FrameProc, x, y, w, h, 0, 0, 0, 0, 0, 0, (void *)title, nullptr, nullptr},
        {WrappedTextProc, x + 12, y + 26, w - 24, texth, 0, 0, 0, 0, 0, 0, (void *)shown.c_str(), nullptr, nullptr},
        {d_button_proc, x + (w - 80) / 2, y + h - 32, 80, 22, 0, 0, 'o', D_EXIT, 0, 0, (void *)button, nullptr, nullptr},
        {d_yield_proc, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr},
        {nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr},
    };
    SetColours(dialog);
    RunModal(dialog, 2, nullptr);
}

void ShowMessageBox(const char *text, const char *title) {
    ShowNotice({text ? text : ""}, title ? title : "", "OK");
}

void ShowAlert(const char *line1, const char *line2, const char *button) {
    ShowNotice({line1 ? line1 : "", line2 ? line2 : ""}, "Quillbay", button ? button : "&OK");
}

// ---------------------------------------------------------------------------
// The chooser host

static HDLG chooser = nullptr;
static DLGPROC chooserproc = nullptr;

static int ChooserDone() { return chooser && chooser->ended; }

// A control's text as the model holds it, or its fixed caption.
static int ModelTextProc(int msg, DIALOG *d, int) {
    if (msg == MSG_DRAW) {
        rectfill(gui_get_screen(), d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, PanelColour());
        DrawWrapped(gui_get_screen(), d, GetDlgItemTextPtr(chooser, d->d1), InkColour());
    }
    return D_O_K;
}

// A push button that sends its command to the dialog procedure.
static int CommandButtonProc(int msg, DIALOG *d, int c) {
    int result = d_button_proc(msg, d, c);
    if (result & D_CLOSE) {
        d->flags &= ~D_SELECTED;
        DlgPressButton(chooser, chooserproc, d->d2);
        result &= ~D_CLOSE;
        result |= chooser->ended ? D_CLOSE : D_REDRAW;
    }
    return result;
}

// The project list: sorted items of the model, none selected at first.
static int ListRows(DIALOG *d) { return (d->h - 4) / (text_height(font) + 4); }

static int ProjectListProc(int msg, DIALOG *d, int c) {
    BITMAP *gs = gui_get_screen();
    const int rowh = text_height(font) + 4;
    const int count = (int)chooser->items.size();
    const int rows = ListRows(d);
    auto keepvisible = [&]() {
        if (chooser->cursel >= 0 && chooser->cursel < d->d2) d->d2 = chooser->cursel;
        if (chooser->cursel >= d->d2 + rows) d->d2 = chooser->cursel - rows + 1;
        if (d->d2 > count - rows) d->d2 = count - rows;
        if (d->d2 < 0) d->d2 = 0;
    };
    auto select = [&](int row) {
        if (row < 0) row = 0;
        if (row >= count) row = count - 1;
        if (row == chooser->cursel) return D_O_K;
        // Show the new selection before the procedure hears of it.
        chooser->cursel = row;
        keepvisible();
        object_message(d, MSG_DRAW, 0);
        chooserproc(chooser, WM_COMMAND, MAKEWPARAM(chooser->listid, LBN_SELCHANGE), 0);
        return D_REDRAW;
    };

    switch (msg) {
    case MSG_START:
        d->d2 = 0;
        return D_O_K;
    case MSG_WANTFOCUS:
        return D_WANTFOCUS;
    case MSG_GOTFOCUS:
    case MSG_LOSTFOCUS:
        return D_REDRAWME;
    case MSG_DRAW: {
        int white = Colour(255, 255, 255);
        rectfill(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, white);
        rect(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, InkColour());
        bool scroll = count > rows;
        int textright = d->x + d->w - (scroll ? 10 : 2);
        set_clip_rect(gs, d->x + 1, d->y + 1, textright, d->y + d->h - 2);
        for (int i = 0; i < rows && d->d2 + i < count; i++) {
            int row = d->d2 + i;
            int y = d->y + 2 + i * rowh;
            bool selected = row == chooser->cursel;
            if (selected) rectfill(gs, d->x + 2, y, textright - 1, y + rowh - 1, TitleColour());
            textout_ex(gs, font, chooser->items[(size_t)row].text.c_str(), d->x + 4, y + 2,
                       selected ? white : InkColour(), -1);
        }
        set_clip_rect(gs, 0, 0, gs->w - 1, gs->h - 1);
        if (scroll) {
            int bx = d->x + d->w - 9, top = d->y + 2, height = d->h - 4;
            rectfill(gs, bx, top, bx + 6, top + height - 1, Colour(210, 206, 196));
            int thumb = height * rows / count, at = top + height * d->d2 / count;
            rectfill(gs, bx, at, bx + 6, at + thumb - 1, Colour(120, 116, 108));
        }
        if (d->flags & D_GOTFOCUS) rect(gs, d->x + 1, d->y + 1, d->x + d->w - 2, d->y + d->h - 2, TitleColour());
        return D_O_K;
    }
    case MSG_CHAR:
        switch (c >> 8) {
        case KEY_UP: return chooser->cursel < 0 ? D_USED_CHAR : select(chooser->cursel - 1) | D_USED_CHAR;
        case KEY_DOWN: return select(chooser->cursel + 1) | D_USED_CHAR;
        case KEY_HOME: return select(0) | D_USED_CHAR;
        case KEY_END: return select(count - 1) | D_USED_CHAR;
        case KEY_PGUP: return select(chooser->cursel - rows) | D_USED_CHAR;
        case KEY_PGDN: return select(chooser->cursel + rows) | D_USED_CHAR;
        case KEY_ENTER:
        case KEY_ENTER_PAD:
            DlgPressButton(chooser, chooserproc, IDOK);
            return (chooser->ended ? D_CLOSE : D_REDRAW) | D_USED_CHAR;
        default: return D_O_K;
        }
    case MSG_CLICK: {
        int row = d->d2 + (gui_mouse_y() - d->y - 2) / rowh;
        if (gui_mouse_x() >= d->x + d->w - 10 && count > rows) {
            d->d2 += gui_mouse_y() < d->y + d->h / 2 ? -rows : rows;
            keepvisible();
            while (gui_mouse_b()) rest(1);
            return D_REDRAW;
        }
        while (gui_mouse_b()) rest(1);
        if (row >= 0 && row < count && row < d->d2 + rows) return select(row);
        return D_O_K;
    }
    case MSG_DCLICK:
        if (chooser->cursel < 0) return D_O_K;
        DlgPressButton(chooser, chooserproc, IDOK);
        return chooser->ended ? D_CLOSE : D_REDRAW;
    case MSG_WHEEL:
        d->d2 -= c;
        keepvisible();
        return D_REDRAWME;
    default:
        return D_O_K;
    }
}

intptr_t DialogBoxParamA(int, DLGPROC proc) {
    DialogState state;
    state.listid = 121;
    chooser = &state;
    chooserproc = proc;
    proc(&state, WM_INITDIALOG, 0, 0);

    // Dialog 120 laid out in the 352 by 352 window: the project list on the
    // left, the information group and the buttons on the right.
    DIALOG dialog[] = {
        {FrameProc, 0, 0, 352, 352, 0, 0, 0, 0, 0, 0, (void *)"Start a New Game", nullptr, nullptr},
        {d_text_proc, 8, 22, 170, 12, 0, 0, 0, 0, 0, 0, (void *)"Available projects", nullptr, nullptr},
        {ProjectListProc, 8, 36, 170, 306, 0, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr},
        {CommandButtonProc, 186, 18, 158, 22, 0, 0, 'l', D_EXIT, 0, 123, (void *)"&Load Older Game", nullptr, nullptr},
        {GroupBoxProc, 186, 48, 158, 232, 0, 0, 0, 0, 0, 0, (void *)"Project Information", nullptr, nullptr},
        {ModelTextProc, 191, 64, 150, 20, 0, 0, 0, 0, 124, 0, nullptr, nullptr, nullptr},
        {ModelTextProc, 191, 88, 150, 124, 0, 0, 0, 0, 125, 0, nullptr, nullptr, nullptr},
        {ModelTextProc, 191, 216, 150, 22, 0, 0, 0, 0, 126, 0, nullptr, nullptr, nullptr},
        {ModelTextProc, 191, 242, 150, 34, 0, 0, 0, 0, 127, 0, nullptr, nullptr, nullptr},
        {CommandButtonProc, 186, 288, 158, 22, 0, 0, 'o', D_EXIT, 0, IDOK, (void *)"&OK", nullptr, nullptr},
        {CommandButtonProc, 186, 318, 158, 22, 0, 0, 'c', D_EXIT, 0, IDCANCEL, (void *)"&Cancel", nullptr, nullptr},
        {d_yield_proc, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr},
        {nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr},
    };
    SetDlgItemTextA(&state, 124, "Name: ");
    SetDlgItemTextA(&state, 125, "Description: ");
    SetDlgItemTextA(&state, 126, "Creator: ");
    SetDlgItemTextA(&state, 127, "URL: ");
    SetColours(dialog);

    RunModal(dialog, 2, ChooserDone);
    // Escape or the window's close button: the Cancel command.
    if (!state.ended) DlgPressButton(&state, proc, IDCANCEL);
    chooser = nullptr;
    chooserproc = nullptr;
    return state.ended ? state.result : -1;
}

int FileDialog(const char *title, const char *filter, const char *startname, const char *defext, char *out,
               int outsize) {
    (void)filter;
    if (!out || outsize < 2) return -1;
    snprintf(out, (size_t)outsize, "%s", startname ? startname : "");
    show_mouse(screen);
    int chosen = file_select_ex(title, out, defext, outsize, 320, 300);
    show_mouse(nullptr);
    return chosen ? 1 : 0;
}
