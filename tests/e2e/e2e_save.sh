#!/usr/bin/env bash
# Saving and loading in a real window: walk, save with F5 under a typed name,
# quit, load the save from the chooser and find the same view; a save cut
# short is refused with its message and the chooser stays open.
. "$(dirname "$0")/lib.sh"
start_display

chooser_open() { near "$(pixel "$1" 200 6)" "40,72,128"; }
load_older() {  # the chooser's Load Older Game button, then a typed name
    click 265 31
    press "$@" Return
}

# Quill Bay, chosen with keys; a walk over plain ground (no encounters) to
# block (32, 20).
prepare_game_dir
start_game
press Down Return Return Down Return Return Return
wait_log "Program: Game set up. Exiting GetProject and starting game" || fail "no game was set up"
wait_shot_settles
shot start
hold Right 0.8
hold Down 0.3
shot walked
check "walking scrolled the view" differs start walked 352x100+0+0
tap F5
shot save-dialog
check "F5 opens the save dialog" near "$(pixel save-dialog 100 31)" "40,72,128"
press m y g a m e Return
shot create-prompt
check "a new name asks to be created" differs save-dialog create-prompt 290x90+30+130
press Return
check "the game is saved" wait_log "Program: Game Saved"
check "under the name typed" log_has "Program: Saving Save file mygame.qbs"
wait_shot_settles
shot save-notice
check "a notice tells of the save" differs walked save-notice 352x40+0+0
gone() { shot after-save; same walked after-save 352x352+0+0; }
check "then goes, and the game goes on where it was" wait_until 10 gone
tap Escape
check "with nothing unsaved Escape ends at once, with status 255" [ "$(wait_exit 10)" = "255" ]

# Loading it again from the chooser.
start_game
load_older m y g a m e
check "the save is loaded" wait_log "Program: File loaded"
wait_shot_settles
shot loaded
check "the view is the one saved" same walked loaded 352x352+0+0
tap Escape
check "Escape ends with status 255" [ "$(wait_exit 10)" = "255" ]

# A save cut short: its message, then the chooser again.
head -c 100 "$WORK/mygame.qbs" > "$WORK/cut.qbs"
start_game
load_older c u t
shot refusal
press Return
refused() { grep -q "^Major Project error: Save file cut.qbs ends early, in " "$WORK/qblog.txt"; }
check "the cut save is refused" wait_until 10 refused
shot after-refusal
check "the chooser stays open" chooser_open after-refusal
check "and a box told why" differs refusal after-refusal 200x60+76+146
press Escape
check "cancel ends with status 255" [ "$(wait_exit 10)" = "255" ]
check "no game was loaded" log_has "Program: No project was chosen, or an error occurred. Exiting"
echo "e2e save: all checks passed"
