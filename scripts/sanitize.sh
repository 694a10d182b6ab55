#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and
# runs them; any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each suite: the test program to build and the ctest label of its tests. One line per suite.
SUITES=(
  "qm_core_tests core"
  "qm_slow_tests slow"
  "qm_gui_tests gui"
)

targets=()
labels=()
for suite in "${SUITES[@]}"; do
  read -r target label <<<"$suite"
  targets+=("$target")
  labels+=("$label")
done
label_regex="^($(IFS='|'; echo "${labels[*]}"))\$"

scripts/deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Leaks inside the font and desktop libraries are theirs; see the file for what may go there.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-asan -L "$label_regex" --output-on-failure -j"$(nproc)" --timeout 900
