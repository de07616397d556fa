// Controls of the headless platform used by the tests: what it recorded and
// the scripts it plays.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "base/platform.h"

namespace headless {

struct box {
    std::string text;
    std::string title;
};

// One step of a key script: these keys are held for `ticks` calls of WaitTick.
struct keystep {
    std::vector<int> down;
    int ticks;
};

// One action of a dialog script: select a list's row, press a button, or
// type a text into an edit field.
struct dlgaction {
    enum Kind { SelectRow, Press, Type } kind;
    int id;       // the list, button or edit field
    int row = 0;  // SelectRow
    std::string text = "";  // Type
};

struct fileanswer {
    int result;  // 1 chosen, 0 cancelled, negative an error
    std::string path;
};

// Thrown by a wait that outlives its key script, or by a dialog that is
// still open when its script ends: the test fails instead of hanging.
struct scriptexhausted : std::runtime_error {
    using std::runtime_error::runtime_error;
};

extern std::vector<box> boxes;
extern std::vector<std::string> notices;  // the passing notices shown
// The gamepads ReadGamepad reports, in order.
extern std::vector<gamepadstate> pads;
// Set by a test to press the close button: the next wait or frame asks the
// close check, which then sets closerequested.
extern int closepressed;
extern std::vector<std::string> alerts;
extern std::vector<int> quitrequests;
extern int hour;
extern int closerequested;
extern long ticks;
extern long frames;
// Each hold of the screen: its milliseconds and the frames shown before it.
struct hold {
    int ms;
    long frame;
};
extern std::vector<hold> holds;
// Called with every buffer shown, if set (Reset clears it).
extern void (*onframe)(BITMAP *shown);
// Called by a wait whose key script has ended, if set, to hold keys itself
// with SetKey (a player of the test's own); Reset clears it.
extern void (*onwait)();
// Called with every message box as it is shown, if set (Reset clears it).
extern void (*onbox)(const box &shown);
extern int commoncontrolsok;
extern int platformstops;
extern dialogstate lastdialog;
extern int dialogsshown;
extern filedialogsettings lastfiledialog;  // the settings the last file dialog was given

// Forget every recording and script, release all keys.
void Reset();
// Holds (or releases) a key, as KeyDown sees it, until the next wait.
void SetKey(int k, bool down);
void ReleaseAllKeys();
void ScriptKeys(const std::vector<keystep> &steps);
void ScriptDialog(const std::vector<dlgaction> &actions);
void ScriptFileDialog(const std::vector<fileanswer> &answers);
// Ticks a wait may spin after its key script has ended before it fails.
extern long graceticks;

}  // namespace headless
