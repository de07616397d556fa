// A long playthrough on Quill Bay with a fixed seed: a thousand steps and
// thirty battles fought to the end with moves the test's own generator picks,
// level-ups and their prompts answered, a save and a load every ten battles.
// Played twice, it must leave the same log: same seed, same game.
#include <deque>
#include <random>

#include "savefile/savefile.h"
#include "tests/harness/testsupport.h"

namespace {

std::minstd_rand player;  // the test's own choices; the game's draws stay the game's

// In every wait: Space and one number key down, then everything up, so
// messages are confirmed and a move prompt is answered with a number.
void PressInWaits() {
    static bool down = false;
    down = !down;
    if (!down) return;
    key[KEY_SPACE] = 1;
    key[KEY_1 + (int)(player() % 5)] = 1;
}

bool Walkable(int x, int y, int dir) {
    static const int dx[5] = {0, 0, 1, 0, -1}, dy[5] = {0, -1, 0, 1, 0};
    int tx = x + dx[dir], ty = y + dy[dir];
    if (tx < 0 || ty < 0 || tx >= CurrMap.maparrayx || ty >= CurrMap.maparrayy) return false;
    return check_collision(CurrMapArray[y][x].block, CurrMapArray[ty][tx].block, dir) == 0;
}

bool Grass(int x, int y) { return CurrBlckStruct[CurrMapArray[y][x].block].blocktype == BLOCK_ENCOUNTER; }

// A step on encounter ground to more of it, or the first step of the shortest
// way there.
int NextDirection() {
    static const int dx[5] = {0, 0, 1, 0, -1}, dy[5] = {0, -1, 0, 1, 0};
    const int x = playertilex, y = playertiley;
    if (Grass(x, y)) {
        std::vector<int> onto;
        for (int d = 1; d <= 4; d++)
            if (Walkable(x, y, d) && Grass(x + dx[d], y + dy[d])) onto.push_back(d);
        if (!onto.empty()) return onto[player() % onto.size()];
    }
    int first[MAPARRAYMAX][MAPARRAYMAX] = {};
    std::deque<std::pair<int, int>> open{{x, y}};
    first[y][x] = -1;
    while (!open.empty()) {
        auto [cx, cy] = open.front();
        open.pop_front();
        if (Grass(cx, cy) && first[cy][cx] > 0) return first[cy][cx];
        for (int d = 1; d <= 4; d++) {
            int nx = cx + dx[d], ny = cy + dy[d];
            if (!Walkable(cx, cy, d) || first[ny][nx]) continue;
            first[ny][nx] = first[cy][cx] > 0 ? first[cy][cx] : d;
            open.push_back({nx, ny});
        }
    }
    return 1 + (int)(player() % 4);
}

void Hold(std::initializer_list<int> keys) {
    for (int k = 0; k < KEY_MAX; k++) key[k] = 0;
    for (int k : keys) key[k] = 1;
}

std::vector<std::string> shown;  // every battle text, in order

// Plays the game on and returns the log.
std::vector<std::string> Play(unsigned seed) {
    SetUpLog();
    shown.clear();
    battletranscript = &shown;
    SeedRandom(seed);
    player.seed(seed);
    headless::Reset();
    headless::onwait = PressInWaits;
    WildEncounter = StartWildBattle;
    for (indexno = 0; GameIndex[indexno].name != "Quill Bay"; indexno++) {}
    SetUpNewGame();
    EXPECT_EQ(gamerunning, 1);
    int steps = 0, battles = 0, saved = 0;
    for (long pass = 0; gamerunning && (steps < 1000 || battles < 30) && pass < 200000; pass++) {
        const int x = playertilex, y = playertiley;
        const bool inbattle = currentgamestate == GAMESTATE_BATTLE;
        if (!inbattle && battles / 10 > saved) {
            // Save with F5, then load the save from the chooser's button.
            headless::ScriptFileDialog({{1, "soak.qbs"}, {1, "soak.qbs"}});
            Hold({KEY_F5});
            GameLoop();
            EXPECT_EQ(LoadSaveFile(), 0);
            EXPECT_EQ(playertilex, x);
            EXPECT_EQ(playertiley, y);
            saved++;
            continue;
        }
        static const int arrows[5] = {0, KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_LEFT};
        if (!inbattle) Hold({arrows[NextDirection()]});
        else if (battleinfo.menupage == 0) Hold({KEY_1});
        else Hold({KEY_1 + (int)(player() % 4)});
        GameLoop();
        steps += playertilex != x || playertiley != y;
        battles += inbattle && currentgamestate == GAMESTATE_OVERWORLD;
    }
    EXPECT_GE(steps, 1000);
    EXPECT_GE(battles, 30);
    EXPECT_EQ(saved, battles / 10);
    gamerunning = 0;
    battletranscript = nullptr;
    return LogLines();
}

TEST_F(QbTest, ALongPlaythroughWithOneSeedGoesTheSameWayTwice) {
    CopySampleGame();
    std::vector<std::string> first = Play(20261207u);
    ReleaseGameBitmaps();
    std::vector<std::string> second = Play(20261207u);
    ReleaseGameBitmaps();
    EXPECT_EQ(first, second);
    int levels = 0, prompts = 0;
    for (const std::string &text : shown) {
        levels += text.find(" reached level ") != std::string::npos;
        prompts += text.find(" wants to learn ") != std::string::npos;
    }
    EXPECT_GT(levels, 0);
    EXPECT_GT(prompts, 0);
}

}  // namespace
