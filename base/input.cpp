// The player's controls: actions, their keys and buttons, and the controls
// file in the library's own configuration format.
#include "base/input.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/log.h"

namespace {

const char *const actionnames[ACTIONCOUNT] = {"up",    "down",  "left",  "right", "confirm",    "back",      "save",
                                              "menu1", "menu2", "menu3", "menu4", "menu5", "screenshot", "fullscreen", "creatures"};

// Our own names for keys (the library's names differ by platform): its
// KEY_ names without the prefix.
struct keyname {
    const char *name;
    int code;
};
#define KEYNAME(k) {#k, KEY_##k}
const keyname keynames[] = {
    KEYNAME(A), KEYNAME(B), KEYNAME(C), KEYNAME(D), KEYNAME(E), KEYNAME(F), KEYNAME(G), KEYNAME(H), KEYNAME(I),
    KEYNAME(J), KEYNAME(K), KEYNAME(L), KEYNAME(M), KEYNAME(N), KEYNAME(O), KEYNAME(P), KEYNAME(Q), KEYNAME(R),
    KEYNAME(S), KEYNAME(T), KEYNAME(U), KEYNAME(V), KEYNAME(W), KEYNAME(X), KEYNAME(Y), KEYNAME(Z),
    {"0", KEY_0}, {"1", KEY_1}, {"2", KEY_2}, {"3", KEY_3}, {"4", KEY_4},
    {"5", KEY_5}, {"6", KEY_6}, {"7", KEY_7}, {"8", KEY_8}, {"9", KEY_9},
    KEYNAME(0_PAD), KEYNAME(1_PAD), KEYNAME(2_PAD), KEYNAME(3_PAD), KEYNAME(4_PAD),
    KEYNAME(5_PAD), KEYNAME(6_PAD), KEYNAME(7_PAD), KEYNAME(8_PAD), KEYNAME(9_PAD),
    KEYNAME(F1), KEYNAME(F2), KEYNAME(F3), KEYNAME(F4), KEYNAME(F5), KEYNAME(F6), KEYNAME(F7), KEYNAME(F8),
    KEYNAME(F9), KEYNAME(F10), KEYNAME(F11), KEYNAME(F12),
    KEYNAME(UP), KEYNAME(DOWN), KEYNAME(LEFT), KEYNAME(RIGHT), KEYNAME(ENTER), KEYNAME(ENTER_PAD),
    KEYNAME(SPACE), KEYNAME(BACKSPACE), KEYNAME(TAB), KEYNAME(INSERT), KEYNAME(DEL), KEYNAME(HOME),
    KEYNAME(END), KEYNAME(PGUP), KEYNAME(PGDN), KEYNAME(PLUS_PAD), KEYNAME(MINUS_PAD), KEYNAME(SLASH_PAD),
    KEYNAME(ASTERISK), KEYNAME(DEL_PAD), KEYNAME(PRTSCR), KEYNAME(PAUSE), KEYNAME(MINUS), KEYNAME(EQUALS),
    KEYNAME(OPENBRACE), KEYNAME(CLOSEBRACE), KEYNAME(SEMICOLON), KEYNAME(QUOTE), KEYNAME(BACKSLASH),
    KEYNAME(COMMA), KEYNAME(STOP), KEYNAME(SLASH), KEYNAME(TILDE), KEYNAME(LSHIFT), KEYNAME(RSHIFT),
    KEYNAME(LCONTROL), KEYNAME(RCONTROL), KEYNAME(ALT), KEYNAME(ALTGR), KEYNAME(LWIN), KEYNAME(RWIN),
    KEYNAME(MENU), KEYNAME(SCRLOCK), KEYNAME(NUMLOCK), KEYNAME(CAPSLOCK), KEYNAME(ESC),
};
#undef KEYNAME

int KeyCode(const std::string &name) {
    for (const keyname &k : keynames)
        if (strcasecmp(k.name, name.c_str()) == 0) return k.code;
    return 0;
}

const char *KeyName(int code) {
    for (const keyname &k : keynames)
        if (k.code == code) return k.name;
    return "?";
}

// The default table; a gamepad's buttons are numbered as the system numbers
// them, which on the common pads gives A, B, X, Y, the shoulder buttons,
// Back and Start 0 to 7; Back opens the creature screen.
struct defaultbinding {
    std::vector<int> keys, buttons;
};
const defaultbinding defaults[ACTIONCOUNT] = {
    {{KEY_UP}, {}},   {{KEY_DOWN}, {}}, {{KEY_LEFT}, {}}, {{KEY_RIGHT}, {}},
    {{KEY_SPACE, KEY_ENTER, KEY_ENTER_PAD}, {0}},
    {{KEY_BACKSPACE}, {1}},
    {{KEY_F5}, {7}},
    {{KEY_1, KEY_1_PAD}, {0}}, {{KEY_2, KEY_2_PAD}, {2}}, {{KEY_3, KEY_3_PAD}, {3}}, {{KEY_4, KEY_4_PAD}, {4}},
    {{KEY_5, KEY_5_PAD}, {}},
    {{KEY_F12, KEY_PRTSCR}, {}},
    {{KEY_F11}, {}},
    {{KEY_TAB}, {6}},
};

}  // namespace

