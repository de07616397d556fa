// Walking: collision, scrolling against walking, the step animation, the
// frame a step ends in, and encounters with their chances and tables by hour.
#include <array>

#include "tests/harness/testsupport.h"

static std::vector<std::string> met;  // the wild creatures met, as "species/level"

using WalkTest = QbTest;
// A map of plain ground in a 352 by 352 view (nothing drawn).
static void Map(int bw, int bh, int mw, int mh) {
    ResetWorld(), CurrProj.windowx = CurrProj.windowy = 352;
    CurrMap.blockwidth = bw, CurrMap.blockheight = bh, CurrMap.maparrayx = mw, CurrMap.maparrayy = mh, CurrMap.blckstrctcnt = 8;
}
static void StandAt(int x, int y) { PlacePlayer(x, y, DIR_DOWN, DIR_DOWN); }

// Walls block with the value 1 on the two sides that meet (the sides facing
// away do not count), before the target's kind: water but for the swimming
// frames, closed ground, and any obstacle value but 0.
TEST_F(WalkTest, EachReasonBlocksAStep) {
    using B = blockstruct;
    int16_t B::*const sides[5] = {nullptr, &B::walltop, &B::wallright, &B::wallbottom, &B::wallleft};
    for (int dir = DIR_UP; dir <= DIR_LEFT; dir++) {
        auto from = sides[dir], to = sides[(dir + 1) % 4 + 1];
        for (const auto &c : {std::array<int, 3>{1, 0, 1}, {2, 0, 0}, {-1, 0, 0}, {0, 1, 1}, {0, 2, 0}}) {
            CurrBlckStruct[1].*from = (int16_t)c[0], CurrBlckStruct[2].*to = (int16_t)c[1], CurrBlckStruct[1].*to = CurrBlckStruct[2].*from = 1;
            EXPECT_EQ(check_collision(1, 2, dir), c[2]) << "direction " << dir << ": " << c[0] << ", " << c[1];
        }
        ResetWorld();
    }
    const int kinds[][4] = {{BLOCK_WATER, 0, 16, 2}, {BLOCK_WATER, 0, 17, 0}, {BLOCK_WATER, 0, 24, 0}, {BLOCK_WATER, 0, 25, 2},
                            {BLOCK_CLOSED, 0, 2, 3}, {0, 7, 2, 4}, {0, -1, 2, 4}, {BLOCK_KEEPSTRIDE, 0, 2, 0}, {5, 0, 2, 0}};
    for (const auto &k : kinds) {
        CurrBlckStruct[1].blocktype = k[0], CurrBlckStruct[1].obstacle = k[1], playerspriteanim = k[2];
        EXPECT_EQ(check_collision(0, 1, DIR_RIGHT), k[3]) << k[0] << " " << k[1] << " " << k[2];
    }
    EXPECT_EQ((CurrBlckStruct[0].wallright = 1, check_collision(0, 1, DIR_RIGHT)), 1) << "a wall comes before the block's kind";
    EXPECT_EQ(check_collision(0, 0, 5), 1);
    EXPECT_EQ(LastError(), "Major Program error: Invalid direction 5 passed to check_collision");
    // A step that is blocked (by that wall), leaves the map or meets no
    // block structure changes nothing: map width and height, place, direction.
    const int steps[][5] = {{60, 60, 20, 20, 0}, {60, 60, 20, 20, DIR_RIGHT}, {60, 60, 0, 0, DIR_UP}, {60, 60, 0, 5, DIR_LEFT},
                            {60, 60, 59, 59, DIR_DOWN}, {60, 60, 59, 59, DIR_LEFT}, {9, 40, 8, 5, DIR_RIGHT}, {9, 40, 5, 39, DIR_DOWN}};
    for (const auto &s : steps) {
        Map(32, 32, s[0], s[1]);
        CurrBlckStruct[1].wallright = 1, CurrMapArray[20][20].block = 1, CurrMapArray[59][58].block = 8, StandAt(s[2], s[3]);
        EXPECT_EQ(move_player(s[4]), 1) << s[2] << " " << s[4];
        EXPECT_EQ(std::make_tuple(playertilex, playertiley, playerspriteanim, headless::frames), std::make_tuple(s[2], s[3], 3, 0L));
    }
    EXPECT_EQ(LastError(), "Major Program error: Moving without valid movedir");
}

