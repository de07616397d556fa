// The camera: the view's corner on the map for a player position, and the
// sprite's place on the view.
#include "tests/harness/testsupport.h"

using CameraTest = QbTest;

// The player stands in the view's middle block until an edge stops the view;
// pixel and block corners are limited apart, so a view that is not whole
// blocks, or a map narrower than the view, gives corners that disagree; the
// sprite stands where its block is drawn from the pixel corner.
TEST_F(CameraTest, TheViewCentresThePlayerUntilAnEdgeStopsIt) {
    struct cameracase { int viewx, viewy, bw, bh, mw, mh, x, y, xtile, ytile, xpxl, ypxl, plx, ply; };
    const cameracase cases[] = {
        {352, 352, 16, 16, 60, 60, 30, 30, 20, 20, 320, 320, 160, 160},
        {352, 352, 16, 16, 60, 60, 5, 11, 0, 1, 0, 16, 80, 160},
        {352, 352, 16, 16, 60, 60, 55, 5, 38, 0, 608, 0, 272, 80},
        {350, 352, 16, 16, 60, 60, 59, 30, 39, 20, 610, 320, 334, 160},
        {352, 352, 16, 16, 10, 60, 5, 30, -12, 20, 160 - 352, 320, 272, 160},
        {352, 352, 32, 24, 12, 40, 11, 39, 1, 26, 12 * 32 - 352, 40 * 24 - 352, 320, 328},
        {352, 330, 32, 24, 60, 60, 20, 20, 15, 14, 480, 336, 160, 144}};
    for (const cameracase &c : cases) {
        CurrProj.windowx = c.viewx, CurrProj.windowy = c.viewy, CurrMap.blockwidth = c.bw, CurrMap.blockheight = c.bh;
        CurrMap.maparrayx = c.mw, CurrMap.maparrayy = c.mh, PlacePlayer(c.x, c.y, DIR_UP, FRAME_STAND);
        EXPECT_EQ(std::make_tuple(mapxtile, mapytile, mapxpxl, mapypxl, plx, ply),
                  std::make_tuple(c.xtile, c.ytile, c.xpxl, c.ypxl, c.plx, c.ply)) << "at " << c.x << ", " << c.y;
    }
    CurrMap.blockwidth = 0, PlaceCamera(20, 20);  // before any map has a block size the camera stays where it was
    EXPECT_EQ(mapxtile, 15);
}
