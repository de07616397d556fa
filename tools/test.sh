#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit
# tests, end-to-end tests in a real window under Xvfb, and short fuzz runs.
set -eu
cd "$(dirname "$0")/.."
bash tools/deps.sh test
jobs=$(nproc)

# The fuzz targets: the readers of outside data built with clang and the
# address and undefined-behaviour sanitizers.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQB_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$jobs"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_TESTS=ON -DQB_BENCH=ON -DQB_FUZZ_DIR="$PWD/build-fuzz" >/dev/null
cmake --build build -j"$jobs"
cd build
ctest --output-on-failure -j"$jobs"
