// How long the game's larger steps take on the sample worlds: loading each
// map, start-up to the chooser, one battle turn, and a save and a load.
// Headless, no pacing; the log goes to /dev/null.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "base/log.h"
#include "base/platform.h"
#include "base/platform/headless.h"
#include "battle/battle.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"
#include "savefile/savefile.h"
#include "shell/main.h"

// Reading a sample map: the map file, its map-array file and the tile strip.
static void BM_LoadMap(benchmark::State &state, int project, const char *map) {
    indexno = project;
    CurrMapFilename = JoinPath(GameIndex[project].projectdir, map);
    for (auto _ : state)
        if (LoadMapFile() != 0) state.SkipWithError("the map did not load");
}
BENCHMARK_CAPTURE(BM_LoadMap, quill_bay, 0, "baymap.txt");
BENCHMARK_CAPTURE(BM_LoadMap, cinder_ridge, 1, "ridgemap.txt");

// From start-up to the chooser on the screen: the log, the index and the
// chooser's list, which is then cancelled.
static void BM_StartUpToChooser(benchmark::State &state) {
    for (auto _ : state) {
        SetUpLog();
        if (ReadGameIndex() != 0) state.SkipWithError("the index did not read");
        headless::ScriptDialog({{headless::dlgaction::Press, IDCANCEL}});
        DialogBoxParamA(LoadProjDialog, LoadProjDialogProcs, 0);
    }
}
BENCHMARK(BM_StartUpToChooser);

// Confirms every battle message at once: Space down, then up.
static void ConfirmAtOnce() {
    static bool down = false;
    down = !down;
    headless::SetKey(KEY_SPACE, down);
}

// One battle turn, both moves with all their messages, without waiting.
static void BM_BattleTurn(benchmark::State &state) {
    headless::onwait = ConfirmAtOnce;
    StartBattle(BATTLETYPE_WILD, 4, 5);
    ownedvorl &own = MainPlayer.owned[MainPlayer.party[battleinfo.activeslot]];
    for (auto _ : state) {
        // Both creatures start each turn with more HP than a turn can take,
        // so the battle never ends.
        for (ownedvorl *v : {&own, &wildvorlet}) {
            v->hp = v->maxhp = 30000;
            v->status = STATUS_NONE;
            for (moveslot &slot : v->moves) slot.pp = slot.maxpp;
        }
        battleinfo.playerchose = 1;
        battleinfo.playerslot = 0;
        BattleAttack();
        if (currentgamestate != GAMESTATE_BATTLE) state.SkipWithError("the battle ended");
    }
    EndBattle();
    headless::onwait = nullptr;
}
BENCHMARK(BM_BattleTurn);

// A save through the file dialog, and loading it back from the chooser, on
// Quill Bay set up afresh: the map loads above leave Cinder Ridge's map
// under Quill Bay's player, a place a save may not hold.
static void BM_SaveAndLoad(benchmark::State &state) {
    indexno = 0;
    SetUpNewGame();
    for (auto _ : state) {
        headless::ScriptFileDialog({{1, "bench.qbs"}, {1, "bench.qbs"}});
        if (SaveSaveFile() != SAVE_DONE) state.SkipWithError("the save failed");
        if (LoadSaveFile() != LOAD_DONE) state.SkipWithError("the load failed");
    }
    remove("bench.qbs");
}
BENCHMARK(BM_SaveAndLoad);

int main(int argc, char **argv) {
    const char *gamedir = getenv("QB_GAME_DIR") ? getenv("QB_GAME_DIR") : QB_GAME_DIR_DEFAULT;
    if (chdir(gamedir) != 0 || PlatformStart() != 0) return 1;
    logfile = "/dev/null";
    showdebugboxes = 0;
    if (ReadGameIndex() != 0) return 1;
    indexno = 0;
    SetUpNewGame();
    if (!gamerunning) {
        fprintf(stderr, "could not set up the sample world in %s\n", gamedir);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
