// Drawing the visible map and the player's frame into the back buffer,
// checked pixel by pixel.
#include "tests/harness/testsupport.h"

// Block n of the strip is one plain colour, so a pixel tells which block was drawn there.
static int BlockColour(int n) { return makecol(8 * n, 255 - 8 * n, 120); }

// A 352 by 352 view of a grid of varied blocks, a strip of `count` blocks
// and a back buffer of a colour DrawMap leaves alone.
static void Blocks(int width, int height, int count) {
    CurrProj.windowx = CurrProj.windowy = 352, CurrMap.blockwidth = width, CurrMap.blockheight = height;
    for (int r = 0; r < MAPARRAYMAX; r++)
        for (int k = 0; k < MAPARRAYMAX; k++) CurrMapArray[r][k].block = (r * 7 + k) % 30;
    ReleaseGameBitmaps(), backbuffer = create_bitmap(500, 500), currentmaptilesbmp = create_bitmap(width * count, height);
    for (int n = 0; n < count; n++) rectfill(currentmaptilesbmp, n * width, 0, (n + 1) * width - 1, height - 1, BlockColour(n));
    clear_to_color(backbuffer, makecol(255, 255, 0));
}
// The colour at (x, y) for grid cell (k, r), or k = -1 left alone, k = -2 black.
static int Want(int k, int r) { return k == -1 ? makecol(255, 255, 0) : k == -2 ? makecol(0, 0, 0) : BlockColour(CurrMapArray[r][k].block); }
using DrawMapTest = QbTest;

// From the camera's tile on, the view's blocks and three more are drawn,
// shifted by the camera's pixel corner. Cells outside the grid, and blocks
// with no picture in the strip, are plain black.
TEST_F(DrawMapTest, EachPixelShowsItsBlock) {
    const std::vector<std::vector<int>> views[] = {  // block size, strip size, camera; then x, y, k, r of each probe
        // the origin: columns and rows 0 to 13 (352 / 32 + 2), rows down the first index
        {{32, 32, 30, 0, 0, 0, 0}, {0, 0, 0, 0}, {32, 0, 1, 0}, {0, 32, 0, 1}, {447, 447, 13, 13}, {448, 100, -1, 0}},
        // scrolled by pixels: the whole map moves, black above row 0
        {{32, 32, 30, 0, 0, 8, -4}, {0, 4, 0, 0}, {23, 35, 0, 0}, {24, 36, 1, 1}, {440, 100, -1, 0}, {100, 3, -2, 0}},
        // oblong blocks on a map narrower than the view, camera left of it, a strip of blocks 0 to 4
        {{32, 24, 5, -2, 0, -64, 0}, {63, 23, -2, 0}, {64, 0, 0, 0}, {192, 0, 4, 0}, {224, 0, -2, 0}},
        // the far corner of the 60 by 60 grid: columns 60 to 62 (at every row), rows 60 and 61 are black
        {{32, 24, 30, 49, 45, 1568, 1080}, {320, 336, 59, 59}, {352, 0, -2, 0}, {0, 360, -2, 0}, {0, 408, -1, 0}}};
    for (const auto &v : views) {
        Blocks(v[0][0], v[0][1], v[0][2]);
        mapxtile = v[0][3], mapytile = v[0][4], mapxpxl = v[0][5], mapypxl = v[0][6];
        EXPECT_EQ(DrawMap(0, 0), 0);
        for (size_t i = 1; i < v.size(); i++)
            EXPECT_EQ(getpixel(backbuffer, v[i][0], v[i][1]), Want(v[i][2], v[i][3])) << "view " << &v - views << ", probe " << i;
    }
    // The same view drawn again shows a block changed in the grid since.
    CurrMapArray[59][57].block = 3, DrawMap(0, 0);
    EXPECT_EQ(getpixel(backbuffer, 256, 336), BlockColour(3));
}

// Frame n is colour n + 1 but for a transparent top-right pixel; the column
// between frames (x = 31n) is another colour altogether.
TEST_F(DrawMapTest, ThePlayersFrameIsCutAtItsPitchAndKeepsTheMapWhereTransparent) {
    Blocks(32, 32, 30);
    mapxtile = mapytile = mapxpxl = mapypxl = 0, playerspritesbmp = create_bitmap(31 * 25 + 1, 31);
    clear_to_color(playerspritesbmp, makecol(1, 2, 3));
    for (int n = 0; n < 25; n++) {
        rectfill(playerspritesbmp, 31 * n + 1, 0, 31 * n + 31, 30, BlockColour(n + 1));
        putpixel(playerspritesbmp, 31 * n + 31, 0, bitmap_mask_color(playerspritesbmp));
    }
    playerspriteanim = 3, DrawMap(100, 60);
    const int probes[][4] = {{100, 60, 0, 0}, {129, 90, 0, 0}, {130, 60, 4, 1}, {131, 70, 4, 2}, {110, 91, 3, 2}};
    for (const auto &p : probes) EXPECT_EQ(getpixel(backbuffer, p[0], p[1]), p[2] ? Want(p[2], p[3]) : BlockColour(4)) << p[0] << ", " << p[1];
}
