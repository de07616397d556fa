// Fuzzes the map-array reader and drawing what it loaded; the input is the
// map-array file, the map file naming it is fixed. Seeds: game/*/*array.txt.
#include "tests/fuzz/mapfuzz.h"

static const char *const kMap =
    "1\nBEGIN MAP\nMAPNAME=Fuzz\nMAPARRAY=array.txt\nEVENTFILE=e.txt\nBEGIN WILDMONS\nWILDDENSITY=3\n"
    "BEGIN DAY\n1,2\nEND DAY\nBEGIN NIGHT\n1,2\nEND NIGHT\nBEGIN MORN\n1,2\nEND MORN\n"
    "BEGIN OLDROD\n1,2\nEND OLDROD\nBEGIN GOODROD\n1,2\nEND GOODROD\nBEGIN SUPERROD\n1,2\nEND SUPERROD\n"
    "BEGIN SURF\n1,2\nEND SURF\nBEGIN ROCKSMASH\n1,2\nEND ROCKSMASH\nBEGIN HEADBUTT1\n1,2\nEND HEADBUTT1\n"
    "BEGIN HEADBUTT2\n1,2\nEND HEADBUTT2\nEND WILDMONS\nEND MAP\n";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzMapRun("array.txt", data, size, "map.txt", kMap);
    return 0;
}
