// The camera: the view's corner on the map for a player position. (The
// sprite's place on the view: the walk in test_movement.)
#include "tests/harness/testsupport.h"

// The player stands in the view's middle block until an edge stops the view;
// pixel and block corners are limited apart, so a view that is not whole
// blocks, or a map narrower than the view, gives corners that disagree.
TEST(CameraTest, TheViewCentresThePlayerUntilAnEdgeStopsIt) {
    const int cases[][12] = {  // view, block and map sizes, the player's block; the corner's block and pixels
        {352, 352, 16, 16, 60, 60, 30, 30, 20, 20, 320, 320},
        {352, 352, 16, 16, 60, 60, 10, 11, 0, 1, 0, 16},
        {352, 352, 16, 16, 60, 60, 55, 5, 38, 0, 608, 0},
        {350, 352, 16, 16, 60, 60, 59, 30, 39, 20, 610, 320},
        {352, 352, 16, 16, 10, 60, 5, 30, -12, 20, 160 - 352, 320},
        {352, 352, 32, 24, 12, 40, 11, 39, 1, 26, 12 * 32 - 352, 40 * 24 - 352}};
    for (const auto &c : cases) {
        CurrProj.windowx = c[0], CurrProj.windowy = c[1], CurrMap.blockwidth = c[2], CurrMap.blockheight = c[3];
        CurrMap.maparrayx = c[4], CurrMap.maparrayy = c[5];
        PlaceCamera(c[6], c[7]);
        EXPECT_TRUE(mapxtile == c[8] && mapytile == c[9] && mapxpxl == c[10] && mapypxl == c[11])
            << "at " << c[6] << ", " << c[7] << ": " << mapxtile << " " << mapytile << " " << mapxpxl << " " << mapypxl;
    }
    CurrMap.blockwidth = 0;  // before any map has a block size the camera stays where it was
    PlaceCamera(20, 20);
    EXPECT_EQ(mapxtile, 1);
}
