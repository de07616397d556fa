// How long the game's larger steps take on the sample worlds: loading each
// map, start-up to the chooser, one battle turn, and a save and a load.
// Headless, no pacing; the log goes to /dev/null. Each benchmark sets up the
// world it needs, and one that fails makes the program exit with 1.
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

// A new game of the project, as the chooser starts one; false after
// marking the benchmark failed.
static bool NewGame(benchmark::State &state, int project) {
    indexno = project;
    SetUpNewGame();
    if (!gamerunning) state.SkipWithError("the sample world did not set up");
    return gamerunning;
}

// Reading a sample map: the map file, its map-array file and the tile strip.
static void BM_LoadMap(benchmark::State &state, int project, const char *map) {
    if (!NewGame(state, project)) return;
    CurrMapFilename = JoinPath(GameIndex[project].projectdir, map);
    for (auto _ : state)
        if (LoadMapFile() != 0) {
            state.SkipWithError("the map did not load");
            break;
        }
}
BENCHMARK_CAPTURE(BM_LoadMap, quill_bay, 0, "baymap.txt");
BENCHMARK_CAPTURE(BM_LoadMap, cinder_ridge, 1, "ridgemap.txt");

// From start-up to the chooser on the screen: the log, the index and the
// chooser's list, which is then cancelled.
static void BM_StartUpToChooser(benchmark::State &state) {
    for (auto _ : state) {
        SetUpLog();
        if (ReadGameIndex() != 0) {
            state.SkipWithError("the index did not read");
            break;
        }
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
    if (!NewGame(state, 0)) return;
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
        if (currentgamestate != GAMESTATE_BATTLE) {
            state.SkipWithError("the battle ended");
            break;
        }
    }
    EndBattle();
    headless::onwait = nullptr;
}
BENCHMARK(BM_BattleTurn);

// A save through the file dialog, and loading it back from the chooser, on
// Quill Bay set up afresh: the map loads above leave Cinder Ridge's map
// under Quill Bay's player, a place a save may not hold.
static void BM_SaveAndLoad(benchmark::State &state) {
    if (!NewGame(state, 0)) return;
    for (auto _ : state) {
        headless::ScriptFileDialog({{1, "bench.qbs"}, {1, "bench.qbs"}});
        const char *failed = SaveSaveFile() != SAVE_DONE ? "the save failed" : LoadSaveFile() != LOAD_DONE ? "the load failed" : nullptr;
        if (failed) {
            state.SkipWithError(failed);
            break;
        }
    }
    remove("bench.qbs");
}
BENCHMARK(BM_SaveAndLoad);

// The console's report, remembering whether any benchmark failed.
class failurereporter : public benchmark::ConsoleReporter {
public:
    // Plain text, whatever the terminal: the figures are read and copied.
    failurereporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) failed = failed || run.error_occurred;
        ConsoleReporter::ReportRuns(runs);
    }
    bool failed = false;
};

int main(int argc, char **argv) {
    const char *gamedir = getenv("QB_GAME_DIR") ? getenv("QB_GAME_DIR") : QB_GAME_DIR_DEFAULT;
    logfile = "/dev/null";
    showdebugboxes = 0;
    if (chdir(gamedir) != 0 || PlatformStart() != 0 || ReadGameIndex() != 0) {
        fprintf(stderr, "could not start on the sample game in %s\n", gamedir);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    failurereporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (reporter.failed) fprintf(stderr, "a benchmark failed\n");
    return reporter.failed ? 1 : 0;
}
