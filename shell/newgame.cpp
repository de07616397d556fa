// New-game set-up: the chosen project's file, its start map, the drawing
// surfaces, the camera, the player's place and a new player record.
#include "battle/battle.h"
#include "creatures/creatures.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"
#include "shell/log.h"
#include "shell/main.h"

void SetUpNewGame() {
    const indexentry &project = GameIndex[indexno];
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Project number %u picked", (unsigned)indexno);
    if (ReadProjectFile(JoinPath(project.projectdir, project.projectdata)) != 0) return;
    log(LOG_INFO, LOGCAT_PROGRAM, "Project File read. Attempting to read first map");

    CurrMapFilename = JoinPath(project.projectdir, CurrProj.startmap);
    // A map that loads always has a positive block size for the camera.
    if (LoadMapFile() != 0) return;
    log(LOG_INFO, LOGCAT_PROGRAM, "Map Array file Read. Preparing windowing");

    CreateMapBuffer();
    CreateBattleBuffers(true);
    log(LOG_INFO, LOGCAT_PROGRAM, "Window created");
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Map file %s read", CurrMapFilename.c_str());

    gamerunning = 1;
    currentgamestate = GAMESTATE_OVERWORLD;
    log(LOG_INFO, LOGCAT_PROGRAM, "Map set up. Preparing to place player");
    PlacePlayerAtStart();

    // A stopped set-up leaves no game running.
    if (LoadSpriteSheet() != 0) {
        gamerunning = 0;
        return;
    }
    log(LOG_INFO, LOGCAT_PROGRAM, "Setting up player");
    if (NewGamePlayer(CurrProj.startvrlt) != 0) {
        gamerunning = 0;
        return;
    }
    log(LOG_INFO, LOGCAT_PROGRAM, "Game set up. Exiting GetProject and starting game");
}
