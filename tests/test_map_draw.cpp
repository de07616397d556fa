// Drawing the visible map and the player's frame into the back buffer,
// checked pixel by pixel.
#include "overworld/overworld.h"
#include "tests/harness/testsupport.h"

namespace {

// Block n of the strip is one plain colour, so a pixel tells which block
// was drawn there.
int BlockColour(int n) { return makecol(8 * n, 255 - 8 * n, 120); }

class DrawMapTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        backbuffer = create_bitmap(500, 500);
        clear_to_color(backbuffer, Marker());
        CurrProj.windowx = CurrProj.windowy = 352;
        mapxtile = mapytile = mapxpxl = mapypxl = 0;
        playerspriteanim = 0;
        for (int r = 0; r < MAPARRAYMAX; r++)
            for (int k = 0; k < MAPARRAYMAX; k++) CurrMapArray[r][k].block = (r * 7 + k) % 30;
    }
    void TearDown() override {
        destroy_bitmap(backbuffer);
        backbuffer = nullptr;
        if (currentmaptilesbmp) destroy_bitmap(currentmaptilesbmp);
        currentmaptilesbmp = nullptr;
        if (playerspritesbmp) destroy_bitmap(playerspritesbmp);
        playerspritesbmp = nullptr;
        QbTest::TearDown();
    }
    static int Marker() { return makecol(255, 255, 0); }
    void Blocks(int width, int height, int count = 30) {
        CurrMap.blockwidth = width;
        CurrMap.blockheight = height;
        currentmaptilesbmp = create_bitmap(width * count, height);
        for (int n = 0; n < count; n++)
            rectfill(currentmaptilesbmp, n * width, 0, (n + 1) * width - 1, height - 1, BlockColour(n));
    }
    int At(int x, int y) { return getpixel(backbuffer, x, y); }
    int Cell(int k, int r) { return BlockColour(CurrMapArray[r][k].block); }
};

TEST_F(DrawMapTest, FromTheOriginThreeMoreBlocksThanTheViewAreDrawn) {
    Blocks(32, 32);
    EXPECT_EQ(DrawMap(0, 0), 0);
    EXPECT_EQ(At(0, 0), Cell(0, 0));
    EXPECT_EQ(At(31, 31), Cell(0, 0));
    EXPECT_EQ(At(32, 0), Cell(1, 0));
    EXPECT_EQ(At(0, 32), Cell(0, 1)) << "rows go down the grid's first index";
    EXPECT_EQ(At(416, 416), Cell(13, 13));
    EXPECT_EQ(At(447, 447), Cell(13, 13));
    EXPECT_EQ(At(448, 100), Marker()) << "column 14 is not drawn";
    EXPECT_EQ(At(100, 448), Marker()) << "row 14 is not drawn";
}

TEST_F(DrawMapTest, ScrolledPixelsShiftTheWholeMap) {
    Blocks(32, 32);
    mapxpxl = 8;
    mapypxl = -4;
    DrawMap(0, 0);
    EXPECT_EQ(At(0, 4), Cell(0, 0));
    EXPECT_EQ(At(23, 35), Cell(0, 0));
    EXPECT_EQ(At(24, 36), Cell(1, 1));
    EXPECT_EQ(At(440, 100), Marker()) << "column 13 now ends at x 439";
    EXPECT_EQ(At(100, 3), Marker()) << "nothing is drawn above row 0";

    // Scrolling one block on: the tile column leads, the pixel corner follows.
    clear_to_color(backbuffer, Marker());
    mapxtile = 1;
    mapxpxl = 40;
    mapypxl = 0;
    DrawMap(0, 0);
    EXPECT_EQ(At(0, 0), Cell(1, 0)) << "column 1 starts 8 pixels left of the view";
    EXPECT_EQ(At(24, 0), Cell(2, 0));
    EXPECT_EQ(At(440, 0), Marker()) << "the last column, 14, ends at x 439";
}

