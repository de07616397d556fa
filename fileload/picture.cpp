// Pictures. A BMP file is checked field by field before any of it is
// decoded, then rewritten in one plain layout (a 40-byte header, a full
// colour table, the pixel rows right behind), so the decoder only ever sees
// a picture whose every row lies inside the bytes it is given.
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/log.h"
#include "fileload/fileload.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 4096
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

constexpr int MAXSIDE = STBI_MAX_DIMENSIONS;
// What the largest picture needs at 32 bits a pixel, with room for headers.
constexpr long long MAXFILEBYTES = 4LL * MAXSIDE * MAXSIDE + (1 << 20);
// The longest header (124 bytes) behind the 14-byte file header.
constexpr size_t HEADERBYTES = 14 + 124;

// What the check learns of a file.
struct bmpinfo {
    long long width = 0, height = 0;  // a negative height: the top row first
    unsigned bits = 0, compression = 0;
    bool core = false;      // the old 12-byte header with 3-byte colours
    size_t headerend = 0;   // the end of the headers and colour masks
    uint32_t offset = 0;    // where the pixel rows begin
    long long rowbytes = 0;
};

uint32_t Get16(const std::vector<uint8_t> &d, size_t at) { return d[at] | d[at + 1] << 8; }
uint32_t Get32(const std::vector<uint8_t> &d, size_t at) { return Get16(d, at) | Get16(d, at + 2) << 16; }
void Put32(std::vector<uint8_t> &d, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) d[at + i] = (uint8_t)(v >> (8 * i));
}

bool BitsSupported(const bmpinfo &bmp) {
    switch (bmp.bits) {
    case 1: case 4: case 8: case 24: return bmp.compression == 0;
    case 16: case 32: return !bmp.core;
    default: return false;
    }
}

// The reason the picture cannot be read safely, or the empty text. Reads
// no further than the headers: `head` holds the first bytes of a file of
// `size` bytes, at least HEADERBYTES of them when the file has as many.
std::string CheckBmp(const std::vector<uint8_t> &head, long long size, bmpinfo &bmp) {
    if (head.size() < 26 || head[0] != 'B' || head[1] != 'M') return "it is not a BMP picture";
    uint32_t hsz = Get32(head, 14);
    if (hsz != 12 && hsz != 40 && hsz != 52 && hsz != 56 && hsz != 108 && hsz != 124)
        return Format("a header of %u bytes is not one of a BMP picture's", hsz);
    bmp.core = hsz == 12;
    if (bmp.core) {
        bmp.width = Get16(head, 18);
        bmp.height = Get16(head, 20);
    } else {
        if (14 + hsz > head.size()) return "its header is cut short";
        bmp.width = (int32_t)Get32(head, 18);
        bmp.height = (int32_t)Get32(head, 22);
        bmp.compression = Get32(head, 30);
    }
    uint32_t planes = Get16(head, bmp.core ? 22 : 26);
    bmp.bits = Get16(head, bmp.core ? 24 : 28);
    long long rows = llabs(bmp.height);
    if (bmp.width <= 0 || rows == 0) return Format("%lld by %lld pixels is not a picture size", bmp.width, rows);
    if (bmp.width > MAXSIDE || rows > MAXSIDE)
        return Format("%lld by %lld pixels is more than %d by %d", bmp.width, rows, MAXSIDE, MAXSIDE);
    if (planes != 1) return Format("it has %u colour planes, not 1", planes);
    if (bmp.compression != 0 && bmp.compression != 3)
        return Format("compression %u%s is not supported", bmp.compression,
                   bmp.compression == 1 || bmp.compression == 2 ? " (run-length)" : "");
    if (!BitsSupported(bmp))
        return Format("%u bits a pixel%s are not supported", bmp.bits, bmp.compression ? " with colour masks" : "");

    // The three colour masks follow a 40-byte header and are part of the longer ones.
    bmp.headerend = 14 + hsz + (bmp.compression == 3 && hsz == 40 ? 12 : 0);
    if ((long long)bmp.headerend > size) return "its header is cut short";
    for (size_t at = 54; bmp.compression == 3 && at < 66; at += 4) {
        int ones = __builtin_popcount(Get32(head, at));
        if (ones == 0 || ones > 8) return "its colour masks are not 1 to 8 bits each";
    }
    if (bmp.compression == 3 && Get32(head, 54) == Get32(head, 58) && Get32(head, 58) == Get32(head, 62))
        return "its red, green and blue masks are the same";

    bmp.offset = Get32(head, 10);
    if (bmp.offset > size) return Format("its pixels would begin at byte %u, past its end at %lld", bmp.offset, size);
    if (bmp.offset < bmp.headerend) return Format("its pixels would begin at byte %u, inside its header", bmp.offset);
    if (bmp.bits <= 8 && bmp.offset - bmp.headerend < (bmp.core ? 3u : 4u)) return "it has no colour table";
    bmp.rowbytes = (bmp.width * bmp.bits + 31) / 32 * 4;
    if (bmp.rowbytes * rows > size - bmp.offset)
        return Format("its %lld rows of %lld bytes from byte %u run past its end at %lld", rows, bmp.rowbytes,
                   bmp.offset, size);
    return "";
}

