# Helpers for end-to-end tests: the real game in a real window under Xvfb,
# driven with xdotool and looked at through screenshots.
# Needs QB_BIN (the game executable) and QB_SRC (the repository).
#
# Every wait is for a condition (a window, a log line, a screen that changed
# or settled, the game's end) with a generous time limit, so that the tests
# hold on a loaded machine; E2E_TIMEOUT (seconds, default 60) is that limit.
set -u

: "${QB_BIN:?QB_BIN must name the game executable}"
: "${QB_SRC:?QB_SRC must name the repository}"
E2E_OUT=${E2E_OUT:-$(mktemp -d)}
E2E_TIMEOUT=${E2E_TIMEOUT:-60}
mkdir -p "$E2E_OUT"
GAME_PID=""
XVFB_PID=""
WORK=""
WIN=""
FAILURES=0

cleanup() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    [ -n "$WORK" ] && rm -rf "$WORK"
    GAME_PID=""
    XVFB_PID=""
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    [ -f "$E2E_OUT/last-status" ] && echo "last exit status: $(cat "$E2E_OUT/last-status")"
    [ -n "$WORK" ] && [ -f "$WORK/qblog.txt" ] && { echo "--- qblog.txt"; cat "$WORK/qblog.txt"; }
    exit 1
}

check() {  # check "what" command...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

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

# start_display [WxH]: a display of our own (640x480 by default): the X
# server picks a free number itself and tells it once it is ready.
start_display() {
    local numberfile
    numberfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${1:-640x480}x24" -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    wait_until "$E2E_TIMEOUT" grep -q '^[0-9][0-9]*$' "$numberfile" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$numberfile")"
    rm -f "$numberfile"
    wait_until "$E2E_TIMEOUT" xdpyinfo >/dev/null 2>&1 || fail "Xvfb on $DISPLAY takes no clients"
}

