// Fuzzes the project-file reader with arbitrary project files.
#include "overworld/overworld.h"
#include "tests/fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzBegin();
    FuzzWriteFile("project.txt", data, size);
    ReadProjectFile("project.txt");
    return 0;
}
