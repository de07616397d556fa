# Helpers for end-to-end tests: the real game in a real window under Xvfb,
# driven with xdotool and looked at through screenshots.
# Needs QB_BIN (the game executable) and QB_SRC (the repository).
set -u

: "${QB_BIN:?QB_BIN must name the game executable}"
: "${QB_SRC:?QB_SRC must name the repository}"
E2E_OUT=${E2E_OUT:-$(mktemp -d)}
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

# A display of our own: Xvfb picks a free number and reports it.
start_display() {
    local numberfile
    numberfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 100); do
        [ -s "$numberfile" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$numberfile")"
    rm -f "$numberfile"
    for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "Xvfb did not start on $DISPLAY"
}

# A fresh copy of the game directory to run in; a test may change it first.
prepare_game_dir() {
    WORK=$(mktemp -d)
    cp -r "$QB_SRC/game/." "$WORK/"
    rm -f "$WORK/qblog.txt"
}

start_game() {  # start_game [OPTION...]: the game in $WORK with these options
    (cd "$WORK" && exec "$QB_BIN" "$@") &
    GAME_PID=$!
    WIN=""
    for _ in $(seq 1 100); do
        WIN=$(xdotool search --name '^Quillbay$' 2>/dev/null | head -n 1)
        [ -n "$WIN" ] && break
        sleep 0.1
    done
    [ -n "$WIN" ] || fail "no window titled Quillbay appeared"
    xdotool windowfocus "$WIN" 2>/dev/null
    sleep 0.5
}

press() {  # press KEY...: each key with a pause for the game to answer
    for k in "$@"; do
        xdotool key --window "$WIN" "$k" 2>/dev/null || xdotool key "$k"
        sleep 0.35
    done
}

tap() {  # tap KEY...: each held for a tenth of a second, as a person taps,
         # since the game loop reads keys as held once per frame
    for k in "$@"; do
        xdotool keydown "$k"
        sleep 0.1
        xdotool keyup "$k"
        sleep 0.3
    done
}

hold() {  # hold KEY SECONDS
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
    sleep 0.3
}

click() {  # click X Y inside the window
    # Held for a moment: the dialog manager polls the buttons' state.
    xdotool mousemove --window "$WIN" "$1" "$2"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.15
    xdotool mouseup 1
    sleep 0.4
}

shot() {  # shot NAME: the window's 352 by 352 pixels as NAME.png
    import -window root -crop 352x352+0+0 +repage "$E2E_OUT/$1.png"
}

pixel() {  # pixel NAME X Y: the colour as r,g,b
    convert "$E2E_OUT/$1.png" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}

# Waits for the game to end by itself; prints its exit status.
wait_exit() {
    local seconds=${1:-10}
    for _ in $(seq 1 $((seconds * 10))); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            wait "$GAME_PID"
            local status=$?
            GAME_PID=""
            echo "$status" > "$E2E_OUT/last-status"
            echo "$status"
            return 0
        fi
        sleep 0.1
    done
    echo "still-running"
}

log_has() { grep -qxF -- "$1" "$WORK/qblog.txt"; }

# near "r,g,b" "r,g,b": colours equal up to the rounding of 16-bit colour.
near() {
    local IFS=,
    local a=($1) b=($2)
    [ ${#a[@]} -eq 3 ] && [ ${#b[@]} -eq 3 ] || return 1
    for i in 0 1 2; do
        local d=$((a[i] - b[i]))
        [ $d -lt 0 ] && d=$((-d))
        [ $d -le 8 ] || return 1
    done
}

# differs A B WxH+X+Y: the two screenshots differ inside that rectangle.
differs() {
    local a="$E2E_OUT/.crop-a.png" b="$E2E_OUT/.crop-b.png" count
    convert "$E2E_OUT/$1.png" -crop "$3" +repage "$a" || fail "cannot crop $1"
    convert "$E2E_OUT/$2.png" -crop "$3" +repage "$b" || fail "cannot crop $2"
    count=$(compare -metric AE "$a" "$b" null: 2>&1)
    case "$count" in
        ''|*[!0-9.e+]*) fail "cannot compare $1 with $2: $count" ;;
    esac
    [ "$count" != "0" ]
}
