// Walking: collision, scrolling against walking, the step animation, and
// encounters with their chances and tables by hour.
#include <cstring>

#include "tests/harness/testsupport.h"

// The wild creatures met, as "species/level".
static std::vector<std::string> met;
static void Meet(int species, int level) { met.push_back(std::to_string(species) + "/" + std::to_string(level)); }

class WalkTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        met.clear();
        WildEncounter = Meet;
        ClearRandomDraws();
        currentgamestate = GAMESTATE_OVERWORLD;
        Map(352, 352, 32, 32, 60, 60);
    }
    void TearDown() override {
        ClearRandomDraws();
        WildEncounter = nullptr;
        Release(backbuffer);
        Release(playerspritesbmp);
        Release(currentmaptilesbmp);
        QbTest::TearDown();
    }
    static void Release(BITMAP *&bmp) {
        if (bmp) destroy_bitmap(bmp);
        bmp = nullptr;
    }
    // A map of plain ground with the given view, block and map sizes.
    void Map(int w, int h, int bw, int bh, int mw, int mh) {
        TearDownBitmaps();
        CurrProj.windowx = w;
        CurrProj.windowy = h;
        CurrMap = mapinfo();
        CurrMap.blockwidth = bw;
        CurrMap.blockheight = bh;
        CurrMap.maparrayx = mw;
        CurrMap.maparrayy = mh;
        CurrMap.blckstrctcnt = 8;
        CurrMap.wilddensity = 1;
        memset(CurrBlckStruct, 0, sizeof CurrBlckStruct);
        for (int i = 0; i < BLCKSTRCTMAX; i++) CurrBlckStruct[i].blocknum = i;
        memset(CurrMapArray, 0, sizeof CurrMapArray);
        backbuffer = create_bitmap(500, 500);
        playerspritesbmp = create_bitmap(31 * 25 + 1, 31);
        currentmaptilesbmp = create_bitmap(bw * BLCKSTRCTMAX, bh);
        clear_bitmap(backbuffer);
        clear_to_color(playerspritesbmp, makecol(255, 0, 255));
        clear_bitmap(currentmaptilesbmp);
    }
    void TearDownBitmaps() {
        Release(backbuffer);
        Release(playerspritesbmp);
        Release(currentmaptilesbmp);
    }
    // Places the player and the camera as the game loop would.
    void StandAt(int x, int y, int facing) {
        playertilex = x;
        playertiley = y;
        PlaceCamera(x, y);
        PlaceSprite();
        playerspriteanim = facing;
    }
    void Kind(int block, int type, int obstacle = 0) {
        CurrBlckStruct[block].blocktype = type;
        CurrBlckStruct[block].obstacle = obstacle;
    }
    void Queue(std::initializer_list<int> values) {
        std::vector<int> v(values);
        QueueRandomDraws(v.data(), (int)v.size());
    }
    std::vector<std::string> BattleLines() { return met; }
};

TEST_F(WalkTest, WallsBlockOnlyWithTheValueOneOnTheSidesThatMeet) {
    struct Case {
        int dir;
        int16_t blockstruct::*fromside;
        int16_t blockstruct::*toside;
    } cases[] = {{1, &blockstruct::walltop, &blockstruct::wallbottom},
                 {2, &blockstruct::wallright, &blockstruct::wallleft},
                 {3, &blockstruct::wallbottom, &blockstruct::walltop},
                 {4, &blockstruct::wallleft, &blockstruct::wallright}};
    for (const Case &c : cases) {
        memset(CurrBlckStruct, 0, sizeof CurrBlckStruct);
        EXPECT_EQ(check_collision(1, 2, c.dir), 0);
        CurrBlckStruct[1].*c.fromside = 1;
        EXPECT_EQ(check_collision(1, 2, c.dir), 1) << "direction " << c.dir;
        CurrBlckStruct[1].*c.fromside = 2;
        EXPECT_EQ(check_collision(1, 2, c.dir), 0) << "a wall of 2 does not block";
        CurrBlckStruct[2].*c.toside = 1;
        EXPECT_EQ(check_collision(1, 2, c.dir), 1) << "direction " << c.dir;
        // The side facing away from the step does not count.
        CurrBlckStruct[2].*c.toside = 0;
        CurrBlckStruct[2].*c.fromside = 1;
        EXPECT_EQ(check_collision(1, 2, c.dir), 0) << "direction " << c.dir;
    }
}