// Walks along a row or column watching each shown frame: the sprite moves one
// pixel over the map in the step's direction, the map scrolls (step mode 1)
// exactly when the camera for the new block differs, else the sprite walks
// (mode 2), never against the step; each step ends with the camera the game
// loop's next frame places, standing, and no step under way.
struct frameseen { int onmap, camera, mode; };
static bool across;                  // the walk's axis
static std::vector<frameseen> seen;  // each frame's sprite on the map, camera along the axis, step mode
static frameseen Along() {
    return across ? frameseen{plx + mapxpxl, mapxpxl, ismoving} : frameseen{ply + mapypxl, mapypxl, ismoving};
}

static void WalkAndWatch(int dir, int steps) {
    across = dir == DIR_RIGHT || dir == DIR_LEFT;
    headless::onframe = [](BITMAP *) { seen.push_back(Along()); };
    const int sign = (dir == DIR_RIGHT || dir == DIR_DOWN) ? 1 : -1;
    for (int step = 0; step < steps; step++) {
        seen.assign(1, Along());
        const cameraview end = CameraFor(playertilex + (across ? sign : 0), playertiley + (across ? 0 : sign));
        const int endpxl = across ? end.xpxl : end.ypxl, mode = endpxl != seen[0].camera ? MOVE_SCROLL : MOVE_WALK;
        ASSERT_EQ(move_player(dir), 0) << "step " << step;
        ASSERT_EQ((int)seen.size(), 1 + (across ? CurrMap.blockwidth : CurrMap.blockheight)) << "a frame for each pixel";
        for (size_t i = 1; i < seen.size(); i++) {
            ASSERT_EQ(std::make_pair(seen[i].onmap - seen[i - 1].onmap, seen[i].mode), std::make_pair(sign, mode)) << "step " << step;
            ASSERT_NE(seen[i].camera - seen[i - 1].camera, -sign) << "step " << step;
        }
        ASSERT_EQ(std::make_tuple(Along().onmap, seen.back().camera, Along().camera, ismoving, playerspriteanim, mapxtile, mapytile),
                  std::make_tuple(seen.back().onmap, endpxl, endpxl, (int)MOVE_NONE, FRAME_STAND + dir - 1, end.xtile, end.ytile))
            << "step " << step;
    }
}

TEST_F(WalkTest, EveryFrameOfEveryStepMovesForwardFromEdgeToEdge) {
    // A wide map of 16-pixel blocks, and one narrower and shorter than a whole number of its 32 by 24 blocks in the view.
    Map(16, 16, 60, 60), StandAt(0, 0);
    for (int dir : {DIR_RIGHT, DIR_DOWN, DIR_LEFT, DIR_UP}) WalkAndWatch(dir, 59);
    Map(32, 24, 9, 40), StandAt(0, 0);
    for (int dir : {DIR_DOWN, DIR_RIGHT, DIR_UP, DIR_LEFT}) WalkAndWatch(dir, dir == DIR_RIGHT || dir == DIR_LEFT ? 8 : 39);
}

