// The camera: which part of the map the view shows.
#include "overworld/overworld.h"
#include "shell/main.h"

void PlaceCamera(int tilex, int tiley) {
    const int bw = CurrMap.blockwidth, bh = CurrMap.blockheight;
    if (bw <= 0 || bh <= 0) return;  // no map has been read; nothing to place
    const int mw = CurrMap.maparrayx, mh = CurrMap.maparrayy;
    const int w = CurrProj.windowx, h = CurrProj.windowy;

    // The player stands in the view's middle block (left of and above the
    // middle when the view is an even number of blocks across).
    mapxtile = tilex - (w / bw - 1) / 2;
    mapytile = tiley - (h / bh - 1) / 2;
    mapxpxl = mapxtile * bw;
    mapypxl = mapytile * bh;

    // Lower limits first; the upper ones come last and so win on a map
    // smaller than the view. Pixel and block corners are limited apart.
    if (mapxpxl <= 0) mapxpxl = 0;
    if (mapypxl <= 0) mapypxl = 0;
    if (mapxtile <= 0) mapxtile = 0;
    if (mapytile <= 0) mapytile = 0;
    if (mapxpxl >= mw * bw - w) mapxpxl = mw * bw - w;
    if (mapypxl >= mh * bh - h) mapypxl = mh * bh - h;
    if (mapxtile >= mw - w / bw) mapxtile = mw - w / bw;
    if (mapytile >= mh - h / bh) mapytile = mh - h / bh;
}

void PlaceSprite() {
    // From the pixel corner the map is drawn with, so that the sprite stands
    // on its own block even where the view is not a whole number of blocks
    // and the block corner and the pixel corner disagree.
    plx = playertilex * CurrMap.blockwidth - mapxpxl;
    ply = playertiley * CurrMap.blockheight - mapypxl;
}
