// Fuzzes the project index reader with arbitrary gameindex.txt contents.
#include "fileload/fileload.h"
#include "tests/fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzBegin();
    FuzzWriteFile(indexfile, data, size);
    ReadGameIndex();
    return 0;
}
