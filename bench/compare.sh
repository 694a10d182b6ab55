#!/usr/bin/env bash
# Median moves per second of two kinds of run on the same options, alternating runs, and their ratio.
# usage: bench/compare.sh ROUNDS [--first 'OPTIONS'] [--second 'OPTIONS'] -- <quillmarch-bench options>
#   default: the program's loop (no extra options) against --baseline;
#   e.g. --first '--gui' --second '' compares the window's run with the headless one.
set -euo pipefail
BENCH="$(dirname "$0")/../build/quillmarch-bench"
rounds=$1; shift
first=""; second="--baseline"
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  case "$1" in
    --first) first=$2; shift 2 ;;
    --second) second=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
[ "${1:-}" = "--" ] && shift
a=(); b=()
for ((i = 0; i < rounds; i++)); do
  # shellcheck disable=SC2086  # the extra options are meant to split into words
  a+=("$("$BENCH" "$@" $first 2>/dev/null | sed -n 's/.*moves_per_s=//p')")
  # shellcheck disable=SC2086
  b+=("$("$BENCH" "$@" $second 2>/dev/null | sed -n 's/.*moves_per_s=//p')")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
p=$(median "${a[@]}"); q=$(median "${b[@]}")
echo "first=$p second=$q ratio=$(awk -v p="$p" -v q="$q" 'BEGIN{printf "%.2f", p/q}')"
