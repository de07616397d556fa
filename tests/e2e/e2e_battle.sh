#!/usr/bin/env bash
# A battle in a real window, on a copy of Quill Bay where every step into the
# grass meets a level-3 Bulwarden: fight one to the end with key 1 and a move
# key, the first message confirmed with Enter; its experience brings a level
# and the stat table. (Running, and the experience bar by its pixels:
# test_gameloop and test_battle.)
. "$(dirname "$0")/lib.sh"

# has_black NAME WxH+X+Y: some black text pixel lies in that band.
has_black() { [ "$(convert "$E2E_OUT/$1.png" -crop "$2" +repage -colorspace Gray -threshold 40% -format '%[fx:mean]' info:)" != 1 ]; }

# screen NAME: overworld, table (the stat table or a prompt: a second text
# line), menu (lines from y = 300) or message.
screen() {
    if ! colour "$1" 180 150 255,255,255; then echo overworld
    elif has_black "$1" 200x8+5+285; then echo table
    elif has_black "$1" 200x8+5+300; then echo menu
    else echo message; fi
}

prepare_game_dir
sed -i -E 's/^WILDDENSITY=.*/WILDDENSITY=1/; /^BEGIN (DAY|NIGHT|MORN)$/{n;s/[0-9]+, [0-9]+,/10, 3,/g}' \
    "$WORK/testproject/baymap.txt"
start_game --seed 7
play Down Down Return
# West along the path from the start into the grass.
for step in $(seq 1 12); do
    tap Left
    shot opening
    [ "$(screen opening)" = overworld ] || break
done
check "a battle opens in the grass with the wild creature's message" [ "$(screen opening)" = message ]
tap Return
shot sent-out
check "Enter confirmed it: the player's creature is sent out" differs opening sent-out 352x80+0+270
tap space
shot battle-menu
check "the main menu follows" [ "$(screen battle-menu)" = menu ]

# Each message confirmed, the move picked from the menus, until the map is back.
table=""
for n in $(seq 1 80); do
    shot fight-$n
    case $(screen fight-$n) in
        overworld) break ;;
        menu) tap 1 3 ;;
        table) table=$n; tap space ;;
        *) tap space ;;
    esac
done
check "the battle ends back on the map" [ "$(screen fight-$n)" = overworld ]
check "after the level-up's stat table, confirmed by a key" [ -n "$table" ]

# Mossglen, the guide's example, with every meeting a level-2 Bulwarden and its
# tall grass 3 levels stronger. A creature hurt in a battle (Rillfin's third
# move does no harm; running ends it) rests on the spring, the game is saved,
# and the loaded game meets the next creature with the HP and PP the first
# battle started with.
kill "$GAME_PID"; wait "$GAME_PID"; prepare_game_dir; cp -r "$QB_SRC/docs/example/." "$WORK/"
sed -i 's/^2, 2, 0, 0, 0, 0, 0,$/2, 2, 0, 0, 0, 0, 0, 3,/' "$WORK/mossglen/glenarray.txt"
sed -i -E 's/^WILDDENSITY=.*/WILDDENSITY=1/; /^BEGIN (DAY|NIGHT|MORN)$/{n;s/[0-9]+, [0-9]+,/10, 2,/g}' "$WORK/mossglen/glenmap.txt"
start_game --seed 7; play Down Down Return
tap Right Down Down Right
check "the grass adds its 3 levels" logged "Program: Entering a battletype 1, id 10 and level 5"
tap Return space; shot full; tap 1; shot moves-full; tap 5
for n in $(seq 1 40); do  # each message confirmed, Shell Up picked, until Rillfin's HP show a hurt
    shot turn-$n; [ "$(screen turn-$n)" != menu ] && { tap space; continue; }
    differs full turn-$n 116x61+230+200 && break; tap 1 3; done
check "the wild creature hurt Rillfin" differs full turn-$n 116x61+230+200
tap 1; shot moves-used; tap 5 4 space Left Up Up; shot rested
check "Shell Up's PP are spent" differs moves-full moves-used 352x40+0+300
check "a notice over the view says Rillfin rested" colour rested 176 10 28,36,56
tap F5; press r e s t e d Return Return
check "the rested game is saved" logged "Program: Game Saved"; tap Escape; ends_with 255
start_game; click 265 31; press r e s t e d Return  # the chooser's Load Older Game button, then the name
tap Down Down Right Return space; shot full-again; tap 1; shot moves-again
check "with full HP" same full full-again 116x61+230+200
check "and full PP" same moves-full moves-again 352x40+0+300
