// New-game set-up from the chosen project's file.
#include "shell/main.h"

// Stand-in until project files are read: reports that no game can be set up
// yet, leaving gamerunning at 0 so that start-up ends the program.
void SetUpNewGame() {
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Chose project %s; starting a new game is not available yet.",
           GameIndex[indexno].name.c_str());
}
