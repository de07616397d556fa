// The sample worlds in game/: both maps load cleanly with their ground and
// wild tables, and the player's sprite sheet is cut where the drawing
// expects it.
//
// With QB_SCREENSHOT set to a file name, the view test also saves what the
// player sees in Quill Bay's town square there (a BMP; docs/overworld.png is
// made from it).
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/harness/testsupport.h"

namespace {

// Quill Bay's town square, for the picture of the view.
const int kSquareX = 28, kSquareY = 28;

class SampleWorldTest : public QbTest {
protected:
    void TearDown() override {
        for (BITMAP **bmp : {&backbuffer, &playerspritesbmp}) {
            if (*bmp) destroy_bitmap(*bmp);
            *bmp = nullptr;
        }
        QbTest::TearDown();
    }
    void LoadSample(const std::string &dir, const std::string &mapfile) {
        if (!std::filesystem::exists(dir)) CopySampleGame();
        GameIndex[0].projectdir = dir;
        indexno = 0;
        CurrMapFilename = JoinPath(GameIndex[0].projectdir, mapfile);
        ASSERT_EQ(LoadMapFile(), 0) << dir;
        for (const std::string &line : LogLinesAfterBanner())
            EXPECT_EQ(line.find(" error: "), std::string::npos) << line;
        ASSERT_NE(currentmaptilesbmp, nullptr);
        EXPECT_GE(currentmaptilesbmp->w, CurrMap.blckstrctcnt * CurrMap.blockwidth)
            << dir << ": a block has no picture";
    }
    const blockstruct &BlockAt(int x, int y) { return CurrBlckStruct[CurrMapArray[y][x].block]; }
};

TEST_F(SampleWorldTest, BothMapsLoadCleanlyWithEncounterGroundAndFullWildTables) {
    for (const auto &sample :
         {std::make_pair("testproject", "baymap.txt"), std::make_pair("cinderridge", "ridgemap.txt")}) {
        ASSERT_NO_FATAL_FAILURE(LoadSample(sample.first, sample.second));
        bool encounter = false;
        for (int y = 0; y < CurrMap.maparrayy; y++)
            for (int x = 0; x < CurrMap.maparrayx; x++) encounter |= BlockAt(x, y).blocktype == BLOCK_ENCOUNTER;
        EXPECT_TRUE(encounter) << sample.second;
        const std::pair<const wildentry *, int> tables[] = {
            {CurrMap.daymons, 7},       {CurrMap.nightmons, 7},    {CurrMap.mornmons, 7}, {CurrMap.oldrodmons, 3},
            {CurrMap.goodrodmons, 4},   {CurrMap.superrodmons, 4}, {CurrMap.surfmons, 3}, {CurrMap.rocksmashmons, 2},
            {CurrMap.headbutt1mons, 4}, {CurrMap.headbutt2mons, 4}};
        for (const auto &table : tables)
            for (const wildentry *e = table.first; e < table.first + table.second; e++)
                EXPECT_TRUE(e->species >= 1 && e->species <= 15 && e->level >= 2 && e->level <= 30)
                    << sample.second << ", table " << &table - tables << ", entry " << e - table.first;
        EXPECT_NE(memcmp(CurrMap.daymons, CurrMap.nightmons, sizeof CurrMap.daymons), 0) << "day and night differ";
    }
    // Cinder Ridge: narrower than the 352-pixel view, with oblong blocks that
    // do not fill the view's height.
    EXPECT_LT(CurrMap.maparrayx * CurrMap.blockwidth, 352);
    EXPECT_NE(352 % CurrMap.blockheight, 0);
}

// Each standing (1 to 4) and walking (5 to 8, 17 to 24) frame, drawn on the
// town square, shows a figure inside its 31 by 31 cell with the map around
// it; the eight frames 1 to 8 all differ. Frame 3 is drawn last, for the
// picture of the view.
TEST_F(SampleWorldTest, EachFrameShowsAFigureOnTheTownSquare) {
    ASSERT_NO_FATAL_FAILURE(LoadSample("testproject", "baymap.txt"));
    PALETTE pal;
    playerspritesbmp = load_bitmap((SourceDir() + "/game/testproject/sprites2.bmp").c_str(), pal);
    ASSERT_NE(playerspritesbmp, nullptr);
    backbuffer = create_bitmap(500, 500);
    CurrProj.windowx = CurrProj.windowy = 352;
    // the player in the middle of the view's 22 by 22 blocks
    mapxtile = kSquareX - 10, mapytile = kSquareY - 10;
    mapxpxl = mapxtile * 16, mapypxl = mapytile * 16;
    plx = ply = 10 * 16;
    auto patch = [] {
        std::vector<int> pixels;
        for (int y = 0; y < 31; y++)
            for (int x = 0; x < 31; x++) pixels.push_back(getpixel(backbuffer, plx + x, ply + y));
        return pixels;
    };
    playerspriteanim = 0;  // frame 0 is empty: the map alone
    DrawMap(plx, ply);
    const std::vector<int> bare = patch();
    std::set<std::vector<int>> looks;
    for (int n : {1, 2, 4, 5, 6, 7, 8, 17, 18, 19, 20, 21, 22, 23, 24, 3}) {
        playerspriteanim = n;
        DrawMap(plx, ply);
        std::vector<int> pixels = patch();
        int changed = 0;
        for (size_t i = 0; i < pixels.size(); i++) changed += pixels[i] != bare[i];
        EXPECT_GE(changed, 100) << "frame " << n << " holds a figure";
        EXPECT_LE(changed, 16 * 16) << "around frame " << n << "'s figure the map shows through";
        for (int i = 0; i < 31; i++)
            EXPECT_TRUE(pixels[31 * i + 30] == bare[31 * i + 30] && pixels[930 + i] == bare[930 + i]) << "frame " << n;
        if (n <= 8) looks.insert(pixels);
    }
    EXPECT_EQ(looks.size(), 8u) << "standing and walking differ, and so do the four directions";

    if (const char *shot = getenv("QB_SCREENSHOT")) {
        BITMAP *view = create_sub_bitmap(backbuffer, 0, 0, 352, 352);
        EXPECT_EQ(save_bitmap(shot, view, nullptr), 0) << shot;
        destroy_bitmap(view);
    }
}

}  // namespace
