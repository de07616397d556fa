// Fuzzes the picture loader with arbitrary file contents. Seeds: game/**.bmp.
#include <cstdlib>

#include "fileload/fileload.h"
#include "tests/fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzBegin();
    FuzzWriteFile("picture.bmp", data, size);
    PALETTE pal;
    BITMAP *bmp = LoadPicture("picture.bmp", pal);
    if (!bmp) return 0;
    // Whatever loads is within the sizes the loader allows, in the screen's depth.
    if (bmp->w < 1 || bmp->h < 1 || bmp->w > 4096 || bmp->h > 4096 || bitmap_color_depth(bmp) != 16) abort();
    destroy_bitmap(bmp);
    return 0;
}
