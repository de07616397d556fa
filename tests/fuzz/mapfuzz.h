// Shared by the two map fuzz targets: a project directory "." with a tile
// strip, a back buffer, and one run of loading map.txt and drawing the map.
#pragma once

#include <cstring>

#include "fileload/fileload.h"
#include "overworld/overworld.h"
#include "tests/fuzz/fuzzsupport.h"

static inline void SetUpOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    backbuffer = create_bitmap(500, 500);
    BITMAP *strip = create_bitmap(16 * 8, 16);
    clear_to_color(strip, makecol(40, 160, 60));
    save_bitmap("tiles.bmp", strip, nullptr);
    destroy_bitmap(strip);
    playerspritesbmp = create_bitmap(31 * 25 + 1, 31);
    clear_to_color(playerspritesbmp, makecol(200, 80, 60));
}

// Draws with the camera the game would place for a player at (px, py).
static inline void DrawAt(int px, int py) {
    playertilex = px;
    playertiley = py;
    PlaceCamera(px, py);
    PlaceSprite();
    playerspriteanim = (px + py) % 25;
    DrawMap(plx, ply);
}

inline void FuzzMapRun(const char *inputname, const uint8_t *data, size_t size, const char *fixedname,
                const char *fixedtext) {
    FuzzBegin();
    SetUpOnce();
    FuzzWriteFile(fixedname, (const uint8_t *)fixedtext, strlen(fixedtext));
    FuzzWriteFile(inputname, data, size);
    GameIndex[0].projectdir = ".";
    indexno = 0;
    CurrMapFilename = ".\\map.txt";
    CurrProj.windowx = CurrProj.windowy = 352;
    LoadMapFile();
    // Whatever was loaded, in full or in part, must draw without a bad read.
    DrawAt(0, 0);
    DrawAt(CurrMap.maparrayx - 1, CurrMap.maparrayy - 1);
    DrawAt(59, 59);
}
