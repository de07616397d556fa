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
# LINE (or no text at all of a LINE that starts with "!"; the output is
# left in $out), and writes no log there.
run() {
    local dir=$1 status=$2 got; shift 2
    out=$(cd "$dir" && "$QB_CHECK" 2>&1); got=$?
    [ "$got" = "$status" ] || fail "$dir: exit status $got, not $status"$'\n'"$out"
    for line in "$@"; do
        case $line in
        '!'*) ! grep -qF -- "${line#!}" <<<"$out" || fail "$dir: '${line#!}' in"$'\n'"$out" ;;
        *) grep -qxF -- "$line" <<<"$out" || fail "$dir: no line '$line' in"$'\n'"$out" ;;
        esac
    done
    ! compgen -G "$dir/qblog*.txt" >/dev/null || fail "$dir: a log was written: $(ls "$dir"/qblog*.txt)"
}

# The game directory without what a player left there (the log, saved
# games), and with the sample projects alone in its index, whatever
# projects a game maker has added.
samples() {
    rm -rf "$WORK/g" && cp -r "$QB_SRC/game" "$WORK/g" && rm -f "$WORK/g/qblog.txt" "$WORK"/g/*.qbs
    awk -f "$QB_SRC/tests/e2e/samples.awk" "$QB_SRC/game/gameindex.txt" > "$WORK/g/gameindex.txt"
}
samples
run "$WORK/g" 0 "All is well: 2 projects checked."

# The game's pictures with the example project as its only project.
fresh() { samples; cp -r "$QB_SRC/docs/example/." "$WORK/g/"; }
fresh
run "$WORK/g" 0 "All is well: 1 project checked."
# A project directory named in UTF-8 is found under the same bytes.
mv "$WORK/g/mossglen" "$WORK/g/mossglen_é"
sed -i 's/^PROJECTDIR=mossglen$/PROJECTDIR=mossglen_é/' "$WORK/g/gameindex.txt"
run "$WORK/g" 0 "All is well: 1 project checked."

# broken FILE SED LINE...: the example with FILE changed by the sed script.
broken() { fresh; sed -i "$2" "$WORK/g/$1"; shift 2; run "$WORK/g" 1 "$@"; }

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
# A grid of more or fewer rows or columns than its sizes say.
broken mossglen/glenarray.txt 's/^MAPARRAYY=11/MAPARRAYY=12/' "mossglen/glenarray.txt:39: Missing Maparray end" \
    "    hint: MAPARRAYY=12 but the grid has 11 rows: END MAPARRAY was read as row 12"
broken mossglen/glenarray.txt 's/^MAPARRAYY=11/MAPARRAYY=13/' \
    "    hint: MAPARRAYY=13 but the grid has 11 rows: the lines after it were read as rows 12 to 13"
broken mossglen/glenarray.txt 's/^MAPARRAYY=11/MAPARRAYY=10/' "mossglen/glenarray.txt:37: Missing Maparray end" \
    "    hint: MAPARRAYY=10 but the grid has 11 rows: END MAPARRAY was expected after row 10"
broken mossglen/glenarray.txt 's/^END MAPARRAY/& /' "!but the grid has"
broken mossglen/glenarray.txt 's/^MAPARRAYX=11/MAPARRAYX=12/' \
    "mossglen/glenarray.txt:27: warning: MAPARRAYX=12 but this row holds 11 blocks" \
    "    hint: the missing blocks read as block 0" "    hint: 10 more rows differ too"
broken mossglen/glenarray.txt '31s/$/ 0,/; 33s/, 4,$/,/' "1 problem found." \
    "mossglen/glenarray.txt:31: warning: MAPARRAYX=11 but this row holds 12 blocks" \
    "    hint: the values past MAPARRAYX are not read" "    hint: 1 more row differs too"
# A misspelt project directory or project file.
broken gameindex.txt 's/^PROJECTDIR=.*/PROJECTDIR=mosglen/' "gameindex.txt:7: Map file mosglen\\project.txt does not exist!" \
    "    hint: the project directory mosglen does not exist" "!looked in" \
    "    hint: the folder mossglen holds a project.txt that no entry names: PROJECTDIR=mossglen?"
broken gameindex.txt 's/^PROJECTDATA=.*/PROJECTDATA=projet.txt/' "gameindex.txt:8: Map file mossglen\\projet.txt does not exist!" \
    "    hint: the project file projet.txt does not exist in the project directory mossglen"
broken gameindex.txt 's/^PROJECTDATA=.*/& /' "    hint: blanks count in names: \`project.txt \` starts or ends in one"
# Entries after the INDEXCOUNT-th are ignored.
fresh
for n in 2 3; do sed -n "3,10s/^INDEX=1/INDEX=$n/; 3,10p" "$WORK/g/gameindex.txt" >>"$WORK/g/gameindex.txt"; done
run "$WORK/g" 1 "2 problems found." \
    "gameindex.txt:11: warning: INDEXCOUNT=1, so this entry is ignored" \
    "gameindex.txt:19: warning: INDEXCOUNT=1, so this entry is ignored" \
    "    hint: raise INDEXCOUNT to 3 to offer it in the chooser"
# A compressed picture, or another kind, is refused with the way to one the game reads.
fresh
printf '\1' | dd of="$WORK/g/mossglen/glentiles.bmp" bs=1 seek=30 conv=notrunc status=none
run "$WORK/g" 1 "mossglen/glenarray.txt:3: Picture mossglen\\glentiles.bmp cannot be read: compression 1 (run-length) is not supported" \
    "    hint: save it as an uncompressed BMP, e.g. convert in.png -type TrueColor BMP3:out.bmp"
printf '\x89PNG\r\n\x1a\n%030d' 0 >"$WORK/g/mossglen/glentiles.bmp"
run "$WORK/g" 1 "    hint: save it as an uncompressed BMP, e.g. convert in.png -type TrueColor BMP3:out.bmp"
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

# missing FILE LINE...: the example without FILE.
missing() { fresh; rm "$WORK/g/$1"; shift; run "$WORK/g" 1 "$@"; }
missing mossglen/glentiles.bmp "mossglen/glenarray.txt:3: Unable to load map bitmap!"
missing brel/6g.bmp "mossglen/glenmap.txt:16: Picture brel\\6g.bmp cannot be read: it does not exist" "!BMP3"
run "$WORK" 1 "    hint: name the game directory: quillbay-check g"
missing gameindex.txt "gameindex.txt: Map file gameindex.txt does not exist!" \
    "    hint: name the game directory: quillbay-check [GAMEDIR]" "    hint: the checker looked in $(cd "$WORK/g" && pwd -P), which holds no gameindex.txt"

[ "$failures" = 0 ] && echo "all checker cases passed"  # and the script's status
