// How long one overworld frame takes to draw and show on the sample world,
// against a plain full-frame blit measured in the same run. Each benchmark
// sets up the world it needs, and one that fails makes the program exit
// with 1.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "base/log.h"
#include "base/platform.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"
#include "shell/main.h"

// A new game of Quill Bay, as the chooser starts one; false after marking
// the benchmark failed.
static bool NewGame(benchmark::State &state) {
    indexno = 0;
    SetUpNewGame();
    if (!gamerunning) state.SkipWithError("the sample world did not set up");
    return gamerunning;
}

// The frame of the game loop: the camera, the map and the sprite, shown.
static void BM_DrawMapAndShow(benchmark::State &state) {
    if (!NewGame(state)) return;
    for (auto _ : state) {
        PlaceCamera(playertilex, playertiley);
        PlaceSprite();
        DrawMap(plx, ply);
        ShowBuffer(backbuffer);
    }
}
BENCHMARK(BM_DrawMapAndShow);

// The baseline: one opaque copy of a whole frame to the screen.
static void BM_FullFrameBlit(benchmark::State &state) {
    if (!NewGame(state)) return;
    for (auto _ : state) blit(backbuffer, screen, 0, 0, 0, 0, 352, 352);
}
BENCHMARK(BM_FullFrameBlit);

// Keeps each benchmark's time per iteration for the ratio at the end, and
// whether any failed.
class ratioreporter : public benchmark::ConsoleReporter {
public:
    // Plain text, whatever the terminal: the figures are read and copied.
    ratioreporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
            failed = failed || run.error_occurred;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    bool failed = false;
};

int main(int argc, char **argv) {
    const char *gamedir = getenv("QB_GAME_DIR") ? getenv("QB_GAME_DIR") : QB_GAME_DIR_DEFAULT;
    logfile = "/dev/null";
    if (chdir(gamedir) != 0 || PlatformStart() != 0 || ReadGameIndex() != 0) {
        fprintf(stderr, "could not start on the sample game in %s\n", gamedir);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    ratioreporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // The medians when the benchmarks were repeated, otherwise the one run.
    auto time = [&](const std::string &name) {
        return reporter.times.count(name + "_median") ? reporter.times[name + "_median"] : reporter.times[name];
    };
    double frame = time("BM_DrawMapAndShow"), blit = time("BM_FullFrameBlit");
    if (blit > 0) printf("DrawMap + ShowBuffer takes %.2f times a full-frame blit\n", frame / blit);
    if (reporter.failed) fprintf(stderr, "a benchmark failed\n");
    return reporter.failed ? 1 : 0;
}
