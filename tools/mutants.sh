#!/usr/bin/env bash
# Hand-mutant runner: applies one mutant at a time to the game's sources,
# rebuilds what changed, runs the unit tests and records whether the tests
# noticed (killed), did not (survived) or the mutant did not compile
# (build-failed). The source file is restored after every mutant, also on
# Ctrl-C, and a run that was killed outright is repaired at the next start.
#
# Mutant list (default mutants.txt beside this script): one mutant a line,
# four fields separated by TABs:
#   path <TAB> original text <TAB> replacement <TAB> area: description
# The original text must occur exactly once in the file; <NL> in either text
# stands for a line break. When the path no longer exists, or no longer holds
# the text exactly once, every source file of the repository is searched and
# the single file that holds the text exactly once is used, so the list
# survives files being moved or renamed and lines shifting. Lines starting
# with # and empty lines are ignored. The area is the description's text
# before its first colon.
#
# Usage: run_mutants.sh [options] [PATTERN ...]
#   PATTERN      extended regular expressions; a mutant is run when its line
#                matches any of them (all mutants when none is given)
#   -n LIST      mutant numbers instead, e.g. 3,7,10-12 (numbers as -l shows)
#   -l           list the selected mutants and exit
#   -c           check only: find each selected mutant's text, apply nothing
#   -m FILE      the mutant list (default: mutants.txt beside this script)
#   -b DIR       the build directory (default: build in the repository)
#   -o FILE      results table (default: DIR/mutants/results.tsv)
#   -s           skip the baseline build and test run
#   -h           this help
# Environment: JOBS (default 2), NICE (default 10), TIMEOUT per test in
# seconds (default 60), LABEL of the tests to run (default unit; the package
# rules' faults need LABEL=package TIMEOUT=600).
set -u
set -o pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(git -C "$here" rev-parse --show-toplevel 2>/dev/null || echo "$here")
mutants="$here/mutants.txt"
build="$root/build"
results=""
listonly=0 checkonly=0 skipbase=0 numbers=""
jobs=${JOBS:-2} nicelevel=${NICE:-10} timeout=${TIMEOUT:-60} label=${LABEL:-unit}

usage() { sed -n '2,/^set -u/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'; }
while getopts "n:lcm:b:o:sh" opt; do
    case $opt in
    n) numbers=$OPTARG ;;
    l) listonly=1 ;;
    c) checkonly=1 ;;
    m) mutants=$OPTARG ;;
    b) build=$OPTARG ;;
    o) results=$OPTARG ;;
    s) skipbase=1 ;;
    h) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
patterns=("$@")
[ -f "$mutants" ] || { echo "no mutant list at $mutants" >&2; exit 2; }
build=$(cd "$root" && mkdir -p "$build" && cd "$build" && pwd)
work="$build/mutants"
mkdir -p "$work"
results=${results:-$work/results.tsv}
backup="$work/original.backup"
active="$work/active"   # the path of the file under mutation while one is applied

# ---- the file under mutation is always put back ----

exec 3>&2  # the run's own error output, for messages from the traps
child=""   # the build or test run under way, in a process group of its own
stop_child() {
    if [ -n "$child" ]; then
        kill -TERM -- -"$child" 2>/dev/null
        wait "$child" 2>/dev/null
        child=""
    fi
}
restore() {
    if [ -f "$active" ]; then
        local target
        target=$(cat "$active")
        if [ -f "$backup" ]; then
            # A plain copy gives the file a new time, so the next build
            # recompiles it instead of keeping the mutant's object file.
            cp "$backup" "$target" && touch "$target" || { echo "!! could not restore $target from $backup" >&3; return 1; }
            cmp -s "$backup" "$target" || { echo "!! $target differs from its backup $backup" >&3; return 1; }
            # And in case a compiler stopped half way wrote one after the copy.
            find "$build" -name "$(basename "$target").o" -path "*/$(basename "$(dirname "$target")")/*" -delete 2>/dev/null
        fi
        rm -f "$active" "$backup"
    fi
}
interrupted() {
    trap '' INT TERM HUP
    echo "interrupted: stopping the build or tests and restoring the source file" >&3
    stop_child
    restore
    exit 130
}
trap restore EXIT
trap interrupted INT TERM HUP

if [ -f "$active" ]; then
    echo "a previous run left $(cat "$active") mutated: restoring it" >&2
    restore || exit 1
fi

# ---- finding and applying a mutant's text (Python for exact text handling) ----

