// The game loop: one pass reads the player's actions, acts by game state
// and shows a frame; a pass that changed nothing sleeps until the player
// does something.
#include "base/filedialog.h"
#include "base/input.h"
#include "base/log.h"
#include "base/platform.h"
#include "battle/battle.h"
#include "overworld/overworld.h"
#include "savefile/savefile.h"
#include "shell/main.h"

int unsavedprogress = 0;

bool ConfirmQuit() {
    return !unsavedprogress || AskYesNo("Quillbay", "Quit without saving?") == IDYES;
}

// The first held direction, in the order up, down, left, right; 0 for none.
static int HeldDirection() {
    if (ActionDown(ACTION_UP)) return DIR_UP;
    if (ActionDown(ACTION_DOWN)) return DIR_DOWN;
    if (ActionDown(ACTION_LEFT)) return DIR_LEFT;
    if (ActionDown(ACTION_RIGHT)) return DIR_RIGHT;
    return 0;
}

// True when the pass changed anything.
static bool OverworldPass() {
    // F5 saves, once the key is up again; then the pass goes on as before.
    const bool saving = ActionDown(ACTION_SAVE);
    if (saving) {
        while (ActionDown(ACTION_SAVE) && !CloseRequested()) WaitTick();
        if (SaveSaveFile() == SAVE_DONE) {
            unsavedprogress = 0;
            ShowPassingNotice("Game saved as " + LastSavePath());
        }
    }
    // Tab shows the creatures until the player closes their screen.
    const bool looking = ActionDown(ACTION_CREATURES);
    if (looking) CreatureScreen();
    if (CloseRequested()) return true;
    int dir = HeldDirection();
    bool stepped = false;
    if (dir) {
        playerspriteanim = FRAME_STAND + dir - 1;
        stepped = move_player(dir) == 0;
        if (stepped) unsavedprogress = 1;
    }
    PlaceCamera(playertilex, playertiley);
    PlaceSprite();
    if (currentgamestate != GAMESTATE_OVERWORLD) return true;  // the step started a battle
    DrawMap(plx, ply);
    return ShowBuffer(backbuffer) || stepped || saving || looking;
}

static bool SlotUsable(const ownedvorl &vorlet, int slot) {
    return vorlet.moves[slot].move > 0 && vorlet.moves[slot].pp != 0;
}

// A move the creature knows but has no PP left for.
static bool SlotSpent(const ownedvorl &vorlet, int slot) {
    return vorlet.moves[slot].move > 0 && vorlet.moves[slot].pp == 0;
}

static void ChooseSlot(int slot) {
    battleinfo.playerchose = 1;
    battleinfo.playerslot = (uint8_t)slot;
    BattleAttack();
}

static bool InBattle() { return currentgamestate == GAMESTATE_BATTLE; }

// Once running or a turn has ended the battle, keys still held in this pass
// start nothing more of it. True when the pass changed anything.
static bool BattlePass() {
    const ownedvorl &active = PlayerVorlet();
    const int page = battleinfo.menupage;
    bool acted = false;
    if (battleinfo.menupage == 0) {
        if (MenuKeyDown(1)) {
            while (MenuKeyDown(1) && !CloseRequested()) WaitTick();
            battleinfo.menupage = 1;
            bool anyusable = false;
            for (int slot = 0; slot < MOVESLOTS; slot++) anyusable = anyusable || SlotUsable(active, slot);
            if (!anyusable) ChooseSlot(4), acted = true;
        }
        if (MenuKeyDown(4) && InBattle()) RunFromBattle(1), acted = true;
    }
    if (battleinfo.menupage == 1) {
        // A spent move says so and leaves the move menu open.
        for (int slot = 0; slot < MOVESLOTS; slot++) {
            if (!MenuKeyDown(slot + 1) || !InBattle()) continue;
            if (SlotUsable(active, slot)) ChooseSlot(slot), acted = true;
            else if (SlotSpent(active, slot)) BattleMessage("There's no PP left for this move!"), acted = true;
        }
        if (MenuKeyDown(5)) battleinfo.menupage = 0;
    }
    if (!InBattle()) return true;
    DrawBattle();
    return ShowBuffer(battlebackbuffer) || acted || page != battleinfo.menupage;
}

void GameLoop() {
    if (!gamerunning) return;
    bool changed;
    if (currentgamestate == GAMESTATE_OVERWORLD) {
        changed = OverworldPass();
    } else if (currentgamestate == GAMESTATE_BATTLE) {
        changed = BattlePass();
    } else {
        log(LOG_MAJOR, LOGCAT_PROGRAM, "Program is in an invalid game state");
        // Escape is not read here, but the window can still be closed.
        if (CloseRequested()) quitgamenow = 1;
        return;
    }
    // Escape leaves the game, after a question when there is progress to
    // lose; the window's close button asks the same (through the platform).
    if (KeyDown(KEY_ESC)) {
        if (ConfirmQuit()) quitgamenow = 1;
        changed = true;
    }
    if (CloseRequested()) quitgamenow = 1;
    if (!changed && !quitgamenow) WaitTick();
}
