// Screenshots as PNG files, written by stb_image_write.
#include "base/screenshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "base/log.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

// The folder, made if missing; a link or anything but a folder is refused.
bool ScreenshotFolder(std::string &why) {
    struct stat info;
    if (lstat(SCREENSHOTDIR, &info) != 0) {
        if (errno == ENOENT && mkdir(SCREENSHOTDIR, 0755) == 0) return true;
        why = Format("cannot make the folder %s: %s", SCREENSHOTDIR, strerror(errno));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        why = Format("%s is not a folder (a link is not followed)", SCREENSHOTDIR);
        return false;
    }
    return true;
}

void Append(void *context, void *data, int size) {
    auto *bytes = (std::vector<unsigned char> *)context;
    bytes->insert(bytes->end(), (unsigned char *)data, (unsigned char *)data + size);
}

}  // namespace

std::string SaveScreenshot(BITMAP *view, int w, int h, time_t when, std::string &why) {
    if (!view) {
        why = "there is no picture";
        return "";
    }
    w = std::min(w, view->w), h = std::min(h, view->h);
    std::vector<unsigned char> rgb((size_t)w * h * 3), png;
    const int depth = bitmap_color_depth(view);
    unsigned char *p = rgb.data();
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const int c = getpixel(view, x, y);
            *p++ = (unsigned char)getr_depth(depth, c), *p++ = (unsigned char)getg_depth(depth, c);
            *p++ = (unsigned char)getb_depth(depth, c);
        }
    if (!stbi_write_png_to_func(Append, &png, w, h, 3, rgb.data(), w * 3)) {
        why = "the picture could not be encoded";
        return "";
    }
    if (!ScreenshotFolder(why)) return "";

    struct tm local;
    localtime_r(&when, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y-%m-%d-%H-%M-%S", &local);
    for (int n = 1; n < 100; n++) {
        const std::string path = Format("%s/quillbay-%s%s.png", SCREENSHOTDIR, stamp, n > 1 ? Format("-%d", n).c_str() : "");
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            why = Format("cannot write %s: %s", path.c_str(), strerror(errno));
            return "";
        }
        bool written = write(fd, png.data(), png.size()) == (ssize_t)png.size();
        written = close(fd) == 0 && written;
        if (written) return path;
        why = Format("cannot write %s: %s", path.c_str(), strerror(errno));
        unlink(path.c_str());
        return "";
    }
    why = Format("every name for %s is taken", stamp);
    return "";
}