# locate ROOT PATH ORIGINAL -> prints the file that holds ORIGINAL exactly once
locate() {
    python3 - "$@" <<'EOF'
import os, subprocess, sys
root, path, original = sys.argv[1], sys.argv[2], sys.argv[3].replace("<NL>", "\n")
def count(p):
    try:
        with open(p, encoding="utf-8", errors="surrogateescape") as f:
            return f.read().count(original)
    except OSError:
        return -1
given = os.path.join(root, path)
n = count(given)
if n == 1:
    print(path); sys.exit(0)
try:
    files = subprocess.run(["git", "-C", root, "ls-files", "--cached", "--others", "--exclude-standard"], capture_output=True, text=True, check=True).stdout.split()
except Exception:
    files = [os.path.relpath(os.path.join(d, f), root) for d, _, fs in os.walk(root)
             if "/build" not in d and "/.git" not in d for f in fs]
sources = [f for f in files if f.endswith((".cpp", ".cc", ".h", ".hpp"))]
hits = [(f, count(os.path.join(root, f))) for f in sources]
hits = [(f, c) for f, c in hits if c > 0]
if len(hits) == 1 and hits[0][1] == 1:
    print(hits[0][0])
    print("note: %s: text found in %s instead" % (path, hits[0][0]), file=sys.stderr)
    sys.exit(0)
where = "missing" if n < 0 else "found %d times" % n
print("text %s in %s; elsewhere: %s" % (where, path,
      ", ".join("%s (%d)" % h for h in hits) or "nowhere"), file=sys.stderr)
sys.exit(1)
EOF
}

# apply FILE ORIGINAL REPLACEMENT -> rewrites FILE with the one occurrence replaced
apply_mutant() {
    python3 - "$@" <<'EOF'
import sys
path, original, replacement = sys.argv[1], sys.argv[2].replace("<NL>", "\n"), sys.argv[3].replace("<NL>", "\n")
with open(path, encoding="utf-8", errors="surrogateescape") as f:
    text = f.read()
if text.count(original) != 1:
    print("text occurs %d times in %s" % (text.count(original), path), file=sys.stderr); sys.exit(1)
with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
    f.write(text.replace(original, replacement, 1))
EOF
}

# ---- selecting mutants ----

