// The sample worlds in game/: both maps load cleanly and are fit to play,
// and the player's sprite sheet is cut where the drawing expects it.
//
// With QB_SCREENSHOT set to a file name, the view test also saves what the
// player sees in Quill Bay's town square there (a BMP; docs/overworld.png is
// made from it).
#include <cstdlib>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "fileload/fileload.h"
#include "overworld/overworld.h"
#include "tests/harness/testsupport.h"

namespace {

// Where the Quill Bay project starts the player: north of the town, within
// the 22 by 22 blocks the new-game set-up keeps a start position inside.
const int kBayStartX = 22, kBayStartY = 19;
// The town square, for the picture of the view.
const int kSquareX = 28, kSquareY = 28;

std::vector<std::string> ErrorLines() {
    std::vector<std::string> errors;
    for (const std::string &line : LogLinesAfterBanner())
        if (line.find(" error: ") != std::string::npos) errors.push_back(line);
    return errors;
}

class SampleWorldTest : public QbTest {
protected:
    void TearDown() override {
        if (backbuffer) destroy_bitmap(backbuffer);
        backbuffer = nullptr;
        if (playerspritesbmp) destroy_bitmap(playerspritesbmp);
        playerspritesbmp = nullptr;
        QbTest::TearDown();
    }
    int LoadSample(const std::string &dir, const std::string &mapfile) {
        GameIndex[0].projectdir = SourceDir() + "/game/" + dir;
        indexno = 0;
        CurrMapFilename = JoinPath(GameIndex[0].projectdir, mapfile);
        return LoadMapFile();
    }
    const blockstruct &BlockAt(int x, int y) { return CurrBlckStruct[CurrMapArray[y][x].block]; }
};

void ExpectTableFilled(const wildentry *table, int count, const char *name) {
    for (int i = 0; i < count; i++) {
        EXPECT_GE(table[i].species, 1) << name << " " << i;
        EXPECT_LE(table[i].species, 15) << name << " " << i;
        EXPECT_GE(table[i].level, 2) << name << " " << i;
        EXPECT_LE(table[i].level, 30) << name << " " << i;
    }
}

bool SameTable(const wildentry *a, const wildentry *b) {
    for (int i = 0; i < 7; i++)
        if (a[i].species != b[i].species || a[i].level != b[i].level) return false;
    return true;
}

TEST_F(SampleWorldTest, QuillBayLoadsCleanlyWithEveryKindOfBlockAndFullTables) {
    ASSERT_EQ(LoadSample("testproject", "baymap.txt"), 0) << ::testing::PrintToString(ErrorLines());
    EXPECT_TRUE(ErrorLines().empty()) << ::testing::PrintToString(ErrorLines());
    EXPECT_EQ(CurrMap.maparrayx, 60);
    EXPECT_EQ(CurrMap.maparrayy, 60);
    EXPECT_EQ(CurrMap.blockwidth, 16);
    EXPECT_EQ(CurrMap.blockheight, 16);
    EXPECT_GE(CurrMap.blckstrctcnt, 12);
    ASSERT_NE(currentmaptilesbmp, nullptr);
    EXPECT_GE(currentmaptilesbmp->w, CurrMap.blckstrctcnt * 16) << "every block has a picture";

    std::set<int> kinds;
    bool obstacle = false, wall = false;
    for (int y = 0; y < 60; y++)
        for (int x = 0; x < 60; x++) {
            const blockstruct &b = BlockAt(x, y);
            kinds.insert(b.blocktype);
            obstacle |= b.obstacle != 0;
            wall |= b.walltop == 1 || b.wallleft == 1 || b.wallbottom == 1 || b.wallright == 1;
        }
    for (int kind : {0, 1, 2, 3, 4}) EXPECT_TRUE(kinds.count(kind)) << "no block of kind " << kind << " on the map";
    EXPECT_TRUE(obstacle);
    EXPECT_TRUE(wall);

    ExpectTableFilled(CurrMap.daymons, 7, "day");
    ExpectTableFilled(CurrMap.nightmons, 7, "night");
    ExpectTableFilled(CurrMap.mornmons, 7, "morning");
    ExpectTableFilled(CurrMap.oldrodmons, 3, "old rod");
    ExpectTableFilled(CurrMap.goodrodmons, 4, "good rod");
    ExpectTableFilled(CurrMap.superrodmons, 4, "super rod");
    ExpectTableFilled(CurrMap.surfmons, 3, "surf");
    ExpectTableFilled(CurrMap.rocksmashmons, 2, "rock smash");
    ExpectTableFilled(CurrMap.headbutt1mons, 4, "headbutt 1");
    ExpectTableFilled(CurrMap.headbutt2mons, 4, "headbutt 2");
    EXPECT_FALSE(SameTable(CurrMap.daymons, CurrMap.nightmons));
    EXPECT_FALSE(SameTable(CurrMap.daymons, CurrMap.mornmons));
    EXPECT_FALSE(SameTable(CurrMap.nightmons, CurrMap.mornmons));
}

// Walks the map from the start with the rules of a step: walls, water,
// closed blocks and obstacles stop it.
TEST_F(SampleWorldTest, QuillBayHasEncounterGroundAFewStepsFromTheStart) {
    ASSERT_EQ(LoadSample("testproject", "baymap.txt"), 0);
    auto open = [&](const blockstruct &b) { return b.blocktype != 1 && b.blocktype != 3 && b.obstacle == 0; };
    ASSERT_TRUE(open(BlockAt(kBayStartX, kBayStartY)));
    std::vector<std::vector<int>> steps(60, std::vector<int>(60, -1));
    std::deque<std::pair<int, int>> queue{{kBayStartX, kBayStartY}};
    steps[kBayStartY][kBayStartX] = 0;
    int nearest = -1, reachable = 0;
    while (!queue.empty()) {
        auto [x, y] = queue.front();
        queue.pop_front();
        reachable++;
        const blockstruct &from = BlockAt(x, y);
        if (from.blocktype == 2 && nearest < 0) nearest = steps[y][x];
        const int dx[] = {0, 1, 0, -1}, dy[] = {-1, 0, 1, 0};
        for (int d = 0; d < 4; d++) {
            int nx = x + dx[d], ny = y + dy[d];
            if (nx < 0 || ny < 0 || nx >= 60 || ny >= 60 || steps[ny][nx] >= 0) continue;
            const blockstruct &to = BlockAt(nx, ny);
            const bool walled[] = {from.walltop == 1 || to.wallbottom == 1, from.wallright == 1 || to.wallleft == 1,
                                   from.wallbottom == 1 || to.walltop == 1, from.wallleft == 1 || to.wallright == 1};
            if (walled[d] || !open(to)) continue;
            steps[ny][nx] = steps[y][x] + 1;
            queue.push_back({nx, ny});
        }
    }
    EXPECT_GE(nearest, 1);
    EXPECT_LE(nearest, 8) << "encounter ground is a short walk from the start";
    EXPECT_GE(reachable, 1000) << "most of the map is open to walk";
}

TEST_F(SampleWorldTest, CinderRidgeIsNarrowerThanTheViewWithOblongBlocks) {
    ASSERT_EQ(LoadSample("cinderridge", "ridgemap.txt"), 0) << ::testing::PrintToString(ErrorLines());
    EXPECT_TRUE(ErrorLines().empty());
    EXPECT_LT(CurrMap.maparrayx * CurrMap.blockwidth, 352);
    EXPECT_NE(CurrMap.blockwidth, CurrMap.blockheight);
    EXPECT_NE(352 % CurrMap.blockheight, 0) << "the view is not a whole number of blocks high";
    EXPECT_FALSE(SameTable(CurrMap.daymons, CurrMap.nightmons));
    std::set<int> kinds;
    for (int y = 0; y < CurrMap.maparrayy; y++)
        for (int x = 0; x < CurrMap.maparrayx; x++) kinds.insert(BlockAt(x, y).blocktype);
    EXPECT_TRUE(kinds.count(2)) << "the pass has encounter ground";
}

TEST_F(SampleWorldTest, SpriteFramesSitInsideTheirCellsOnTheMaskColour) {
    PALETTE pal;
    playerspritesbmp = load_bitmap((SourceDir() + "/game/testproject/sprites2.bmp").c_str(), pal);
    ASSERT_NE(playerspritesbmp, nullptr);
    ASSERT_GE(playerspritesbmp->w, 31 * 25 + 1);
    ASSERT_EQ(playerspritesbmp->h, 31);
    const int mask = bitmap_mask_color(playerspritesbmp);
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 17, 18, 19, 20, 21, 22, 23, 24}) {
        int left = 31 * n + 1, figure = 0;
        for (int y = 0; y < 31; y++)
            for (int x = 0; x < 31; x++)
                if (getpixel(playerspritesbmp, left + x, y) != mask) figure++;
        EXPECT_GE(figure, 100) << "frame " << n << " holds a figure";
        for (int i = 0; i < 31; i++) {
            EXPECT_EQ(getpixel(playerspritesbmp, left + 30, i), mask) << "frame " << n;
            EXPECT_EQ(getpixel(playerspritesbmp, left + i, 30), mask) << "frame " << n;
        }
    }
    // Standing and walking differ, and so do the four directions.
    auto same = [&](int a, int b) {
        for (int y = 0; y < 31; y++)
            for (int x = 0; x < 31; x++)
                if (getpixel(playerspritesbmp, 31 * a + 1 + x, y) != getpixel(playerspritesbmp, 31 * b + 1 + x, y))
                    return false;
        return true;
    };
    for (int a = 1; a <= 8; a++)
        for (int b = a + 1; b <= 8; b++) EXPECT_FALSE(same(a, b)) << a << " and " << b;
}

