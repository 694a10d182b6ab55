#!/usr/bin/env bash
# Two kinds of run on the same options, run one after the other ROUNDS times: the median moves
# per second of each and the median (with quartiles) of the ratio within each round, which
# shrugs off the machine getting faster or slower between rounds.
# usage: bench/compare.sh ROUNDS [--first 'OPTIONS'] [--second 'OPTIONS'] -- <quillmarch-bench options>
#   default: the program's loop (no extra options) against --baseline;
#   e.g. --first '--gui' --second '' compares the window's run with the headless one.
# usage: bench/compare.sh ROUNDS --table [OTHER_BENCH]
#   the window against the headless loop on the long workload, one row per display: the median
#   ratio of each round's window run to its headless run, for this build and, measured side by
#   side in the same rounds, for OTHER_BENCH (e.g. a build of an earlier commit).
set -euo pipefail
BENCH="$(dirname "$0")/../build/quillmarch-bench"
WORKLOADS="$(dirname "$0")/workloads"
rounds=$1; shift

median() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
movesPerSecond() { "$@" 2>/dev/null | sed -n 's/.*moves_per_s=//p' | tail -1; }
ratio() { awk -v p="$1" -v q="$2" 'BEGIN{printf "%.4f", (q > 0 ? p/q : 0)}'; }

# One row: the ratio of the window run (extra options $2) to the headless run, per binary.
tableRow() {
  local name=$1 gui=$2; shift 2
  local -a mine=() theirs=()
  for ((i = 0; i < rounds; i++)); do
    for bench in "${binaries[@]}"; do
      # Which kind runs first alternates by round: on a busy machine the first of two runs
      # can be favoured by a percent or two.
      local w h
      if ((i % 2 == 0)); then
        # shellcheck disable=SC2086  # the window options are meant to split into words
        w=$(movesPerSecond "$bench" "$@" $gui)
        h=$(movesPerSecond "$bench" "$@")
      else
        h=$(movesPerSecond "$bench" "$@")
        # shellcheck disable=SC2086
        w=$(movesPerSecond "$bench" "$@" $gui)
      fi
      if [ "$bench" = "$BENCH" ]; then mine+=("$(ratio "$w" "$h")"); else theirs+=("$(ratio "$w" "$h")"); fi
    done
  done
  printf '%-34s this=%s' "$name" "$(median "${mine[@]}")"
  [ ${#theirs[@]} -gt 0 ] && printf ' other=%s' "$(median "${theirs[@]}")"
  printf '\n'
}

# The eye row: shown against hidden in one window, as the benchmark pairs them itself.
eyeRow() {
  printf '%-34s this=%s' "eye shown / hidden (default)" \
    "$("$BENCH" "$@" --gui --eye-pairs "$rounds" 2>/dev/null | sed -n 's/^eye_ratio=\([0-9.]*\).*/\1/p')"
  [ ${#binaries[@]} -gt 1 ] && printf ' other=%s' \
    "$("${binaries[1]}" "$@" --gui --eye-pairs "$rounds" 2>/dev/null | sed -n 's/^eye_ratio=\([0-9.]*\).*/\1/p')"
  printf '\n'
}

if [ "${1:-}" = "--table" ]; then
  binaries=("$BENCH")
  [ -n "${2:-}" ] && binaries+=("$2")
  long=(--ants "$WORKLOADS/ants1000.txt" --mode indexed65535 --mem 1)
  tableRow "size 0, numbers hidden" "--gui --size 0 --show 0" "${long[@]}"
  tableRow "size 0, state both (--show 3)" "--gui --size 0 --show 3" "${long[@]}"
  tableRow "default display" "--gui" "${long[@]}"
  eyeRow "${long[@]}"
  tableRow "one ant, default display" "--gui" --mode indexed255 --mem 5
  exit 0
fi
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
runKind() { "$BENCH" "$@" 2>/dev/null | sed -n 's/.*moves_per_s=//p'; }
for ((i = 0; i < rounds; i++)); do
  # The first kind runs first in even rounds, second in odd ones (see tableRow).
  # shellcheck disable=SC2086  # the extra options are meant to split into words
  if ((i % 2 == 0)); then
    x=$(runKind "$@" $first); y=$(runKind "$@" $second)
  else
    y=$(runKind "$@" $second); x=$(runKind "$@" $first)
  fi
  a+=("$x"); b+=("$y"); r+=("$(awk -v p="$x" -v q="$y" 'BEGIN{printf "%.4f", p/q}')")
done
quantiles() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {print v[int(NR/4)+1], v[int((NR+1)/2)], v[int(3*NR/4)]}'; }
read -r _ p _ <<<"$(quantiles "${a[@]}")"
read -r _ q _ <<<"$(quantiles "${b[@]}")"
read -r r1 rm r3 <<<"$(quantiles "${r[@]}")"
echo "first=$p second=$q ratio=$rm (quartiles $r1 .. $r3)"
