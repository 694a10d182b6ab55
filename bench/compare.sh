#!/usr/bin/env bash
# Two kinds of run on the same options, run one after the other ROUNDS times: the median moves
# per second of each and the median (with quartiles) of the ratio within each round, which
# shrugs off the machine getting faster or slower between rounds.
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
a=(); b=(); r=()
for ((i = 0; i < rounds; i++)); do
  # shellcheck disable=SC2086  # the extra options are meant to split into words
  x=$("$BENCH" "$@" $first 2>/dev/null | sed -n 's/.*moves_per_s=//p')
  # shellcheck disable=SC2086
  y=$("$BENCH" "$@" $second 2>/dev/null | sed -n 's/.*moves_per_s=//p')
  a+=("$x"); b+=("$y"); r+=("$(awk -v p="$x" -v q="$y" 'BEGIN{printf "%.4f", p/q}')")
done
quantiles() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {print v[int(NR/4)+1], v[int((NR+1)/2)], v[int(3*NR/4)]}'; }
read -r _ p _ <<<"$(quantiles "${a[@]}")"
read -r _ q _ <<<"$(quantiles "${b[@]}")"
read -r r1 rm r3 <<<"$(quantiles "${r[@]}")"
echo "first=$p second=$q ratio=$rm (quartiles $r1 .. $r3)"
