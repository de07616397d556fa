#!/usr/bin/env bash
# idle.sh [GAME [SECONDS]]: the game's share of one core (tools/cpu.sh) while
# it waits in the chooser, on the map standing still, on the creature
# screen and at a battle message, at scale 1 and 3, and while walking at
# scale 3; each over SECONDS (10 by default) in a private Xvfb of 1920 by
# 1200, on a copy of game/ whose grass always meets a wild creature. GAME is
# build/quillbay by default. Needs Xvfb and xdotool (tools/deps.sh test).
set -eu
cd "$(dirname "$0")/.."
game=$(realpath "${1:-build/quillbay}")
seconds=${2:-10}
work=$(mktemp -d)
cp -r game/. "$work/"
rm -f "$work"/qblog*.txt
sed -i 's/^WILDDENSITY=.*/WILDDENSITY=1/' "$work/testproject/baymap.txt"
Xvfb :57 -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=:57
sleep 1
measure() { printf '%-28s scale %s: ' "$1" "$2"; bash tools/cpu.sh "$pid" "$seconds"; }

for scale in 1 3; do
    (cd "$work" && exec "$game" --no-debug-boxes --scale "$scale" 2>/dev/null) &
    pid=$!
    sleep 2
    xdotool search --sync --name '^Quillbay$' windowfocus >/dev/null 2>&1 || true
    measure "the chooser" "$scale"
    xdotool key Down Down Return
    sleep 2
    grep -q "Game set up" "$work/qblog.txt" || { echo "no game was set up" >&2; exit 1; }
    measure "the map, standing still" "$scale"
    xdotool key Tab
    sleep 1
    measure "the creature screen" "$scale"
    xdotool key Tab
    sleep 1
    if [ "$scale" = 3 ]; then
        # East and back west on the path, half a second each way.
        for _ in $(seq 1 "$seconds"); do
            for key in Right Left; do xdotool keydown $key; sleep 0.5; xdotool keyup $key; done
        done &
        walker=$!
        measure "walking" "$scale"
        wait "$walker"
        sleep 1
    fi
    # West from the start into the grass, where a wild creature waits.
    for step in $(seq 1 20); do
        grep -q "Entering a battletype" "$work/qblog.txt" && break
        xdotool keydown Left
        sleep 0.3
        xdotool keyup Left
        sleep 0.2
    done
    sleep 1
    grep -q "Entering a battletype" "$work/qblog.txt" || { echo "no battle started" >&2; exit 1; }
    measure "a battle message" "$scale"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    rm -f "$work"/qblog*.txt
done
