# Helpers for end-to-end tests: the real game in a real window under Xvfb,
# driven with xdotool and looked at through screenshots. Sourcing starts the
# display (SCREEN, 640x480 by default).
# Needs QB_BIN (the game executable) and QB_SRC (the repository). The game
# keeps its log in GAME_DIR, $WORK unless set.
#
# Every wait is for a condition (a window, a log line, a screen that changed
# or settled, the game's end) with a generous time limit, so that the tests
# hold on a loaded machine; E2E_TIMEOUT (seconds, default 60) is that limit.
set -u
: "${QB_BIN:?QB_BIN must name the game executable}" "${QB_SRC:?QB_SRC must name the repository}"
E2E_OUT=${E2E_OUT:-$(mktemp -d)} E2E_TIMEOUT=${E2E_TIMEOUT:-60} GAME_PID="" XVFB_PID="" WORK="" WIN=""
mkdir -p "$E2E_OUT"
trap 'kill $GAME_PID $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT

fail() { echo "FAIL: $*"; [ -f "${GAME_DIR:-$WORK}/qblog.txt" ] && { echo "--- qblog.txt"; cat "${GAME_DIR:-$WORK}/qblog.txt"; }; exit 1; }
check() { local what=$1; shift; if "$@"; then echo "ok: $what"; else fail "$what"; fi; }  # check "what" command...

# wait_until SECONDS command...: runs the command every tenth of a second
# until it succeeds (0) or the time is up (1).
wait_until() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
}

# The X server picks a free display number itself and tells it once it is ready.
numberfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${SCREEN:-640x480}x24" -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
XVFB_PID=$!
wait_until "$E2E_TIMEOUT" grep -q '^[0-9][0-9]*$' "$numberfile" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$numberfile")"
rm -f "$numberfile"
wait_until "$E2E_TIMEOUT" xdpyinfo >/dev/null 2>&1 || fail "Xvfb on $DISPLAY takes no clients"

