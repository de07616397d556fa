// What the player sets and takes outside the game's rules: the controls
// file, gamepads, screenshots and the command line.
#include <sys/stat.h>
#include <unistd.h>

#include "base/input.h"
#include "base/screenshot.h"
#include "tests/harness/testsupport.h"


using PlayerTest = QbTest;
using keys = std::vector<int>;

// A stick that rested in the middle walks once it is more than a quarter of
// its way out; one that rested at an end (a trigger) never walks. Buttons
// act as bound, and the pad's back button answers as key 5.
TEST_F(PlayerTest, AGamepadWalksWithRestingSticksAndActsWithItsButtons) {
    const struct { int x, y; bool rests; unsigned buttons, actions; } cases[] = {
        {-33, 0, true, 0, 1u << ACTION_LEFT},   {-32, 32, true, 0, 0},
        {0, 33, true, 0, 1u << ACTION_DOWN},    {33, -33, true, 0, 1u << ACTION_RIGHT | 1u << ACTION_UP},
        {-128, 127, false, 0, 0},               {0, 0, true, 1u, 1u << ACTION_CONFIRM | 1u << ACTION_MENU1},
        {0, 0, true, 1u << 7, 1u << ACTION_SAVE},  {0, 0, true, 1u << 6, 1u << ACTION_CREATURES},
        {0, 0, false, 1u << 1 | 1u << 31, 1u << ACTION_BACK}};
    headless::pads.resize(2);
    for (const auto &c : cases) {
        headless::pads[1].sticks[PADSTICKS - 1] = {c.x, c.y, c.rests}, headless::pads[1].buttons = c.buttons;
        EXPECT_EQ(PadActions(headless::pads[1]), c.actions) << c.x << ", " << c.y << ", buttons " << c.buttons;
    }
    EXPECT_EQ(std::make_tuple(MenuKeyDown(5), MenuKeyDown(4), ActionDown(ACTION_CONFIRM)), std::make_tuple(true, false, false))
        << "the second pad's B, button 1";
}

// Each entry replaces the default of its action; an entry that cannot be
// used keeps the default and says why.
TEST_F(PlayerTest, AControlsFileSetsWhatItNamesAndKeepsTheDefaultsOfTheRest) {
    EXPECT_EQ(ReadBindings(DefaultControlsText()), std::vector<std::string>{}) << "the written default reads back";
    const std::vector<std::string> problems = ReadBindings(
        "[keys]\nconfirm = z 0_pad\nup = W # north\nleft = NOPE\nsave = ESC\ndance = Q\ncreatures = c\n"
        "[gamepad]\nback = 3 4\nsave = none\nmenu1 = 32\n");
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "[keys] left: no key is called \"NOPE\"",
                            "[keys] left names no key it can use (\"NOPE\"); its default is kept",
                            "[keys] save: Escape always leaves the game and cannot be bound",
                            "[keys] save names no key it can use (\"ESC\"); its default is kept",
                            "[gamepad] menu1: \"32\" is not a button number from 0 to 31; its default is kept",
                            "[keys] has no action called \"dance\""}));
    EXPECT_EQ(bindings[ACTION_CONFIRM].keys, (keys{KEY_Z, KEY_0_PAD}));
    EXPECT_EQ(bindings[ACTION_UP].keys, keys{KEY_W}) << "a note after the value is not part of it";
    EXPECT_EQ(bindings[ACTION_LEFT].keys, keys{KEY_LEFT});
    EXPECT_EQ(bindings[ACTION_CREATURES].keys, keys{KEY_C});
    EXPECT_EQ(bindings[ACTION_SAVE].keys, keys{KEY_F5});
    EXPECT_EQ(bindings[ACTION_BACK].buttons, (keys{3, 4}));
    EXPECT_EQ(bindings[ACTION_SAVE].buttons, keys{});
    EXPECT_EQ(bindings[ACTION_MENU1].buttons, keys{0});
}

