// Fuzzes the map file reader; the input is the map file, the map-array file
// it may name (array.txt) is fixed. Seeds: game/*/*map.txt.
#include "tests/fuzz/mapfuzz.h"

static const char *const kArray =
    "1\nBEGIN MAP\nTILES=tiles.bmp\nBLOCKHEIGHT=16\nBLOCKWIDTH=16\nBEGIN BLOCKSTRUCT\nBLCKSTRCTCNT=2\n"
    "0, 0, 0, 0, 0, 0, 0,\n1, 1, 0, 0, 0, 0, 0,\nEND BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=2\nMAPARRAYX=3\n"
    "0, 1, 0,\n1, 1, 0,\nEND MAPARRAY\nEND MAP\n";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzMapRun("map.txt", data, size, "array.txt", kArray);
    return 0;
}
