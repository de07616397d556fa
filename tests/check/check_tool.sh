#!/usr/bin/env bash
# quillbay-check on the sample worlds, on the guide's example project and on
# broken copies of the example: each fault at its file and line, exit 1.
set -u
: "${QB_CHECK:?QB_CHECK must name the checker}" "${QB_SRC:?QB_SRC must name the repository}"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run DIR STATUS [LINE...]: the checker in DIR ends with STATUS, prints each
# LINE, and writes no log there.
run() {
    local dir=$1 status=$2 out got
    shift 2
    out=$(cd "$dir" && "$QB_CHECK" 2>&1)
    got=$?
    [ "$got" = "$status" ] || fail "$dir: exit status $got, not $status"$'\n'"$out"
    for line in "$@"; do
        grep -qxF -- "$line" <<<"$out" || fail "$dir: no line '$line' in"$'\n'"$out"
    done
    [ ! -e "$dir/qblog.txt" ] || fail "$dir: a qblog.txt was written"
}

# The game directory without what a player left there (the log, saved
# games), and with the sample projects alone in its index, whatever
# projects a game maker has added.
samples() {
    rm -rf "$WORK/g"
    cp -r "$QB_SRC/game" "$WORK/g"
    rm -f "$WORK/g/qblog.txt" "$WORK"/g/*.qbs
    awk -f "$QB_SRC/tests/e2e/samples.awk" "$QB_SRC/game/gameindex.txt" > "$WORK/g/gameindex.txt"
}
samples
run "$WORK/g" 0 "All is well: 2 projects checked."

# The game's pictures with the example project as its only project.
fresh() {
    samples
    cp -r "$QB_SRC/docs/example/." "$WORK/g/"
}
fresh
run "$WORK/g" 0 "All is well: 1 project checked."
# A project directory named in UTF-8 is found under the same bytes.
mv "$WORK/g/mossglen" "$WORK/g/mossglen_é"
sed -i 's/^PROJECTDIR=mossglen$/PROJECTDIR=mossglen_é/' "$WORK/g/gameindex.txt"
run "$WORK/g" 0 "All is well: 1 project checked."

# broken FILE SED LINE...: the example with FILE changed by the sed script.
broken() {
    local file=$1 script=$2
    shift 2
    fresh
    sed -i "$script" "$WORK/g/$file"
    run "$WORK/g" 1 "$@"
}

broken mossglen/glenarray.txt '14s/.*/2,2,0,0,0,0,0,/' \
    "mossglen/glenarray.txt:14: warning: a value follows its comma without a blank" \
    '    hint: the character after each comma is skipped: write `3, 4`, not `3,4`'
broken mossglen/project.txt '2i # Mossglen, our example' \
    "mossglen/project.txt:2: Missing BEGIN PROJECT in project file" \
    "    hint: this comment is longer than the next line's limit of 14 characters; its tail is read as the next line"
broken mossglen/project.txt 's/^STARTX=5/STARTX=3/; s/^STARTY=5/STARTY=7/' \
    "mossglen/project.txt:7: warning: the player starts on an obstacle (block 4 at column 3, row 7)"
broken mossglen/glenarray.txt '12s/.*/1, 0, 0, 1, 1, 1, 1,/' \
    "mossglen/project.txt:7: warning: no step leads off the start block (block 1 at column 5, row 5)" \
    "    hint: the block has walls on all four sides"
broken gameindex.txt 's/^PROJECTDIR=.*/PROJECTDIR=..\/mossglen/' \
    "gameindex.txt:7: The project file ../mossglen\\project.txt has a \`..\` part and is not read!" \
    '    hint: names must stay inside the game'"'"'s directory: no `..`, no leading `/` or drive, no link that leads out'
broken mossglen/glenmap.txt 's/^WILDDENSITY=/WILDDENSITY =/' \
    "mossglen/glenmap.txt:8: Mapfile had a problem readying a WILDDENSITY line (2)" \
    '    hint: blanks around the key count: write `WILDDENSITY=...`' \
    "mossglen/glenmap.txt:8: WILDDENSITY is invalid!"
broken mossglen/glenarray.txt 's/^2, 2, 0, 0, 0, 0, 0,$/2, 2, 0, 0, 0, 0, 0, 100,/; s/^6, 5,/6, 0,/' \
    "mossglen/glenarray.txt:14: Block 2 has a level rise of 100, not 0 to 99; 99 is used" \
    "mossglen/glenarray.txt: note: the player can reach encounter ground from the start, but no rest ground"

# A sparse file of a gigabyte costs the checker neither its size in memory
# nor the time to read it all.
fresh
printf '1\nINDEXCOUNT=1\nx' > "$WORK/g/gameindex.txt"
truncate -s 1G "$WORK/g/gameindex.txt"
out=$(cd "$WORK/g" && ulimit -v 400000 && timeout 5 "$QB_CHECK" 2>&1)
grep -qxF "gameindex.txt: The project index gameindex.txt has 1073741824 bytes, more than the 16777216 a data file may have, and is not read!" <<<"$out" || fail "huge file: $out"

# missing FILE...: the example without these files.
missing() {
    fresh
    for file in "$@"; do rm "$WORK/g/$file"; done
    out=$(cd "$WORK/g" && "$QB_CHECK")
}
missing mossglen/glentiles.bmp
grep -qxF "mossglen/glenarray.txt:3: Unable to load map bitmap!" <<<"$out" || fail "missing tile strip: $out"
missing brel/6g.bmp
grep -q '^mossglen/glenmap.txt:16: Picture brel\\6g.bmp cannot be read' <<<"$out" || fail "missing picture: $out"
missing gameindex.txt
run "$WORK/g" 1 "gameindex.txt: Map file gameindex.txt does not exist!"

[ "$failures" = 0 ] && echo "all checker cases passed"
[ "$failures" = 0 ]
