// The game loop: one pass reads the keys, acts by game state and shows a frame.
#include "base/log.h"
#include "base/platform.h"
#include "battle/battle.h"
#include "overworld/overworld.h"
#include "savefile/savefile.h"
#include "shell/main.h"

// The first held arrow, in the order up, down, left, right; 0 for none.
static int HeldDirection() {
    if (KeyDown(KEY_UP)) return DIR_UP;
    if (KeyDown(KEY_DOWN)) return DIR_DOWN;
    if (KeyDown(KEY_LEFT)) return DIR_LEFT;
    if (KeyDown(KEY_RIGHT)) return DIR_RIGHT;
    return 0;
}

static void OverworldPass() {
    // F5 saves, once the key is up again; then the pass goes on as before.
    if (KeyDown(KEY_F5)) {
        while (KeyDown(KEY_F5) && !CloseRequested()) WaitTick();
        SaveSaveFile();
    }
    int dir = HeldDirection();
    if (dir) {
        playerspriteanim = FRAME_STAND + dir - 1;
        move_player(dir);
    }
    PlaceCamera(playertilex, playertiley);
    PlaceSprite();
    if (currentgamestate != GAMESTATE_OVERWORLD) return;  // the step started a battle
    DrawMap(plx, ply);
    ShowBuffer(backbuffer);
}

static bool SlotUsable(const ownedvorl &vorlet, int slot) {
    return vorlet.moves[slot].move > 0 && vorlet.moves[slot].pp != 0;
}

static void ChooseSlot(int slot) {
    battleinfo.playerchose = 1;
    battleinfo.playerslot = (uint8_t)slot;
    BattleAttack();
}

static bool InBattle() { return currentgamestate == GAMESTATE_BATTLE; }

// Once running or a turn has ended the battle, keys still held in this pass
// start nothing more of it.
static void BattlePass() {
    const ownedvorl &active = PlayerVorlet();
    if (battleinfo.menupage == 0) {
        if (KeyDown(KEY_1)) {
            while (KeyDown(KEY_1) && !CloseRequested()) WaitTick();
            battleinfo.menupage = 1;
            bool anyusable = false;
            for (int slot = 0; slot < MOVESLOTS; slot++) anyusable = anyusable || SlotUsable(active, slot);
            if (!anyusable) ChooseSlot(4);
        }
        if (KeyDown(KEY_4) && InBattle()) RunFromBattle(1);
    }
    if (battleinfo.menupage == 1) {
        static const int movekeys[MOVESLOTS] = {KEY_1, KEY_2, KEY_3, KEY_4};
        for (int slot = 0; slot < MOVESLOTS; slot++)
            if (KeyDown(movekeys[slot]) && SlotUsable(active, slot) && InBattle()) ChooseSlot(slot);
        if (KeyDown(KEY_5)) battleinfo.menupage = 0;
    }
    if (!InBattle()) return;
    DrawBattle();
    ShowBuffer(battlebackbuffer);
}

void GameLoop() {
    if (!gamerunning) return;
    if (currentgamestate == GAMESTATE_OVERWORLD) {
        OverworldPass();
    } else if (currentgamestate == GAMESTATE_BATTLE) {
        BattlePass();
    } else {
        log(LOG_MAJOR, LOGCAT_PROGRAM, "Program is in an invalid game state");
        // Escape is not read here, but the window can still be closed.
        if (CloseRequested()) quitgamenow = 1;
        return;
    }
    // The window's close button ends the game like Escape.
    if (KeyDown(KEY_ESC) || CloseRequested()) quitgamenow = 1;
}
