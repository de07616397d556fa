// The player's controls: the game asks for actions, never for keys. Each
// action has keys and gamepad buttons, from a default table or from the
// player's own controls file; the d-pad and the sticks of a gamepad walk.
#pragma once

#include <string>
#include <vector>

#include "base/platform.h"

// the actions, in the order the controls file lists them
enum {
    ACTION_UP,
    ACTION_DOWN,
    ACTION_LEFT,
    ACTION_RIGHT,
    ACTION_CONFIRM,     // a battle message or a table of stat gains
    ACTION_BACK,        // where key 5 answers, the same as key 5
    ACTION_SAVE,        // F5 on the map
    ACTION_MENU1,       // the menus' keys 1 to 5
    ACTION_MENU5 = ACTION_MENU1 + 4,
    ACTION_SCREENSHOT,  // taken by the platform wherever the player is
    ACTION_FULLSCREEN,  // switched by the platform; Alt+Enter does it too
    ACTION_CREATURES,   // Tab on the map: the creature screen, and Tab there closes it
    ACTIONCOUNT
};
struct actionbinding {
    std::vector<int> keys;     // the library's KEY_ codes
    std::vector<int> buttons;  // gamepad buttons, from 0
};
extern actionbinding bindings[ACTIONCOUNT];
// Counts the times the bindings were set, for those who keep a copy.
extern int bindingsset;
// The name an action has in the controls file ("confirm", "menu1").
const char *ActionName(int action);
// The name of the first key bound to the action ("TAB"), as the controls
// file writes it; "?" when it has none.
const char *ActionKeyName(int action);

// asking
// True while a key or a gamepad button of the action is held, or a stick
// or d-pad points its way.
bool ActionDown(int action);
// Menu key n (1 to 5); back counts as key 5.
bool MenuKeyDown(int n);
// The actions a gamepad's state holds, one bit per action: the bound
// buttons, and the sticks that rested in the middle when the pad was first
// read (a trigger that rests at one end never walks).
unsigned PadActions(const gamepadstate &pad);

// the controls file
// The default table.
void DefaultBindings();
// Sets the bindings from the text of a controls file, on top of the
// defaults; returns one line for each entry it could not use (that action
// keeps its default).
std::vector<std::string> ReadBindings(const std::string &text);
// The commented controls file the defaults make.
std::string DefaultControlsText();
// Where the controls file is looked for, in order: the player's
// configuration folder ($XDG_CONFIG_HOME, or ~/.config), then the game's
// own folder.
std::vector<std::string> ControlsPaths();
// Reads the first controls file that exists, with a log line for the file
// and for each entry it could not use.
void LoadControls();
// Writes the commented default to the first place of ControlsPaths,
// creating its folder; never over a file (or a link) that is there. The
// path written, or an empty text with the reason in `why`.
std::string WriteDefaultControls(std::string &why);
