#!/usr/bin/env bash
# Battles in a real window: on a hidden test meadow where every step into the
# grass meets a wild creature, fight one to the end with key 1 and a move key
# (its experience brings a level and the stat table), walk on, meet a second
# and run with key 4; then on Quill Bay, fight until a won battle has grown
# the experience bar.
. "$(dirname "$0")/lib.sh"
start_display

# Creature pictures for the species that have none yet in the game directory.
provisional_pictures() {
    local n dir name size
    for n in $(seq 1 15); do
        for spec in "brel ${n}g 56" "brels ${n}gs 56" "brelb ${n}gb 48" "brelsb ${n}gsb 48"; do
            read -r dir name size <<< "$spec"
            [ -f "$WORK/$dir/$name.bmp" ] && continue
            mkdir -p "$WORK/$dir"
            convert -size "${size}x${size}" xc:magenta -fill "hsl($((n * 24)),80%,40%)" \
                -draw "ellipse $((size / 2)),$((size / 2)) $((size / 3)),$((size / 2 - 4)) 0,360" \
                "BMP3:$WORK/$dir/$name.bmp" || fail "cannot make $name.bmp"
        done
    done
}

# A 22 by 22 meadow of path inside pines, the bay's tiles, a row of grass to
# the right of the start; every step into the grass meets $1 at level $2.
add_meadow() {
    local dir="$WORK/meadow" r c row
    mkdir -p "$dir"
    cp "$WORK/testproject/baytiles.bmp" "$dir/"
    printf '1\nBEGIN PROJECT\nWINDOWX=352\nWINDOWY=352\nSTARTMAP=meadow.txt\nSTARTX=3\nSTARTY=10\nFACING=2\nENGINE=1\nSTARTVRLT=1\nEND PROJECT\n' \
        > "$dir/project.txt"
    local wild="$1, $2, $1, $2, $1, $2, $1, $2, $1, $2, $1, $2, $1, $2,"
    {
        printf '1\nBEGIN MAP\nMAPNAME=Trial Meadow\nMAPARRAY=meadowarray.txt\nEVENTFILE=none.txt\nBEGIN WILDMONS\nWILDDENSITY=1\n'
        for t in DAY NIGHT MORN; do printf 'BEGIN %s\n%s\nEND %s\n' "$t" "$wild" "$t"; done
        for t in "OLDROD 3" "GOODROD 4" "SUPERROD 4" "SURF 3" "ROCKSMASH 2" "HEADBUTT1 4" "HEADBUTT2 4"; do
            set -- $t
            printf 'BEGIN %s\n%s\nEND %s\n' "$1" "$(for _ in $(seq 1 "$2"); do printf '1, 5, '; done)" "$1"
        done
        printf 'END WILDMONS\nEND MAP\n'
    } > "$dir/meadow.txt"
    {
        printf '1\nBEGIN MAP\nTILES=baytiles.bmp\nBLOCKHEIGHT=16\nBLOCKWIDTH=16\nBEGIN BLOCKSTRUCT\nBLCKSTRCTCNT=15\n'
        for b in $(seq 0 14); do
            case $b in 3) printf '3, 2, 0, 0, 0, 0, 0,\n' ;; 14) printf '14, 0, 1, 0, 0, 0, 0,\n' ;; *) printf '%d, 0, 0, 0, 0, 0, 0,\n' "$b" ;; esac
        done
        printf 'END BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=22\nMAPARRAYX=22\n'
        for r in $(seq 0 21); do
            row=""
            for c in $(seq 0 21); do
                if [ "$r" -eq 0 ] || [ "$r" -eq 21 ] || [ "$c" -eq 0 ] || [ "$c" -eq 21 ]; then row+="14, "
                elif [ "$r" -eq 10 ] && [ "$c" -ge 4 ] && [ "$c" -le 17 ]; then row+="3, "
                else row+="2, "; fi
            done
            echo "$row"
        done
        printf 'END MAPARRAY\nEND MAP\n'
    } > "$dir/meadowarray.txt"
    sed -i 's/^INDEXCOUNT=2$/INDEXCOUNT=3/' "$WORK/gameindex.txt"
    printf '\nINDEX=3\nNAME=Trial Meadow\nDESCRIPTION=Test ground.\nCREATOR=Tests\nPROJECTDIR=meadow\nPROJECTDATA=project.txt\nURL=none\nEND INDEX\n' \
        >> "$WORK/gameindex.txt"
}

# choose ROW without debug boxes: the selection moves row by row, then OK.
choose() {
    for _ in $(seq 0 "$1"); do press Down; done
    press Return
    wait_log "Program: Game set up. Exiting GetProject and starting game" || fail "no game was set up"
    wait_shot_settles
}

# has_black NAME WxH+X+Y: some black text pixel lies in that band.
has_black() {
    local mean
    mean=$(convert "$E2E_OUT/$1.png" -crop "$2" +repage -colorspace Gray -threshold 40% -format '%[fx:mean]' info:)
    [ "$mean" != "1" ]
}

# screen NAME: overworld, table (the stat table or a prompt: a second text
# line), menu (lines from y = 300) or message.
screen() {
    if ! near "$(pixel "$1" 180 150)" "255,255,255"; then echo overworld
    elif has_black "$1" 200x8+5+285; then echo table
    elif has_black "$1" 200x8+5+300; then echo menu
    else echo message; fi
}

