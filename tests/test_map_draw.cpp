// Drawing the visible map and the player's frame into the back buffer,
// checked pixel by pixel.
#include <vector>

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
        CurrProj.windowx = CurrProj.windowy = 352;
        mapxtile = mapytile = mapxpxl = mapypxl = 0;
        for (int r = 0; r < MAPARRAYMAX; r++)
            for (int k = 0; k < MAPARRAYMAX; k++) CurrMapArray[r][k].block = (r * 7 + k) % 30;
    }
    void TearDown() override {
        for (BITMAP **bmp : {&backbuffer, &currentmaptilesbmp, &playerspritesbmp}) {
            if (*bmp) destroy_bitmap(*bmp);
            *bmp = nullptr;
        }
        QbTest::TearDown();
    }
    static int Marker() { return makecol(255, 255, 0); }  // what DrawMap left alone
    void Blocks(int width, int height, int count = 30) {
        CurrMap.blockwidth = width;
        CurrMap.blockheight = height;
        if (currentmaptilesbmp) destroy_bitmap(currentmaptilesbmp);
        currentmaptilesbmp = create_bitmap(width * count, height);
        for (int n = 0; n < count; n++)
            rectfill(currentmaptilesbmp, n * width, 0, (n + 1) * width - 1, height - 1, BlockColour(n));
    }
    int At(int x, int y) { return getpixel(backbuffer, x, y); }
    int Cell(int k, int r) { return BlockColour(CurrMapArray[r][k].block); }
};

// Pixel (x, y) shows grid cell (k, r), or with k = kBlack is black, or with
// k = kAlone was left alone.
const int kAlone = -1, kBlack = -2;
struct Probe {
    int x, y, k, r;
};
struct View {
    int bw, bh, strip, xtile, ytile, xpxl, ypxl;  // strip: blocks with a picture
    std::vector<Probe> probes;
};

// From the camera's tile on, the view's blocks and three more are drawn,
// shifted by the camera's pixel corner. Cells outside the grid, and blocks
// with no picture in the strip, are plain black.
TEST_F(DrawMapTest, EachPixelShowsItsBlock) {
    const int a = kAlone, b = kBlack;
    const View views[] = {
        // the origin: columns and rows 0 to 13 (352 / 32 + 2), rows down the first index
        {32, 32, 30, 0, 0, 0, 0, {{0, 0, 0, 0}, {32, 0, 1, 0}, {0, 32, 0, 1}, {447, 447, 13, 13}, {448, 100, a, 0}}},
        // scrolled by pixels: the whole map moves, black above row 0
        {32, 32, 30, 0, 0, 8, -4, {{0, 4, 0, 0}, {23, 35, 0, 0}, {24, 36, 1, 1}, {440, 100, a, 0}, {100, 3, b, 0}}},
        // one block on: the tile column leads, the pixel corner follows
        {32, 32, 30, 1, 0, 40, 0, {{0, 0, 1, 0}, {24, 0, 2, 0}, {440, 0, a, 0}}},
        // oblong blocks: columns 0 to 13, rows 2 to 18 (352 / 24 = 14)
        {32, 24, 30, 0, 2, 0, 48, {{64, 72, 2, 5}, {64, 96, 2, 6}, {447, 407, 13, 18}, {100, 408, a, 0}}},
        // a map narrower than the view, camera left of it, and a strip of blocks 0 to 4
        {32, 24, 5, -2, 0, -64, 0, {{63, 23, b, 0}, {64, 0, 0, 0}, {192, 0, 4, 0}, {224, 0, b, 0}}},
        // the far corner of the 60 by 60 grid: columns 60 to 62, rows 60 and 61 are black
        {32, 24, 30, 49, 45, 1568, 1080, {{320, 336, 59, 59}, {352, 336, b, 0}, {0, 360, b, 0}, {0, 408, a, 0}}},
    };
    for (const View &v : views) {
        Blocks(v.bw, v.bh, v.strip);
        clear_to_color(backbuffer, Marker());
        mapxtile = v.xtile, mapytile = v.ytile, mapxpxl = v.xpxl, mapypxl = v.ypxl;
        EXPECT_EQ(DrawMap(0, 0), 0);
        for (const Probe &p : v.probes) {
            int want = p.k == a ? Marker() : p.k == b ? makecol(0, 0, 0) : Cell(p.k, p.r);
            EXPECT_EQ(At(p.x, p.y), want) << "view " << &v - views << ", pixel " << p.x << ", " << p.y;
        }
    }
}

TEST_F(DrawMapTest, ThePlayersFrameIsCutAtItsPitchAndKeepsTheMapWhereTransparent) {
    Blocks(32, 32);
    // Frame n: colour n + 1 but for a transparent top-right pixel; the column
    // between frames (x = 31n) is another colour altogether.
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
