#!/usr/bin/env bash
# Median moves per second of the program's loop and of the plain baseline, alternating runs.
# usage: bench/compare.sh ROUNDS -- <quillmarch-bench options>
set -euo pipefail
BENCH="$(dirname "$0")/../build/quillmarch-bench"
rounds=$1; shift; [ "${1:-}" = "--" ] && shift
prog=(); base=()
for ((i = 0; i < rounds; i++)); do
  prog+=("$("$BENCH" "$@" 2>/dev/null | sed -n 's/.*moves_per_s=//p')")
  base+=("$("$BENCH" "$@" --baseline 2>/dev/null | sed -n 's/.*moves_per_s=//p')")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
p=$(median "${prog[@]}"); b=$(median "${base[@]}")
echo "program=$p baseline=$b ratio=$(awk -v p="$p" -v b="$b" 'BEGIN{printf "%.2f", p/b}')"
