// The real platform: an Allegro window on the desktop. The game and its
// dialogs draw the view at its own size into a memory bitmap, the canvas,
// which is sent to the window enlarged by a whole number with crisp pixels,
// or centred on black over the whole screen. Dialogs and message boxes are
// modal Allegro GUI dialogs drawn on the canvas; a dialog's controls come
// from the description its owner gives.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/input.h"
#include "base/log.h"
#include "base/platform.h"
#include "base/screenshot.h"

#include <allegro/internal/aintern.h>
#include <xalleg.h>

// Exported by the library but declared in none of its headers: sends a part
// of the screen to the window system in one piece.
extern "C" void _xwin_update_screen(int x, int y, int w, int h);

static long long NowNs() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Sleeps this long without the library's timer, which would tick every
// millisecond meanwhile.
static void SleepNs(long long ns) {
    if (ns <= 0) return;
    struct timespec pause = {(time_t)(ns / 1000000000LL), (long)(ns % 1000000000LL)};
    nanosleep(&pause, nullptr);
}
static void Sleep(int ms) { SleepNs(ms * 1000000LL); }

// ---------------------------------------------------------------------------
// The library's background thread does its window-system work (reading the
// keys, the mouse and the window's events) every 10 ms, but wakes every
// millisecond to look whether the 10 ms have passed, which alone costs a few
// per cent of a core while the game stands still. This one sleeps until the
// window system sends something, or the game's thread finds events already
// read into the queue by a call of its own (Wake), and makes a pass every
// second besides; what the game draws is sent by the game itself. The
// library takes it through the background manager it starts with.

namespace events {
void Deliver();
}

