// Loading pictures: hostile files refused with their reason, good ones
// loaded pixel for pixel as the library's own reader loads them.
#include <sys/stat.h>

#include <filesystem>

#include "tests/harness/testsupport.h"

namespace {

std::string Le(uint32_t v, int bytes = 4) {  // little-endian bytes
    return std::string({(char)v, (char)(v >> 8), (char)(v >> 16), (char)(v >> 24)}).substr(0, bytes);
}

// A BMP file with a 40-byte header; the pixel rows follow the colour table
// unless `offset` says otherwise.
std::string Bmp(int32_t w, int32_t h, int bits, int compression, const std::string &table,
                const std::string &rows, uint32_t offset = 0) {
    if (!offset) offset = 54 + table.size();
    return "BM" + Le(offset + rows.size()) + Le(0) + Le(offset) + Le(40) + Le(w) + Le(h) + Le(1, 2) + Le(bits, 2) +
           Le(compression) + Le(rows.size()) + Le(2835) + Le(2835) + Le(0) + Le(0) + table + rows;
}

// Our loader reads `ours` as the library reads `theirs`: the same size,
// pixels and palette.
void ExpectAsTheLibrary(const std::string &ours, const std::string &theirs) {
    PALETTE want = {}, got = {};  // the library leaves the colours past a short table as they were
    BITMAP *a = load_bitmap(theirs.c_str(), want), *b = LoadPicture(ours, got);
    int differ = !a || !b || a->w != b->w || a->h != b->h;
    for (int i = 0; !differ && i < a->w * a->h; i++) differ += getpixel(a, i % a->w, i / a->w) != getpixel(b, i % a->w, i / a->w);
    for (int i = 0; i < PAL_SIZE; i++) differ += want[i].r != got[i].r || want[i].g != got[i].g || want[i].b != got[i].b;
    EXPECT_EQ(differ, 0) << ours;
    for (BITMAP *bmp : {a, b}) if (bmp) destroy_bitmap(bmp);
}

}  // namespace

using PictureTest = QbTest;

// Each file is written as given, but for "MISSING", "FIFO" and "HUGE" (a
// file one byte over the size limit); no reason: the picture loads.
TEST_F(PictureTest, HostileFilesAreRefusedWithTheirReason) {
    const std::string rle = std::string("\0\xff", 2) + std::string(11, '\x11');  // a first run far longer than the row
    const std::pair<std::string, std::string> cases[] = {
        {Bmp(4, 1, 4, 2, std::string(64, '@'), rle), "compression 2 (run-length) is not supported"},
        {Bmp(4097, 1, 24, 0, "", ""), "4097 by 1 pixels is more than 4096 by 4096"},
        {Bmp(4096, 1, 24, 0, "", std::string(4096 * 3, ' ')), ""}, {Bmp(1, -4096, 24, 0, "", std::string(4 * 4096, '\0')), ""},
        {Bmp(1, 1, 24, 0, "", "abcd", 4000000000u), "its pixels would begin at byte 4000000000, past its end at 58"},
        {Bmp(2, 2, 24, 0, "", std::string(15, '\0')), "its 2 rows of 8 bytes from byte 54 run past its end at 69"},
        {Bmp(1, 1, 8, 0, "", "abcd"), "it has no colour table"},
        {Bmp(1, 1, 24, 0, "", "abcd").replace(14, 4, Le(64)), "a header of 64 bytes is not one of a BMP picture's"},
        {"GIF89a", "it is not a BMP picture"}, {"MISSING", "it does not exist"}, {"FIFO", "it is not a regular file"},
        {"HUGE", "its 68157441 bytes are more than the 68157440 a picture may have"}};
    for (const auto &[bytes, reason] : cases) {
        std::filesystem::remove("p.bmp");
        if (bytes == "FIFO") mkfifo("p.bmp", 0600);
        if (bytes != "FIFO" && bytes != "MISSING") WriteFile("p.bmp", bytes == "HUGE" ? "BM" : bytes);
        if (bytes == "HUGE") std::filesystem::resize_file("p.bmp", 68157441);
        SetUpLog();
        BITMAP *bmp = LoadPicture("p.bmp", nullptr);
        EXPECT_EQ(bmp != nullptr, reason.empty()) << reason;
        if (bmp) destroy_bitmap(bmp);
        EXPECT_EQ(LogLinesAfterBanner(), reason.empty() ? std::vector<std::string>{} : std::vector<std::string>{"Minor Project error: Picture p.bmp cannot be read: " + reason});
    }
}

// Every picture of the sample game, the creatures' included, loads as the
// library loads it. The library refuses a picture stored top row first; ours
// loads it as the library loads the same picture stored bottom row first.
TEST_F(PictureTest, PicturesLoadAsTheLibraryLoadsThemTopDownOnesTheRightWayUp) {
    int pictures = 0;
    CopySampleGame();
    for (const auto &entry : std::filesystem::recursive_directory_iterator("."))
        if (entry.path().extension() == ".bmp" && ++pictures) ExpectAsTheLibrary(entry.path().lexically_relative(".").string(), entry.path().string());
    EXPECT_GT(pictures, 0);
    const std::string table = Le(0xFF00FF) + Le(0x204080);  // magenta and a blue
    const std::string top("\0\1\0\0", 4), bottom("\1\1\0\0", 4);
    WriteFile("up.bmp", Bmp(2, 2, 8, 0, table, bottom + top));
    WriteFile("down.bmp", Bmp(2, -2, 8, 0, table, top + bottom));
    ExpectAsTheLibrary("down.bmp", "up.bmp");
}
