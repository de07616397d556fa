#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for a given time each and prints
# what each did: executions, coverage and findings.
#   bash tools/fuzz.sh [SECONDS] [TARGET...]     (default 600 seconds; targets
#   are the names of tests/fuzz/fuzz_*.cpp, for example fuzz_picture)
# Inputs that crash a target are kept in fuzz-findings/<target>/.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
bash tools/deps.sh test
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQB_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for src in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
failed=0
printf '%-14s %12s %8s %8s %9s\n' target executions edges features findings
for t in "${targets[@]}"; do
    findings="fuzz-findings/$t"
    out=$(QB_FUZZ_FINDINGS="$findings" bash tests/fuzz/run_smoke.sh "$PWD/build-fuzz/$t" "$seconds" "$PWD/game") || failed=1
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' <<<"$out" | awk '{print $2}')
    cov=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' <<<"$out" | tail -n 1)
    found=$(find "$findings" -type f 2>/dev/null | wc -l)
    printf '%-14s %12s %8s %8s %9s\n' "$t" "${runs:-?}" "$(awk '{print $2}' <<<"$cov")" "$(awk '{print $4}' <<<"$cov")" "$found"
    [ "$found" -eq 0 ] && rmdir "$findings" 2>/dev/null || true
done
exit $failed
