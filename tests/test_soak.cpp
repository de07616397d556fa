// Whole games played headless with a fixed seed. A long playthrough on Quill
// Bay: a thousand steps and thirty battles fought to the end with moves the
// test's own generator picks, level-ups and their prompts answered, a save
// and a load every ten battles; played twice, it must leave the same log.
// And a new player in each sample, who must win its first three battles.
#include <algorithm>
#include <random>

#include "savefile/savefile.h"
#include "tests/harness/testsupport.h"

static std::minstd_rand player;  // the test's own choices; the game's draws stay the game's
static std::vector<writtentext> shown;  // every battle text, in order

// In every other wait Space and one number key are down, so messages are
// confirmed and a move prompt is answered with a number.
static void PressInWaits() {
    static bool down = false;
    if ((down = !down)) headless::SetKey(KEY_SPACE, true), headless::SetKey(KEY_1 + (int)(player() % 5), true);
}
// A new player only confirms messages.
static void SpaceInWaits() { static bool down = false; headless::SetKey(KEY_SPACE, down = !down); }

static void Hold(int held) { headless::ReleaseAllKeys(), headless::SetKey(held, true); }

// Plays a new game of a sample. The soak (no `route`) goes back and forth on
// Quill Bay between the tall grass west of the start and the path, saves
// and loads every ten battles, and returns the log. A new player walks
// `route` (L, R, D) from the start to the nearest encounter ground, then
// back and forth on it, fights with the move in `slot` (its starter's
// strongest against the early wild creatures), and returns after three
// battles, in the log's place the number of them it won.
static std::vector<std::string> Play(unsigned seed, int sample = 0, const char *route = nullptr, int slot = 0, int hour = 12) {
    SetUpLog(), headless::Reset(), SeedRandom(seed), player.seed(seed), shown.clear(), headless::hour = hour, indexno = sample;
    battletranscript = &shown, headless::onwait = route ? SpaceInWaits : PressInWaits, WildEncounter = StartWildBattle, SetUpNewGame();
    int steps = 0, battles = 0, saved = 0, won = 0;
    for (long pass = 0; gamerunning && (route ? battles < 3 : steps < 1000 || battles < 30) && pass < 200000; pass++) {
        const int x = playertilex, y = playertiley;
        const bool inbattle = currentgamestate == GAMESTATE_BATTLE;
        if (!route && !inbattle && battles / 10 > saved) {  // F5 saves; then the save is loaded
            headless::ScriptFileDialog({{1, "soak.qbs"}, {1, "soak.qbs"}}), Hold(KEY_F5), GameLoop();
            EXPECT_EQ(LoadSaveFile(), 0);
            EXPECT_EQ(std::make_pair(playertilex, playertiley), std::make_pair(x, y));
            saved++;
            continue;
        }
        const char way = inbattle ? 0 : !route ? "RL"[x > 14 + (int)(player() % 8)] : pass < (long)std::string(route).size() ? route[pass] : "LR"[pass % 2];
        if (!inbattle) Hold(way == 'L' ? KEY_LEFT : way == 'R' ? KEY_RIGHT : KEY_DOWN);
        else Hold(battleinfo.menupage == 0 ? KEY_1 : KEY_1 + (route ? slot : (int)(player() % 4)));
        GameLoop();
        steps += playertilex != x || playertiley != y;
        if (inbattle && currentgamestate == GAMESTATE_OVERWORLD) battles++, won += wildvorlet.hp == 0;
    }
    if (!route) { EXPECT_EQ(std::make_tuple(steps >= 1000, battles >= 30, saved), std::make_tuple(true, true, battles / 10)) << steps; }
    gamerunning = 0, battletranscript = nullptr, ReleaseGameBitmaps();
    return route ? std::vector<std::string>{std::to_string(won)} : LogLines();
}

TEST_F(QbTest, ALongPlaythroughWithOneSeedGoesTheSameWayTwice) {
    CopySampleGame();
    std::vector<std::string> first = Play(20261207u);
    EXPECT_EQ(Play(20261207u), first);
    for (const char *seen : {" reached level ", " wants to learn "})
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](auto &t) { return t.text.find(seen) != t.text.npos; })) << seen;
}

TEST_F(QbTest, ANewPlayerWinsTheFirstThreeWildBattlesOfEachSampleMorningDayAndNight) {
    CopySampleGame();
    for (int hour : {8, 14, 20}) {
        EXPECT_EQ(Play(3u, 0, "LLLLLL", 2, hour)[0], "3") << "Quill Bay at " << hour << ", with Flicker";
        EXPECT_EQ(Play(3u, 1, "DLLL", 1, hour)[0], "3") << "Cinder Ridge at " << hour << ", with Spritz";
    }
}
