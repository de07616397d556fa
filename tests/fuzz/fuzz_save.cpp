// Fuzzes loading a saved game with arbitrary save files (compressed pack
// files, as the game writes them). Seeds: tests/fuzz/seeds/save/. With no
// project files present, a file that passes every check stops at the
// project file, after the game has taken its values.
#include "base/platform/headless.h"
#include "fileload/fileload.h"
#include "savefile/savefile.h"
#include "shell/main.h"
#include "tests/fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzBegin();
    indarrsiz = 2;
    FuzzWriteFile("save.qbs", data, size);
    headless::ScriptFileDialog({headless::fileanswer{1, "save.qbs"}});
    LoadSaveFile();
    return 0;
}
