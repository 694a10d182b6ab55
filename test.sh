#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite, the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 900
scripts/sanitize.sh
scripts/fuzz.sh
