#!/usr/bin/env bash
# The Debian package of tools/package.sh: its desktop entry and metainfo are
# valid and its game tells the package's version. Unpacked anywhere and
# started from an unrelated directory with a fresh home, the game shows the
# chooser, plays, saves, and keeps its log and the save in the player's own
# game directory, writing nothing into the unpacked files.
. "$(dirname "$0")/lib.sh"
deb=$(bash "$QB_SRC/tools/package.sh" | tail -n 1)
[ -f "$deb" ] || fail "no package was built"
WORK=$(mktemp -d)
root=$WORK/root RUN_FROM=$WORK/elsewhere QB_BIN=$WORK/root/usr/bin/quillbay GAME_DIR=$WORK/home/.local/share/quillbay
export HOME=$WORK/home
unset XDG_DATA_HOME XDG_CONFIG_HOME
mkdir "$RUN_FROM" "$HOME"
dpkg-deb -x "$deb" "$root"
share=$root/usr/share version=$(dpkg-deb -f "$deb" Version)
check "the game tells the package's version" [ "$("$QB_BIN" --version)" = "Quillbay $version" ]
check "the package needs the game library" grep -q liballegro4 <<<"$(dpkg-deb -f "$deb" Depends)"
check "the desktop entry is valid, without a hint" [ -z "$(desktop-file-validate "$share/applications/org.quillbay.Quillbay.desktop" 2>&1)" ]
check "the metainfo is valid" appstreamcli validate --no-net --strict "$share/metainfo/org.quillbay.Quillbay.metainfo.xml"
check "the metainfo names this release" grep -q "<release version=\"$version\"" "$share/metainfo/org.quillbay.Quillbay.metainfo.xml"
check "the manual pages have no roff faults" [ -z "$(zcat "$share"/man/man*/quillbay*.gz | groff -man -ww -z 2>&1)" ]
for n in 16 24 32 48 64 128 256; do
    check "the icon is $n by $n" [ "$(identify -format %wx%h "$share/icons/hicolor/${n}x$n/apps/org.quillbay.Quillbay.png")" = "${n}x$n" ]
done

start_game
shot chooser
check "the chooser is shown" blue chooser 200 6
play Down Down Return
tap F5
press m y g a m e Return Return
check "the game is saved" logged "Program: Game Saved"
tap Escape
ends_with 255
check "the save is in the player's game directory" [ -s "$GAME_DIR/mygame.qbs" ]
check "the checker finds the player's copy sound" "$root/usr/bin/quillbay-check" "$GAME_DIR"
check "nothing was written elsewhere" [ -z "$(ls -A "$RUN_FROM")" ]
check "nor into the unpacked package" [ "$(find "$root" ! -type d | wc -l)" = "$(dpkg-deb -c "$deb" | grep -vc '/$')" ]
