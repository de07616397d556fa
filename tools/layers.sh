#!/usr/bin/env bash
# The folders are the layers of the game, from the bottom up:
#   base fileload creatures overworld battle savefile shell
# A file may include its own folder and the folders below it. This prints
# the include arrows between folders (how many includes each carries), marks
# every arrow that runs back up, and exits 1 if there is one.
set -eu
cd "$(dirname "$0")/.."
layers=(base fileload creatures overworld battle savefile shell)
rank() { local i; for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && echo "$i" && return; done; echo -1; }
arrows=0
up=0
for from in "${layers[@]}"; do
    for to in "${layers[@]}"; do
        [ "$from" = "$to" ] && continue
        n=$(grep -rhoE "^#include \"$to/" "$from" --include='*.cpp' --include='*.h' 2>/dev/null | wc -l)
        [ "$n" -eq 0 ] && continue
        arrows=$((arrows + 1))
        mark=""
        if [ "$(rank "$to")" -gt "$(rank "$from")" ]; then
            mark="   <- runs back up"
            up=$((up + 1))
            grep -rnE "^#include \"$to/" "$from" --include='*.cpp' --include='*.h' | sed 's/^/        /'
        fi
        printf '%-10s -> %-10s %3d include(s)%s\n' "$from" "$to" "$n" "$mark"
    done
done
echo "$arrows arrows between folders, $up running back up"
[ "$up" -eq 0 ]
