// Start-up and shutdown.
#include "shell/main.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "base/gamedir.h"
#include "base/input.h"
#include "base/log.h"
#include "base/platform.h"
#include "battle/battle.h"
#include "creatures/creatures.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"

HINSTANCE hInst = nullptr;
HWNDHANDLE hwnd = nullptr;
int gamerunning = 0;
int quitgamenow = 0;

static void ReleaseBitmap(BITMAP *&bmp) {
    if (!bmp) return;
    destroy_bitmap(bmp);
    bmp = nullptr;
}

void Exit() {
    ReleaseBitmap(playerspritesbmp);
    ReleaseBitmap(backbuffer);
    ReleaseBitmap(battlebackbuffer);
    ReleaseBitmap(enemyvorlet);
    ReleaseBitmap(ownvorletb);
    ReleaseBitmap(currentmaptilesbmp);
    PlatformStop();
}

namespace {

const char *const usage =
    "Usage: quillbay [OPTION]...\n"
    "Plays the projects that gameindex.txt lists in the game directory, which also\n"
    "holds the log qblog.txt, saves and screenshots. The game directory is DIR of\n"
    "--game DIR; else, for an installed game, your own copy of its projects in\n"
    "$XDG_DATA_HOME/quillbay (~/.local/share/quillbay), made at the first start and\n"
    "brought up to date by each new version, never over a file you changed; else\n"
    "the current directory.\n"
    "\n"
    "  --game DIR        play the projects of the game directory DIR\n"
    "  --scale N         the window is the view enlarged N times, 1 to 6 (by default\n"
    "                    the largest that fits the desktop)\n"
    "  --fullscreen      start in full screen (F11 or Alt+Enter switches)\n"
    "  --seed N          play the game of this seed again, draw for draw (0 to 4294967295)\n"
    "  --no-debug-boxes  write debug lines to the log only, without their notices\n"
    "  --debug-boxes     show a notice for each debug line (the default)\n"
    "  --write-config    write the commented default controls file, then exit\n"
    "  --help            show this help, then exit\n"
    "  --version         show the version, then exit\n";

struct options {
    std::string gamedir;  // --game DIR
    bool seeded = false;
    unsigned seed = 0;
    windowoptions window;
};
constexpr int GO_ON = -1;

// The number after an option, from `lowest` to `highest`; false after a
// message that names the option.
bool OptionNumber(std::istringstream &words, const std::string &option, unsigned long long lowest,
                  unsigned long long highest, unsigned long long &value) {
    std::string word;
    char *end = nullptr;
    const bool given = static_cast<bool>(words >> std::quoted(word));
    if (given) value = strtoull(word.c_str(), &end, 10);
    if (given && *end == '\0' && isdigit((unsigned char)word[0]) && value >= lowest && value <= highest) return true;
    fprintf(stderr, "Quillbay: %s needs a number from %llu to %llu%s%s\n", option.c_str(), lowest, highest,
            given ? ", not " : "", given ? word.c_str() : "");
    return false;
}

// GO_ON, or the status to end with at once (after the help, the version, a
// written controls file or a message for a bad option).
int ReadOptions(const char *cmdline, options &o) {
    std::istringstream words(cmdline ? cmdline : "");
    std::string word;
    while (words >> std::quoted(word)) {
        unsigned long long value = 0;
        if (word == "--help") {
            fputs(usage, stdout);
            return 0;
        } else if (word == "--version") {
            printf("Quillbay %s\n", QB_VERSION);
            return 0;
        } else if (word == "--write-config") {
            std::string why;
            std::string path = WriteDefaultControls(why);
            if (path.empty()) fprintf(stderr, "Quillbay: no controls file was written: %s\n", why.c_str());
            else printf("Wrote the default controls to %s\n", path.c_str());
            return path.empty() ? 1 : 0;
        } else if (word == "--no-debug-boxes" || word == "--debug-boxes") {
            showdebugboxes = word == "--debug-boxes";
        } else if (word == "--game") {
            if (!(words >> std::quoted(o.gamedir)) || o.gamedir.empty()) {
                fputs("Quillbay: --game needs a directory\n", stderr);
                return 2;
            }
        } else if (word == "--fullscreen") {
            o.window.fullscreen = true;
        } else if (word == "--scale") {
            if (!OptionNumber(words, word, 1, SCALEMAX, value)) return 2;
            o.window.scale = (int)value;
        } else if (word == "--seed") {
            if (!OptionNumber(words, word, 0, 0xFFFFFFFFull, value)) return 2;
            o.seeded = true, o.seed = (unsigned)value;
        } else {
            fprintf(stderr, "Quillbay: unknown option %s\n%s", word.c_str(), usage);
            return 2;
        }
    }
    return GO_ON;
}

// Goes into the game directory: --game DIR, else the player's copy of an
// installed game's projects, else stays in the current directory. False
// after a message on stderr; `notes` gets what the copy left as it was.
bool EnterGameDir(std::string dir, std::vector<std::string> &notes) {
    if (dir.empty()) {
        char exe[4096];
        const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe);
        const std::string shipped = length > 0 ? ShippedGameDir(std::string(exe, (size_t)length)) : "";
        if (shipped.empty()) return true;
        std::string why;
        dir = UserGameDir(getenv("XDG_DATA_HOME"), getenv("HOME"));
        if (dir.empty()) why = "neither XDG_DATA_HOME nor HOME is an absolute path";
        if (dir.empty() || !UpdateUserGameDir(shipped, dir, QB_VERSION, notes, why)) {
            fprintf(stderr, "Quillbay: no game directory of your own: %s. Give one with --game DIR.\n", why.c_str());
            return false;
        }
    }
    struct stat info;
    const char *wrong = stat(dir.c_str(), &info) != 0 ? strerror(errno)
                        : !S_ISDIR(info.st_mode)    ? "not a directory"
                        : chdir(dir.c_str()) != 0   ? strerror(errno)
                        : access(indexfile, F_OK) != 0 ? "no gameindex.txt, the list of projects it needs, is there"
                                                       : nullptr;
    if (wrong) fprintf(stderr, "Quillbay: cannot play in the game directory %s: %s\n", dir.c_str(), wrong);
    return !wrong;
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, char *cmdline, int) {
    hInst = instance;
    gamerunning = 0;
    options o;
    const int status = ReadOptions(cmdline, o);
    if (status != GO_ON) return status;
    std::vector<std::string> notes;
    if (!EnterGameDir(o.gamedir, notes)) return 1;

    // The library, the window with keyboard, timer, mouse and gamepads, plain
    // 8-bit text and the title.
    if (PlatformStart(o.window) != 0) {
        const char *reason = allegro_error[0] ? allegro_error : "no graphics driver could open a window";
        const int size = WINDOWSIZE * std::max(o.window.scale, 1);
        fprintf(stderr, "Quillbay: unable to open a %d by %d window: %s\n", size, size, reason);
        SetUpLog();
        logfmt(LOG_BREAKING, LOGCAT_PROGRAM, "Unable to open the game window: %s", reason);
        Exit();
        return 1;
    }
    hwnd = GetGameWindow();
    quitgamenow = 0;
    const unsigned seed = o.seeded ? o.seed : (unsigned)time(nullptr);
    SeedRandom(seed);
    SetScreenColours();
    WildEncounter = StartWildBattle;

    if (!InitCommonControlsEx(8, 0xFF)) {
        ShowMessageBox("InitCommonControlsEx failed!", "HELP!");
        Exit();
        return 0;
    }
    SetUpLog();
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Random seed %u", seed);
    char here[4096];
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Game directory %s", getcwd(here, sizeof here) ? here : "(unknown)");
    for (const std::string &note : notes) log(LOG_INFO, LOGCAT_PROGRAM, note.c_str());
    LoadControls();
    SetCloseCheck(ConfirmQuit);
    GetProject();

    // A set-up error leaves no game and no quit; stop instead of spinning.
    if (!gamerunning && !quitgamenow) {
        log(LOG_INFO, LOGCAT_PROGRAM, "No game could be set up. Exiting");
        Exit();
        return 1;
    }
    while (!quitgamenow) GameLoop();
    Exit();
    return -1;
}
