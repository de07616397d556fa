// Loading pictures: hostile files refused with their reason, good ones
// loaded pixel for pixel as the library's own reader loads them.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/harness/testsupport.h"

namespace {

std::string Le(uint32_t v, int bytes = 4) {
    std::string out;
    for (int i = 0; i < bytes; i++) out += (char)(v >> (8 * i));
    return out;
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
    ASSERT_TRUE(a && b && a->w == b->w && a->h == b->h) << ours;
    int differ = 0;
    for (int y = 0; y < a->h; y++)
        for (int x = 0; x < a->w; x++) differ += getpixel(a, x, y) != getpixel(b, x, y);
    for (int i = 0; i < PAL_SIZE; i++) differ += want[i].r != got[i].r || want[i].g != got[i].g || want[i].b != got[i].b;
    EXPECT_EQ(differ, 0) << ours;
    destroy_bitmap(a);
    destroy_bitmap(b);
}

enum Make { kWrite, kNone, kFifo, kHuge };
struct Refusal {
    std::string bytes, reason;  // no reason: the picture loads
    Make make = kWrite;
};

}  // namespace

using PictureTest = QbTest;

TEST_F(PictureTest, HostileFilesAreRefusedWithTheirReason) {
    const std::string table16(64, '\x40'), table256(1024, '\x40'), row4096(4096 * 3, '\x20');
    // Run-length data whose first run is far longer than the row.
    const std::string rle = std::string("\0\xff", 2) + std::string(11, '\x11');
    const Refusal cases[] = {
        {Bmp(4, 1, 4, 2, table16, rle), "compression 2 (run-length) is not supported"},
        {Bmp(65536, 65536, 8, 0, table256, ""), "65536 by 65536 pixels is more than 4096 by 4096"},
        {Bmp(4097, 1, 24, 0, "", ""), "4097 by 1 pixels is more than 4096 by 4096"},
        {Bmp(4096, 1, 24, 0, "", row4096), ""},
        {Bmp(1, -4096, 24, 0, "", std::string(4 * 4096, '\0')), ""},
        {Bmp(0, 2000000, 24, 0, "", ""), "0 by 2000000 pixels is not a picture size"},
        {Bmp(1, 1, 24, 0, "", "abcd", 4000000000u), "its pixels would begin at byte 4000000000, past its end at 58"},
        {Bmp(1, 1, 24, 0, "", "abcd", 53), "its pixels would begin at byte 53, inside its header"},
        {Bmp(2, 2, 24, 0, "", std::string(15, '\0')), "its 2 rows of 8 bytes from byte 54 run past its end at 69"},
        {Bmp(1, 1, 8, 0, "", "abcd"), "it has no colour table"},
        {Bmp(1, 1, 24, 0, "", "abcd").replace(14, 4, Le(64)), "a header of 64 bytes is not one of a BMP picture's"},
        {"GIF89a", "it is not a BMP picture"},
        {"", "it does not exist", kNone},
        {"", "it is not a regular file", kFifo},
        {"BM", "its 68157441 bytes are more than the 68157440 a picture may have", kHuge},
    };
    std::filesystem::create_directory("pics");
    for (const Refusal &c : cases) {
        std::filesystem::remove("pics/p.bmp");
        if (c.make == kWrite || c.make == kHuge) WriteFile("pics/p.bmp", c.bytes);
        if (c.make == kHuge) std::filesystem::resize_file("pics/p.bmp", 68157441);
        if (c.make == kFifo) mkfifo("pics/p.bmp", 0600);
        SetUpLog();
        BITMAP *bmp = LoadPicture("pics\\p.bmp", nullptr);
        EXPECT_EQ(bmp != nullptr, c.reason.empty()) << c.reason;
        if (bmp) destroy_bitmap(bmp);
        std::vector<std::string> expected;
        if (!c.reason.empty()) expected.push_back("Minor Project error: Picture pics\\p.bmp cannot be read: " + c.reason);
        EXPECT_EQ(LogLinesAfterBanner(), expected);
    }
}

// Every picture of the sample game, the creatures' included.
TEST_F(PictureTest, SamplePicturesLoadAsTheLibraryLoadsThem) {
    int pictures = 0;
    CopySampleGame();
    for (const auto &entry : std::filesystem::recursive_directory_iterator(".")) {
        if (entry.path().extension() != ".bmp") continue;
        pictures++;
        std::string path = entry.path().lexically_relative(".").string();
        ExpectAsTheLibrary(path, path);
    }
    EXPECT_GT(pictures, 0);
}

// The library refuses a picture stored top row first; ours loads it as
// the library loads the same picture stored bottom row first.
TEST_F(PictureTest, ATopDownPictureLoadsTheRightWayUp) {
    const std::string table = Le(0xFF00FF) + Le(0x204080);  // magenta and a blue
    const std::string top("\0\1\0\0", 4), bottom("\1\1\0\0", 4);
    WriteFile("up.bmp", Bmp(2, 2, 8, 0, table, bottom + top));
    WriteFile("down.bmp", Bmp(2, -2, 8, 0, table, top + bottom));
    ExpectAsTheLibrary("down.bmp", "up.bmp");
}
