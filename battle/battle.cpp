// Battle state, start, end and running.
//
// Stand-ins until battles are built: a wild encounter is logged and the
// player walks on; the battle-state entry points keep the game loop's
// dispatch whole (a turn returns to the main menu, running ends the battle,
// the screen is cleared).
#include "battle/battle.h"

#include "shell/main.h"

battlerecord battleinfo;
int32_t currbattletype = 0;
ownedvorl wildvorlet;

void StartBattle(int battletype, int id, int level) {
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Entering a battletype %u, id %u and level %u", (unsigned)battletype,
           (unsigned)id, (unsigned)level);
}

void EndBattle() { currentgamestate = GAMESTATE_OVERWORLD; }

void RunFromBattle(unsigned char) { EndBattle(); }

void DrawBattle() {
    if (battlebackbuffer) clear_bitmap(battlebackbuffer);
}

void BattleAttack() {
    battleinfo.playerchose = 0;
    battleinfo.menupage = 0;
}