in_numbers() {  # in_numbers N LIST
    local n=$1 part lo hi
    IFS=, read -ra parts <<<"$2"
    for part in "${parts[@]}"; do
        if [[ $part == *-* ]]; then lo=${part%-*} hi=${part#*-}; else lo=$part hi=$part; fi
        [ "$n" -ge "$lo" ] && [ "$n" -le "$hi" ] && return 0
    done
    return 1
}

sel_num=() sel_path=() sel_orig=() sel_repl=() sel_desc=()
num=0
while IFS= read -r line || [ -n "$line" ]; do
    [[ -z "${line// /}" || $line == \#* ]] && continue
    num=$((num + 1))
    # Split by hand: read would merge the two TABs around an empty replacement.
    tabs=${line//[^$'\t']/}
    path=${line%%$'\t'*} rest=${line#*$'\t'}
    orig=${rest%%$'\t'*} rest=${rest#*$'\t'}
    repl=${rest%%$'\t'*} desc=${rest#*$'\t'}
    if [ ${#tabs} -ne 3 ] || [ -z "$path" ] || [ -z "$orig" ] || [ -z "$desc" ]; then
        echo "!! mutant $num: a line needs exactly four TAB-separated fields: $line" >&2
        exit 2
    fi
    if [ -n "$numbers" ]; then
        in_numbers "$num" "$numbers" || continue
    elif [ ${#patterns[@]} -gt 0 ]; then
        hit=0
        for p in "${patterns[@]}"; do grep -qE -- "$p" <<<"$line" && hit=1 && break; done
        [ $hit = 1 ] || continue
    fi
    sel_num+=("$num") sel_path+=("$path") sel_orig+=("$orig") sel_repl+=("$repl") sel_desc+=("$desc")
done <"$mutants"
total=${#sel_num[@]}
[ "$total" -gt 0 ] || { echo "no mutant selected" >&2; exit 2; }

if [ $listonly = 1 ]; then
    for i in "${!sel_num[@]}"; do printf '%4d  %-28s %s\n' "${sel_num[$i]}" "${sel_path[$i]}" "${sel_desc[$i]}"; done
    exit 0
fi

if [ $checkonly = 1 ]; then
    bad=0
    for i in "${!sel_num[@]}"; do
        if ! locate "$root" "${sel_path[$i]}" "${sel_orig[$i]}" >/dev/null; then
            echo "!! mutant ${sel_num[$i]} (${sel_desc[$i]})" >&2
            bad=$((bad + 1))
        fi
    done
    echo "$((total - bad)) of $total mutants found exactly once"
    [ $bad = 0 ]
    exit
fi

# ---- building and testing ----

# Each runs as a job of its own (job control puts it in its own process
# group), waited for, so an interrupt is handled at once and stops it whole.
set -m
in_background() {
    "$@" &
    child=$!
    wait "$child"
    local rc=$?
    child=""
    return $rc
}
build_quietly() { in_background sh -c 'cd "$1" && exec nice -n "$2" cmake --build "$3" -j"$4"' sh "$root" "$nicelevel" "$build" "$jobs" >"$1" 2>&1; }
test_quietly() { in_background sh -c 'cd "$1" && exec nice -n "$2" ctest -L "$5" -j"$3" --timeout "$4"' sh "$build" "$nicelevel" "$jobs" "$timeout" "$label" >"$1" 2>&1; }

if [ $skipbase = 0 ]; then
    echo "baseline: building and running the unit tests unmutated"
    [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_BENCH=OFF >"$work/configure.log" 2>&1 ||
        { echo "!! configuring $build failed: see $work/configure.log" >&2; exit 1; }
    build_quietly "$work/baseline-build.log" || { echo "!! the unmutated build fails: see $work/baseline-build.log" >&2; exit 1; }
    test_quietly "$work/baseline-test.log" || { echo "!! the unit tests fail without a mutant: see $work/baseline-test.log" >&2; exit 1; }
fi

printf 'number\tarea\tstatus\tseconds\tfile\tdescription\tfailing tests\n' >"$results"
declare -A killed survived broken
order=()
survivors=()
notfound=0
for i in "${!sel_num[@]}"; do
    n=${sel_num[$i]} desc=${sel_desc[$i]}
    area=${desc%%:*}
    [ "$area" = "$desc" ] && area=other
    if [ -z "${killed[$area]+x}" ]; then killed[$area]=0 survived[$area]=0 broken[$area]=0; order+=("$area"); fi
    start=$SECONDS
    if ! file=$(locate "$root" "${sel_path[$i]}" "${sel_orig[$i]}"); then
        echo "!! mutant $n: original text not found exactly once (${desc}) -- NOT RUN" >&2
        printf '%s\t%s\tnot-found\t0\t%s\t%s\t\n' "$n" "$area" "${sel_path[$i]}" "$desc" >>"$results"
        notfound=$((notfound + 1))
        continue
    fi
    target="$root/$file"
    cp "$target" "$backup" && echo "$target" >"$active"
    if ! apply_mutant "$target" "${sel_orig[$i]}" "${sel_repl[$i]}"; then
        restore
        echo "!! mutant $n could not be applied -- NOT RUN" >&2
        printf '%s\t%s\tnot-found\t0\t%s\t%s\t\n' "$n" "$area" "$file" "$desc" >>"$results"
        notfound=$((notfound + 1))
        continue
    fi
    failing=""
    if ! build_quietly "$work/mutant-$n-build.log"; then
        status=build-failed
        broken[$area]=$((broken[$area] + 1))
    elif test_quietly "$work/mutant-$n-test.log"; then
        status=survived
        survived[$area]=$((survived[$area] + 1))
        survivors+=("$n	$file	$desc")
    else
        status=killed
        killed[$area]=$((killed[$area] + 1))
        failing=$(sed -n '/tests FAILED:/,$p' "$work/mutant-$n-test.log" | grep -oE ' - [^ ]+' | sed 's/^ - //' | paste -sd' ')
    fi
    restore || exit 1
    rm -f "$work/mutant-$n-build.log"
    [ "$status" = killed ] && rm -f "$work/mutant-$n-test.log"
    secs=$((SECONDS - start))
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$n" "$area" "$status" "$secs" "$file" "$desc" "$failing" >>"$results"
    printf '[%d/%d] #%-4d %-13s %-15s %4ss  %s\n' $((i + 1)) "$total" "$n" "$status" "$area" "$secs" "$desc"
done

# Leave the build matching the restored sources.
build_quietly "$work/final-build.log" || echo "!! the final rebuild failed: see $work/final-build.log" >&2

echo
printf '%-16s %7s %9s %13s %7s\n' area killed survived build-failed score
tk=0 ts=0 tb=0
for a in "${order[@]}"; do
    k=${killed[$a]} s=${survived[$a]} b=${broken[$a]}
    tk=$((tk + k)) ts=$((ts + s)) tb=$((tb + b))
    score=$([ $((k + s)) -gt 0 ] && awk "BEGIN{printf \"%.0f%%\", 100*$k/($k+$s)}" || echo -)
    printf '%-16s %7d %9d %13d %7s\n' "$a" "$k" "$s" "$b" "$score"
done
score=$([ $((tk + ts)) -gt 0 ] && awk "BEGIN{printf \"%.1f%%\", 100*$tk/($tk+$ts)}" || echo -)
printf '%-16s %7d %9d %13d %7s\n' total "$tk" "$ts" "$tb" "$score"
[ $notfound = 0 ] || echo "!! $notfound mutants were not run: their text was not found exactly once"
if [ ${#survivors[@]} -gt 0 ]; then
    echo
    echo "surviving mutants:"
    printf '  #%s\n' "${survivors[@]}"
fi
echo
echo "results: $results"
[ $notfound = 0 ]
