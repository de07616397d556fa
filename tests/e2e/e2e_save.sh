#!/usr/bin/env bash
# Saving and loading in a real window: walk, look at the creatures (Tab opens
# and closes their screen), save with F5 under a typed name and quit; a save
# cut short is refused with a box and the chooser stays open; the whole save
# loads from the chooser with the same view. Then the window system goes
# away in the middle of a walk: the game ends at once, with a line in its
# log, neither hanging nor crashing.
. "$(dirname "$0")/lib.sh"
load_older() { click 265 31; press "$@" Return; }  # the chooser's Load Older Game button, then a typed name

# Quill Bay; a walk over plain ground (no encounters).
prepare_game_dir
start_game
play Down Down Return
shot start
tap Right Right Right Right Down
shot walked
check "walking scrolled the view" differs start walked 352x100+0+0
tap Tab
shot creatures
check "Tab opens the creature screen" blue creatures 100 5
check "with its creature's full HP bar" colour creatures 200 82 0,255,0
tap Tab
shot closed
check "Tab closes it, and the map is back" same walked closed 352x352+0+0
tap F5
shot save-dialog
check "F5 opens the save dialog" blue save-dialog 100 31
press m y g a m e Return Return
check "the game is saved" logged "Program: Game Saved"
tap Escape
ends_with 255

head -c 100 "$WORK/mygame.qbs" > "$WORK/cut.qbs"
start_game
load_older c u t
shot refusal
press Return
shot after-refusal
check "a box told why the cut save was refused" differs refusal after-refusal 200x60+76+146
check "then the chooser is back" blue after-refusal 200 6
press Escape
ends_with 255
check "and no game was loaded" logged "Program: No project was chosen, or an error occurred. Exiting"

start_game
load_older m y g a m e
check "the save is loaded" logged "Program: File loaded"
wait_shot_settles
shot loaded
check "the view is the one saved" same walked loaded 352x352+0+0
xdotool keydown Left
sleep 0.3
kill "$XVFB_PID"
XVFB_PID=""
ends_with 1
check "the lost window system is logged" logged "Minor Program error: Lost the connection to the window system. Exiting"