TEST_F(DrawMapTest, BlocksNeedNotBeSquare) {
    Blocks(32, 24);
    mapytile = 2;
    mapypxl = 48;
    DrawMap(0, 0);
    // columns 352 / 32 = 11, rows 352 / 24 = 14: columns 0..13, rows 2..18
    EXPECT_EQ(At(64, 72), Cell(2, 5));
    EXPECT_EQ(At(95, 95), Cell(2, 5));
    EXPECT_EQ(At(64, 96), Cell(2, 6));
    EXPECT_EQ(At(416, 384), Cell(13, 18));
    EXPECT_EQ(At(447, 407), Cell(13, 18));
    EXPECT_EQ(At(100, 408), Marker()) << "row 19 is not drawn";
}

TEST_F(DrawMapTest, ThePlayersFrameIsCutAtItsPitchAndKeepsTheMapWhereTransparent) {
    Blocks(32, 32);
    // Frame n: colour n everywhere but a transparent top-right corner pixel;
    // the column between frames (x = 31n) is another colour altogether.
    playerspritesbmp = create_bitmap(31 * 25 + 1, 31);
    clear_to_color(playerspritesbmp, makecol(1, 2, 3));
    for (int n = 0; n < 25; n++) {
        rectfill(playerspritesbmp, 31 * n + 1, 0, 31 * n + 31, 30, BlockColour(n + 1));
        putpixel(playerspritesbmp, 31 * n + 31, 0, bitmap_mask_color(playerspritesbmp));
    }
    playerspriteanim = 3;
    DrawMap(100, 60);
    EXPECT_EQ(At(100, 60), BlockColour(4)) << "frame 3 starts at x 94 of the sheet";
    EXPECT_EQ(At(129, 90), BlockColour(4));
    EXPECT_EQ(At(130, 60), Cell(4, 1)) << "the transparent pixel shows the map";
    EXPECT_EQ(At(131, 70), Cell(4, 2)) << "the frame is 31 pixels wide";
    EXPECT_EQ(At(110, 91), Cell(3, 2)) << "and 31 pixels high";

    playerspriteanim = 7;
    DrawMap(0, 0);
    EXPECT_EQ(At(0, 0), BlockColour(8)) << "frame 7 starts at x 218";
    EXPECT_EQ(At(29, 0), BlockColour(8));
}

TEST_F(DrawMapTest, CellsOutsideTheGridOrTheStripArePlainBlack) {
    Blocks(32, 24, 5);  // a strip shorter than the block numbers in the grid
    const int black = makecol(0, 0, 0);
    // A map narrower than the view: the camera's corner lies left of the map.
    mapxtile = -2;
    mapxpxl = -64;
    CurrMapArray[0][0].block = 4;
    CurrMapArray[0][1].block = 5;
    DrawMap(0, 0);
    EXPECT_EQ(At(0, 0), black);
    EXPECT_EQ(At(63, 23), black);
    EXPECT_EQ(At(64, 0), BlockColour(4));
    EXPECT_EQ(At(96, 0), black) << "block 5 has no picture in the strip";

    // The far corner of a 60 by 60 map: columns 60 to 62 and rows 60 to 61
    // (the last two of 45 + 14 + 2) are black.
    clear_to_color(backbuffer, Marker());
    for (auto &row : CurrMapArray)
        for (maparraycell &cell : row) cell.block = 2;
    mapxtile = 49;
    mapxpxl = 49 * 32;
    mapytile = 45;
    mapypxl = 45 * 24;
    DrawMap(0, 0);
    EXPECT_EQ(At(10 * 32, 14 * 24), BlockColour(2));
    EXPECT_EQ(At(11 * 32, 14 * 24), black);
    EXPECT_EQ(At(13 * 32 + 31, 0), black);
    EXPECT_EQ(At(0, 15 * 24), black);
    EXPECT_EQ(At(0, 16 * 24 + 23), black);
    EXPECT_EQ(At(0, 17 * 24), Marker());
}

TEST_F(DrawMapTest, AHugeViewIsDrawnOnlyAsFarAsTheBackBuffer) {
    Blocks(1, 1);
    CurrProj.windowx = CurrProj.windowy = 2000000000;
    mapxtile = mapytile = -2000000000;
    mapxpxl = mapypxl = -1000;
    DrawMap(0, 0);  // would take hours, or overflow, if every block were visited
    EXPECT_EQ(At(499, 499), makecol(0, 0, 0));
}

}  // namespace