TEST_F(SampleWorldTest, TheTownViewShowsTheMapThroughTheSpritesMask) {
    ASSERT_EQ(LoadSample("testproject", "baymap.txt"), 0);
    PALETTE pal;
    playerspritesbmp = load_bitmap((SourceDir() + "/game/testproject/sprites2.bmp").c_str(), pal);
    ASSERT_NE(playerspritesbmp, nullptr);
    backbuffer = create_bitmap(500, 500);
    CurrProj.windowx = CurrProj.windowy = 352;
    // the player in the view's middle block
    mapxtile = kSquareX - (352 / 16 - 1) / 2;
    mapytile = kSquareY - (352 / 16 - 1) / 2;
    mapxpxl = mapxtile * 16;
    mapypxl = mapytile * 16;
    plx = (kSquareX - mapxtile) * 16;
    ply = (kSquareY - mapytile) * 16;
    playerspriteanim = 0;  // frame 0 is empty: the map alone
    DrawMap(plx, ply);
    BITMAP *bare = create_bitmap(500, 500);
    blit(backbuffer, bare, 0, 0, 0, 0, 500, 500);
    playerspriteanim = 3;
    DrawMap(plx, ply);
    int changed = 0;
    for (int y = 0; y < 31; y++)
        for (int x = 0; x < 31; x++)
            if (getpixel(backbuffer, plx + x, ply + y) != getpixel(bare, plx + x, ply + y)) changed++;
    EXPECT_GE(changed, 100) << "the figure is drawn";
    EXPECT_LE(changed, 16 * 16) << "around the figure the map shows through";
    destroy_bitmap(bare);

    if (const char *shot = getenv("QB_SCREENSHOT")) {
        BITMAP *view = create_sub_bitmap(backbuffer, 0, 0, 352, 352);
        EXPECT_EQ(save_bitmap(shot, view, nullptr), 0) << shot;
        destroy_bitmap(view);
    }
}

}  // namespace
