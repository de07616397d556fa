// The headless platform: no window, a 352 by 352 memory bitmap as the
// screen, recorded notices and scripted keys, dialogs and file choices.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "tests/harness/headless.h"

namespace headless {
std::vector<Box> boxes;
std::vector<std::string> alerts;
std::vector<int> quitrequests;
int hour = 12;
int closerequested = 0;
long ticks = 0;
long frames = 0;
void (*onframe)(BITMAP *shown) = nullptr;
void (*onwait)() = nullptr;
int commoncontrolsok = 1;
int platformstops = 0;
DialogState lastdialog;
int dialogsshown = 0;
FileDialogSettings lastfiledialog;
long graceticks = 1000;

static std::deque<KeyStep> keyscript;
static long ticksafterscript = 0;
static std::deque<DlgAction> dialogscript;
static std::deque<FileAnswer> filescript;

static void ReleaseAllKeys() {
    for (int k = 0; k < KEY_MAX; k++) key[k] = 0;
}

void Reset() {
    boxes.clear();
    alerts.clear();
    quitrequests.clear();
    hour = 12;
    closerequested = 0;
    ticks = 0;
    frames = 0;
    onframe = nullptr;
    onwait = nullptr;
    commoncontrolsok = 1;
    platformstops = 0;
    lastdialog = DialogState();
    dialogsshown = 0;
    lastfiledialog = FileDialogSettings();
    graceticks = 1000;
    keyscript.clear();
    ticksafterscript = 0;
    dialogscript.clear();
    filescript.clear();
    ReleaseAllKeys();
}

void ScriptKeys(const std::vector<KeyStep> &steps) {
    keyscript.assign(steps.begin(), steps.end());
    ticksafterscript = 0;
}

void ScriptDialog(const std::vector<DlgAction> &actions) {
    dialogscript.assign(actions.begin(), actions.end());
}

void ScriptFileDialog(const std::vector<FileAnswer> &answers) {
    filescript.assign(answers.begin(), answers.end());
}
}  // namespace headless

using namespace headless;

int PlatformStart() {
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return -1;
    set_color_depth(16);
    screen = create_bitmap(352, 352);
    if (!screen) return -1;
    clear_bitmap(screen);
    set_uformat(U_ASCII);
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
    boxes.push_back(Box{text ? text : "", title ? title : ""});
}

void ShowAlert(const char *line1, const char *line2, const char *button) {
    alerts.push_back(std::string(line1 ? line1 : "") + "|" + (line2 ? line2 : "") + "|" + (button ? button : ""));
}

void PostQuitMessage(int code) { quitrequests.push_back(code); }

int CloseRequested() { return closerequested; }

intptr_t DialogBoxParamA(const DlgTemplate &dialogtemplate, DLGPROC proc, intptr_t param) {
    dialogsshown++;
    DialogState dialog = DlgCreate(dialogtemplate, param);
    proc(&dialog, WM_INITDIALOG, 0, 0);
    while (!dialog.ended && !dialogscript.empty()) {
        DlgAction action = dialogscript.front();
        dialogscript.pop_front();
        switch (action.kind) {
        case DlgAction::SelectRow: DlgSelectRow(&dialog, proc, action.id, action.row); break;
        case DlgAction::Press: DlgPressButton(&dialog, proc, action.id); break;
        case DlgAction::Type: DlgTypeText(&dialog, proc, action.id, action.text); break;
        }
    }
    lastdialog = dialog;
    if (!dialog.ended) throw ScriptExhausted("dialog still open when its script ended");
    return dialog.result;
}

int FileDialog(const FileDialogSettings &settings, char *out, int outsize) {
    lastfiledialog = settings;
    if (filescript.empty()) throw ScriptExhausted("file dialog shown with no scripted answer");
    FileAnswer answer = filescript.front();
    filescript.pop_front();
    if (answer.result == 1 && out && outsize > 0) {
        strncpy(out, answer.path.c_str(), (size_t)outsize - 1);
        out[outsize - 1] = '\0';
    }
    return answer.result;
}

int LocalHour() { return hour; }

void WaitTick() {
    ticks++;
    while (!keyscript.empty() && keyscript.front().ticks <= 0) keyscript.pop_front();
    ReleaseAllKeys();
    if (keyscript.empty()) {
        if (onwait) return onwait();
        if (++ticksafterscript > graceticks) throw ScriptExhausted("a wait outlived its key script");
        return;
    }
    KeyStep &step = keyscript.front();
    for (int k : step.down)
        if (k > 0 && k < KEY_MAX) key[k] = 1;
    step.ticks--;
}

void ShowBuffer(BITMAP *bmp) {
    frames++;
    if (onframe) onframe(bmp);
    if (bmp && screen) blit(bmp, screen, 0, 0, 0, 0, 360, 370);
}