namespace quietbg {
pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t enabled = PTHREAD_COND_INITIALIZER;
int disabled = 0;
bg_func funcs[16];
volatile int alive = 0;
pthread_t thread;

int wakepipe[2] = {-1, -1};

// Until the window system sends something, Wake is called, or `ms`
// milliseconds.
void WaitForEvents(int ms) {
    Display *display = _xwin.display;
    if (!display) {
        Sleep(ms);
        return;
    }
    // Events the game's own calls already read wait in the queue.
    if (XQLength(display) > 0) return;
    struct pollfd ends[2] = {{ConnectionNumber(display), POLLIN, 0}, {wakepipe[0], POLLIN, 0}};
    poll(ends, wakepipe[0] >= 0 ? 2 : 1, ms);
    char drained[64];
    if (ends[1].revents & POLLIN) (void)!read(wakepipe[0], drained, sizeof drained);
}

void Wake() {
    if (wakepipe[1] >= 0) (void)!write(wakepipe[1], "", 1);
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
        WaitForEvents(1000);
        pthread_mutex_lock(&lock);
        while (disabled > 0) pthread_cond_wait(&enabled, &lock);
        for (bg_func f : funcs)
            if (f) f(1);
        pthread_mutex_unlock(&lock);
        events::Deliver();
    }
    return nullptr;
}
int Init() {
    alive = 1;
    if (wakepipe[0] < 0 && pipe2(wakepipe, O_NONBLOCK | O_CLOEXEC) != 0) wakepipe[0] = wakepipe[1] = -1;
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

// ---------------------------------------------------------------------------
// The library's timer thread ticks 28 times a second with nothing to time,
// and 50 times a second while a dialog is open, for the double click alone.
// This one ticks only for half a second after a mouse button moved (the
// dialogs' double click needs that), and otherwise sleeps; the game times
// nothing with the library's timers. Time does not pass for the library's
// timers while this one sleeps.

namespace quiettimer {
pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t kicked = PTHREAD_COND_INITIALIZER;
bool alive = false;
long long tickuntil = 0;
pthread_t thread;

// Absolute time on the clock the condition waits by.
struct timespec RealIn(long long ns) {
    struct timespec at;
    clock_gettime(CLOCK_REALTIME, &at);
    const long long t = at.tv_sec * 1000000000LL + at.tv_nsec + ns;
    return {(time_t)(t / 1000000000LL), (long)(t % 1000000000LL)};
}

void *Run(void *) {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    long long last = NowNs();
    long next = MSEC_TO_TIMER(20);
    pthread_mutex_lock(&lock);
    while (alive) {
        const bool ticking = NowNs() < tickuntil;
        struct timespec until = RealIn(ticking ? next * 1000000000LL / TIMERS_PER_SECOND : 60000000000LL);
        pthread_cond_timedwait(&kicked, &lock, &until);
        if (!alive) break;
        const long long now = NowNs(), elapsed = std::min(now - last, 50000000LL);
        last = now;
        pthread_mutex_unlock(&lock);
        next = std::max(_handle_timer_tick((int)(elapsed * TIMERS_PER_SECOND / 1000000000LL)), MSEC_TO_TIMER(1));
        pthread_mutex_lock(&lock);
    }
    pthread_mutex_unlock(&lock);
    return nullptr;
}

void Kick(long long forns) {
    pthread_mutex_lock(&lock);
    tickuntil = std::max(tickuntil, NowNs() + forns);
    pthread_cond_signal(&kicked);
    pthread_mutex_unlock(&lock);
}

int Init() {
    alive = true;
    if (pthread_create(&thread, nullptr, Run, nullptr) == 0) return 0;
    alive = false;
    return -1;
}

void Exit() {
    pthread_mutex_lock(&lock);
    const bool wasalive = alive;
    alive = false;
    pthread_cond_signal(&kicked);
    pthread_mutex_unlock(&lock);
    if (wasalive) pthread_join(thread, nullptr);
}

void Rest(unsigned int ms, void (*callback)()) {
    const long long end = NowNs() + ms * 1000000LL;
    if (!callback) return SleepNs(end - NowNs());
    while (NowNs() < end) callback();
}

TIMER_DRIVER driver = {AL_ID('Q', 'T', 'I', 'M'), "", "", "Quiet timer", Init, Exit, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, Rest};
_DRIVER_INFO drivers[] = {{AL_ID('Q', 'T', 'I', 'M'), &driver, TRUE}, {0, nullptr, 0}};
_DRIVER_INFO *Drivers() { return drivers; }
}  // namespace quiettimer

// ---------------------------------------------------------------------------
// What wakes the game. The library's handlers run on the background thread
// and count each key, mouse and window event here; the game's own thread
// sleeps in its waits until the count moves, so that standing still costs
// nothing. It is woken once the background thread's pass is over, when the
// library has also put the typed keys into its buffer (a dialog the game
// opens on a key would otherwise find that very key there after it emptied
// the buffer). A key pressed and let go again before the game looked (a
// quick tap) is remembered: it counts as held for one look.

namespace events {
pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t arrived = PTHREAD_COND_INITIALIZER;
unsigned long inputs = 0;   // keys, the close button, gamepads
unsigned long pointer = 0;  // the mouse, which only dialogs follow
// The game's thread only: the counts its last two waits returned at.
unsigned long seeninputs = 0, seenpointer = 0, inputsbefore = 0;
// The count at each key's last fresh press (not a repeat of a held key),
// until a look has seen it.
std::atomic<unsigned long> pressedat[KEY_MAX];
std::atomic<long long> leftpressns{0};
volatile int closepressed = 0, closerequested = 0;
volatile int fullscreenrequests = 0, screenshotrequests = 0;
// Keys the window itself answers: WINDOWKEY_ values by scan code.
enum { WINDOWKEY_NONE, WINDOWKEY_FULLSCREEN, WINDOWKEY_SCREENSHOT };
std::atomic<unsigned char> windowkeys[KEY_MAX];

void Note(bool mouse) {
    pthread_mutex_lock(&lock);
    (mouse ? pointer : inputs)++;
    pthread_mutex_unlock(&lock);
}

void Deliver() {
    static unsigned long delivered = 0;
    pthread_mutex_lock(&lock);
    if (inputs + pointer != delivered) pthread_cond_broadcast(&arrived);
    delivered = inputs + pointer;
    pthread_mutex_unlock(&lock);
}

bool AltEnter(int scancode) {
    return (scancode == KEY_ENTER || scancode == KEY_ENTER_PAD) && (key_shifts & KB_ALT_FLAG);
}

// The window system's own key events, which come just before the library
// hands each on. A held key repeats as presses alone; but the library also
// makes up a release of every held key when the window loses the keyboard
// (each switch to full screen and back does), and the key's release may go
// to another window meanwhile. So a press is a repeat when the window
// system holds the key already and its last event is recent.
bool heldbysystem[256];
long long lastsystemevent[256];
bool freshpress = false;
void OnSystemKey(int pressed, int keycode) {
    keycode &= 255;
    const long long now = NowNs();
    freshpress = pressed && !(heldbysystem[keycode] && now - lastsystemevent[keycode] < 700000000LL);
    heldbysystem[keycode] = pressed;
    lastsystemevent[keycode] = now;
}

// Every press and release of a key, modifiers included.
void OnKey(int code) {
    const int scancode = code & 0x7F;
    const bool press = !(code & 0x80), fresh = press && freshpress;
    freshpress = false;
    pthread_mutex_lock(&lock);
    inputs++;
    if (fresh && AltEnter(scancode)) {
        fullscreenrequests++;
    } else if (fresh) {
        pressedat[scancode] = inputs;
        if (windowkeys[scancode] == WINDOWKEY_FULLSCREEN) fullscreenrequests++;
        if (windowkeys[scancode] == WINDOWKEY_SCREENSHOT) screenshotrequests++;
    }
    pthread_mutex_unlock(&lock);
}

// Typed keys on their way to the dialogs: the window's own keys (and the
// Enter of Alt+Enter, which would confirm a dialog) never reach them.
int TakeWindowKeys(int typed) {
    const int scancode = typed >> 8;
    if (scancode > 0 && scancode < KEY_MAX && (windowkeys[scancode] != WINDOWKEY_NONE || AltEnter(scancode))) return 0;
    return typed;
}

void OnMouse(int flags) {
    if (flags & MOUSE_FLAG_LEFT_DOWN) leftpressns = NowNs();
    if (flags & (MOUSE_FLAG_LEFT_DOWN | MOUSE_FLAG_LEFT_UP | MOUSE_FLAG_RIGHT_DOWN | MOUSE_FLAG_RIGHT_UP))
        quiettimer::Kick(500000000LL);
    Note(true);
}

void OnCloseButton() {
    closepressed = 1;
    Note(false);
}

// Until something is counted that the last wait did not see, or `ns`
// nanoseconds; the mouse counts when `mouse` is set.
void Wait(bool mouse, long long ns) {
    const long long deadline = NowNs() + ns;
    struct timespec until;
    clock_gettime(CLOCK_REALTIME, &until);
    const long long realdeadline = until.tv_sec * 1000000000LL + until.tv_nsec + ns;
    until = {(time_t)(realdeadline / 1000000000LL), (long)(realdeadline % 1000000000LL)};
    pthread_mutex_lock(&lock);
    while (inputs == seeninputs && (!mouse || pointer == seenpointer) && NowNs() < deadline)
        if (pthread_cond_timedwait(&arrived, &lock, &until) != 0) break;
    inputsbefore = seeninputs;
    seeninputs = inputs, seenpointer = pointer;
    pthread_mutex_unlock(&lock);
}

// A press counts for one look if it came since the game last slept.
bool TakePress(int k) {
    const unsigned long at = pressedat[k].exchange(0);
    return at != 0 && at > inputsbefore;
}

void ForgetPresses() {
    for (auto &at : pressedat) at = 0;
}
}  // namespace events

// ---------------------------------------------------------------------------
// The window: the view enlarged by a whole number, or the whole screen with
// the view centred on black.

namespace window {
int scale = 1;         // the window's scale, kept for the way back from full screen
bool fullscreen = false;
int n = 1, ox = 0, oy = 0;  // the view's scale and place on the screen now
BITMAP *canvas = nullptr;   // the view: everything the game and the dialogs draw
BITMAP *shown = nullptr;    // what the screen shows, to send nothing twice
BITMAP *composed = nullptr; // the view with a passing notice over it
bool resend = true;
std::vector<uint32_t> screencolours;  // a 16-bit colour's pixel on a 32-bit screen
Cursor arrow = None, blank = None;
int dialogs = 0;  // dialogs open: the pointer shows while there are any

// The part of the desktop windows may use, as the window manager announces
// it; false without a window manager.
bool WorkArea(int &w, int &h) {
    XLOCK();
    Display *d = _xwin.display;
    Atom prop = XInternAtom(d, "_NET_WORKAREA", True), type;
    int format;
    unsigned long count = 0, after;
    unsigned char *data = nullptr;
    bool found = prop != None &&
                 XGetWindowProperty(d, RootWindow(d, _xwin.screen), prop, 0, 4, False, XA_CARDINAL, &type, &format,
                                    &count, &after, &data) == Success &&
                 data && format == 32 && count >= 4;
    if (found) {
        const long *area = (const long *)data;  // 32-bit items come back as longs
        w = (int)area[2], h = (int)area[3];
        found = w > 0 && h > 0;
    }
    if (data) XFree(data);
    XUNLOCK();
    return found;
}

// The largest scale whose window, with room for its frame, fits the
// desktop; at least 1.
int LargestScale() {
    int w = 0, h = 0, frame = 48;
    if (!WorkArea(w, h)) get_desktop_resolution(&w, &h), frame = 96;
    int scale = SCALEMAX;
    while (scale > 1 && (WINDOWSIZE * scale > w - frame || WINDOWSIZE * scale > h - frame)) scale--;
    return scale;
}

// Asks the window manager to show the window over the whole screen; without
// one, a window of the desktop's size is that already.
void AskFullscreen() {
    XLOCK();
    Display *d = _xwin.display;
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = _xwin.wm_window;
    e.xclient.message_type = XInternAtom(d, "_NET_WM_STATE", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 1;  // add
    e.xclient.data.l[1] = (long)XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False);
    e.xclient.data.l[3] = 1;  // asked by an application
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(d);
    XUNLOCK();
}

void SetPointer() {
    XLOCK();
    if (arrow == None) arrow = XCreateFontCursor(_xwin.display, XC_left_ptr);
    if (blank == None) {
        Pixmap empty = XCreatePixmap(_xwin.display, _xwin.window, 1, 1, 1);
        XColor black = {};
        blank = XCreatePixmapCursor(_xwin.display, empty, empty, &black, &black, 0, 0);
        XFreePixmap(_xwin.display, empty);
    }
    XDefineCursor(_xwin.display, _xwin.window, dialogs > 0 ? arrow : blank);
    XUNLOCK();
}

// A new window (each switch makes one) loses the keyboard, and without a
// window manager nobody gives it back.
void TakeFocus() {
    XLOCK();
    XWindowAttributes a;
    if (XGetWindowAttributes(_xwin.display, _xwin.wm_window, &a) && a.map_state == IsViewable) {
        XRaiseWindow(_xwin.display, _xwin.wm_window);
        XSetInputFocus(_xwin.display, _xwin.wm_window, RevertToPointerRoot, CurrentTime);
    }
    XUNLOCK();
}

// Opens the window or the full screen (falling back to the window, and to
// smaller windows); the screen's pixels are 32-bit on a 32-bit desktop, the
// game's bitmaps stay 16-bit.
bool Open(bool full) {
    const int depth = desktop_color_depth() == 32 ? 32 : 16;
    int result = -1;
    set_color_depth(depth);
    if (full) {
        int w = 0, h = 0;
        get_desktop_resolution(&w, &h);
        result = set_gfx_mode(GFX_AUTODETECT_WINDOWED, w, h, 0, 0);
        if (result == 0) AskFullscreen();
        else logfmt(LOG_MINOR, LOGCAT_PROGRAM, "Full screen (%d by %d) is not available: %s", w, h, allegro_error);
    }
    fullscreen = full && result == 0;
    for (int s = scale; result != 0 && s >= 1; s--) {
        result = set_gfx_mode(GFX_AUTODETECT_WINDOWED, WINDOWSIZE * s, WINDOWSIZE * s, 0, 0);
        if (result == 0) scale = s;
    }
    set_color_depth(16);
    if (result != 0) return false;
    // Starting the mouse anew puts it where it follows the pointer by its
    // moves alone, a mode the library leaves after 25 passes of its input
    // handler; with passes only when something happens, they are run now.
    for (int pass = 0; pass < 30; pass++) _xwin_handle_input();
    TakeFocus();
    SetPointer();
    n = std::max(1, std::min(SCREEN_W / WINDOWSIZE, SCREEN_H / WINDOWSIZE));
    ox = (SCREEN_W - WINDOWSIZE * n) / 2, oy = (SCREEN_H - WINDOWSIZE * n) / 2;
    if (bitmap_color_depth(screen) == 32) {
        screencolours.resize(65536);
        for (int c = 0; c < 65536; c++) screencolours[(size_t)c] = (uint32_t)makecol32(getr16(c), getg16(c), getb16(c));
    }
    clear_to_color(screen, 0);
    resend = true;
    quietbg::Wake();
    return true;
}

bool Same(BITMAP *a, BITMAP *b) {
    for (int y = 0; y < WINDOWSIZE; y++)
        if (memcmp(a->line[y], b->line[y], WINDOWSIZE * 2) != 0) return false;
    return true;
}

// Each pixel of the view becomes an n by n square of the screen, and the
// whole picture goes to the window system in one piece.
void Enlarge(BITMAP *view) {
    const int depth = bitmap_color_depth(screen);
    if (depth != 32 && depth != 16) {
        stretch_blit(view, screen, 0, 0, WINDOWSIZE, WINDOWSIZE, ox, oy, WINDOWSIZE * n, WINDOWSIZE * n);
        return;
    }
    const size_t bytes = (size_t)WINDOWSIZE * n * (depth / 8);
    acquire_bitmap(screen);
    for (int y = 0; y < WINDOWSIZE; y++) {
        const uint16_t *in = (const uint16_t *)view->line[y];
        unsigned char *row = screen->line[oy + y * n] + ox * (depth / 8);
        if (depth == 32) {
            uint32_t *out = (uint32_t *)row;
            for (int x = 0; x < WINDOWSIZE; x++)
                for (int k = 0; k < n; k++) *out++ = screencolours[in[x]];
        } else {
            uint16_t *out = (uint16_t *)row;
            for (int x = 0; x < WINDOWSIZE; x++)
                for (int k = 0; k < n; k++) *out++ = in[x];
        }
        for (int k = 1; k < n; k++) memcpy(screen->line[oy + y * n + k] + ox * (depth / 8), row, bytes);
    }
    release_bitmap(screen);
    _xwin_update_screen(ox, oy, WINDOWSIZE * n, WINDOWSIZE * n);
}

// The dialogs follow the pointer on the view.
int MouseX() { return std::clamp((mouse_x - ox) / n, 0, WINDOWSIZE - 1); }
int MouseY() { return std::clamp((mouse_y - oy) / n, 0, WINDOWSIZE - 1); }
// A click whose press and release came together (quick, or sent by a
// program) is held for the dialogs' next looks.
int MouseButtons() {
    int buttons = mouse_b;
    if (NowNs() - events::leftpressns < 80000000LL) buttons |= 1;
    return buttons;
}
}  // namespace window

// ---------------------------------------------------------------------------
// Passing notices: drawn over the view when it is sent, never into it.

namespace notice {
std::string text;
long long until = 0;
constexpr long long SHOWNNS = 3000000000LL;

bool Showing() { return !text.empty() && NowNs() < until; }

void Draw(BITMAP *bmp) {
    std::vector<std::string> lines = WrapText(text, (WINDOWSIZE - 24) / 8);
    if (lines.size() > 4) lines.resize(4);
    int widest = 0;
    for (const std::string &line : lines) widest = std::max(widest, text_length(font, line.c_str()));
    const int w = widest + 16, h = (int)lines.size() * 12 + 10, x = (WINDOWSIZE - w) / 2, y = 8;
    rectfill(bmp, x, y, x + w - 1, y + h - 1, makecol(28, 36, 56));
    rect(bmp, x, y, x + w - 1, y + h - 1, makecol(200, 208, 224));
    for (size_t i = 0; i < lines.size(); i++)
        textout_centre_ex(bmp, font, lines[i].c_str(), WINDOWSIZE / 2, y + 6 + 12 * (int)i, makecol(255, 255, 255), -1);
}
}  // namespace notice

// Sends what the player should see to the window, unless the window shows
// it already.
static void Present() {
    using namespace window;
    if (!screen || !canvas) return;
    BITMAP *view = canvas;
    if (notice::Showing()) {
        blit(canvas, composed, 0, 0, 0, 0, WINDOWSIZE, WINDOWSIZE);
        notice::Draw(composed);
        view = composed;
    }
    if (!resend && Same(view, shown)) return;
    resend = false;
    blit(view, shown, 0, 0, 0, 0, WINDOWSIZE, WINDOWSIZE);
    Enlarge(view);
    XLOCK();
    XFlush(_xwin.display);
    const bool queued = XQLength(_xwin.display) > 0;
    XUNLOCK();
    if (queued) quietbg::Wake();
}

// ---------------------------------------------------------------------------
// Gamepads: read when the game looks (the library has no thread for them).

namespace pads {
bool rests[MAX_JOYSTICKS][MAX_JOYSTICK_STICKS];
bool read = false;
std::vector<gamepadstate> states;

void Poll() {
    if (num_joysticks <= 0) return;
    poll_joystick();
    std::vector<gamepadstate> now((size_t)num_joysticks);
    for (int j = 0; j < num_joysticks; j++) {
        for (int s = 0; s < joy[j].num_sticks && s < PADSTICKS; s++) {
            const JOYSTICK_STICK_INFO &stick = joy[j].stick[s];
            gamepadstate::stick &out = now[(size_t)j].sticks[s];
            out.x = stick.num_axis > 0 ? stick.axis[0].pos : 0;
            out.y = stick.num_axis > 1 ? stick.axis[1].pos : 0;
            // Sticks and the d-pad rest in the middle; a trigger rests at
            // one end and must never walk.
            if (!read) rests[j][s] = (stick.flags & JOYFLAG_SIGNED) && stick.num_axis >= 2 && abs(out.x) < 64 && abs(out.y) < 64;
            out.rests = rests[j][s];
        }
        for (int b = 0; b < joy[j].num_buttons && b < PADBUTTONS; b++)
            if (joy[j].button[b].b) now[(size_t)j].buttons |= 1u << b;
    }
    read = true;
    bool changed = now.size() != states.size();
    for (size_t j = 0; !changed && j < now.size(); j++) changed = PadActions(now[j]) != PadActions(states[j]);
    states = now;
    if (changed) events::Note(false);
}
}  // namespace pads

// ---------------------------------------------------------------------------
// The services

static bool (*closecheck)() = nullptr;
static bool checkingclose = false;

// The window's own keys from the player's controls, once they are set.
static void FollowWindowKeys() {
    static int followed = -1;
    if (followed == bindingsset) return;
    followed = bindingsset;
    unsigned char wanted[KEY_MAX] = {};
    for (int k : bindings[ACTION_FULLSCREEN].keys)
        if (k > 0 && k < KEY_MAX) wanted[k] = events::WINDOWKEY_FULLSCREEN;
    for (int k : bindings[ACTION_SCREENSHOT].keys)
        if (k > 0 && k < KEY_MAX) wanted[k] = events::WINDOWKEY_SCREENSHOT;
    for (int k = 0; k < KEY_MAX; k++)
        if (events::windowkeys[k] != wanted[k]) events::windowkeys[k] = wanted[k];
}

static void TakeScreenshot() {
    std::string why;
    const std::string path = SaveScreenshot(window::canvas, WINDOWSIZE, WINDOWSIZE, time(nullptr), why);
    if (path.empty()) {
        logfmt(LOG_MINOR, LOGCAT_USER, "No screenshot: %s", why.c_str());
        ShowPassingNotice("No screenshot: " + why);
        return;
    }
    logfmt(LOG_INFO, LOGCAT_USER, "Screenshot saved as %s", path.c_str());
    ShowPassingNotice(Format("Screenshot saved in %s/\n%s", SCREENSHOTDIR, path.substr(strlen(SCREENSHOTDIR) + 1).c_str()));
}

// What the player asked of the window itself, then the picture. Runs on
// the game's thread in every wait, frame and dialog.
static void Serve() {
    FollowWindowKeys();
    if (events::closepressed) {
        events::closepressed = 0;
        // Pressed again while the question stands: close.
        if (checkingclose || !closecheck) {
            events::closerequested = 1;
        } else {
            checkingclose = true;
            if (closecheck()) events::closerequested = 1;
            checkingclose = false;
        }
    }
    if (events::fullscreenrequests) {
        events::fullscreenrequests = 0;  // a burst of requests is one switch
        if (!window::Open(!window::fullscreen)) window::Open(false);
    }
    if (events::screenshotrequests) {
        events::screenshotrequests = 0;
        TakeScreenshot();
    }
    // Then the gamepads, and the picture (a passing notice may have come or
    // gone).
    pads::Poll();
    Present();
}

// How long a wait may sleep before it must look again.
static long long WaitLimit(bool indialog) {
    long long limit = 1000000000LL;
    if (num_joysticks > 0) limit = 20000000LL;
    if (notice::Showing()) limit = std::min(limit, std::max(notice::until - NowNs(), 1000000LL));
    // A click's second half and a double click are looked for by the
    // dialogs for a moment after a press.
    if (indialog && NowNs() - events::leftpressns < 400000000LL) limit = std::min(limit, 20000000LL);
    return limit;
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

int PlatformStart(const windowoptions &options) {
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
    system_driver->timer_drivers = quiettimer::Drivers;
    window::scale = options.scale > 0 ? std::min(options.scale, SCALEMAX) : window::LargestScale();
    if (!window::Open(options.fullscreen)) return -1;
    set_color_depth(16);
    window::canvas = create_bitmap(WINDOWSIZE, WINDOWSIZE);
    window::shown = create_bitmap(WINDOWSIZE, WINDOWSIZE);
    window::composed = create_bitmap(WINDOWSIZE, WINDOWSIZE);
    if (!window::canvas || !window::shown || !window::composed) return -1;
    clear_bitmap(window::canvas);
    XSetIOErrorHandler(OnDisplayLost);
    // A write past a file-size limit fails with its reason (a save says it)
    // instead of killing the game.
    signal(SIGXFSZ, SIG_IGN);
    install_keyboard();
    install_timer();
    install_mouse();
    install_joystick(JOY_TYPE_AUTODETECT);
    // A held key repeats as presses alone, so that a repeat is never taken
    // for a new press.
    XLOCK();
    XkbSetDetectableAutoRepeat(_xwin.display, True, nullptr);
    XUNLOCK();
    for (int pass = 0; pass < 30; pass++) _xwin_handle_input();
    _xwin_keyboard_callback = events::OnSystemKey;
    keyboard_lowlevel_callback = events::OnKey;
    keyboard_callback = events::TakeWindowKeys;
    mouse_callback = events::OnMouse;
    set_close_button_callback(events::OnCloseButton);
    set_uformat(U_ASCII);
    // File names go to the system as the bytes they are, UTF-8 ones included.
    set_filename_encoding(U_ASCII);
    set_window_title("Quillbay");
    // Dialogs draw on the view and read the pointer on it.
    gui_set_screen(window::canvas);
    gui_mouse_x = window::MouseX;
    gui_mouse_y = window::MouseY;
    gui_mouse_b = window::MouseButtons;
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

void *GetGameWindow() { return window::canvas; }

int InitCommonControlsEx(int, int) { return 1; }

int CloseRequested() { return events::closerequested; }

void SetCloseCheck(bool (*check)()) { closecheck = check; }

void PostQuitMessage(int) {}

int LocalHour() {
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    return local.tm_hour;
}

bool KeyDown(int k) {
    if (k <= 0 || k >= KEY_MAX) return false;
    // The Enter of Alt+Enter belongs to the window.
    if ((k == KEY_ENTER || k == KEY_ENTER_PAD) && (key_shifts & KB_ALT_FLAG)) return false;
    const bool tapped = events::TakePress(k);
    return key[k] || tapped;
}

bool ReadGamepad(int pad, gamepadstate &state) {
    if (pad < 0 || pad >= (int)pads::states.size()) return false;
    state = pads::states[(size_t)pad];
    return true;
}

void ShowPassingNotice(const std::string &text) {
    notice::text = text;
    notice::until = NowNs() + notice::SHOWNNS;
    Present();
}

void WaitTick() {
    // Once the window is to close, every wait ends at once.
    if (!events::closerequested) events::Wait(false, WaitLimit(false));
    Serve();
}

bool ShowBuffer(BITMAP *bmp) {
    // Pace shown frames to 60 per second against the monotonic clock; after
    // a long stall the schedule restarts instead of rushing to catch up.
    static long long nextns = 0;
    const long long frame = 1000000000LL / 60;
    // What a game ends with after the player agreed to close is not shown.
    if (events::closerequested) return false;
    const long long nowns = NowNs();
    if (nextns == 0 || nowns - nextns > frame * 4) nextns = nowns;
    SleepNs(nextns - nowns);
    nextns += frame;
    bool changed = false;
    if (bmp && window::canvas && bitmap_color_depth(bmp) == 16) {
        const int h = std::min(bmp->h, WINDOWSIZE), bytes = std::min(bmp->w, WINDOWSIZE) * 2;
        for (int y = 0; y < h && !changed; y++) changed = memcmp(bmp->line[y], window::canvas->line[y], (size_t)bytes) != 0;
        if (changed) blit(bmp, window::canvas, 0, 0, 0, 0, SHOWNWIDTH, SHOWNHEIGHT);
    }
    Serve();
    return changed;
}

void HoldShown(int ms) {
    const long long until = NowNs() + ms * 1000000LL;
    for (long long now = NowNs(); now < until && !events::closerequested; now = NowNs()) {
        events::Wait(false, std::min(WaitLimit(false), until - now));
        Serve();
    }
    events::ForgetPresses();
}

void ClearScreen() {
    if (!window::canvas) return;
    clear_to_color(window::canvas, 0);
    Present();
}

// ---------------------------------------------------------------------------
// GUI helpers

static int Colour(int r, int g, int b) { return makecol(r, g, b); }
static int PanelColour() { return Colour(228, 224, 212); }
static int InkColour() { return Colour(16, 16, 24); }
static int TitleColour() { return Colour(40, 72, 128); }
static int White() { return Colour(255, 255, 255); }

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
    BITMAP *view = window::canvas;
    int x = WINDOWSIZE, y = WINDOWSIZE, r = 0, b = 0;
    for (DIALOG *d = dialog; d->proc; d++) {
        if (d->w <= 0 || d->h <= 0) continue;
        x = std::min(x, d->x);
        y = std::min(y, d->y);
        r = std::max(r, d->x + d->w);
        b = std::max(b, d->y + d->h);
    }
    BITMAP *under = (r > x && b > y) ? create_bitmap(r - x, b - y) : nullptr;
    if (under) blit(view, under, x, y, 0, 0, r - x, b - y);

    clear_keybuf();
    window::dialogs++;
    window::SetPointer();
    unsigned padheld = 0;
    DIALOG_PLAYER *player = init_dialog(dialog, focus);
    while (update_dialog(player)) {
        if (events::closerequested || (done && done(dialog))) break;
        Serve();
        // A gamepad answers as Enter, Escape and the arrows would.
        gamepadstate pad;
        unsigned held = ReadGamepad(0, pad) ? PadActions(pad) : 0, pressed = held & ~padheld;
        padheld = held;
        if (pressed >> ACTION_CONFIRM & 1u) simulate_keypress(KEY_ENTER << 8 | '\r');
        if (pressed >> ACTION_BACK & 1u) simulate_keypress(KEY_ESC << 8 | 27);
        if (pressed >> ACTION_UP & 1u) simulate_keypress(KEY_UP << 8);
        if (pressed >> ACTION_DOWN & 1u) simulate_keypress(KEY_DOWN << 8);
        // Nothing changes in a dialog until a key, the mouse or the window
        // says so.
        if (!keypressed()) events::Wait(true, WaitLimit(true));
    }
    int closer = events::closerequested ? -1 : player->obj;
    shutdown_dialog(player);
    window::dialogs--;
    window::SetPointer();

    if (under) {
        blit(under, view, 0, 0, x, y, r - x, b - y);
        destroy_bitmap(under);
    }
    // Keys that closed the dialog must not leak into what comes next.
    while (key[KEY_ENTER] || key[KEY_SPACE] || key[KEY_ESC]) Sleep(10);
    clear_keybuf();
    events::ForgetPresses();
    Present();
    return closer;
}

// ---------------------------------------------------------------------------
// Message boxes

static void ShowNotice(const std::vector<std::string> &lines, const char *title, const char *button) {
    // Without a window (the graphics mode failed) the notice goes to the
    // terminal instead.
    if (!window::canvas) {
        fprintf(stderr, "%s:", title);
        for (const std::string &line : lines) fprintf(stderr, " %s", line.c_str());
        fprintf(stderr, "\n");
        return;
    }
    const int charw = 8, lineh = text_height(font) + 2;
    const int maxchars = (WINDOWSIZE - 28) / charw;
    std::string text;
    for (const std::string &line : lines) {
        if (!text.empty()) text += "\n";
        text += line;
    }
    std::vector<std::string> wrapped = WrapText(text, maxchars);
    int widest = (int)strlen(title) + 2;
    for (const std::string &line : wrapped) widest = std::max(widest, (int)line.size());
    int w = std::min(std::max(widest * charw + 28, 160), WINDOWSIZE - 4);
    int maxlines = (WINDOWSIZE - 70) / lineh;
    if ((int)wrapped.size() > maxlines) wrapped.resize((size_t)maxlines);
    int texth = (int)wrapped.size() * lineh;
    int h = 16 + 10 + texth + 10 + 22 + 10;
    int x = (WINDOWSIZE - w) / 2, y = (WINDOWSIZE - h) / 2;

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
        BITMAP *gs = gui_get_screen();
        rectfill(gs, d->x, d->y, d->x + d->w - 1, d->y + d->h - 1, PanelColour());
        const dlgcontrol box = {DLG_TEXT, d->d1, nullptr, 0, 0, d->w, d->h, 0};
        int y = d->y;
        for (const std::string &line : DlgShownLines(&Running(d).state, box)) {
            textout_ex(gs, font, line.c_str(), d->x, y, InkColour(), -1);
            y += DLGTEXTLINE;
        }
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
static int ListRowHeight() { return DLGLISTROW; }
static int ListRows(DIALOG *d) { return DlgListRows(d->h); }

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
    // Each row as the dialog model fits it to the list's width.
    const std::vector<std::string> texts = DlgShownLines(&Running(d).state, {DLG_LIST, list.id, nullptr, 0, 0, d->w, d->h, 0});
    set_clip_rect(gs, d->x + 1, d->y + 1, textright, d->y + d->h - 2);
    for (int row = d->d2; row < d->d2 + rows && row < count; row++) {
        const int y = d->y + 2 + (row - d->d2) * rowh;
        const bool selected = row == list.cursel;
        if (selected) rectfill(gs, d->x + 2, y, textright - 1, y + rowh - 1, TitleColour());
        textout_ex(gs, font, texts[(size_t)row].c_str(), d->x + 4, y + 2, selected ? White() : InkColour(), -1);
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
    if (!window::canvas || !proc) return -1;
    runningdialog run{DlgCreate(dialogtemplate, param), proc};
    proc(&run.state, WM_INITDIALOG, 0, 0);
    if (run.state.ended) return run.state.result;

    // The frame stands in the middle of the window, its controls below the
    // title bar.
    const int margin = 4, titleh = 16;
    int fw = dialogtemplate.w + 2 * margin, fh = dialogtemplate.h + 2 * margin + titleh;
    int fx = (WINDOWSIZE - fw) / 2, fy = (WINDOWSIZE - fh) / 2;
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
