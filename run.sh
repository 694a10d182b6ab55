#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found; start it under a virtual one with: xvfb-run -a -s '-screen 0 1280x1024x24' build/quillmarch"
  exit 0
fi
exec build/quillmarch "$@"
