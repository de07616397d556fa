#!/usr/bin/env bash
# Runs one fuzz target for a short fixed time, seeded with the files it
# reads. Usage: run_smoke.sh TARGET SECONDS GAMEDIR
# With QB_FUZZ_FINDINGS set to a folder, inputs that crash are kept there.
set -eu -o pipefail
target=$1 seconds=$2 gamedir=$3
corpus=$(mktemp -d)
seeds=$(mktemp -d)
trap 'rm -rf "$corpus" "$seeds"' EXIT
# A target with a seed folder of its own (seeds/<target without fuzz_>)
# takes its seeds from there; the picture loader takes the game's pictures,
# the other readers its text files.
own="$(dirname "$0")/seeds/$(basename "$target" | sed 's/^fuzz_//')"
case $(basename "$target") in
fuzz_picture) pattern='*.bmp' ;;
*) pattern='*.txt' ;;
esac
if [ -d "$own" ]; then
    cp "$own"/* "$seeds/"
else
    find "$gamedir" -name "$pattern" ! -name 'qblog.txt' -exec cp --backup=numbered {} "$seeds/" \;
fi
# Seeds are named apart so that files of the same name in two projects stay.
i=0
for f in "$seeds"/*; do i=$((i + 1)); mv "$f" "$seeds/seed$i"; done
cd "$corpus"
keep=()
if [ -n "${QB_FUZZ_FINDINGS:-}" ]; then
    mkdir -p "$QB_FUZZ_FINDINGS"
    keep=(-artifact_prefix="$(cd "$QB_FUZZ_FINDINGS" && pwd)/")
fi
"$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "${keep[@]}" "$corpus" "$seeds" 2>&1 | grep -vE '^"|# Uses:|recommended dictionary' | tail -n 25
