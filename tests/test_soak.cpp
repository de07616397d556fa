// A long playthrough on Quill Bay with a fixed seed: a thousand steps and
// thirty battles fought to the end with moves the test's own generator picks,
// level-ups and their prompts answered, a save and a load every ten battles.
// Played twice, it must leave the same log: same seed, same game.
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

static void Hold(int held) { headless::ReleaseAllKeys(), headless::SetKey(held, true); }

// Plays Quill Bay, back and forth between the tall grass west of the start
// and the path, and returns the log.
static std::vector<std::string> Play(unsigned seed) {
    SetUpLog(), headless::Reset(), SeedRandom(seed), player.seed(seed), shown.clear();
    battletranscript = &shown, headless::onwait = PressInWaits, WildEncounter = StartWildBattle, indexno = 0;
    SetUpNewGame();
    int steps = 0, battles = 0, saved = 0;
    for (long pass = 0; gamerunning && (steps < 1000 || battles < 30) && pass < 200000; pass++) {
        const int x = playertilex, y = playertiley;
        const bool inbattle = currentgamestate == GAMESTATE_BATTLE;
        if (!inbattle && battles / 10 > saved) {  // F5 saves; then the save is loaded
            headless::ScriptFileDialog({{1, "soak.qbs"}, {1, "soak.qbs"}});
            Hold(KEY_F5);
            GameLoop();
            EXPECT_EQ(LoadSaveFile(), 0);
            EXPECT_EQ(std::make_pair(playertilex, playertiley), std::make_pair(x, y));
            saved++;
            continue;
        }
        if (!inbattle) Hold(x > 14 + (int)(player() % 8) ? KEY_LEFT : KEY_RIGHT);
        else Hold(battleinfo.menupage == 0 ? KEY_1 : KEY_1 + (int)(player() % 4));
        GameLoop();
        steps += playertilex != x || playertiley != y;
        battles += inbattle && currentgamestate == GAMESTATE_OVERWORLD;
    }
    EXPECT_GE(steps, 1000);
    EXPECT_GE(battles, 30);
    EXPECT_EQ(saved, battles / 10);
    gamerunning = 0, battletranscript = nullptr;
    return LogLines();
}

TEST_F(QbTest, ALongPlaythroughWithOneSeedGoesTheSameWayTwice) {
    CopySampleGame();
    std::vector<std::string> first = Play(20261207u);
    ReleaseGameBitmaps();
    EXPECT_EQ(Play(20261207u), first);
    ReleaseGameBitmaps();
    for (const char *seen : {" reached level ", " wants to learn "})
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](auto &t) { return t.text.find(seen) != t.text.npos; })) << seen;
}

// The damaging move with PP left that should hurt the wild creature most:
// power times the chart against both its types times the stat the move uses.
static int StrongestSlot() {
    const ownedvorl &own = PlayerVorlet();
    int best = 0;
    double most = -1;
    for (int slot = 0; slot < MOVESLOTS; slot++) {
        const moveinfo &move = MoveData[own.moves[slot].move];
        const vrltinfo &wild = VrltData[wildvorlet.species];
        const typeinfo &type = vltypes[move.type];
        double hurt = move.power * type.multiplier[wild.type1] * (wild.type1 == wild.type2 ? 1 : type.multiplier[wild.type2]) *
                      (type.special ? own.spattack : own.attack);
        if (own.moves[slot].move > 0 && own.moves[slot].pp > 0 && hurt > most) best = slot, most = hurt;
    }
    return best;
}

// A new player: from the start along `route` to the nearest encounter
// ground, then back and forth on it; every battle fought with the strongest
// move and every message confirmed. Returns how many of the first three
// battles the wild creature fainted in.
static int FirstThreeWon(int sample, const std::string &route, int hour, unsigned seed) {
    SetUpLog(), headless::Reset(), SeedRandom(seed), headless::hour = hour, indexno = sample;
    headless::onwait = [] { static bool down; headless::SetKey(KEY_SPACE, down = !down); };
    WildEncounter = StartWildBattle, SetUpNewGame();
    int battles = 0, won = 0;
    for (size_t pass = 0; gamerunning && battles < 3 && pass < 5000; pass++) {
        const bool inbattle = currentgamestate == GAMESTATE_BATTLE;
        const char way = pass < route.size() ? route[pass] : "LR"[pass % 2];
        if (!inbattle) Hold(way == 'L' ? KEY_LEFT : way == 'R' ? KEY_RIGHT : KEY_DOWN);
        else Hold(battleinfo.menupage == 0 ? KEY_1 : KEY_1 + StrongestSlot());
        GameLoop();
        if (inbattle && currentgamestate == GAMESTATE_OVERWORLD) battles++, won += wildvorlet.hp == 0;
    }
    gamerunning = 0, ReleaseGameBitmaps();
    return won;
}

TEST_F(QbTest, ANewPlayerWinsTheFirstThreeWildBattlesOfEachSampleMorningDayAndNight) {
    CopySampleGame();
    for (int hour : {8, 14, 20}) {
        EXPECT_EQ(FirstThreeWon(0, "LLLLLL", hour, 2u), 3) << "Quill Bay at " << hour;
        EXPECT_EQ(FirstThreeWon(1, "DLLL", hour, 2u), 3) << "Cinder Ridge at " << hour;
    }
}