TEST_F(WalkTest, EncounterGroundMeetsTheDrawnEntryOfTheHoursTableAndKindFourKeepsTheStride) {
    WildEncounter = [](int species, int level) { met.push_back(std::to_string(species) + "/" + std::to_string(level)); };
    Map(32, 32, 60, 60);
    const int cuts[] = {29, 30, 59, 60, 79, 80, 89, 90, 94, 95, 98, 99};  // the last draw of each entry and the first of the next
    for (int i = 0; i < 12; i++) EXPECT_EQ(EncounterEntry(cuts[i]), (i + 1) / 2) << "draw " << cuts[i];
    const wildentry *tables[] = {CurrMap.nightmons, CurrMap.mornmons, CurrMap.daymons, CurrMap.nightmons};
    for (int hour : {0, 5, 6, 11, 12, 17, 18, 23}) EXPECT_EQ(WildTableForHour(hour), tables[hour / 6]) << hour;
    CurrBlckStruct[2] = {2, BLOCK_ENCOUNTER, 0, 0, 0, 0, 0, 2}, CurrBlckStruct[3].blocktype = BLOCK_KEEPSTRIDE, CurrBlckStruct[4].blocktype = 6;
    for (int x = 0; x < 60; x++) CurrMapArray[20][x].block = 2, CurrMapArray[21][x].block = 3 + x % 2;
    for (int i = 0; i < 7; i++) CurrMap.mornmons[i] = {10 + i, 1 + i}, CurrMap.daymons[i] = {20 + i, 8 + i};
    CurrMap.wilddensity = 5, headless::hour = 6, StandAt(20, 20);
    Draws({4, 95, 3, 8, 99});  // random(4): 4 mod 4 meets a creature, 3 does not; then the entry's draw
    for (int step = 0; step < 3; step++) move_player(DIR_RIGHT);
    EXPECT_EQ(met, std::vector<std::string>({"6/17", "7/18"})) << "a miss takes no entry draw; the block adds 2 levels";
    EXPECT_EQ(QueuedRandomDraws(), 0);
    // A block's rise lifts a table level as far as 100; a level no battle
    // starts with stays for the battle to refuse.
    const int levels[][3] = {{15, 0, 15}, {15, 84, 99}, {15, 85, 100}, {100, 99, 100}, {1, -5, 1}, {0, 3, 0}, {101, 0, 101}};
    for (const auto &l : levels) EXPECT_EQ(WildLevel(l[0], l[1]), l[2]) << l[0] << " + " << l[1];
    // Plain ground never draws; after a step onto kind 4 the sprite keeps its
    // walking frame, onto kind 6 it stands.
    StandAt(22, 20), Draws({0, 0}), move_player(DIR_DOWN);
    EXPECT_EQ(playerspriteanim, FRAME_WALK + 2);
    move_player(DIR_RIGHT);
    EXPECT_EQ(playerspriteanim, FRAME_STAND + 1);
    EXPECT_EQ(QueuedRandomDraws(), 2) << "plain ground never draws";
}

// Each completed step onto rest ground restores the carried creatures (by the
// party order), fainted ones too: HP, each slot's PP, status; never those
// beyond, nor through a wall, and it says so even to a party already whole.
TEST_F(WalkTest, RestGroundRestoresEachCarriedCreatureOnEveryStepOntoIt) {
    Map(32, 32, 60, 60);
    CurrBlckStruct[5] = {5, 5, 0, 0, 0, 0, 0, 0}, CurrBlckStruct[6] = {6, BLOCK_REST, 0, 0, 0, 0, 1, 0};  // kind 5 in a file
    MainPlayer.partycount = 2, std::copy_n(std::array<int, 6>{4, 1, 0, 2, 3, 5}.begin(), 6, MainPlayer.party);
    for (ownedvorl &v : MainPlayer.owned) {
        v.maxhp = 30, v.hp = 0, v.status = STATUS_FAINTED;
        for (int s = 0; s < MOVESLOTS; s++) v.moves[s] = {1, 10 + s, s};
    }
    const auto state = [](const ownedvorl &v) { return std::vector<int>{v.hp, v.status, v.moves[0].pp, v.moves[1].pp, v.moves[2].pp, v.moves[3].pp}; };
    CurrMapArray[20][21].block = 5, CurrMapArray[20][19].block = 6, StandAt(20, 20), Draws({0}), move_player(DIR_LEFT);
    EXPECT_EQ(headless::notices, std::vector<std::string>()) << "the wall stopped the step";
    move_player(DIR_RIGHT);
    const std::vector<int> rested = {30, 0, 10, 11, 12, 13}, asbefore = {0, 6, 0, 1, 2, 3};
    for (int i = 0; i < PARTYMAX; i++) EXPECT_EQ(state(MainPlayer.owned[i]), i == 4 || i == 1 ? rested : asbefore) << i;
    move_player(DIR_LEFT), move_player(DIR_RIGHT);
    EXPECT_EQ(headless::notices, std::vector<std::string>(2, "Your creatures are rested."));
    EXPECT_EQ(QueuedRandomDraws(), 1);
}
