#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one for a bounded
# time on a scratch corpus (the seeds of fuzz/corpus/ plus what earlier runs found), so the
# repository is never written. Fails when any target finds a crash.
# QM_FUZZ_SECONDS sets the time per target (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_PER_TARGET="${QM_FUZZ_SECONDS:-20}"
TARGETS=(fuzz_definition_line fuzz_line_reader fuzz_number_fields fuzz_sparse_stores fuzz_world_reader)
scripts/deps.sh clang libclang-rt-14-dev llvm cmake ninja-build

BUILD=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQM_FUZZ=ON -DQM_BUILD_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target qm_fuzz

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_SYMBOLIZER_PATH="${ASAN_SYMBOLIZER_PATH:-$(command -v llvm-symbolizer || true)}"
# The line reader writes a file per input: keep it in memory when the machine allows.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

failed=()
for target in "${TARGETS[@]}"; do
  corpus="$BUILD/corpus/$target"
  artifacts="$BUILD/artifacts/$target"
  log="$BUILD/logs/$target.log"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  cp fuzz/corpus/"$target"/* "$corpus"/
  before=$(find "$corpus" -type f | wc -l)

  start=$(date +%s)
  status=ok
  "$BUILD/fuzz/$target" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || status=FAILED
  elapsed=$(($(date +%s) - start))

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  after=$(find "$corpus" -type f | wc -l)
  echo "fuzz $target: $status, ${elapsed} s, ${runs:-?} inputs run, corpus $before -> $after files"
  if [ "$status" != ok ]; then
    failed+=("$target")
    grep -E -m5 "FUZZ_CHECK|ERROR: |runtime error|SUMMARY" "$log" | sed 's/^/  /' || true
    echo "  log: $log; crashing input in $artifacts/"
  fi
done

((${#failed[@]})) && echo "fuzz: crash found by ${failed[*]}"
echo "fuzz: $((${#TARGETS[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
((${#failed[@]} == 0))
