#!/usr/bin/env bash
# Walking in a real window: choose a sample project with keys, hold arrow
# keys, see the view scroll or the sprite move, leave with Escape.
. "$(dirname "$0")/lib.sh"
start_display

# choose ROW: select the chooser's row (0 first) with keys, confirming the
# two notices each selection change shows, then press OK.
choose() {
    local row=$1
    press Down Return Return
    for _ in $(seq 1 "$row"); do press Down Return Return; done
    press Return
    wait_log "Program: Game set up. Exiting GetProject and starting game" || fail "no game was set up"
    wait_shot_settles
}

no_errors() { ! grep -q 'error:' "$WORK/qblog.txt"; }

new_game_lines() {
    grep -E '^Program: (Project number|Reading file|Project File read|Map Array file Read|Window created|Map file .* read$|Map set up|Setting up player|Game set up)' \
        "$WORK/qblog.txt"
}

# Quill Bay: 16-pixel blocks on a 60 by 60 map; walking right scrolls the view.
prepare_game_dir
start_game
choose 1
shot bay-start
hold Right 0.6
shot bay-walked
check "the view scrolled" differs bay-start bay-walked 352x100+0+0
hold Down 0.3
tap Escape
check "Escape ends with status 255" [ "$(wait_exit 10)" = "255" ]
expected="Program: Project number 0 picked
Program: Reading file testproject\\project.txt
Program: Project File read. Attempting to read first map
Program: Map Array file Read. Preparing windowing
Program: Window created
Program: Map file testproject\\baymap.txt read
Program: Map set up. Preparing to place player
Program: Setting up player
Program: Game set up. Exiting GetProject and starting game"
check "new-game lines in order" [ "$(new_game_lines)" = "$expected" ]
check "no error line" no_errors
rm -rf "$WORK"

# Cinder Ridge: a map narrower than the view with 32 by 24 blocks; walking
# right moves the sprite over a still map.
prepare_game_dir
start_game
choose 0
shot ridge-start
tap Right
shot ridge-walked
check "the sprite moved along its row" differs ridge-start ridge-walked 352x32+0+48
same() { ! differs "$@"; }
check "the map above it stayed still" same ridge-start ridge-walked 352x44+0+0
check "the map below it stayed still" same ridge-start ridge-walked 352x250+0+90
tap Escape
check "Escape ends with status 255" [ "$(wait_exit 10)" = "255" ]
check "no error line" no_errors

# The window system goes away in the middle of a walk: the game ends at once
# with a line in its log, neither hanging nor crashing. (Last: the display
# is gone afterwards.)
prepare_game_dir
start_game
choose 1
xdotool keydown Left
sleep 0.3
kill "$XVFB_PID"
XVFB_PID=""
# Waited for here, not inside the check's subshell, which cannot collect the
# status of a game that ends after it started.
wait_until "$E2E_TIMEOUT" game_gone
check "the game ends with status 1" [ "$(wait_exit 10)" = "1" ]
check "the lost window system is logged" log_has "Minor Program error: Lost the connection to the window system. Exiting"
echo "e2e walk: all checks passed"
