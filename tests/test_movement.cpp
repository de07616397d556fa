// Walking: collision, scrolling against walking, the step animation, and
// encounters with their chances and tables by hour.
#include <array>
#include <cstring>

#include "tests/harness/testsupport.h"

static std::vector<std::string> met;  // the wild creatures met, as "species/level"

class WalkTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        WildEncounter = [](int species, int level) { met.push_back(std::to_string(species) + "/" + std::to_string(level)); };
        Map(32, 32, 60, 60);
    }
    // A map of plain ground in a 352 by 352 view (nothing drawn).
    void Map(int bw, int bh, int mw, int mh) {
        CurrProj.windowx = CurrProj.windowy = 352;
        CurrMap.blockwidth = bw, CurrMap.blockheight = bh, CurrMap.maparrayx = mw, CurrMap.maparrayy = mh, CurrMap.blckstrctcnt = 8;
        memset(CurrBlckStruct, 0, sizeof CurrBlckStruct);
        memset(CurrMapArray, 0, sizeof CurrMapArray);
        StandAt(0, 0);
    }
    void StandAt(int x, int y) { PlaceCamera(x, y); PlacePlayer(x, y, DIR_DOWN, DIR_DOWN); }
};

// Walls block with the value 1 on the two sides that meet (the sides facing
// away do not count), before the target's kind: water but for the swimming
// frames, closed ground, and any obstacle value but 0.
TEST_F(WalkTest, EachReasonBlocksAStep) {
    int16_t blockstruct::*const sides[5] = {nullptr, &blockstruct::walltop, &blockstruct::wallright, &blockstruct::wallbottom,
                                            &blockstruct::wallleft};
    for (int dir = DIR_UP; dir <= DIR_LEFT; dir++) {
        auto from = sides[dir], to = sides[(dir + 1) % 4 + 1];
        for (const auto &c : {std::array<int, 3>{1, 0, 1}, {2, 0, 0}, {-1, 0, 0}, {0, 1, 1}, {0, 2, 0}}) {
            CurrBlckStruct[1].*from = (int16_t)c[0], CurrBlckStruct[2].*to = (int16_t)c[1], CurrBlckStruct[1].*to = CurrBlckStruct[2].*from = 1;
            EXPECT_EQ(check_collision(1, 2, dir), c[2]) << "direction " << dir << ": " << c[0] << ", " << c[1];
        }
        memset(CurrBlckStruct, 0, sizeof CurrBlckStruct);
    }
    const int kinds[][4] = {{BLOCK_WATER, 0, 16, 2}, {BLOCK_WATER, 0, 17, 0}, {BLOCK_WATER, 0, 24, 0}, {BLOCK_WATER, 0, 25, 2},
                            {BLOCK_CLOSED, 0, 2, 3}, {0, 7, 2, 4}, {0, -1, 2, 4}, {BLOCK_KEEPSTRIDE, 0, 2, 0}, {5, 0, 2, 0}};
    for (const auto &k : kinds) {
        CurrBlckStruct[1].blocktype = k[0], CurrBlckStruct[1].obstacle = k[1], playerspriteanim = k[2];
        EXPECT_EQ(check_collision(0, 1, DIR_RIGHT), k[3]) << k[0] << " " << k[1] << " " << k[2];
    }
    CurrBlckStruct[0].wallright = 1;
    EXPECT_EQ(check_collision(0, 1, DIR_RIGHT), 1) << "a wall is reported before the block's kind";
    EXPECT_EQ(check_collision(0, 0, 5), 1);
    // A step that is blocked (by that wall), leaves the map or meets no block structure changes nothing.
    CurrMapArray[59][58].block = CurrMap.blckstrctcnt;
    for (const auto &s : {std::array<int, 3>{20, 20, 0}, {20, 20, DIR_RIGHT}, {0, 0, DIR_UP}, {59, 59, DIR_DOWN}, {59, 59, DIR_LEFT}}) {
        StandAt(s[0], s[1]);
        EXPECT_EQ(move_player(s[2]), 1) << s[0] << " " << s[2];
        EXPECT_TRUE(playertilex == s[0] && playertiley == s[1] && playerspriteanim == 3 && headless::frames == 0);
    }
    EXPECT_EQ(LogLinesWith("error: ").back(), "Major Program error: Moving without valid movedir");
}