TEST_F(WalkTest, WaterClosedAndObstacleBlocksHaveTheirOwnReasons) {
    Kind(1, BLOCK_WATER);
    Kind(2, BLOCK_CLOSED);
    Kind(3, 0, 7);
    Kind(4, BLOCK_KEEPSTRIDE);
    playerspriteanim = 2;
    EXPECT_EQ(check_collision(0, 1, 2), 2);
    playerspriteanim = 17;
    EXPECT_EQ(check_collision(0, 1, 2), 0) << "swimming frames may enter water";
    playerspriteanim = 24;
    EXPECT_EQ(check_collision(0, 1, 2), 0);
    playerspriteanim = 25;
    EXPECT_EQ(check_collision(0, 1, 2), 2);
    EXPECT_EQ(check_collision(0, 2, 2), 3);
    EXPECT_EQ(check_collision(0, 3, 2), 4);
    EXPECT_EQ(check_collision(0, 4, 2), 0);
    CurrBlckStruct[0].wallright = 1;
    EXPECT_EQ(check_collision(0, 2, 2), 1) << "a wall is reported before the block's kind";
}

TEST_F(WalkTest, BadDirectionsAreLoggedAndChangeNothing) {
    StandAt(20, 20, 3);
    EXPECT_EQ(check_collision(0, 0, 5), 1);
    EXPECT_EQ(move_player(0), 1);
    EXPECT_EQ(playertilex, 20);
    EXPECT_EQ(playertiley, 20);
    EXPECT_EQ(playerspriteanim, 3);
    EXPECT_EQ(LogLinesAfterBanner(),
              (std::vector<std::string>{"Major Program error: Invalid direction 5 passed to check_collision",
                                        "Major Program error: Moving without valid movedir"}));
}

TEST_F(WalkTest, ABlockedStepLeavesPositionCameraAndFrameAlone) {
    Kind(1, 0, 1);
    CurrMapArray[20][21].block = 1;
    StandAt(20, 20, 2);
    int tile = mapxtile, pixel = mapxpxl;
    EXPECT_EQ(move_player(2), 1);
    EXPECT_EQ(playertilex, 20);
    EXPECT_EQ(mapxtile, tile);
    EXPECT_EQ(mapxpxl, pixel);
    EXPECT_EQ(playerspriteanim, 2);
    EXPECT_EQ(headless::frames, 0);
}

TEST_F(WalkTest, StepsOffTheGridOrOntoUnknownBlocksAreBlocked) {
    StandAt(0, 0, 4);
    EXPECT_EQ(move_player(4), 1);
    EXPECT_EQ(move_player(1), 1);
    Map(352, 352, 16, 16, 60, 60);
    StandAt(59, 59, 2);
    EXPECT_EQ(move_player(2), 1);
    EXPECT_EQ(move_player(3), 1);
    CurrMapArray[59][58].block = CurrMap.blckstrctcnt;  // no such block structure
    EXPECT_EQ(move_player(4), 1);
    EXPECT_EQ(playertilex, 59);
    EXPECT_EQ(playertiley, 59);
}

TEST_F(WalkTest, TheMapScrollsWhereTheCameraForTheNewBlockDiffers) {
    // 32-pixel blocks in a 352-pixel view: 11 columns, the player 5 from the left.
    const struct {
        int from, dir, mode;
    } cases[] = {{7, 2, MOVE_SCROLL}, {5, 2, MOVE_SCROLL}, {4, 2, MOVE_WALK},
                 {6, 4, MOVE_SCROLL}, {5, 4, MOVE_WALK},   {55, 2, MOVE_WALK}};
    static int mode;
    for (const auto &c : cases) {
        StandAt(c.from, 20, c.dir);
        headless::Reset();
        headless::onframe = [](BITMAP *) { mode = ismoving; };
        EXPECT_EQ(move_player(c.dir), 0);
        EXPECT_EQ(mode, c.mode) << "from column " << c.from << " direction " << c.dir;
        EXPECT_EQ(headless::frames, 32) << "a frame for each pixel of the step";
        cameraview end = CameraFor(playertilex, playertiley);
        EXPECT_EQ(mapxtile, end.xtile);
        EXPECT_EQ(mapxpxl, end.xpxl);
        EXPECT_EQ(plx, playertilex * 32 - end.xpxl);
    }
}