// --write-config writes the player's folder once; the game reads the first
// controls file found there or beside it, and never through a link.
TEST_F(PlayerTest, TheControlsFileIsWrittenOnceAndReadFromTheFirstPlace) {
    setenv("XDG_CONFIG_HOME", (tempdir + "/conf").c_str(), 1);
    std::string why;
    const std::string mine = tempdir + "/conf/quillbay/quillbay.cfg";
    EXPECT_EQ(WriteDefaultControls(why), mine);
    EXPECT_EQ(WriteDefaultControls(why) + why, mine + " is there already; it was left as it is");
    WriteFile("quillbay.cfg", "[keys]\nconfirm = X\n");
    LoadControls(), unlink(mine.c_str()), LoadControls();  // the player's folder first, then the one beside
    EXPECT_EQ(bindings[ACTION_CONFIRM].keys, keys{KEY_X});
    ASSERT_EQ(unlink("quillbay.cfg") | symlink("elsewhere.cfg", "quillbay.cfg"), 0);
    WriteFile("elsewhere.cfg", "[keys]\nconfirm = X\n"), LoadControls();
    EXPECT_EQ(bindings[ACTION_CONFIRM].keys.size(), 3u) << "a link is not read: the defaults";
    EXPECT_EQ(LogLinesAfterBanner(), (std::vector<std::string>{
                                         "User: Controls read from " + mine, "User: Controls read from quillbay.cfg",
                                         "Minor User error: Controls file quillbay.cfg cannot be read (Too many levels "
                                         "of symbolic links); the default controls are used"}));
    unsetenv("XDG_CONFIG_HOME");
}

// A PNG named by the local time; a second shot in the same second takes the
// next free name; a link in the folder's place is refused.
TEST_F(PlayerTest, AScreenshotIsAPngOfTheViewNamedByTheTime) {
    BITMAP *view = create_bitmap(360, 352);
    struct tm at = {5, 3, 14, 7, 11, 126, 0, 0, -1, 0, nullptr};  // 2026-12-07 14:03:05, local time
    const time_t when = mktime(&at);
    std::string why;
    const std::string first = SaveScreenshot(view, 352, 352, when, why);
    EXPECT_EQ(first, "screenshots/quillbay-2026-12-07-14-03-05.png");
    EXPECT_EQ(SaveScreenshot(view, 352, 352, when, why), "screenshots/quillbay-2026-12-07-14-03-05-2.png");
    const std::string png = ReadFileText(first);  // its pixels: the end-to-end window test
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\1\x60\0\0\1\x60", 8)) << "352 by 352";
    ASSERT_EQ(rename("screenshots", "shots") | symlink("shots", "screenshots"), 0);
    EXPECT_EQ(SaveScreenshot(view, 352, 352, when, why) + why, "screenshots is not a folder (a link is not followed)");
    destroy_bitmap(view);
}

// Help and version end at once with status 0; an option without its number
// names it, and one the game does not know brings the usage, with status 2.
TEST_F(PlayerTest, TheCommandLineHelpsAndRefusesWhatItCannotUse) {
    const std::tuple<std::string, int, std::string> runs[] = {
        {"--help", 0, "  --scale N         the window is the view enlarged N times, 1 to 6"},
        {"--version", 0, "Quillbay " QB_VERSION "\n"},
        {"--seed", 2, "Quillbay: --seed needs a number from 0 to 4294967295\n"},
        {"--scale 7", 2, "Quillbay: --scale needs a number from 1 to 6, not 7\n"},
        {"--scale 0", 2, "Quillbay: --scale needs a number from 1 to 6, not 0\n"},
        {"--seed -1", 2, "Quillbay: --seed needs a number from 0 to 4294967295, not -1\n"},
        {"--fly", 2, "Quillbay: unknown option --fly\nUsage: quillbay [OPTION]...\n"}, {"--game", 2, "Quillbay: --game needs a directory\n"},
        {"--game \"no where\"", 1, "Quillbay: cannot play in the game directory no where: No such file or directory\n"},
        {"--game .", 1, "Quillbay: cannot play in the game directory .: no gameindex.txt, the list of projects it needs, is there\n"}};
    for (auto [line, status, said] : runs) {
        testing::internal::CaptureStdout(), testing::internal::CaptureStderr();
        EXPECT_EQ(WinMain(nullptr, nullptr, &line[0], 0), status) << line;
        const std::string out = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
        EXPECT_NE(out.find(said), std::string::npos) << line << ": " << out;
    }
}
