#!/usr/bin/env bash
# Walking away from each edge of Quill Bay: while the player walks, the map
# may scroll only along the walk and the sprite may only move forward over
# the map. The map is Quill Bay's with every block made plain ground, so the
# player can walk straight to each edge.
. "$(dirname "$0")/lib.sh"
start_display
prepare_game_dir
mkdir "$WORK/openbay"
cp "$WORK"/testproject/{project.txt,baymap.txt,baytiles.bmp} "$WORK/openbay/"
awk '/^BEGIN BLOCKSTRUCT/ {b = 1} /^END BLOCKSTRUCT/ {b = 0}
     b && /^[0-9]+,/ {split($0, f, ","); print f[1] ", 0, 0, 0, 0, 0, 0,"; next} {print}' \
    "$WORK/testproject/bayarray.txt" > "$WORK/openbay/bayarray.txt"
printf '1\nINDEXCOUNT=1\nINDEX=1\nNAME=Open Bay\nDESCRIPTION=Quill Bay without walls\nCREATOR=tests\nPROJECTDIR=openbay\nPROJECTDATA=project.txt\nURL=none\nEND INDEX\n' \
    > "$WORK/gameindex.txt"

start_game --no-debug-boxes
press Down Return
wait_log "Program: Game set up. Exiting GetProject and starting game" || fail "no game was set up"
wait_shot_settles

# walk_away DIRECTION KEY: watch the window while the player walks away
# from the edge it stands at.
walk_away() {
    python3 "$(dirname "$0")/framecheck.py" "$WIN" 3.5 "$1" "$E2E_OUT" > "$E2E_OUT/framecheck.txt" &
    local watcher=$!
    sleep 0.2
    xdotool keydown "$2"
    wait "$watcher"
    local status=$?
    xdotool keyup "$2"
    wait_shot_settles
    cat "$E2E_OUT/framecheck.txt"
    return $status
}

hold Left 6.5
check "walking right away from the left edge never jumps back" walk_away right Right
hold Right 13
check "walking left away from the right edge never jumps back" walk_away left Left
hold Up 6
check "walking down away from the top edge never jumps back" walk_away down Down
hold Down 13
check "walking up away from the bottom edge never jumps back" walk_away up Up
tap Escape
check "Escape ends with status 255" [ "$(wait_exit 10)" = "255" ]
echo "e2e walk edges: all checks passed"
