#include "tests/fuzz/fuzzsupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/log.h"
#include "base/platform.h"
#include "base/platform/headless.h"

static char workdir[] = "/tmp/qbfuzz.XXXXXX";

// A run that ends normally leaves nothing behind; one that crashes keeps
// the directory, and the input libFuzzer saved in it.
static void RemoveWorkDir() {
    std::error_code ec;
    std::filesystem::remove_all(workdir, ec);
}

void FuzzBegin() {
    static const bool started =
        PlatformStart() == 0 && mkdtemp(workdir) && chdir(workdir) == 0 && atexit(RemoveWorkDir) == 0;
    if (!started) abort();
    headless::Reset();
    SetUpLog();
}

void FuzzWriteFile(const char *name, const uint8_t *data, size_t size) {
    FILE *file = fopen(name, "wb");
    if (!file) abort();
    if (size) fwrite(data, 1, size, file);
    fclose(file);
}
