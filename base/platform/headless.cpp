// The headless platform: no window, a 352 by 352 memory bitmap as the
// screen, recorded notices and scripted keys, dialogs and file choices. The
// keys it plays are its own: the library's key array is never written.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "base/platform/headless.h"

#include "base/input.h"

namespace headless {
static bool held[KEY_MAX];
std::vector<box> boxes;
std::vector<std::string> notices;
std::vector<gamepadstate> pads;
int closepressed = 0;
static bool (*closecheck)() = nullptr;
std::vector<std::string> alerts;
std::vector<int> quitrequests;
int hour = 12;
int closerequested = 0;
long ticks = 0;
long frames = 0;
std::vector<hold> holds;
void (*onframe)(BITMAP *shown) = nullptr;
void (*onwait)() = nullptr;
void (*onbox)(const box &shown) = nullptr;
int commoncontrolsok = 1;
int platformstops = 0;
dialogstate lastdialog;
int dialogsshown = 0;
filedialogsettings lastfiledialog;
long graceticks = 1000;

static std::deque<keystep> keyscript;
static long ticksafterscript = 0;
static std::deque<dlgaction> dialogscript;
static std::deque<fileanswer> filescript;

void ReleaseAllKeys() {
    for (bool &down : held) down = false;
}

void SetKey(int k, bool down) {
    if (k > 0 && k < KEY_MAX) held[k] = down;
}

void Reset() {
    boxes.clear();
    notices.clear();
    pads.clear();
    closepressed = 0;
    alerts.clear();
    quitrequests.clear();
    hour = 12;
    closerequested = 0;
    ticks = 0;
    frames = 0;
    holds.clear();
    onframe = nullptr;
    onwait = nullptr;
    onbox = nullptr;
    commoncontrolsok = 1;
    platformstops = 0;
    lastdialog = dialogstate();
    dialogsshown = 0;
    lastfiledialog = filedialogsettings();
    graceticks = 1000;
    keyscript.clear();
    ticksafterscript = 0;
    dialogscript.clear();
    filescript.clear();
    ReleaseAllKeys();
    DefaultBindings();
}

void ScriptKeys(const std::vector<keystep> &steps) {
    keyscript.assign(steps.begin(), steps.end());
    ticksafterscript = 0;
}

void ScriptDialog(const std::vector<dlgaction> &actions) {
    dialogscript.assign(actions.begin(), actions.end());
}

void ScriptFileDialog(const std::vector<fileanswer> &answers) {
    filescript.assign(answers.begin(), answers.end());
}
}  // namespace headless

using namespace headless;

int PlatformStart(const windowoptions &) {
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return -1;
    set_color_depth(16);
    screen = create_bitmap(WINDOWSIZE, WINDOWSIZE);
    if (!screen) return -1;
    clear_bitmap(screen);
    set_uformat(U_ASCII);
    // File names go to the system as the bytes they are, UTF-8 ones included.
    set_filename_encoding(U_ASCII);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(-1);
#pragma GCC diagnostic pop
    return 0;
}

// The library stays up for the rest of the test program; the stop is counted.
void PlatformStop() { platformstops++; }

int InitCommonControlsEx(int, int) { return commoncontrolsok; }

void *GetGameWindow() { return &frames; }

void ShowMessageBox(const char *text, const char *title) {
    boxes.push_back(box{text ? text : "", title ? title : ""});
    if (onbox) onbox(boxes.back());
}

void ShowAlert(const char *line1, const char *line2, const char *button) {
    alerts.push_back(std::string(line1 ? line1 : "") + "|" + (line2 ? line2 : "") + "|" + (button ? button : ""));
}

void PostQuitMessage(int code) { quitrequests.push_back(code); }

int CloseRequested() { return closerequested; }

void SetCloseCheck(bool (*check)()) { closecheck = check; }

// The close button as the real window answers it: the check first.
static void AnswerClose() {
    if (!closepressed) return;
    closepressed = 0;
    if (!closecheck || closecheck()) closerequested = 1;
}

void ShowPassingNotice(const std::string &text) { notices.push_back(text); }

bool ReadGamepad(int pad, gamepadstate &state) {
    if (pad < 0 || pad >= (int)pads.size()) return false;
    state = pads[(size_t)pad];
    return true;
}

intptr_t DialogBoxParamA(const dlgtemplate &dialogtemplate, DLGPROC proc, intptr_t param) {
    dialogsshown++;
    dialogstate dialog = DlgCreate(dialogtemplate, param);
    proc(&dialog, WM_INITDIALOG, 0, 0);
    while (!dialog.ended && !dialogscript.empty()) {
        dlgaction action = dialogscript.front();
        dialogscript.pop_front();
        switch (action.kind) {
        case dlgaction::SelectRow: DlgSelectRow(&dialog, proc, action.id, action.row); break;
        case dlgaction::Press: DlgPressButton(&dialog, proc, action.id); break;
        case dlgaction::Type: DlgTypeText(&dialog, proc, action.id, action.text); break;
        }
    }
    lastdialog = dialog;
    if (!dialog.ended) throw scriptexhausted("dialog still open when its script ended");
    return dialog.result;
}

int FileDialog(const filedialogsettings &settings, char *out, int outsize) {
    lastfiledialog = settings;
    if (filescript.empty()) throw scriptexhausted("file dialog shown with no scripted answer");
    fileanswer answer = filescript.front();
    filescript.pop_front();
    if (answer.result == 1 && out && outsize > 0) {
        strncpy(out, answer.path.c_str(), (size_t)outsize - 1);
        out[outsize - 1] = '\0';
    }
    return answer.result;
}

int LocalHour() { return hour; }

bool KeyDown(int k) { return k > 0 && k < KEY_MAX && headless::held[k]; }

void WaitTick() {
    ticks++;
    AnswerClose();
    while (!keyscript.empty() && keyscript.front().ticks <= 0) keyscript.pop_front();
    ReleaseAllKeys();
    if (keyscript.empty()) {
        if (onwait) return onwait();
        if (++ticksafterscript > graceticks) throw scriptexhausted("a wait outlived its key script");
        return;
    }
    keystep &step = keyscript.front();
    for (int k : step.down) SetKey(k, true);
    step.ticks--;
}

// Instant: the hold is only recorded; the close button is answered as in
// any wait.
void HoldShown(int ms) {
    holds.push_back(hold{ms, frames});
    AnswerClose();
}

void ClearScreen() {
    if (screen) clear_to_color(screen, 0);
}

bool ShowBuffer(BITMAP *bmp) {
    frames++;
    AnswerClose();
    if (onframe) onframe(bmp);
    if (!bmp || !screen) return false;
    bool same = bitmap_color_depth(bmp) == bitmap_color_depth(screen);
    const int w = std::min({bmp->w, screen->w, SHOWNWIDTH}), h = std::min({bmp->h, screen->h, SHOWNHEIGHT});
    const size_t bytes = (size_t)w * ((bitmap_color_depth(bmp) + 7) / 8);
    for (int y = 0; y < h && same; y++) same = memcmp(bmp->line[y], screen->line[y], bytes) == 0;
    if (!same) blit(bmp, screen, 0, 0, 0, 0, SHOWNWIDTH, SHOWNHEIGHT);
    return !same;
}
