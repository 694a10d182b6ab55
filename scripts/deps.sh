#!/usr/bin/env bash
# Installs what the build and the tests need, only when something is missing.
# With arguments, installs those packages instead (the same way).
set -euo pipefail
if (($#)); then
  PACKAGES=("$@")
else
  PACKAGES=(g++ cmake ninja-build qt6-base-dev qt6-charts-dev libgtest-dev libzstd-dev libgif-dev pkg-config help2man xvfb xauth fonts-dejavu-core)
fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