# expbar NAME: the length of the player's experience bar in pixels.
expbar() {
    convert "$E2E_OUT/$1.png" -crop 101x1+237+252 +repage -fuzz 10% -fill black -opaque white \
        -fill white -opaque "rgb(0,0,255)" -fill black +opaque white -format '%[fx:round(mean*w)]' info:
}

PRESSES=0
EXPBAR=""
# fight PREFIX MOVEKEY: confirms messages and picks the move from the menus
# until the battle is over; screenshots PREFIX-N of each screen. EXPBAR is
# the experience bar's length on its first menu.
fight() {
    local n=0 kind
    EXPBAR=""
    while [ $n -lt 80 ]; do
        n=$((n + 1))
        shot "$1-$n"
        kind=$(screen "$1-$n")
        case $kind in
            overworld) return 0 ;;
            menu)
                [ -n "$EXPBAR" ] || EXPBAR=$(expbar "$1-$n")
                tap 1; shot "$1-$n-moves"; tap "$2"; PRESSES=$((PRESSES + 2)) ;;
            table) cp "$E2E_OUT/$1-$n.png" "$E2E_OUT/$1-table.png"; tap space; PRESSES=$((PRESSES + 1)) ;;
            *) tap space; PRESSES=$((PRESSES + 1)) ;;
        esac
    done
    fail "the battle $1 did not end"
}

no_errors() { ! grep -qE 'error:' "$WORK/qblog.txt"; }

prepare_game_dir
provisional_pictures
add_meadow 10 2
start_game --seed 7 --no-debug-boxes
choose 2
shot meadow-start
tap Right
check "a battle opens on the first step into the grass" wait_log "Program: Entering a battletype 1, id 10 and level 2"
wait_shot_settles
shot opening-1
check "the first opening screen is the battle screen" [ "$(screen opening-1)" = message ]
tap space
shot opening-2
check "the second opening screen differs" differs opening-1 opening-2 352x80+0+270
tap space
shot battle-menu
check "the main menu follows" [ "$(screen battle-menu)" = menu ]
fight win 3
check "the level-up's stat table appeared" [ -f "$E2E_OUT/win-table.png" ]
check "the battle's damage is logged" grep -q '^Program debug: Damage is [0-9]*$' "$WORK/qblog.txt"
check "with its values" grep -q '^Program debug: atkval [0-9]* and defval [0-9]* with damage [0-9]* and damage2 [0-9]*$' "$WORK/qblog.txt"
echo "key presses of the fight after the opening: $PRESSES"
shot after-win
check "back on the meadow" [ "$(screen after-win)" = overworld ]

# Walk on into the next grass block: a second battle, left by running.
tap Right
two_battles() { [ "$(grep -c '^Program: Entering a battletype 1, id 10 and level 2$' "$WORK/qblog.txt")" = 2 ]; }
check "a second battle opens" wait_until 10 two_battles
tap space space
shot run-menu
tap 4
shot run-message
check "running shows its message" [ "$(screen run-message)" = message ]
tap space
shot after-run
check "running returns to the meadow" [ "$(screen after-run)" = overworld ]
tap Down
shot walked-on
check "the player walks on" differs after-run walked-on 352x352+0+0
check "only the two battles" [ "$(grep -c '^Program: Entering a battletype' "$WORK/qblog.txt")" = 2 ]
check "no error line" no_errors
tap Escape
check "Escape ends with status 255" [ "$(wait_exit 10)" = "255" ]
mkdir -p /tmp/quillbay-shots && cp "$E2E_OUT/battle-menu.png" "$E2E_OUT/win-table.png" /tmp/quillbay-shots/
rm -rf "$WORK"

# Quill Bay in the afternoon: walk into the reeds west of the start, fight
# each wild creature with Flicker until a battle was won, which the next
# battle's experience bar shows.
prepare_game_dir
provisional_pictures
hour=$(date -u +%H)
offset=$((14 - 10#$hour))
if [ $offset -ge 0 ]; then zone="QBT-$offset"; else zone="QBT+$((-offset))"; fi
export TZ=$zone
start_game --seed 11 --no-debug-boxes
unset TZ
choose 1
for _ in 1 2 3 4 5; do hold Left 0.05; done
battles=0 grown=""
last=""
for step in $(seq 1 200); do
    case $((step % 4)) in 0|1) hold Left 0.05 ;; *) hold Right 0.05 ;; esac
    shot bay-step
    [ "$(screen bay-step)" = overworld ] && continue
    battles=$((battles + 1))
    fight "bay$battles" 3
    echo "battle $battles: experience bar ${EXPBAR:-?} pixels"
    if [ -n "$last" ] && [ -n "$EXPBAR" ] && [ "$EXPBAR" -gt "$last" ]; then grown=$battles; break; fi
    last=$EXPBAR
    [ $battles -ge 8 ] && break
done
check "a won battle grew the experience bar" [ -n "$grown" ]
check "no error line on Quill Bay" no_errors
tap Escape
check "Escape ends with status 255" [ "$(wait_exit 10)" = "255" ]
echo "e2e battle: all checks passed"
