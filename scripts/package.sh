#!/usr/bin/env bash
# Builds the Debian package quillmarch_<version>_<arch>.deb with CPack and checks it with the
# tools made for it: lintian, desktop-file-validate, appstreamcli.
#
#   scripts/package.sh                 Release build in build-package/, package there
#   scripts/package.sh --reuse DIR     package an existing, built tree (the tests use build/)
#
# Prints the path of the package on standard output, everything else on standard error.
# Fails on any lintian error or warning that is not listed below with its reason.
set -euo pipefail
cd "$(dirname "$0")/.."
exec 3>&1 1>&2

BUILD=build-package
REUSE=0
if [ "${1:-}" = "--reuse" ]; then
  BUILD="${2:?--reuse needs a build directory}"
  REUSE=1
fi

scripts/deps.sh
scripts/deps.sh dpkg-dev file lintian desktop-file-utils appstream shared-mime-info

# Dates inside the package are the last commit's, so the same sources give the same files.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || date +%s)
  export SOURCE_DATE_EPOCH
fi

if ((!REUSE)); then
  CCACHE=$(command -v ccache || true)
  # Debian's own compiler and linker flags (hardening); the package needs nothing but the
  # program, so the install step does not build the developer's tools and tests first.
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    ${CCACHE:+-DCMAKE_CXX_COMPILER_LAUNCHER="$CCACHE"} \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
fi
cmake --build "$BUILD" -j"$(nproc)" --target quillmarch quillmarch-install-data

OUT="$BUILD/package"
rm -rf "$OUT"
(cd "$BUILD" && cpack -B "$PWD/package" >/dev/null) || { echo "package: cpack failed" >&2; exit 1; }
debs=("$OUT"/quillmarch_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "package: expected one .deb in $OUT" >&2; exit 1; }
DEB="${debs[0]}"

# The data files as installed, each by its own validator.
ROOT=$(mktemp -d)
trap 'rm -rf "$ROOT"' EXIT
dpkg-deb -x "$DEB" "$ROOT"
desktop-file-validate "$ROOT/usr/share/applications/quillmarch.desktop"
appstreamcli validate --no-net --pedantic "$ROOT"/usr/share/metainfo/*.metainfo.xml >/dev/null
# As the system's trigger does on install (with the root on the search path, so that it does
# not warn that the root is not).
XDG_DATA_DIRS="$ROOT/usr/share" update-mime-database "$ROOT/usr/share/mime"

# lintian tags that may stay, each with its reason (none today):
SUPPRESSED=(
)
suppress=$(IFS=,; echo "${SUPPRESSED[*]:-}")
# The build runs as root on CI machines; lintian's warning about that says nothing of the package.
lintian --fail-on error,warning ${suppress:+--suppress-tags "$suppress"} "$DEB" 2> >(grep -v 'running with root privileges' >&2)

echo "$DEB" >&3