// Walks along a whole row or column and back, recording where each shown
// frame puts the map and the sprite: every frame moves the sprite one pixel
// over the map in the step's direction, the view never moves against it, and
// each step ends where the next frame of the game loop will draw.
static void WalkAndWatch(int dir, int steps) {
    static std::vector<std::pair<int, int>> seen;  // sprite on the map, camera
    static bool across;
    across = dir == 2 || dir == 4;
    seen.clear();
    headless::onframe = [](BITMAP *) {
        seen.push_back(across ? std::make_pair(plx + mapxpxl, mapxpxl) : std::make_pair(ply + mapypxl, mapypxl));
    };
    const int sign = (dir == 2 || dir == 3) ? 1 : -1;
    for (int step = 0; step < steps; step++) {
        size_t first = seen.size();
        std::pair<int, int> before = across ? std::make_pair(plx + mapxpxl, mapxpxl) : std::make_pair(ply + mapypxl, mapypxl);
        ASSERT_EQ(move_player(dir), 0) << "step " << step;
        for (size_t i = first; i < seen.size(); i++) {
            ASSERT_EQ(seen[i].first - before.first, sign) << "step " << step << ", frame " << i - first << " dir " << dir << " at " << playertilex << "," << playertiley << " bw " << CurrMap.blockwidth;
            ASSERT_NE(seen[i].second - before.second, -sign) << "step " << step << ", frame " << i - first;
            before = seen[i];
        }
        cameraview next = CameraFor(playertilex, playertiley);
        ASSERT_EQ(before.second, across ? next.xpxl : next.ypxl) << "step " << step;
    }
}

TEST_F(WalkTest, EveryFrameOfEveryStepMovesForwardFromEdgeToEdge) {
    // A wide map of 16-pixel blocks, and a map narrower and shorter than a
    // whole number of its 32 by 24 blocks in the view.
    Map(352, 352, 16, 16, 60, 60);
    StandAt(0, 0, 2);
    WalkAndWatch(2, 59);
    WalkAndWatch(4, 59);
    WalkAndWatch(3, 59);
    WalkAndWatch(1, 59);
    Map(352, 352, 32, 24, 9, 40);
    StandAt(0, 0, 3);
    WalkAndWatch(3, 39);
    WalkAndWatch(1, 39);
    WalkAndWatch(2, 8);
    WalkAndWatch(4, 8);
}

TEST_F(WalkTest, AMapAsWideAsTheViewNeverScrolls) {
    Map(352, 352, 32, 32, 11, 60);
    for (int column = 0; column < 10; column++) {
        StandAt(column, 20, 2);
        int tile = mapxtile;
        EXPECT_EQ(move_player(2), 0);
        EXPECT_EQ(mapxtile, tile) << "column " << column;
        EXPECT_EQ(mapxpxl, 0) << "column " << column;
    }
}

TEST_F(WalkTest, OnAMapNarrowerThanTheViewTheSpriteWalksToTheLastColumnSmoothly) {
    // Nine 32-pixel columns, forty 24-pixel rows: the view shows the whole
    // width with a margin, and the camera never moves sideways.
    Map(352, 352, 32, 24, 9, 40);
    StandAt(0, 20, 2);
    const int corner = mapxpxl;
    ASSERT_EQ(corner, 9 * 32 - 352);
    for (int column = 0; column < 8; column++) {
        EXPECT_EQ(move_player(2), 0);
        EXPECT_EQ(playertilex, column + 1);
        EXPECT_EQ(plx, (column + 1) * 32 - corner) << "column " << column;
        EXPECT_EQ(mapxpxl, corner);
        EXPECT_EQ(mapxtile, -2);
    }
    EXPECT_EQ(move_player(2), 1) << "the map ends at its ninth column";

    // Down to the last row: the camera scrolls while it can, then the
    // sprite walks to the bottom row.
    StandAt(4, 30, 3);
    for (int row = 30; row < 39; row++) {
        EXPECT_EQ(move_player(3), 0) << "row " << row;
        EXPECT_GE(mapytile, 0);
        EXPECT_LE(mapypxl, 40 * 24 - 352);
    }
    EXPECT_EQ(playertiley, 39);
    EXPECT_EQ(mapypxl, 40 * 24 - 352);
    EXPECT_EQ(move_player(3), 1) << "the map ends at its fortieth row";
}

