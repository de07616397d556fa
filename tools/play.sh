#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it on the bundled
# sample projects in game/. The game's debug lines go to its log only,
# without their notices, unless --debug-boxes is given; every other option
# goes to the game.
set -eu
if [ -z "${DISPLAY:-}" ]; then
    echo "Quillbay opens a window: run this from a desktop session (DISPLAY is not set)." >&2
    exit 1
fi
cd "$(dirname "$0")/.."
bash tools/deps.sh game
# A build directory of its own, so that the tests' build/ keeps its settings.
cmake -S . -B build-play -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_TESTS=OFF -DQB_BENCH=OFF >/dev/null
cmake --build build-play -j"$(nproc)" --target quillbay quillbay-check
cd game
quiet=--no-debug-boxes
for option in "$@"; do [ "$option" = --debug-boxes ] && quiet=""; done
exec ../build-play/quillbay $quiet "$@"