// Walks along a row or column watching each shown frame: the sprite moves one
// pixel over the map in the step's direction, the map scrolls exactly when
// the camera for the new block differs and never against the step, and each
// step ends where the game loop's next frame draws.
static bool across;                            // the walk's axis
static std::vector<std::pair<int, int>> seen;  // each frame's sprite on the map and camera along it
static std::pair<int, int> Along() { return across ? std::make_pair(plx + mapxpxl, mapxpxl) : std::make_pair(ply + mapypxl, mapypxl); }

static void WalkAndWatch(int dir, int steps) {
    across = dir == DIR_RIGHT || dir == DIR_LEFT;
    headless::onframe = [](BITMAP *) { seen.push_back(Along()); };
    const int sign = (dir == DIR_RIGHT || dir == DIR_DOWN) ? 1 : -1;
    for (int step = 0; step < steps; step++) {
        seen.assign(1, Along());
        const int end = across ? CameraFor(playertilex + sign, 0).xpxl : CameraFor(0, playertiley + sign).ypxl;
        ASSERT_EQ(move_player(dir), 0) << "step " << step;
        ASSERT_EQ((int)seen.size(), 1 + (across ? CurrMap.blockwidth : CurrMap.blockheight)) << "a frame for each pixel";
        for (size_t i = 1; i < seen.size(); i++)
            ASSERT_TRUE(seen[i].first - seen[i - 1].first == sign && seen[i].second - seen[i - 1].second != -sign) << "step " << step;
        ASSERT_TRUE(seen.back().second == end && seen.back() == Along()) << "step " << step;
    }
}

TEST_F(WalkTest, EveryFrameOfEveryStepMovesForwardFromEdgeToEdge) {
    // A wide map of 16-pixel blocks, and one narrower and shorter than a whole number of its 32 by 24 blocks in the view.
    Map(16, 16, 60, 60);
    for (int dir : {DIR_RIGHT, DIR_LEFT, DIR_DOWN, DIR_UP}) WalkAndWatch(dir, 59);
    Map(32, 24, 9, 40);
    for (int dir : {DIR_DOWN, DIR_UP}) WalkAndWatch(dir, 39);
    for (int dir : {DIR_RIGHT, DIR_LEFT}) WalkAndWatch(dir, 8);
}

TEST_F(WalkTest, EncounterGroundMeetsTheDrawnEntryOfTheHoursTable) {
    const int cuts[] = {29, 30, 59, 60, 79, 80, 89, 90, 94, 95, 98, 99};  // the last draw of each entry and the first of the next
    for (int i = 0; i < 12; i++) EXPECT_EQ(EncounterEntry(cuts[i]), (i + 1) / 2) << "draw " << cuts[i];
    const wildentry *tables[] = {CurrMap.nightmons, CurrMap.mornmons, CurrMap.daymons, CurrMap.nightmons};
    for (int hour : {5, 6, 11, 12, 17, 18}) EXPECT_EQ(WildTableForHour(hour), tables[hour / 6]) << "hour " << hour;
    CurrBlckStruct[2].blocktype = BLOCK_ENCOUNTER;
    for (int x = 0; x < 60; x++) CurrMapArray[20][x].block = 2;
    for (int i = 0; i < 7; i++) CurrMap.mornmons[i] = {10 + i, 1 + i}, CurrMap.daymons[i] = {20 + i, 8 + i};
    CurrMap.wilddensity = 5, headless::hour = 6;
    StandAt(20, 20);
    const int draws[] = {0, 95, 1, 0, 99};  // a density draw of 0 meets a creature, then the entry's draw
    QueueRandomDraws(draws, 5);
    for (int step = 0; step < 3; step++) move_player(DIR_RIGHT);
    EXPECT_TRUE(met == std::vector<std::string>({"6/15", "7/16"}) && QueuedRandomDraws() == 0) << "a miss takes no entry draw";
    CurrMap.wilddensity = 2;  // random(1): a creature on every step
    for (int step = 0; step < 10; step++) move_player(step % 2 ? DIR_LEFT : DIR_RIGHT);
    EXPECT_EQ(met.size(), 12u);
    StandAt(10, 19);
    QueueRandomDraws(draws, 2);
    EXPECT_TRUE(move_player(DIR_UP) == 0 && QueuedRandomDraws() == 2) << "plain ground never draws";
}