TEST_F(WalkTest, KindFourGroundKeepsTheWalkingFrameAndSmallBlocksTakeFewerFrames) {
    Map(352, 352, 16, 16, 60, 60);
    Kind(4, BLOCK_KEEPSTRIDE);
    CurrMapArray[20][21].block = 4;
    StandAt(20, 20, 2);
    EXPECT_EQ(move_player(2), 0);
    EXPECT_EQ(playerspriteanim, 6);
    EXPECT_EQ(move_player(3), 0);
    EXPECT_EQ(playerspriteanim, 3) << "off it, the sprite stands again";
    EXPECT_EQ(ismoving, 0);
}

TEST_F(WalkTest, TheHourPicksTheTable) {
    const wildentry *morn = CurrMap.mornmons, *day = CurrMap.daymons, *night = CurrMap.nightmons;
    const std::pair<int, const wildentry *> cases[] = {{0, night}, {5, night}, {6, morn}, {11, morn},
                                                       {12, day},  {17, day},  {18, night}, {23, night}};
    for (auto &c : cases) EXPECT_EQ(WildTableForHour(c.first), c.second) << "hour " << c.first;
}

TEST_F(WalkTest, EncounterGroundMeetsTheEntryOfTheHoursTable) {
    Kind(2, BLOCK_ENCOUNTER);
    for (int x = 0; x < 60; x++) CurrMapArray[20][x].block = 2;
    for (int i = 0; i < 7; i++) {
        CurrMap.mornmons[i] = wildentry{10 + i, 1 + i};
        CurrMap.daymons[i] = wildentry{20 + i, 8 + i};
        CurrMap.nightmons[i] = wildentry{30 + i, 15};
    }
    CurrMap.wilddensity = 5;
    struct {
        int hour, r;
        const char *line;
    } cases[] = {
        {5, 90, "15/34"},
        {6, 89, "4/13"},
        {12, 99, "14/26"},
        {18, 0, "15/30"},
    };
    StandAt(20, 20, 2);
    for (auto &c : cases) {
        met.clear();
        headless::hour = c.hour;
        Queue({0, c.r});  // density draw of 0 meets a creature; then the entry
        EXPECT_EQ(move_player(2), 0);
        EXPECT_EQ(BattleLines(), std::vector<std::string>{c.line}) << "hour " << c.hour;
        EXPECT_EQ(QueuedRandomDraws(), 0);
    }
    // A density draw other than 0 meets nothing and takes no entry draw.
    met.clear();
    Queue({1, 0});
    EXPECT_EQ(move_player(2), 0);
    EXPECT_TRUE(BattleLines().empty());
    EXPECT_EQ(QueuedRandomDraws(), 1);
}

TEST_F(WalkTest, DensitiesOneAndTwoMeetACreatureOnEveryStep) {
    Kind(2, BLOCK_ENCOUNTER);
    for (int x = 0; x < 60; x++) CurrMapArray[20][x].block = 2;
    CurrMap.daymons[0] = wildentry{5, 3};
    StandAt(10, 20, 2);
    for (int density : {1, 2}) {
        CurrMap.wilddensity = density;
        SeedRandom(12345u + density);
        met.clear();
        for (int step = 0; step < 10; step++) move_player(step % 2 ? 4 : 2);
        EXPECT_EQ(BattleLines().size(), 10u) << "density " << density;
    }
    // A density of d meets one in d-1 steps on average.
    CurrMap.wilddensity = 5;
    SeedRandom(99);
    met.clear();
    for (int step = 0; step < 400; step++) move_player(step % 2 ? 4 : 2);
    size_t met = BattleLines().size();
    EXPECT_GT(met, 60u);
    EXPECT_LT(met, 140u);

    // Plain ground never draws.
    CurrMapArray[21][10].block = 0;
    StandAt(10, 20, 3);
    Queue({0, 0});
    EXPECT_EQ(move_player(3), 0);
    EXPECT_EQ(QueuedRandomDraws(), 2);
}