# A fresh copy of the game directory to run in, without what a player left
# there, and with an index of the two sample projects alone (in the order
# the shipped index lists them), so that projects a game maker adds move no
# row; a test may change it first.
prepare_game_dir() {
    WORK=$(mktemp -d)
    cp -r "$QB_SRC/game/." "$WORK/"
    rm -f "$WORK/qblog.txt" "$WORK"/*.qbs
    awk -f "$QB_SRC/tests/e2e/samples.awk" "$QB_SRC/game/gameindex.txt" > "$WORK/gameindex.txt"
}

game_window() { WIN=$(xdotool search --name '^Quillbay$' 2>/dev/null | head -n 1); [ -n "$WIN" ]; }
game_gone() { ! kill -0 "$GAME_PID" 2>/dev/null; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$WIN" ]; }

# start_game [OPTION...]: the game in $WORK with these options; waits for
# its window, the keyboard focus on it and its first picture to settle.
start_game() {
    (cd "$WORK" && exec "$QB_BIN" "$@") &
    GAME_PID=$!
    WIN=""
    wait_until "$E2E_TIMEOUT" eval 'game_window || game_gone'
    [ -n "$WIN" ] || fail "no window titled Quillbay appeared"
    wait_until "$E2E_TIMEOUT" eval 'xdotool windowfocus "$WIN" 2>/dev/null; has_focus' || fail "the window never took the focus"
    wait_shot_settles
}

# The window's pixels as one line of text (a checksum), or nothing.
window_sum() {
    local sum
    sum=$(xwd -silent -id "$WIN" 2>/dev/null | md5sum)
    sum=${sum%% *}
    [ "$sum" != d41d8cd98f00b204e9800998ecf8427e ] && echo "$sum"  # not the sum of nothing
}

# Waits until the window has looked the same for a third of a second: what a
# key or a click started has been drawn to its end.
wait_shot_settles() {
    local end=$((SECONDS + E2E_TIMEOUT)) last="" now same=0
    while [ "$SECONDS" -lt "$end" ]; do
        game_gone && return 0
        now=$(window_sum)
        if [ -n "$now" ] && [ "$now" = "$last" ]; then
            same=$((same + 1))
            [ "$same" -ge 3 ] && return 0
        else
            same=0
        fi
        last=$now
        sleep 0.1
    done
    fail "the window never settled"
}

# watch_change BEFORE TRIES: looks at the window up to TRIES times, a
# twentieth of a second apart, until it differs from BEFORE (a window_sum)
# or the game has ended; 1 if neither happened.
watch_change() {
    local before=$1 tries=$2
    while [ "$tries" -gt 0 ]; do
        game_gone && return 0
        [ "$(window_sum)" != "$before" ] && return 0
        tries=$((tries - 1))
        sleep 0.05
    done
    return 1
}

press() {  # press KEY...: each key with a pause for the game to answer
    for k in "$@"; do
        xdotool key --window "$WIN" "$k" 2>/dev/null || xdotool key "$k"
        sleep 0.2
        wait_shot_settles
    done
}

# tap KEY...: each held as a person taps, since the game reads keys as held:
# a seventh of a second, and longer (half a second at most) until the window
# shows that the game saw it or the game ends. A game that waits for the
# key to come up shows nothing before: it gets the half second.
tap() {
    local before
    for k in "$@"; do
        before=$(window_sum)
        xdotool keydown "$k"
        sleep 0.15
        watch_change "$before" 7
        xdotool keyup "$k"
        wait_shot_settles
    done
}

hold() {  # hold KEY SECONDS
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
    wait_shot_settles
}

click() {  # click X Y inside the window
    # Held until the window changes (a moment at least): the dialog manager
    # polls the buttons' state.
    local before
    xdotool mousemove --window "$WIN" "$1" "$2"
    wait_shot_settles
    before=$(window_sum)
    xdotool mousedown 1
    sleep 0.15
    watch_change "$before" 20
    xdotool mouseup 1
    sleep 0.2
    wait_shot_settles
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

# asked: the question before quitting ("Quit without saving?") stands in
# the middle of the view.
asked() { shot question; near "$(pixel question 100 135)" "40,72,128"; }

# leave_game: Escape after a step or a battle, and Y to the question it asks.
leave_game() {
    tap Escape
    wait_until "$E2E_TIMEOUT" asked || fail "Escape asked nothing"
    press y
}

pixel() {  # pixel NAME X Y: the colour as r,g,b
    convert "$E2E_OUT/$1.png" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}

# Waits for the game to end by itself, at least SECONDS (and at least the
# time limit); prints its exit status, or "still-running".
wait_exit() {
    local seconds=${1:-10}
    [ "$seconds" -lt "$E2E_TIMEOUT" ] && seconds=$E2E_TIMEOUT
    if wait_until "$seconds" game_gone; then
        wait "$GAME_PID"
        local status=$?
        GAME_PID=""
        echo "$status" > "$E2E_OUT/last-status"
        echo "$status"
        return 0
    fi
    echo "still-running"
}

log_has() { grep -qxF -- "$1" "$WORK/qblog.txt"; }

# wait_log LINE [SECONDS]: waits for the log to hold the line; 1 if it never does.
wait_log() { wait_until "${2:-$E2E_TIMEOUT}" log_has "$1"; }

# near "r,g,b" "r,g,b": colours equal up to the rounding of 16-bit colour.
near() {
    awk -v a="$1" -v b="$2" 'BEGIN { if (split(a, x, ",") != 3 || split(b, y, ",") != 3) exit 1
        for (i = 1; i <= 3; i++) if ((x[i] - y[i]) ^ 2 > 64) exit 1 }'
}

same() { ! differs "$@"; }
geometry() { xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}'; }

# differs A B WxH+X+Y: the two screenshots differ inside that rectangle.
differs() {
    local count
    count=$(compare -metric AE "$E2E_OUT/$1.png[$3]" "$E2E_OUT/$2.png[$3]" null: 2>&1)
    case "$count" in
        ''|*[!0-9.e+]*) fail "cannot compare $1 with $2: $count" ;;
    esac
    [ "$count" != "0" ]
}
