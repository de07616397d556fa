// Loading pictures: hostile files refused with their reason, good ones
// loaded pixel for pixel as the library's own reader loads them.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/harness/testsupport.h"

// A little-endian number of `bytes` bytes.
static std::string Le(uint32_t v, int bytes = 4) { return bytes ? (char)v + Le(v >> 8, bytes - 1) : ""; }

// A BMP file with a 40-byte header; the pixel rows follow the colour table
// unless `offset` says otherwise.
static std::string Bmp(int32_t w, int32_t h, int bits, int compression, const std::string &table,
                const std::string &rows, uint32_t offset = 0) {
    if (!offset) offset = 54 + table.size();
    return "BM" + Le(offset + rows.size()) + Le(0) + Le(offset) + Le(40) + Le(w) + Le(h) + Le(1, 2) + Le(bits, 2) +
           Le(compression) + Le(rows.size()) + Le(2835) + Le(2835) + Le(0) + Le(0) + table + rows;
}

TEST_F(QbTest, HostilePicturesAreRefusedWithTheirReason) {
    const std::string table16(64, '\x40'), table256(1024, '\x40');
    // The first two crash the library's own reader: run-length data whose
    // first run is far longer than the row, and pixels beyond any memory.
    // "none", "fifo", "folder", "loop" and "huge" stand for no file, a FIFO, a
    // folder, a link to itself and a file past the size limit.
    const std::pair<std::string, const char *> cases[] = {
        {Bmp(4, 1, 4, 2, table16, std::string("\0\xff", 2) + std::string(11, '\x11')),
         "compression 2 (run-length) is not supported"},
        {Bmp(65536, 65536, 8, 0, table256, ""), "65536 by 65536 pixels is more than 4096 by 4096"},
        {Bmp(4097, 1, 24, 0, "", ""), "4097 by 1 pixels is more than 4096 by 4096"},
        {Bmp(1, 4097, 24, 0, "", ""), "1 by 4097 pixels is more than 4096 by 4096"},
        {Bmp(4096, 1, 24, 0, "", std::string(4096 * 3, ' ')), ""}, {Bmp(1, -4096, 24, 0, "", std::string(4 * 4096, '\0')), ""},
        {Bmp(0, 2000000, 24, 0, "", ""), "0 by 2000000 pixels is not a picture size"},
        {Bmp(1, 1, 24, 0, "", "abcd", 4000000000u), "its pixels would begin at byte 4000000000, past its end at 58"},
        {Bmp(1, 1, 24, 0, "", "abcd", 53), "its pixels would begin at byte 53, inside its header"},
        {Bmp(2, 2, 24, 0, "", std::string(15, '\0')), "its 2 rows of 8 bytes from byte 54 run past its end at 69"},
        {Bmp(1, 1, 8, 0, "", "abcd"), "it has no colour table"}, {Bmp(1, 1, 16, 3, Le(0xF800) + Le(0x07E0) + Le(0x001F), "abcd"), ""},
        {Bmp(1, 1, 16, 3, Le(0x001F) + Le(0x001F) + Le(0x001F), "abcd"), "its red, green and blue masks are the same"},
        {Bmp(1, 1, 16, 3, Le(0x1FF) + Le(0x07E0) + Le(0x001F), "abcd"), "its colour masks are not 1 to 8 bits each"},
        {Bmp(1, 1, 24, 0, "", "abcd").replace(14, 4, Le(64)), "a header of 64 bytes is not one of a BMP picture's"},
        {"GIF89a", "it is not a BMP picture"}, {"none", "it does not exist"}, {"fifo", "it is a FIFO"}, {"folder", "it is a folder"},
        {"loop", "it is a link loop"}, {"huge", "its 68157441 bytes are more than the 68157440 a picture may have"}};
    std::filesystem::create_directory("pics");
    for (const auto &[bytes, reason] : cases) {
        std::filesystem::remove("pics/p.bmp");
        if (bytes == "fifo") mkfifo("pics/p.bmp", 0600);
        else if (bytes == "folder") std::filesystem::create_directory("pics/p.bmp");
        else if (bytes == "loop") std::filesystem::create_symlink("p.bmp", "pics/p.bmp");
        else if (bytes != "none") WriteFile("pics/p.bmp", bytes);
        if (bytes == "huge") std::filesystem::resize_file("pics/p.bmp", 68157441);
        SetUpLog();
        BITMAP *bmp = LoadPicture("pics\\p.bmp", nullptr);
        EXPECT_EQ(bmp != nullptr, !*reason) << reason;
        if (bmp) destroy_bitmap(bmp);
        const std::string line = std::string("Minor Project error: Picture pics\\p.bmp cannot be read: ") + reason;
        EXPECT_EQ(LogLinesAfterBanner(), *reason ? std::vector<std::string>{line} : std::vector<std::string>{});
    }
}

// Every picture of the sample game, the creatures' included, and one stored
// top row first, which the library refuses: ours loads it as the library
// loads the same picture stored bottom row first.
TEST_F(QbTest, GoodPicturesLoadAsTheLibraryLoadsThem) {
    CopySampleGame();
    std::vector<std::pair<std::string, std::string>> pairs = {{"down.bmp", "up.bmp"}};
    for (const auto &entry : std::filesystem::recursive_directory_iterator("."))
        if (entry.path().extension() == ".bmp") pairs.push_back({entry.path().lexically_relative(".").string(), ""});
    EXPECT_GT(pairs.size(), 1u);
    const std::string table = Le(0xFF00FF) + Le(0x204080);  // magenta and a blue
    const std::string top("\0\1\0\0", 4), bottom("\1\1\0\0", 4);
    WriteFile("up.bmp", Bmp(2, 2, 8, 0, table, bottom + top));
    WriteFile("down.bmp", Bmp(2, -2, 8, 0, table, top + bottom));
    for (auto &[ours, theirs] : pairs) {
        PALETTE want = {}, got = {};  // the library leaves the colours past a short table as they were
        BITMAP *a = load_bitmap((theirs.empty() ? ours : theirs).c_str(), want), *b = LoadPicture(ours, got);
        ASSERT_TRUE(a && b && a->w == b->w && a->h == b->h) << ours;
        int differ = 0;
        for (int i = 0; i < a->w * a->h; i++) differ += getpixel(a, i % a->w, i / a->w) != getpixel(b, i % a->w, i / a->w);
        for (int i = 0; i < PAL_SIZE; i++) differ += want[i].r != got[i].r || want[i].g != got[i].g || want[i].b != got[i].b;
        EXPECT_EQ(differ, 0) << ours;
        destroy_bitmap(a), destroy_bitmap(b);
    }
}
