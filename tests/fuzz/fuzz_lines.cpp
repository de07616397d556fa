// Fuzzes the line and key/value reader: the first byte picks the line
// limits, the rest is the file.
#include "fileload/fileload.h"
#include "tests/fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    FuzzBegin();
    int limit = 1 + data[0] * 4;  // 1 to 1021: beyond the shared buffer too
    FuzzWriteFile("data.txt", data + 1, size - 1);
    PACKFILE *file = pack_fopen("data.txt", "r");
    if (!file) return 0;
    static const char *const keys[] = {"NAME", "INDEX", "", "A=B"};
    // Every read consumes at least one byte or ends the file.
    for (size_t i = 0; i <= size + 1; i++) {
        if (i % 2)
            ReadLine(file, limit);
        else
            ReadValPairLine(keys[i % 4], file, limit);
        if (pack_feof(file)) break;
    }
    pack_fclose(file);
    return 0;
}
