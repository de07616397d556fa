#!/usr/bin/env bash
# The chooser in a real window: keys, the mouse, cancel, and a bad index.
# (Clicks in the list, enlarged and in full screen: e2e_window.)
. "$(dirname "$0")/lib.sh"
start_display

# Opening, moving through the list with keys, and cancelling.
prepare_game_dir
start_game
check "the largest scale that fits 480 pixels: a 352 by 352 window" [ "$(geometry)" = "352x352" ]
check "window title" [ "$(xdotool getwindowname "$WIN")" = "Quillbay" ]
shot chooser-open
check "chooser title strip drawn" near "$(pixel chooser-open 200 6)" "40,72,128"
check "no item selected at first" near "$(pixel chooser-open 150 43)" "255,255,255"

press Return
check "OK with nothing selected asks for a project" wait_log "User: Please select a project."
press Down
shot debug-box
check "a debug box is shown" near "$(pixel debug-box 300 145)" "40,72,128"
press Return space
check "both debug lines logged" wait_log "Program debug: Entering IDLB_PROJSLIST"
shot first-selected
check "first item highlighted" near "$(pixel first-selected 150 43)" "40,72,128"
check "its texts are shown" differs first-selected chooser-open 100x60+236+60
press Escape
check "cancel ends with status 255" [ "$(wait_exit 10)" = "255" ]
check "banner first" grep -q "^Set up general Quillbay log file. Please send this file to " <(head -n 1 "$WORK/qblog.txt")
check "cancel is logged" log_has "Program: No project was chosen, or an error occurred. Exiting"
rm -rf "$WORK"

# Tab moves the focus to the buttons; Enter presses the focused one.
prepare_game_dir
start_game
press Tab Tab Tab
shot cancel-focused
press Return
check "Tab then Enter reaches a button and ends" [ "$(wait_exit 10)" = "255" ]
rm -rf "$WORK"

# The mouse never takes the keyboard from the list: after it has moved over
# the buttons, Down still moves the selection and Enter still presses OK.
prepare_game_dir
start_game
press Down Return Return
xdotool mousemove --window "$WIN" 260 280
press Down Return Return
shot keys-after-mouse
check "Down moved the selection with the mouse over the buttons" near "$(pixel keys-after-mouse 150 55)" "40,72,128"
press Return
check "Enter pressed OK" wait_log "Program: Project number 0 picked"
wait_log "Program: Game set up. Exiting GetProject and starting game"
wait_shot_settles
tap Escape
check "the game ends with status 255" [ "$(wait_exit 10)" = "255" ]
rm -rf "$WORK"

# A bad index shows its box; once confirmed, the program ends by itself.
prepare_game_dir
sed -i '1s/.*/2/' "$WORK/gameindex.txt"
start_game
shot bad-index
press Return
check "bad index ends the program with status 1" [ "$(wait_exit 10)" = "1" ]
check "bad index is logged" log_has "Major Project error: Unrecognized version number 2"
rm -rf "$WORK"

# No window can be opened: a clear message, a log line, status 1.
prepare_game_dir
(cd "$WORK" && env -u DISPLAY "$QB_BIN" >"$WORK/stderr.txt" 2>&1)
check "no display ends with status 1" [ $? -eq 1 ]
check "no display is explained" grep -q "unable to open a 352 by 352 window" "$WORK/stderr.txt"
check "and logged" grep -q "^Breaking Program error: Unable to open the game window" "$WORK/qblog.txt"
echo "e2e chooser: all checks passed"