# A fresh copy of the game directory to run in, without what a player left
# there, and with an index of the two sample projects alone (in the order
# the shipped index lists them), so that projects a game maker adds move no
# row; a test may change it first.
prepare_game_dir() {
    rm -rf "$WORK"
    WORK=$(mktemp -d)
    cp -r "$QB_SRC/game/." "$WORK/"
    rm -f "$WORK/qblog.txt" "$WORK"/*.qbs
    awk -f "$QB_SRC/tests/e2e/samples.awk" "$QB_SRC/game/gameindex.txt" > "$WORK/gameindex.txt"
}

game_gone() { ! kill -0 "$GAME_PID" 2>/dev/null; }

# start_game [OPTION...]: the game in $WORK (or started in RUN_FROM) with
# these options and debug lines in the log only; waits for its window, the
# keyboard focus on it and its first picture to settle.
start_game() {
    (cd "${RUN_FROM:-$WORK}" && exec "$QB_BIN" --no-debug-boxes "$@") &
    GAME_PID=$! WIN=""
    wait_until "$E2E_TIMEOUT" eval 'WIN=$(xdotool search --name "^Quillbay$" 2>/dev/null | head -n 1); [ -n "$WIN" ] || game_gone'
    [ -n "$WIN" ] || fail "no window titled Quillbay appeared"
    wait_until "$E2E_TIMEOUT" eval 'xdotool windowfocus "$WIN" 2>/dev/null; [ "$(xdotool getwindowfocus 2>/dev/null)" = "$WIN" ]' \
        || fail "the window never took the focus"
    wait_shot_settles
}

# play KEY...: the keys that pick a project in the chooser; waits for its game.
play() {
    press "$@"
    logged "Program: Game set up. Exiting GetProject and starting game" || fail "no game was set up"
    wait_shot_settles
}

# The window's pixels as one line of text (a checksum), or nothing.
window_sum() { xwd -silent -id "$WIN" 2>/dev/null | md5sum | awk '$1 != "d41d8cd98f00b204e9800998ecf8427e" {print $1}'; }

# Waits until the window has looked the same for a third of a second: what a
# key or a click started has been drawn to its end.
wait_shot_settles() {
    local end=$((SECONDS + E2E_TIMEOUT)) last="" now same=0
    until game_gone || [ "$same" -ge 3 ]; do
        [ "$SECONDS" -ge "$end" ] && fail "the window never settled"
        now=$(window_sum)
        if [ -n "$now" ] && [ "$now" = "$last" ]; then same=$((same + 1)); else same=0; fi
        last=$now
        sleep 0.1
    done
}

# held TRIES DOWN UP: does DOWN, waits a seventh of a second and then up to
# TRIES twentieths more until the window differs or the game has ended, does
# UP, and waits for the window to settle. The game reads keys and buttons as
# held, and one that waits for a key to come up shows nothing before.
held() {
    local before i
    before=$(window_sum)
    $2
    sleep 0.15
    for ((i = 0; i < $1; i++)); do
        { game_gone || [ "$(window_sum)" != "$before" ]; } && break
        sleep 0.05
    done
    $3
    wait_shot_settles
}

press() {  # press KEY...: each key with a pause for the game to answer
    for k in "$@"; do
        xdotool key --window "$WIN" "$k" 2>/dev/null || xdotool key "$k"
        sleep 0.2
        wait_shot_settles
    done
}

tap() { for k in "$@"; do held 7 "xdotool keydown $k" "xdotool keyup $k"; done; }  # tap KEY...: as a person taps

# click X Y inside the window, held until the window changes: the dialog
# manager polls the buttons' state.
click() {
    xdotool mousemove --window "$WIN" "$1" "$2"
    wait_shot_settles
    held 20 "xdotool mousedown 1" "xdotool mouseup 1"
}

# shot NAME: the view as NAME.png, 352 by 352, whatever the window's scale:
# the enlarged picture in the middle of the window, sampled back down.
shot() {
    local x y w h n
    read -r x y w h < <(xwininfo -id "$WIN" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
    n=$(( (w < h ? w : h) / 352 ))
    [ "$n" -ge 1 ] || n=1
    import -window root -crop "$((352 * n))x$((352 * n))+$((x + (w - 352 * n) / 2))+$((y + (h - 352 * n) / 2))" \
        +repage miff:- | convert - -sample 352x352 "$E2E_OUT/$1.png"
}

# colour NAME X Y R,G,B: the pixel has that colour, up to the rounding of
# 16-bit colour; blue NAME X Y: the blue of title strips and highlights.
colour() {
    convert "$E2E_OUT/$1.png" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info: |
        awk -v want="$4" '{ ok = split(want, w, ",") == 3; for (i = 1; i <= 3; i++) if (($i - w[i]) ^ 2 > 64) ok = 0 } END { exit !ok }'
}
blue() { colour "$@" 40,72,128; }

# ends_with STATUS: the game ends by itself within the time limit, with that exit status.
ends_with() {
    wait_until "$E2E_TIMEOUT" game_gone || fail "the game did not end"
    wait "$GAME_PID"
    local status=$?
    GAME_PID=""
    [ "$status" = "$1" ] && echo "ok: the game ends with status $1" || fail "the game ended with status $status, not $1"
}

# logged LINE: the log holds the line, or comes to within the time limit.
logged() { wait_until "$E2E_TIMEOUT" grep -qxF -- "$1" "${GAME_DIR:-$WORK}/qblog.txt"; }
geometry() { xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}'; }
same() { ! differs "$@"; }

# differs A B WxH+X+Y: the two screenshots differ inside that rectangle.
differs() {
    local count
    count=$(compare -metric AE "$E2E_OUT/$1.png[$3]" "$E2E_OUT/$2.png[$3]" null: 2>&1)
    case "$count" in ''|*[!0-9.e+]*) fail "cannot compare $1 with $2: $count" ;; esac
    [ "$count" != "0" ]
}
