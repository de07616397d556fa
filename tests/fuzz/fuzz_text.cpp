// Fuzzes the readers of the game's text files: the first byte picks the
// reader, the rest is its file. 0: the project index; 1: a project file;
// 2: a map file naming a fixed map array; 3: a map array named by a fixed
// map file. Seeds: game/**.txt, each once for every reader.
#include <cstring>

#include "fileload/fileload.h"
#include "overworld/overworld.h"
#include "tests/fuzz/fuzzsupport.h"

static const char *const kMap =
    "1\nBEGIN MAP\nMAPNAME=Fuzz\nMAPARRAY=array.txt\nEVENTFILE=e.txt\nBEGIN WILDMONS\nWILDDENSITY=3\n"
    "BEGIN DAY\n1,2\nEND DAY\nBEGIN NIGHT\n1,2\nEND NIGHT\nBEGIN MORN\n1,2\nEND MORN\n"
    "BEGIN OLDROD\n1,2\nEND OLDROD\nBEGIN GOODROD\n1,2\nEND GOODROD\nBEGIN SUPERROD\n1,2\nEND SUPERROD\n"
    "BEGIN SURF\n1,2\nEND SURF\nBEGIN ROCKSMASH\n1,2\nEND ROCKSMASH\nBEGIN HEADBUTT1\n1,2\nEND HEADBUTT1\n"
    "BEGIN HEADBUTT2\n1,2\nEND HEADBUTT2\nEND WILDMONS\nEND MAP\n";
static const char *const kArray =
    "1\nBEGIN MAP\nTILES=tiles.bmp\nBLOCKHEIGHT=16\nBLOCKWIDTH=16\nBEGIN BLOCKSTRUCT\nBLCKSTRCTCNT=2\n"
    "0, 0, 0, 0, 0, 0, 0,\n1, 1, 0, 0, 0, 0, 0,\nEND BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=2\nMAPARRAYX=3\n"
    "0, 1, 0,\n1, 1, 0,\nEND MAPARRAY\nEND MAP\n";

// The maps' project directory "." with a tile strip, a back buffer and the
// player's sprites, made once.
static void SetUpMaps() {
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
static void DrawAt(int px, int py) {
    playertilex = px, playertiley = py;
    PlaceCamera(px, py);
    PlaceSprite();
    playerspriteanim = (px + py) % 25;
    DrawMap(plx, ply);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    FuzzBegin();
    const int reader = data[0] % 4;
    const char *const names[] = {indexfile, "project.txt", "map.txt", "array.txt"};
    FuzzWriteFile(names[reader], data + 1, size - 1);
    if (reader == 0) ReadGameIndex();
    if (reader == 1) ReadProjectFile("project.txt");
    if (reader < 2) return 0;
    SetUpMaps();
    const char *fixed = reader == 2 ? kArray : kMap;
    FuzzWriteFile(names[5 - reader], (const uint8_t *)fixed, strlen(fixed));
    GameIndex[0].projectdir = ".";
    indexno = 0;
    CurrMapFilename = ".\\map.txt";
    CurrProj.windowx = CurrProj.windowy = 352;
    LoadMapFile();
    // Whatever was loaded, in full or in part, must draw without a bad read.
    DrawAt(0, 0);
    DrawAt(CurrMap.maparrayx - 1, CurrMap.maparrayy - 1);
    DrawAt(59, 59);
    return 0;
}
