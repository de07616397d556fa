// The real platform: an Allegro window on the desktop. Dialogs and message
// boxes are modal Allegro GUI dialogs drawn inside the game window; a
// dialog's controls come from the description its owner gives.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/platform.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <xalleg.h>

static volatile int closerequested = 0;

static void OnCloseButton() { closerequested = 1; }
END_OF_FUNCTION(OnCloseButton)

// ---------------------------------------------------------------------------
// The library's background thread does its window-system work (reading the
// keys, the mouse and the window's events) every 10 ms, but wakes every
// millisecond to look whether the 10 ms have passed, which alone costs a few
// per cent of a core while the game stands still. This one sleeps until the
// window system sends something, and makes a pass at least every tenth of a
// second besides; what the game draws is sent by the game itself
// (SendDrawing). The library takes it through the background manager it
// starts with.

// Sleeps this long without the library's timer, which would tick every
// millisecond meanwhile.
static void SleepNs(long long ns) {
    if (ns <= 0) return;
    struct timespec pause = {(time_t)(ns / 1000000000LL), (long)(ns % 1000000000LL)};
    nanosleep(&pause, nullptr);
}
static void Sleep(int ms) { SleepNs(ms * 1000000LL); }

namespace quietbg {
pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t enabled = PTHREAD_COND_INITIALIZER;
int disabled = 0;
bg_func funcs[16];
volatile int alive = 0;
pthread_t thread;

// Until the window system sends something, or `ms` milliseconds.
void WaitForEvents(int ms) {
    Display *display = _xwin.display;
    if (!display) {
        Sleep(ms);
        return;
    }
    // Events the game's own calls already read wait in the queue.
    if (XQLength(display) > 0) return;
    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, ms);
}

void *Run(void *) {
    // Signals go to the game's own thread, whose handlers shut the library
    // down; here they would wait for this thread.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    while (alive) {
        // Events come in bursts (a moving pointer sends hundreds a second);
        // one pass every 10 ms takes them all, as the library's own did.
        Sleep(10);
        WaitForEvents(100);
        pthread_mutex_lock(&lock);
        while (disabled > 0) pthread_cond_wait(&enabled, &lock);
        for (bg_func f : funcs)
            if (f) f(1);
        pthread_mutex_unlock(&lock);
    }
    return nullptr;
}
int Init() {
    alive = 1;
    if (pthread_create(&thread, nullptr, Run, nullptr) == 0) return 0;
    alive = 0;
    return -1;
}
void Exit() {
    if (!alive) return;
    alive = 0;
    if (!pthread_equal(pthread_self(), thread)) pthread_join(thread, nullptr);
}
int Register(bg_func f) {
    pthread_mutex_lock(&lock);
    int result = -1;
    for (bg_func &slot : funcs)
        if (!slot) {
            slot = f;
            result = 0;
            break;
        }
    pthread_mutex_unlock(&lock);
    return result;
}
int Unregister(bg_func f) {
    // Whatever ends the program from inside a pass (the library's own answer
    // to a lost window system does) has the shutdown take the handlers off
    // from this very thread, which already holds the lock.
    const bool inpass = pthread_equal(pthread_self(), thread);
    if (!inpass) pthread_mutex_lock(&lock);
    for (bg_func &slot : funcs)
        if (slot == f) slot = nullptr;
    if (!inpass) pthread_mutex_unlock(&lock);
    return 0;
}
void Enable() {
    pthread_mutex_lock(&lock);
    if (--disabled == 0) pthread_cond_broadcast(&enabled);
    pthread_mutex_unlock(&lock);
}
void Disable() {
    pthread_mutex_lock(&lock);
    disabled++;
    pthread_mutex_unlock(&lock);
}
int Disabled() { return disabled; }
}  // namespace quietbg

// Sends what was drawn on the screen to the window system now, rather than
// at the background thread's next pass.
static void SendDrawing() {
    XLOCK();
    if (_xwin.display) XFlush(_xwin.display);
    XUNLOCK();
}

// Starting the mouse puts it where it follows the pointer by its moves alone,
// a mode the library leaves after 25 passes of its input handler; a pointer
// that enters the window meanwhile is put back where the library thinks it
// is. With passes only when something happens that could last seconds, so
// the passes are run now instead, and the mouse follows the pointer from the
// first frame.
static void EndMouseStartMode() {
    for (int pass = 0; pass < 30; pass++) _xwin_handle_input();
}

