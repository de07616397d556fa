#include "savefile/savefile.h"

#include "shell/log.h"

// Stand-in until saved games exist: no game is ever loaded, so the chooser
// stays open.
int LoadSaveFile() {
    log(LOG_INFO, LOGCAT_USER, "Loading older games is not available yet.");
    return 1;
}
