#!/usr/bin/env bash
# Builds the benchmarks and runs them on the sample worlds, five times each,
# printing the medians: an overworld frame against a plain full-frame blit,
# loading each sample map, start-up to the chooser, one battle turn without
# waits, and a save with its load. Timings are not checked; they are for
# reading and comparing. A benchmark that fails stops the script with an error.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_TESTS=ON -DQB_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)" --target bench_draw bench_game >/dev/null
for bench in bench_draw bench_game; do
    "build/$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_color=false \
        --benchmark_display_aggregates_only=true 2>&1 | grep -vE '_(mean|stddev|cv) '
done
