#!/usr/bin/env bash
# cpu.sh PID [SECONDS]: the share of one core a running process used over
# SECONDS (10 by default), from the scheduler's time of all its threads.
set -eu
pid=$1
seconds=${2:-10}
busy() { cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ns += $1} END {printf "%d\n", ns}'; }
[ -d /proc/"$pid" ] || { echo "no process $pid" >&2; exit 1; }
before=$(busy)
sleep "$seconds"
after=$(busy)
awk -v ns=$((after - before)) -v s="$seconds" 'BEGIN {printf "%.2f%% of a core over %s s\n", ns / (s * 1e7), s}'
