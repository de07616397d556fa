#include "tests/fuzz/fuzzsupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "shell/log.h"
#include "shell/platform.h"
#include "tests/harness/headless.h"

void FuzzBegin() {
    static bool started = false;
    if (!started) {
        started = true;
        if (PlatformStart() != 0) abort();
        char templ[] = "/tmp/qbfuzz.XXXXXX";
        if (!mkdtemp(templ) || chdir(templ) != 0) abort();
    }
    headless::Reset();
    SetUpLog();
}

void FuzzWriteFile(const char *name, const uint8_t *data, size_t size) {
    FILE *file = fopen(name, "wb");
    if (!file) abort();
    if (size) fwrite(data, 1, size, file);
    fclose(file);
}
