#!/usr/bin/env bash
# The window system goes away in the middle of a walk: the game ends at once
# with a line in its log, neither hanging nor crashing. (Every frame of a
# step: test_movement; the new game's log lines: test_newgame; a view that
# scrolls in a real window: e2e_save.)
. "$(dirname "$0")/lib.sh"
start_display

prepare_game_dir
start_game --no-debug-boxes
press Down Down Return
wait_log "Program: Game set up. Exiting GetProject and starting game" || fail "no game was set up"
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
