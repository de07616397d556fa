#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it on the bundled
# sample projects in game/.
set -eu
cd "$(dirname "$0")/.."
bash tools/deps.sh game
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_TESTS=OFF -DQB_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target quillbay
if [ -z "${DISPLAY:-}" ]; then
    echo "Quillbay opens a window: run this from a desktop session (DISPLAY is not set)." >&2
    exit 1
fi
cd game
exec ../build/quillbay