// The window system went away (its server ended, or the connection broke).
// The library's own answer ends the program through its shutdown, which
// waits for the window lock that the other thread may hold at that moment,
// and hangs; nothing is left to shut down, so the game ends at once, with a
// line in the log.
static int OnDisplayLost(Display *) {
    log(LOG_MINOR, LOGCAT_PROGRAM, "Lost the connection to the window system. Exiting");
    _exit(1);
}

int PlatformStart() {
    _bg_man_pthreads = bg_manager{1,                  quietbg::Init,    quietbg::Exit,
                                  quietbg::Register,  quietbg::Unregister, quietbg::Enable,
                                  quietbg::Disable,   quietbg::Disabled};
    // An X server now and then hangs up on a new connection before greeting
    // it, when other clients connect or leave at the same moment. The
    // library then finds no system driver and fails without a word, so the
    // start is tried a few more times, a little later each time; a display
    // that is not there fails every try and costs a second and a half.
    int started = -1;
    for (int attempt = 0; attempt < 6 && started != 0; attempt++) {
        if (attempt > 0) Sleep(100 * attempt);
        started = allegro_init();
    }
    if (started != 0) return -1;
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, WINDOWSIZE, WINDOWSIZE, 0, 0) != 0) return -1;
    XSetIOErrorHandler(OnDisplayLost);
    // A write past a file-size limit fails with its reason (a save says it)
    // instead of killing the game.
    signal(SIGXFSZ, SIG_IGN);
    install_keyboard();
    install_timer();
    install_mouse();
    EndMouseStartMode();
    set_uformat(U_ASCII);
    // File names go to the system as the bytes they are, UTF-8 ones included.
    set_filename_encoding(U_ASCII);
    set_window_title("Quillbay");
    LOCK_FUNCTION(OnCloseButton);
    LOCK_VARIABLE(closerequested);
    set_close_button_callback(OnCloseButton);
    // The keyboard focus stays where the keys put it, whatever the mouse does.
    gui_mouse_focus = FALSE;
    // Text is drawn on a transparent background.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(-1);
#pragma GCC diagnostic pop
    return 0;
}

void PlatformStop() { allegro_exit(); }

void *GetGameWindow() { return screen; }

int InitCommonControlsEx(int, int) { return 1; }

int CloseRequested() { return closerequested; }

void PostQuitMessage(int) {}

int LocalHour() {
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    return local.tm_hour;
}

bool KeyDown(int k) { return k > 0 && k < KEY_MAX && key[k]; }

// A key is held a tenth of a second even in a quick tap; fifty looks a
// second catch every press and cost next to nothing.
void WaitTick() { Sleep(20); }

// Whether the part of `bmp` a frame would show already stands on the screen:
// standing still, most frames are, and sending them again costs the game
// and the window system for nothing.
static bool SameAsScreen(BITMAP *bmp) {
    if (bitmap_color_depth(bmp) != bitmap_color_depth(screen)) return false;
    const int w = std::min(bmp->w, screen->w), h = std::min(bmp->h, screen->h);
    const size_t bytes = (size_t)w * (size_t)((bitmap_color_depth(bmp) + 7) / 8);
    bool same = true;
    acquire_bitmap(screen);
    for (int y = 0; y < h && same; y++) {
        uintptr_t line = bmp_read_line(screen, y);
        same = memcmp((const void *)line, bmp->line[y], bytes) == 0;
    }
    bmp_unwrite_line(screen);
    release_bitmap(screen);
    return same;
}

void ShowBuffer(BITMAP *bmp) {
    // Pace shown frames to 60 per second against the monotonic clock; after
    // a long stall the schedule restarts instead of rushing to catch up.
    static long long nextns = 0;
    const long long frame = 1000000000LL / 60;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long nowns = now.tv_sec * 1000000000LL + now.tv_nsec;
    if (nextns == 0 || nowns - nextns > frame * 4) nextns = nowns;
    SleepNs(nextns - nowns);
    const bool same = bmp && SameAsScreen(bmp);
    if (bmp && !same) {
        blit(bmp, screen, 0, 0, 0, 0, SHOWNWIDTH, SHOWNHEIGHT);
        SendDrawing();
    }
    // A frame like the one before means nothing moves: the next pass looks
    // at the keys a twentieth of a second later rather than a sixtieth.
    nextns += same ? 3 * frame : frame;
}

void ClearScreen() {
    if (!screen) return;
    clear_to_color(screen, 0);
    SendDrawing();
}

