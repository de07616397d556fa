#!/usr/bin/env bash
# Runs one fuzz target for a short fixed time, seeded with the files it
# reads. Usage: run_smoke.sh TARGET SECONDS GAMEDIR
# With QB_FUZZ_FINDINGS set to a folder, inputs that crash are kept there.
set -eu -o pipefail
target=$1 seconds=$2 gamedir=$3 name=$(basename "$1")
corpus=$(mktemp -d) seeds=$(mktemp -d)
trap 'rm -rf "$corpus" "$seeds"' EXIT
# A target with a seed folder of its own (seeds/<target without fuzz_>)
# takes its seeds from there; the picture loader takes the game's pictures,
# the other readers its text files, and the text target each of them once
# for every reader, the reader's number first. Seeds are named apart so
# that files of the same name in two projects stay.
own="$(dirname "$0")/seeds/${name#fuzz_}" pattern='*.txt' readers=('')
[ -d "$own" ] && gamedir=$own pattern='*'
[ "$name" = fuzz_picture ] && pattern='*.bmp'
[ "$name" = fuzz_text ] && readers=('\0' '\1' '\2' '\3')
i=0
while IFS= read -r f; do
    for r in "${readers[@]}"; do i=$((i + 1)); { printf "$r"; cat "$f"; } > "$seeds/seed$i"; done
done < <(find "$gamedir" -type f -name "$pattern" ! -name 'qblog.txt')
cd "$corpus"
keep=()
if [ -n "${QB_FUZZ_FINDINGS:-}" ]; then
    mkdir -p "$QB_FUZZ_FINDINGS"
    keep=(-artifact_prefix="$(cd "$QB_FUZZ_FINDINGS" && pwd)/")
fi
"$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "${keep[@]}" "$corpus" "$seeds" 2>&1 | grep -vE '^"|# Uses:|recommended dictionary' | tail -n 25
