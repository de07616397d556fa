// The world a game is played in, set up the same way for a new game and a
// loaded one: the project file, the map, the drawing surfaces, the player
// with the camera on it, and the sprite sheet. A new game then builds its
// player; a loaded one has restored it from the save's record.
#include "base/log.h"
#include "battle/battle.h"
#include "creatures/creatures.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"
#include "savefile/savefile.h"
#include "shell/main.h"

namespace {

// The player record and the project number of a loaded game; its place is
// taken once its map has been read.
void RestorePlayer(const savedgame &game) {
    MainPlayer.name = game.name;
    MainPlayer.trainerid = game.trainerid;
    MainPlayer.money = game.money;
    for (int i = 0; i < PARTYMAX; i++) {
        MainPlayer.owned[i] = game.owned[i];
        MainPlayer.party[i] = game.party[i];
    }
    MainPlayer.partycount = game.partycount;
    indexno = game.indexno;
}

// The world for project GameIndex[indexno]: a new game (`loaded` null) on
// the project's start map and block, or a loaded game on the map and block
// of its record. LOAD_DONE, or the result that says what failed, after its
// logged line. A new game is marked running as soon as its map stands.
int SetUpWorld(const savedgame *loaded) {
    const bool newgame = loaded == nullptr;
    const indexentry &project = GameIndex[indexno];
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Project number %u picked", (unsigned)indexno);
    if (ReadProjectFile(JoinPath(project.projectdir, project.projectdata)) != 0) return LOAD_BADPROJECT;
    if (newgame) log(LOG_INFO, LOGCAT_PROGRAM, "Project File read. Attempting to read first map");

    // A map that loads always has a positive block size for the camera.
    CurrMapFilename = newgame ? JoinPath(project.projectdir, CurrProj.startmap) : loaded->mapfile;
    if (LoadMapFile() != 0) {
        if (!newgame)
            logfmt(LOG_MINOR, LOGCAT_PROJECT, "The saved map %s cannot be loaded; the game was not loaded",
                   CurrMapFilename.c_str());
        return LOAD_BADMAP;
    }
    if (newgame) log(LOG_INFO, LOGCAT_PROGRAM, "Map Array file Read. Preparing windowing");

    // A loaded game gets its battle pictures when its next battle starts.
    CreateMapBuffer();
    CreateBattleBuffers(newgame);
    if (newgame) {
        log(LOG_INFO, LOGCAT_PROGRAM, "Window created");
        logfmt(LOG_INFO, LOGCAT_PROGRAM, "Map file %s read", CurrMapFilename.c_str());
        gamerunning = 1;
        currentgamestate = GAMESTATE_OVERWORLD;
        log(LOG_INFO, LOGCAT_PROGRAM, "Map set up. Preparing to place player");
        PlacePlayerAtStart();
    } else {
        PlacePlayer(loaded->tilex, loaded->tiley, loaded->facing, loaded->frame);
    }
    if (LoadSpriteSheet() != 0) return LOAD_NOSPRITES;
    return LOAD_DONE;
}

}  // namespace

void SetUpNewGame() {
    // A stopped set-up leaves no game running.
    if (SetUpWorld(nullptr) != LOAD_DONE) {
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

// Once the file has been read whole and found sound, the player record and
// project number are replaced; a later failure leaves them and the project
// and map read so far, and the chooser stays open for another choice, which
// sets all of them anew.
int LoadSaveFile() {
    savedgame game;
    int result = ChooseSaveFile(game);
    if (result != LOAD_DONE) return result;
    RestorePlayer(game);
    return SetUpWorld(&game);
}