// Every program starts with the defaults.
actionbinding bindings[ACTIONCOUNT];
int bindingsset = 0;
static const bool defaultsset = (DefaultBindings(), true);

namespace {

// How far from the middle (of -128 to 127) a stick must point to walk.
constexpr int STICKDEADZONE = 32;

// The words of one entry; false when the entry is absent or empty.
bool EntryWords(const char *section, const char *name, std::vector<std::string> &words) {
    if (!get_config_string(section, name, nullptr)) return false;
    int count = 0;
    char **argv = get_config_argv(section, name, &count);
    words.clear();
    for (int i = 0; i < count; i++) words.push_back(argv[i]);
    return true;
}

std::string Joined(const std::vector<std::string> &words) {
    std::string text;
    for (const std::string &word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

// The keys an entry names; Escape stays the key that leaves the game.
void ReadKeys(int action, std::vector<std::string> &problems) {
    std::vector<std::string> words;
    if (!EntryWords("keys", actionnames[action], words)) return;
    std::vector<int> keys;
    for (const std::string &word : words) {
        int code = KeyCode(word);
        if (code == KEY_ESC)
            problems.push_back(Format("[keys] %s: Escape always leaves the game and cannot be bound", actionnames[action]));
        else if (code == 0)
            problems.push_back(Format("[keys] %s: no key is called \"%s\"", actionnames[action], word.c_str()));
        else
            keys.push_back(code);
    }
    if (keys.empty()) {
        problems.push_back(Format("[keys] %s names no key it can use (\"%s\"); its default is kept", actionnames[action],
                                  Joined(words).c_str()));
        return;
    }
    bindings[action].keys = keys;
}

// The buttons an entry names; "none" takes the action off the pad.
void ReadButtons(int action, std::vector<std::string> &problems) {
    std::vector<std::string> words;
    if (!EntryWords("gamepad", actionnames[action], words)) return;
    std::vector<int> buttons;
    if (words.size() == 1 && strcasecmp(words[0].c_str(), "none") == 0) words.clear();
    for (const std::string &word : words) {
        char *end = nullptr;
        long b = strtol(word.c_str(), &end, 10);
        if (word.empty() || *end != '\0' || b < 0 || b >= PADBUTTONS) {
            problems.push_back(Format("[gamepad] %s: \"%s\" is not a button number from 0 to %d; its default is kept",
                                      actionnames[action], word.c_str(), PADBUTTONS - 1));
            return;
        }
        buttons.push_back((int)b);
    }
    bindings[action].buttons = buttons;
}

// Entries that name no action are most likely misspelt.
void CheckNames(const char *section, std::vector<std::string> &problems) {
    const char **names = nullptr;
    int count = list_config_entries(section, &names);
    for (int i = 0; i < count; i++) {
        bool known = false;
        for (const char *action : actionnames) known = known || strcmp(action, names[i]) == 0;
        if (!known) problems.push_back(Format("[%s] has no action called \"%s\"", section, names[i]));
    }
    free_config_entries(&names);
}

}  // namespace

const char *ActionName(int action) { return action >= 0 && action < ACTIONCOUNT ? actionnames[action] : "?"; }

const char *ActionKeyName(int action) {
    return action >= 0 && action < ACTIONCOUNT && !bindings[action].keys.empty() ? KeyName(bindings[action].keys[0]) : "?";
}

unsigned PadActions(const gamepadstate &pad) {
    unsigned held = 0;
    for (const gamepadstate::stick &s : pad.sticks) {
        if (!s.rests) continue;
        if (s.y < -STICKDEADZONE) held |= 1u << ACTION_UP;
        if (s.y > STICKDEADZONE) held |= 1u << ACTION_DOWN;
        if (s.x < -STICKDEADZONE) held |= 1u << ACTION_LEFT;
        if (s.x > STICKDEADZONE) held |= 1u << ACTION_RIGHT;
    }
    for (int action = 0; action < ACTIONCOUNT; action++)
        for (int b : bindings[action].buttons)
            if (b >= 0 && b < PADBUTTONS && (pad.buttons >> b & 1u)) held |= 1u << action;
    return held;
}

bool ActionDown(int action) {
    if (action < 0 || action >= ACTIONCOUNT) return false;
    // Every key is asked, so that a short press of each is seen once.
    bool down = false;
    for (int k : bindings[action].keys) down = KeyDown(k) || down;
    gamepadstate pad;
    for (int p = 0; !down && ReadGamepad(p, pad); p++) down = PadActions(pad) >> action & 1u;
    return down;
}

bool MenuKeyDown(int n) {
    if (n < 1 || n > 5) return false;
    bool down = ActionDown(ACTION_MENU1 + n - 1);
    return n == 5 ? ActionDown(ACTION_BACK) || down : down;
}

void DefaultBindings() {
    for (int a = 0; a < ACTIONCOUNT; a++) bindings[a] = {defaults[a].keys, defaults[a].buttons};
    bindingsset++;
}

std::vector<std::string> ReadBindings(const std::string &text) {
    DefaultBindings();
    std::vector<std::string> problems;
    // A state of our own keeps the library's own settings out of it.
    push_config_state();
    set_config_data(text.data(), (int)text.size());
    for (int a = 0; a < ACTIONCOUNT; a++) {
        ReadKeys(a, problems);
        ReadButtons(a, problems);
    }
    CheckNames("keys", problems);
    CheckNames("gamepad", problems);
    pop_config_state();
    bindingsset++;
    return problems;
}

std::string DefaultControlsText() {
    std::string text =
        "# Quillbay's controls. Each action lists its keys, and the gamepad buttons\n"
        "# that do the same, separated by blanks; a line starting with # is a note.\n"
        "# Keys: A to Z, 0 to 9, 0_PAD to 9_PAD, F1 to F12, UP, DOWN, LEFT, RIGHT,\n"
        "# ENTER, ENTER_PAD, SPACE, BACKSPACE, TAB, HOME, END, PGUP, PGDN, INSERT,\n"
        "# DEL, PRTSCR, PAUSE, LSHIFT, RSHIFT, LCONTROL, RCONTROL, ALT, and the rest\n"
        "# of the library's KEY_ names without KEY_.\n"
        "# Escape always leaves the game (on the creature screen it closes that);\n"
        "# Alt+Enter also switches full screen.\n"
        "# back is key 5 wherever key 5 answers; menu1 to menu5 are the menus' 1 to 5.\n"
        "\n[keys]\n";
    for (int a = 0; a < ACTIONCOUNT; a++) {
        std::string keys;
        for (int k : defaults[a].keys) keys += std::string(keys.empty() ? "" : " ") + KeyName(k);
        text += std::string(actionnames[a]) + " = " + keys + "\n";
    }
    text +=
        "\n# Gamepad buttons count from 0 as the system numbers them. The d-pad and the\n"
        "# sticks always walk; buttons may walk too. none takes an action off the\n"
        "# gamepad.\n"
        "[gamepad]\n";
    for (int a = 0; a < ACTIONCOUNT; a++) {
        std::string buttons;
        for (int b : defaults[a].buttons) buttons += (buttons.empty() ? "" : " ") + std::to_string(b);
        text += std::string(actionnames[a]) + " = " + (buttons.empty() ? "none" : buttons) + "\n";
    }
    return text;
}

std::vector<std::string> ControlsPaths() {
    std::vector<std::string> paths;
    const char *xdg = getenv("XDG_CONFIG_HOME"), *home = getenv("HOME");
    if (xdg && xdg[0] == '/')
        paths.push_back(std::string(xdg) + "/quillbay/quillbay.cfg");
    else if (home && home[0])
        paths.push_back(std::string(home) + "/.config/quillbay/quillbay.cfg");
    paths.push_back("quillbay.cfg");
    return paths;
}

void LoadControls() {
    DefaultBindings();
    for (const std::string &path : ControlsPaths()) {
        // Read as any data file is: no link followed, nothing but a regular
        // file, and no larger than a controls file has any reason to be.
        int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) {
            if (errno != ENOENT)
                logfmt(LOG_MINOR, LOGCAT_USER, "Controls file %s cannot be read (%s); the default controls are used",
                       path.c_str(), strerror(errno));
            if (errno != ENOENT) return;
            continue;
        }
        struct stat info;
        std::string text;
        constexpr off_t CONTROLSMAX = 65536;
        bool usable = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= CONTROLSMAX;
        if (usable) {
            text.resize((size_t)info.st_size);
            usable = read(fd, &text[0], text.size()) == (ssize_t)text.size();
        }
        close(fd);
        if (!usable) {
            logfmt(LOG_MINOR, LOGCAT_USER,
                   "Controls file %s is not a plain file of at most %d bytes; the default controls are used",
                   path.c_str(), (int)CONTROLSMAX);
            return;
        }
        logfmt(LOG_INFO, LOGCAT_USER, "Controls read from %s", path.c_str());
        for (const std::string &problem : ReadBindings(text))
            logfmt(LOG_MINOR, LOGCAT_USER, "Controls file %s: %s", path.c_str(), problem.c_str());
        return;
    }
}

std::string WriteDefaultControls(std::string &why) {
    const std::string path = ControlsPaths().front();
    // Each folder on the way is made if missing.
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        if (mkdir(path.substr(0, slash).c_str(), 0755) != 0 && errno != EEXIST) {
            why = Format("cannot make the folder %s: %s", path.substr(0, slash).c_str(), strerror(errno));
            return "";
        }
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
    if (fd < 0) {
        why = errno == EEXIST ? Format("%s is there already; it was left as it is", path.c_str())
                              : Format("cannot write %s: %s", path.c_str(), strerror(errno));
        return "";
    }
    const std::string text = DefaultControlsText();
    bool written = write(fd, text.data(), text.size()) == (ssize_t)text.size();
    written = close(fd) == 0 && written;
    if (!written) {
        why = Format("cannot write %s: %s", path.c_str(), strerror(errno));
        return "";
    }
    return path;
}