// The colours of the file's table (at most as many as the pixels can
// index), four bytes each: blue, green, red, 0.
std::vector<uint8_t> ColourTable(const std::vector<uint8_t> &file, const bmpinfo &bmp) {
    std::vector<uint8_t> table;
    if (bmp.bits > 8) return table;
    size_t step = bmp.core ? 3 : 4;
    size_t count = (bmp.offset - bmp.headerend) / step;
    if (count > (1u << bmp.bits)) count = 1u << bmp.bits;
    for (size_t i = 0; i < count; i++) {
        const uint8_t *entry = &file[bmp.headerend + i * step];
        table.insert(table.end(), {entry[0], entry[1], entry[2], 0});
    }
    return table;
}

// The same picture in the one layout the decoder is given: a 40-byte
// header, the colour masks, a colour table of every colour the pixels can
// index (black past the file's own), then the rows.
std::vector<uint8_t> PlainBmp(const std::vector<uint8_t> &file, const bmpinfo &bmp,
                              const std::vector<uint8_t> &table) {
    size_t masks = bmp.compression == 3 ? 12 : 0;
    size_t head = 54 + masks + (bmp.bits <= 8 ? 4u << bmp.bits : 0);
    size_t pixels = (size_t)(bmp.rowbytes * llabs(bmp.height));
    std::vector<uint8_t> out(head + pixels, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, (uint32_t)out.size());
    Put32(out, 10, (uint32_t)head);
    Put32(out, 14, 40);
    Put32(out, 18, (uint32_t)bmp.width);
    Put32(out, 22, (uint32_t)bmp.height);
    out[26] = 1;
    out[28] = (uint8_t)bmp.bits;
    out[30] = (uint8_t)bmp.compression;
    if (masks) memcpy(&out[54], &file[54], masks);
    if (!table.empty()) memcpy(&out[54 + masks], table.data(), table.size());
    memcpy(&out[head], &file[bmp.offset], pixels);
    return out;
}

// The file's table for a picture of indexed colours, as the library keeps
// a palette (6 bits a colour); a 3-3-2 palette for the others.
void FillPalette(PALETTE pal, const std::vector<uint8_t> &table, unsigned bits) {
    if (!pal) return;
    if (bits > 8) {
        generate_332_palette(pal);
        return;
    }
    for (size_t i = 0; i < PAL_SIZE; i++) {
        const uint8_t *entry = 4 * i < table.size() ? &table[4 * i] : nullptr;
        pal[i].r = entry ? entry[2] >> 2 : 0;
        pal[i].g = entry ? entry[1] >> 2 : 0;
        pal[i].b = entry ? entry[0] >> 2 : 0;
        pal[i].filler = 0;
    }
}

// Reads the whole file once its headers have passed the check.
std::string ReadBmp(const std::string &host, std::vector<uint8_t> &file, bmpinfo &bmp) {
    // A FIFO or a device must not be opened: it could block for ever.
    struct stat info;
    if (stat(host.c_str(), &info) != 0)
        return errno == ENOENT ? "it does not exist" : Format("it cannot be examined (%s)", strerror(errno));
    if (!S_ISREG(info.st_mode)) return "it is not a regular file";
    long long size = info.st_size;
    if (size > MAXFILEBYTES)
        return Format("its %lld bytes are more than the %lld a picture may have", size, MAXFILEBYTES);
    FILE *in = fopen(host.c_str(), "rb");
    if (!in) return Format("it cannot be opened (%s)", strerror(errno));
    file.resize(size < (long long)HEADERBYTES ? (size_t)size : HEADERBYTES);
    size_t got = fread(file.data(), 1, file.size(), in);
    std::string why = got == file.size() ? CheckBmp(file, size, bmp) : "it could not be read in full";
    if (why.empty()) {
        file.resize((size_t)size);
        got += fread(file.data() + got, 1, file.size() - got, in);
        if (got != file.size()) why = "it could not be read in full";
    }
    fclose(in);
    return why;
}

BITMAP *ReadPicture(const std::string &host, PALETTE pal, std::string &why) {
    std::vector<uint8_t> file;
    bmpinfo bmp;
    why = ReadBmp(host, file, bmp);
    if (!why.empty()) return nullptr;
    std::vector<uint8_t> table = ColourTable(file, bmp);
    std::vector<uint8_t> plain = PlainBmp(file, bmp, table);
    file = std::vector<uint8_t>();

    int w = 0, h = 0, channels = 0;
    stbi_uc *rgb = stbi_load_from_memory(plain.data(), (int)plain.size(), &w, &h, &channels, 3);
    if (!rgb) {
        why = Format("the decoder refused it (%s)", stbi_failure_reason());
        return nullptr;
    }
    plain = std::vector<uint8_t>();
    BITMAP *out = create_bitmap(w, h);
    if (out) {
        const stbi_uc *p = rgb;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++, p += 3) putpixel(out, x, y, makecol(p[0], p[1], p[2]));
        FillPalette(pal, table, bmp.bits);
    } else {
        why = Format("there is no memory for %d by %d pixels", w, h);
    }
    stbi_image_free(rgb);
    return out;
}

}  // namespace

BITMAP *LoadPicture(const std::string &path, PALETTE pal) {
    std::string why;
    const char *refused = WhyNotToRead(path);
    BITMAP *bmp = nullptr;
    if (refused)
        why = std::string("it ") + refused;
    else
        bmp = ReadPicture(HostPath(path), pal, why);
    if (!bmp) logfmt(LOG_MINOR, LOGCAT_PROJECT, "Picture %s cannot be read: %s", path.c_str(), why.c_str());
    return bmp;
}
