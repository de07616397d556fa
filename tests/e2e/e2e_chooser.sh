#!/usr/bin/env bash
# The chooser in a real window: its size, keys with the mouse about, a bad
# index, and no display at all. (Clicks in the list, enlarged and in full
# screen: e2e_window; Escape and Load Older Game: e2e_save.)
. "$(dirname "$0")/lib.sh"

# The chooser opens on its first row, Cinder Ridge, with its texts shown:
# Enter at once starts it.
prepare_game_dir
start_game
check "the largest scale that fits 480 pixels: a 352 by 352 window" [ "$(geometry)" = 352x352 ]
shot opened
check "the first row is selected from the start" blue opened 150 43
play Return
check "Enter in a fresh chooser started the first row's project" grep -q "^Program: Map file cinderridge.*read" "$WORK/qblog.txt"
tap Escape
ends_with 255

# The mouse never takes the keyboard from the list: with it over the
# buttons, Down still moves the selection; Tab moves the focus on to the
# buttons and Enter presses the focused one, Cancel. The game is started
# elsewhere and given its directory, whose name has a blank.
prepare_game_dir
mv "$WORK" "$WORK x" && WORK="$WORK x"
RUN_FROM=/ start_game --game "$WORK"
xdotool mousemove --window "$WIN" 260 280
press Down
shot keys-after-mouse
check "Down moved the selection with the mouse over the buttons" blue keys-after-mouse 150 55
press Tab Tab Tab Return
ends_with 255
check "--game DIR plays there" grep -qxF "Program: Game directory $WORK" "$WORK/qblog.txt"

# A bad index shows its box; once confirmed, the program ends by itself.
prepare_game_dir
sed -i '1s/.*/2/' "$WORK/gameindex.txt"
start_game
shot bad-index
check "a bad index shows its box" blue bad-index 100 135
press Return
ends_with 1

# No window can be opened: a clear message, a log line, status 1.
prepare_game_dir
(cd "$WORK" && env -u DISPLAY "$QB_BIN" >"$WORK/stderr.txt" 2>&1)
check "no display ends with status 1" [ $? -eq 1 ]
check "no display is explained" grep -q "unable to open a 352 by 352 window" "$WORK/stderr.txt"
check "and logged" grep -q "^Breaking Program error: Unable to open the game window" "$WORK/qblog.txt"
