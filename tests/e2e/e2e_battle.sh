#!/usr/bin/env bash
# A battle in a real window, on a hidden copy of Quill Bay where every step
# into the grass meets a level-3 Bulwarden: fight one to the end with key 1
# and a move key (its experience brings a level and the stat table), the
# first message confirmed with Enter. (Running, and the experience bar by
# its pixels: test_gameloop and test_battle.)
. "$(dirname "$0")/lib.sh"
start_display

# The copy, third in the chooser.
add_trial_bay() {
    cp -r "$WORK/testproject" "$WORK/trialbay"
    sed -i -E 's/^WILDDENSITY=.*/WILDDENSITY=1/; /^BEGIN (DAY|NIGHT|MORN)$/{n;s/[0-9]+, [0-9]+,/10, 3,/g}' \
        "$WORK/trialbay/baymap.txt"
    sed -i 's/^INDEXCOUNT=2$/INDEXCOUNT=3/' "$WORK/gameindex.txt"
    printf '\nINDEX=3\nNAME=Trial Bay\nDESCRIPTION=Tests\nCREATOR=Tests\nPROJECTDIR=trialbay\nPROJECTDATA=project.txt\nURL=none\nEND INDEX\n' \
        >> "$WORK/gameindex.txt"
}

# has_black NAME WxH+X+Y: some black text pixel lies in that band.
has_black() {
    [ "$(convert "$E2E_OUT/$1.png" -crop "$2" +repage -colorspace Gray -threshold 40% -format '%[fx:mean]' info:)" != 1 ]
}

# screen NAME: overworld, table (the stat table or a prompt: a second text
# line), menu (lines from y = 300) or message.
screen() {
    if ! near "$(pixel "$1" 180 150)" "255,255,255"; then echo overworld
    elif has_black "$1" 200x8+5+285; then echo table
    elif has_black "$1" 200x8+5+300; then echo menu
    else echo message; fi
}

# fight NAME MOVEKEY: confirms each message and picks the move from the
# menus until the battle is over, with a screenshot NAME-N of each screen.
fight() {
    for n in $(seq 1 80); do
        shot "$1-$n"
        case $(screen "$1-$n") in
            overworld) return 0 ;;
            menu) tap 1; shot "$1-$n-moves"; tap "$2" ;;
            table) cp "$E2E_OUT/$1-$n.png" "$E2E_OUT/$1-table.png"; tap space ;;
            *) tap space ;;
        esac
    done
    fail "the battle $1 did not end"
}

battles() { grep -c "^Program: Entering a battletype 1, id 10 and level 3$" "$WORK/qblog.txt"; }
no_errors() { ! grep -q 'error:' "$WORK/qblog.txt"; }

prepare_game_dir
add_trial_bay
start_game --seed 7 --no-debug-boxes
press Down Down Down Return
sleep 0.5
# West along the path from the start into the grass.
for step in $(seq 1 12); do
    tap Left
    shot opening-1
    [ "$(screen opening-1)" = overworld ] || break
done
echo "the battle opened on step $step"
check "a battle opens in the grass" [ "$(battles)" = 1 ]
check "its first screen shows the wild creature's message" [ "$(screen opening-1)" = message ]
tap Return
shot opening-2
check "Enter confirmed it: the player's creature is sent out" differs opening-1 opening-2 352x80+0+270
tap space
shot battle-menu
check "the main menu follows" [ "$(screen battle-menu)" = menu ]
fight win 3
check "the level-up's stat table appeared and was confirmed" [ -f "$E2E_OUT/win-table.png" ]
check "the battle's damage is logged" grep -q '^Program debug: Damage is [0-9]*$' "$WORK/qblog.txt"
check "with its values" \
    grep -q '^Program debug: atkval [0-9]* and defval [0-9]* with damage [0-9]* and damage2 [0-9]*$' "$WORK/qblog.txt"
shot after-win
check "back on the map" [ "$(screen after-win)" = overworld ]

check "only the one battle" [ "$(grep -c '^Program: Entering a battletype' "$WORK/qblog.txt")" = 1 ]
check "no error line" no_errors
leave_game
check "Escape and Y end with status 255" [ "$(wait_exit 10)" = "255" ]
echo "e2e battle: all checks passed"
