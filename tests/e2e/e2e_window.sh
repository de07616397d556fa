#!/usr/bin/env bash
# The player's window: the view enlarged with crisp pixels and the mouse on
# it, full screen and back, a screenshot that matches what is seen, and the
# question before quitting with progress to lose.
SCREEN=1600x1200 . "$(dirname "$0")/lib.sh"
asked() { shot question; blue question 100 135; }  # "Quit without saving?" stands in the middle of the view

# --scale 2, and a click at twice the place of Quill Bay's row in the chooser.
prepare_game_dir
start_game --scale 2
check "--scale 2 makes a 704 by 704 window" [ "$(geometry)" = 704x704 ]
click 80 110
shot chooser
check "the click chose Quill Bay" blue chooser 150 55
import -window root -crop 704x704+0+0 +repage "$E2E_OUT/window.png"
convert "$E2E_OUT/chooser.png" -sample 704x704 "$E2E_OUT/enlarged.png"
check "each pixel of the view is a crisp 2 by 2 square" same window enlarged 704x704+0+0

# F11: the view three times over, centred on black; a click there works.
tap F11
check "F11 fills the screen" [ "$(geometry)" = 1600x1200 ]
import -window root -crop 272x72+0+0 +repage "$E2E_OUT/border.png"
check "around the view is black" [ "$(convert "$E2E_OUT/border.png" -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)" = 0 ]
shot full
check "the view is whole in full screen" same chooser full 352x352+0+0
click $((272 + 3 * 40)) $((72 + 3 * 43))
shot full-click
check "a click in full screen chose Cinder Ridge" blue full-click 150 43
tap F11
check "F11 again gives the window back" [ "$(geometry)" = 704x704 ]

# Quill Bay; a step, then F12: the file is the view, the notice on screen only.
click 80 110
play Return
tap Down
shot stepped
tap F12
shot notice
check "F12 logs its screenshot" wait_until 10 grep -q '^User: Screenshot saved as screenshots/quillbay-[0-9-]*\.png$' "$WORK/qblog.txt"
cp "$WORK/$(sed -n 's/^User: Screenshot saved as //p' "$WORK/qblog.txt")" "$E2E_OUT/screenshot.png"
check "the screenshot is the view, pixel for pixel" same stepped screenshot 352x352+0+0
check "a notice tells of it" differs stepped notice 352x50+0+0
check "and goes by itself" wait_until 10 eval 'shot later; same stepped later 352x352+0+0'

# Escape after the step asks; N plays on, Y ends the game.
tap Escape
check "Escape asks before progress is lost" wait_until 10 asked
press n
shot after-no
check "N goes back to the game" same stepped after-no 352x352+0+0
tap Escape
check "and asks again" wait_until 10 asked
press y
ends_with 255
