// The camera: the view's corner on the map for a player position.
#include "tests/harness/testsupport.h"

static void SetView(int w, int h, int bw, int bh, int mw, int mh) {
    CurrProj.windowx = w;
    CurrProj.windowy = h;
    CurrMap.blockwidth = bw;
    CurrMap.blockheight = bh;
    CurrMap.maparrayx = mw;
    CurrMap.maparrayy = mh;
}

TEST(CameraTest, ThePlayerStandsInTheMiddleUntilAnEdgeStopsTheView) {
    SetView(352, 352, 16, 16, 60, 60);
    struct {
        int column, tile, pixel, plx;
    } cases[] = {{30, 20, 320, 160}, {5, 0, 0, 80}, {55, 38, 608, 272}, {10, 0, 0, 160}, {11, 1, 16, 160}};
    for (auto &c : cases) {
        PlaceCamera(c.column, c.column);
        EXPECT_EQ(mapxtile, c.tile) << "column " << c.column;
        EXPECT_EQ(mapxpxl, c.pixel) << "column " << c.column;
        EXPECT_EQ(mapytile, c.tile) << "row " << c.column;
        EXPECT_EQ(mapypxl, c.pixel) << "row " << c.column;
        EXPECT_EQ((c.column - mapxtile) * 16, c.plx);
    }
}

TEST(CameraTest, AViewThatIsNotWholeBlocksLimitsPixelAndBlockCornersApart) {
    SetView(350, 352, 16, 16, 60, 60);
    PlaceCamera(59, 30);
    EXPECT_EQ(mapxtile, 39);
    EXPECT_EQ(mapxpxl, 610);
    EXPECT_NE(mapxpxl, mapxtile * 16);
}

TEST(CameraTest, AMapNarrowerThanTheViewGivesNegativeCorners) {
    SetView(352, 352, 16, 16, 10, 60);
    for (int column : {0, 5, 9}) {
        PlaceCamera(column, 30);
        EXPECT_EQ(mapxpxl, 160 - 352);
        EXPECT_EQ(mapxtile, -12);
    }
}

TEST(CameraTest, OddBlockSizesAndNoBlockSizeAtAll) {
    SetView(352, 352, 32, 24, 12, 40);  // 11 columns, 14 rows of view
    PlaceCamera(11, 39);
    EXPECT_EQ(mapxtile, 1);
    EXPECT_EQ(mapxpxl, 12 * 32 - 352);
    EXPECT_EQ(mapytile, 40 - 14);
    EXPECT_EQ(mapypxl, 40 * 24 - 352);

    // The sprite stands on its own block as drawn, even where the block
    // corner and the pixel corner disagree at the bottom edge.
    playertilex = 11;
    playertiley = 39;
    PlaceSprite();
    EXPECT_EQ(ply, 39 * 24 - 608);
    EXPECT_EQ(plx, 11 * 32 - 32);

    // Before any map has a block size the camera stays where it was.
    mapxtile = 3;
    SetView(352, 352, 0, 0, 60, 60);
    PlaceCamera(20, 20);
    EXPECT_EQ(mapxtile, 3);
}
