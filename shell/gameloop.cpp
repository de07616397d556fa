// The game loop.
#include "shell/main.h"

int currentgamestate = GAMESTATE_OVERWORLD;

// Stand-in until the overworld and battle states are served: with no game it
// does nothing; with a game it only watches for Escape and the close button.
void GameLoop() {
    if (!gamerunning) return;
    if (key[KEY_ESC] || CloseRequested()) quitgamenow = 1;
}
