#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit
# tests, once as they are and once under the address and undefined-behaviour
# sanitizers; end-to-end tests in a real window under Xvfb; the checks of the
# sample assets and the game's tables; and short fuzz runs. Each kind of
# build has a directory of its own: build/ (the game, the unit and
# end-to-end tests, the benchmarks), build-asan/ and build-fuzz/.
set -eu
cd "$(dirname "$0")/.."
bash tools/deps.sh test
jobs=$(nproc)

# The fuzz targets: the readers of outside data built with clang and the
# address and undefined-behaviour sanitizers.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQB_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$jobs"

# The unit tests under the sanitizers, leaks included: any report ends its
# test with a failure.
cmake -S . -B build-asan -DQB_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan &&
    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        ctest --output-on-failure -j"$jobs" -L unit)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_TESTS=ON -DQB_BENCH=ON -DQB_FUZZ_DIR="$PWD/build-fuzz" >/dev/null
cmake --build build -j"$jobs"
cd build
ctest --output-on-failure -j"$jobs"