// ---------------------------------------------------------------------------
// GUI helpers

static int Colour(int r, int g, int b) { return makecol(r, g, b); }
static int PanelColour() { return Colour(228, 224, 212); }
static int InkColour() { return Colour(16, 16, 24); }
static int TitleColour() { return Colour(40, 72, 128); }
static int White() { return Colour(255, 255, 255); }

// Where the mouse pointer is drawn; a dialog shows it and gives back
// whatever was there before, so a box over the chooser keeps the pointer.
static BITMAP *mousescreen = nullptr;
static void ShowMouse(BITMAP *bmp) {
    mousescreen = bmp;
    show_mouse(bmp);
}

// Title bar of a dialog frame: the caption on a coloured strip.
static int FrameProc(int msg, DIALOG *d, int) {
    if (msg == MSG_DRAW) {
        BITMAP *gs = gui_get_screen();
        rectfill(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, PanelColour());
        rect(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, InkColour());
        rectfill(gs, d->x + 1, d->y + 1, d->x + d->w - 2, d->y + 14, TitleColour());
        textout_ex(gs, font, (const char *)d->dp, d->x + 5, d->y + 4, White(), -1);
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

// Plain wrapped text held in dp (message boxes).
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

static void SetColours(DIALOG *dialog) {
    for (DIALOG *d = dialog; d->proc; d++) {
        d->fg = InkColour();
        d->bg = PanelColour();
    }
}

// Runs an Allegro dialog until it closes; restores what lay beneath it.
// Returns the index of the object that closed it, or -1 for Escape or the
// window's close button.
static int RunModal(DIALOG *dialog, int focus, bool (*done)(DIALOG *)) {
    int x = screen->w, y = screen->h, r = 0, b = 0;
    for (DIALOG *d = dialog; d->proc; d++) {
        if (d->w <= 0 || d->h <= 0) continue;
        x = std::min(x, d->x);
        y = std::min(y, d->y);
        r = std::max(r, d->x + d->w);
        b = std::max(b, d->y + d->h);
    }
    BITMAP *before = mousescreen;
    ShowMouse(nullptr);
    BITMAP *under = (r > x && b > y) ? create_bitmap(r - x, b - y) : nullptr;
    if (under) blit(screen, under, x, y, 0, 0, r - x, b - y);

    clear_keybuf();
    ShowMouse(screen);
    DIALOG_PLAYER *player = init_dialog(dialog, focus);
    while (update_dialog(player)) {
        if (closerequested || (done && done(dialog))) break;
        SendDrawing();
        // Keys and the mouse change far less often than this loop could run;
        // the dialog reads typed keys from the library's buffer.
        Sleep(30);
    }
    int closer = closerequested ? -1 : player->obj;
    shutdown_dialog(player);
    ShowMouse(nullptr);

    if (under) {
        blit(under, screen, 0, 0, x, y, r - x, b - y);
        destroy_bitmap(under);
    }
    ShowMouse(before);
    // Keys that closed the dialog must not leak into what comes next.
    while (key[KEY_ENTER] || key[KEY_SPACE] || key[KEY_ESC]) Sleep(10);
    clear_keybuf();
    return closer;
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
    for (const std::string &line : wrapped) widest = std::max(widest, (int)line.size());
    int w = std::min(std::max(widest * charw + 28, 160), screen->w - 4);
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
// Described dialogs: each control of the description becomes an object whose
// dp3 points at the running dialog, so dialogs can open over one another.

struct runningdialog {
    dialogstate state;
    DLGPROC proc;
    bool editselected = true;  // an edit field's whole text, until a key acts on it
};

static runningdialog &Running(DIALOG *d) { return *(runningdialog *)d->dp3; }

// After the procedure has heard of something: close when it ended the
// dialog, otherwise redraw, since it may have changed any text or list.
static int AfterCommand(DIALOG *d) { return Running(d).state.ended ? D_CLOSE : D_REDRAW; }

static void Press(DIALOG *d, int id) {
    runningdialog &run = Running(d);
    DlgPressButton(&run.state, run.proc, id);
}

// A text control: the text the dialog state holds for its id (d1).
static int ModelTextProc(int msg, DIALOG *d, int) {
    if (msg == MSG_DRAW) {
        rectfill(gui_get_screen(), d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, PanelColour());
        DrawWrapped(gui_get_screen(), d, GetDlgItemTextPtr(&Running(d).state, d->d1), InkColour());
    }
    return D_O_K;
}

// A push button that sends its command (d2) to the dialog procedure.
static int CommandButtonProc(int msg, DIALOG *d, int c) {
    int result = d_button_proc(msg, d, c);
    if (result & D_CLOSE) {
        d->flags &= ~D_SELECTED;
        Press(d, d->d2);
        result = (result & ~D_CLOSE) | AfterCommand(d);
    }
    return result;
}

// An edit field over the dialog state's text for its id (dp2): typing goes
// to the state (and EN_CHANGE to the procedure), and a text the procedure
// sets shows at once. Enter presses OK. dp is the field's own buffer; d1
// and d2 are the plain edit procedure's length limit and cursor.
constexpr int EDITMAX = 250;
static int ModelEditProc(int msg, DIALOG *d, int c) {
    // The plain edit procedure redraws itself through this one after a key;
    // its buffer then holds what was typed, which the state has not heard of.
    static bool editing = false;
    runningdialog &run = Running(d);
    const int id = (int)(intptr_t)d->dp2;
    char *buffer = (char *)d->dp;
    const char *model = GetDlgItemTextPtr(&run.state, id);
    if (!editing && strcmp(buffer, model) != 0) {
        snprintf(buffer, EDITMAX + 1, "%s", model);
        d->d2 = run.editselected ? 0 : (int)strlen(buffer);
        if (msg != MSG_DRAW) object_message(d, MSG_DRAW, 0);
    }
    // The field's text is selected when it gets the keys: typing or erasing
    // replaces it, a cursor key keeps it.
    const int scan = c >> 8;
    if (msg == MSG_GOTFOCUS) run.editselected = true, d->d2 = 0;
    if (run.editselected && (msg == MSG_CHAR || msg == MSG_UCHAR)) {
        bool erase = msg == MSG_CHAR && (scan == KEY_BACKSPACE || scan == KEY_DEL);
        bool type = msg == MSG_UCHAR && c >= ' ';
        bool cursor = msg == MSG_CHAR && (scan == KEY_LEFT || scan == KEY_RIGHT || scan == KEY_HOME || scan == KEY_END);
        if (erase || type) buffer[0] = '\0';
        if (erase || type || cursor) run.editselected = false;
    }
    if (msg == MSG_CHAR && (scan == KEY_ENTER || scan == KEY_ENTER_PAD)) {
        Press(d, IDOK);
        return AfterCommand(d) | D_USED_CHAR;
    }
    editing = true;
    int result = d_edit_proc(msg, d, c);
    editing = false;
    // A white box around the text, its frame coloured while it has the keys,
    // and a selected text shown as selected.
    if (msg == MSG_DRAW) {
        BITMAP *gs = gui_get_screen();
        bool focused = d->flags & D_GOTFOCUS;
        rect(gs, d->x - 3, d->y - 3, d->x + d->w + 2, d->y + d->h + 2, focused ? TitleColour() : InkColour());
        rect(gs, d->x - 2, d->y - 2, d->x + d->w + 1, d->y + d->h + 1, White());
        rect(gs, d->x - 1, d->y - 1, d->x + d->w, d->y + d->h, White());
        if (focused && run.editselected && buffer[0]) {
            set_clip_rect(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1);
            rectfill(gs, d->x, d->y, d->x + text_length(font, buffer) - 1, d->y + d->h - 1, TitleColour());
            textout_ex(gs, font, buffer, d->x, d->y, White(), -1);
            set_clip_rect(gs, 0, 0, gs->w - 1, gs->h - 1);
        }
    }
    if ((msg == MSG_CHAR || msg == MSG_UCHAR) && strcmp(buffer, model) != 0) {
        DlgTypeText(&run.state, run.proc, id, buffer);
        result |= AfterCommand(d);
    }
    return result;
}

// A list over the dialog state's list for its id (d1); d2 is the first row
// shown. Keys move the selection, Enter presses OK, a double click too.
static int ListRowHeight() { return text_height(font) + 4; }
static int ListRows(DIALOG *d) { return (d->h - 4) / ListRowHeight(); }

static void KeepSelectionVisible(DIALOG *d, const dlglist &list) {
    const int rows = ListRows(d), count = (int)list.items.size();
    if (list.cursel >= 0 && list.cursel < d->d2) d->d2 = list.cursel;
    if (list.cursel >= d->d2 + rows) d->d2 = list.cursel - rows + 1;
    d->d2 = std::max(0, std::min(d->d2, count - rows));
}

static void DrawList(DIALOG *d, const dlglist &list) {
    BITMAP *gs = gui_get_screen();
    const int rowh = ListRowHeight(), rows = ListRows(d), count = (int)list.items.size();
    rectfill(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, White());
    rect(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, InkColour());
    const bool scroll = count > rows;
    const int textright = d->x + d->w - (scroll ? 10 : 2);
    set_clip_rect(gs, d->x + 1, d->y + 1, textright, d->y + d->h - 2);
    for (int row = d->d2; row < d->d2 + rows && row < count; row++) {
        const int y = d->y + 2 + (row - d->d2) * rowh;
        const bool selected = row == list.cursel;
        if (selected) rectfill(gs, d->x + 2, y, textright - 1, y + rowh - 1, TitleColour());
        textout_ex(gs, font, list.items[(size_t)row].text.c_str(), d->x + 4, y + 2, selected ? White() : InkColour(), -1);
    }
    set_clip_rect(gs, 0, 0, gs->w - 1, gs->h - 1);
    if (scroll) {
        const int bx = d->x + d->w - 9, top = d->y + 2, height = d->h - 4;
        rectfill(gs, bx, top, bx + 6, top + height - 1, Colour(210, 206, 196));
        const int thumb = height * rows / count, at = top + height * d->d2 / count;
        rectfill(gs, bx, at, bx + 6, at + thumb - 1, Colour(120, 116, 108));
    }
    if (d->flags & D_GOTFOCUS) rect(gs, d->x + 1, d->y + 1, d->x + d->w - 2, d->y + d->h - 2, TitleColour());
}

// Selects a row (kept inside the list) and tells the procedure, after the
// new selection is shown.
static int SelectRow(DIALOG *d, dlglist &list, int row) {
    const int count = (int)list.items.size();
    if (count == 0) return D_O_K;
    row = std::max(0, std::min(row, count - 1));
    if (row == list.cursel) return D_O_K;
    list.cursel = row;
    KeepSelectionVisible(d, list);
    object_message(d, MSG_DRAW, 0);
    runningdialog &run = Running(d);
    run.proc(&run.state, WM_COMMAND, MAKEWPARAM(list.id, LBN_SELCHANGE), 0);
    return AfterCommand(d);
}

static int ListKey(DIALOG *d, dlglist &list, int scancode) {
    const int rows = ListRows(d);
    switch (scancode) {
    case KEY_UP: return list.cursel < 0 ? D_O_K : SelectRow(d, list, list.cursel - 1);
    case KEY_DOWN: return SelectRow(d, list, list.cursel + 1);
    case KEY_HOME: return SelectRow(d, list, 0);
    case KEY_END: return SelectRow(d, list, (int)list.items.size() - 1);
    case KEY_PGUP: return SelectRow(d, list, list.cursel - rows);
    case KEY_PGDN: return SelectRow(d, list, list.cursel + rows);
    case KEY_ENTER:
    case KEY_ENTER_PAD: Press(d, IDOK); return AfterCommand(d);
    default: return -1;
    }
}

static int ListClick(DIALOG *d, dlglist &list) {
    const int rows = ListRows(d), count = (int)list.items.size();
    const bool onbar = gui_mouse_x() >= d->x + d->w - 10 && count > rows;
    const int pagedown = gui_mouse_y() >= d->y + d->h / 2;
    const int row = d->d2 + (gui_mouse_y() - d->y - 2) / ListRowHeight();
    while (gui_mouse_b()) Sleep(10);
    if (onbar) {
        d->d2 += pagedown ? rows : -rows;
        KeepSelectionVisible(d, list);
        return D_REDRAW;
    }
    if (row < 0 || row >= count || row >= d->d2 + rows) return D_O_K;
    // The dialog manager waits for a second click only after D_O_K, so the
    // redraw a new selection needs is done here.
    int result = SelectRow(d, list, row);
    if (result & D_CLOSE) return result;
    if (result & D_REDRAW) broadcast_dialog_message(MSG_DRAW, 0);
    return D_O_K;
}

static int ModelListProc(int msg, DIALOG *d, int c) {
    dlglist *list = DlgFindList(&Running(d).state, d->d1);
    if (!list) return D_O_K;
    switch (msg) {
    case MSG_START: d->d2 = 0; return D_O_K;
    case MSG_WANTFOCUS: return D_WANTFOCUS;
    case MSG_GOTFOCUS:
    case MSG_LOSTFOCUS: return D_REDRAWME;
    case MSG_DRAW:
        KeepSelectionVisible(d, *list);
        DrawList(d, *list);
        return D_O_K;
    case MSG_CHAR: {
        int result = ListKey(d, *list, c >> 8);
        return result < 0 ? D_O_K : result | D_USED_CHAR;
    }
    case MSG_CLICK: return ListClick(d, *list);
    case MSG_DCLICK:
        // The second press must not land as a click on what OK shows next.
        while (gui_mouse_b()) Sleep(10);
        if (list->cursel < 0) return D_O_K;
        Press(d, IDOK);
        return AfterCommand(d);
    case MSG_WHEEL:
        d->d2 -= c;
        KeepSelectionVisible(d, *list);
        return D_REDRAWME;
    default: return D_O_K;
    }
}

static bool DescribedDialogDone(DIALOG *dialog) { return Running(dialog).state.ended; }

// The shortcut of a caption: the letter after its '&'.
static int Shortcut(const char *caption) {
    const char *amp = caption ? strchr(caption, '&') : nullptr;
    return amp && amp[1] ? (amp[1] | 0x20) : 0;
}

intptr_t DialogBoxParamA(const dlgtemplate &dialogtemplate, DLGPROC proc, intptr_t param) {
    if (!screen || !proc) return -1;
    runningdialog run{DlgCreate(dialogtemplate, param), proc};
    proc(&run.state, WM_INITDIALOG, 0, 0);
    if (run.state.ended) return run.state.result;

    // The frame stands in the middle of the window, its controls below the
    // title bar.
    const int margin = 4, titleh = 16;
    int fw = dialogtemplate.w + 2 * margin, fh = dialogtemplate.h + 2 * margin + titleh;
    int fx = (screen->w - fw) / 2, fy = (screen->h - fh) / 2;
    int ox = fx + margin, oy = fy + margin + titleh;

    std::vector<DIALOG> objects;
    std::vector<std::vector<char>> editbuffers;
    objects.push_back({FrameProc, fx, fy, fw, fh, 0, 0, 0, 0, 0, 0, (void *)dialogtemplate.title, nullptr, &run});
    int focus = -1;
    for (const dlgcontrol &c : dialogtemplate.controls) {
        DIALOG o = {nullptr, ox + c.x, oy + c.y, c.w, c.h, 0, 0, 0, 0, 0, 0, (void *)c.caption, nullptr, &run};
        switch (c.kind) {
        case DLG_TEXT: o.proc = ModelTextProc; o.d1 = c.id; break;
        case DLG_GROUP: o.proc = GroupBoxProc; break;
        case DLG_BUTTON:
            o.proc = CommandButtonProc;
            o.flags = D_EXIT;
            o.key = Shortcut(c.caption);
            o.d2 = c.id;
            break;
        case DLG_LIST: o.proc = ModelListProc; o.d1 = c.id; break;
        case DLG_EDIT:
            // The text stands inside the box the description gives.
            o.x += 3, o.y += (c.h - text_height(font)) / 2, o.w -= 6, o.h = text_height(font);
            o.proc = ModelEditProc;
            o.d1 = EDITMAX;
            o.dp2 = (void *)(intptr_t)c.id;
            editbuffers.emplace_back((EDITMAX + 1) * 4, '\0');
            break;
        }
        // The first list or edit field takes the keyboard.
        if (focus < 0 && (c.kind == DLG_LIST || c.kind == DLG_EDIT)) focus = (int)objects.size();
        objects.push_back(o);
    }
    // Edit buffers are placed once the vector of buffers no longer moves.
    size_t edit = 0;
    for (DIALOG &o : objects)
        if (o.proc == ModelEditProc) o.dp = editbuffers[edit++].data();
    // Without either, the first button takes it (a question's Yes).
    for (size_t i = 0; focus < 0 && i < objects.size(); i++)
        if (objects[i].proc == CommandButtonProc) focus = (int)i;
    objects.push_back({d_yield_proc, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr});
    objects.push_back({nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr});
    SetColours(objects.data());
    for (DIALOG &o : objects)
        if (o.proc == ModelEditProc) o.bg = White();

    RunModal(objects.data(), focus, DescribedDialogDone);
    // Escape or the window's close button: the Cancel command.
    if (!run.state.ended) DlgPressButton(&run.state, proc, IDCANCEL);
    return run.state.ended ? run.state.result : -1;
}

int FileDialog(const filedialogsettings &settings, char *out, int outsize) {
    return ShowFileDialog(settings, out, outsize);
}
