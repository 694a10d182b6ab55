#!/usr/bin/env bash
# Builds the Debian package from an existing build tree (scripts/package.sh --reuse, which also
# runs lintian and the validators) and checks what a user gets from it: the file name, exactly
# the files meant to be installed, Depends computed from the binary, a program that runs from
# the package's own contents, world files typed and opened by it, a manual page that names the
# same options as --help.
#   tests/package/check_package.sh BUILD_DIR
set -euo pipefail
BUILD=$(cd "${1:?usage: check_package.sh BUILD_DIR}" && pwd)
cd "$(dirname "$0")/../.."
scripts/deps.sh libglib2.0-bin man-db bsdextrautils

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DEB=$(scripts/package.sh --reuse "$BUILD")
[ -f "$DEB" ] || { echo "FAIL: no package built" >&2; exit 1; }

version=$("$BUILD/quillmarch" --version | awk '{print $2}')
expected_name="quillmarch_${version}_$(dpkg --print-architecture).deb"
[ "$(basename "$DEB")" = "$expected_name" ] || fail "package named $(basename "$DEB"), expected $expected_name"

# Exactly these files: nothing missing, and no developer's tool slipped in.
expected_files="/usr/bin/quillmarch
/usr/share/applications/quillmarch.desktop
/usr/share/doc/quillmarch/changelog.gz
/usr/share/doc/quillmarch/copyright
/usr/share/icons/hicolor/scalable/apps/quillmarch.svg
/usr/share/icons/hicolor/scalable/mimetypes/application-x-quillmarch-world.svg
/usr/share/man/man1/quillmarch.1.gz
/usr/share/metainfo/org.example.quillmarch.metainfo.xml
/usr/share/mime/packages/quillmarch.xml"
actual_files=$(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' | sort)
[ "$actual_files" = "$expected_files" ] ||
  fail "package contents differ:$(diff <(echo "$expected_files") <(echo "$actual_files") | sed -n 's/^[<>]/\n  &/p' | tr -d '\n')"

# Depends as dpkg-shlibdeps found them: the toolkit and zstd among them, each with a version.
depends=$(dpkg-deb -f "$DEB" Depends)
for library in libc6 libqt6widgets6 libzstd1 libstdc++6; do
  grep -qE "^${library//+/\\+} \(>= [^)]+\)$" <<<"${depends//, /$'\n'}" ||
    fail "Depends lacks $library with a version: $depends"
done

ROOT=$(mktemp -d)
trap 'rm -rf "$ROOT"' EXIT
dpkg-deb -x "$DEB" "$ROOT"
program="$ROOT/usr/bin/quillmarch"
[ "$("$program" --version)" = "quillmarch $version" ] || fail "the packaged program does not answer --version"

# A world the packaged program writes is of the world type by its name and by its first bytes,
# has the world icon, and opens in the program's desktop entry (as a double click does).
(cd "$ROOT" && "$program" --batch --max-steps 2000 --save-world world.qmw >/dev/null) ||
  fail "the packaged program's batch run failed"
cp "$ROOT/world.qmw" "$ROOT/renamed-world"
XDG_DATA_DIRS="$ROOT/usr/share" update-mime-database "$ROOT/usr/share/mime"
update-desktop-database "$ROOT/usr/share/applications"
# GLib lists a desktop entry only when its program is on the PATH.
in_root() { LC_ALL=C PATH="$ROOT/usr/bin:$PATH" XDG_DATA_HOME="$ROOT/nothing" XDG_DATA_DIRS="$ROOT/usr/share" "$@"; }
for world in world.qmw renamed-world; do
  type=$(in_root gio info -a standard::content-type "$ROOT/$world" | sed -n 's/^ *standard::content-type: //p')
  [ "$type" = application/x-quillmarch-world ] || fail "$world is typed '$type'"
done
grep -q 'standard::icon: application-x-quillmarch-world' <<<"$(in_root gio info -a standard::icon "$ROOT/world.qmw")" ||
  fail "a world file does not get the world icon"
grep -q '^Default application for .*: quillmarch\.desktop$' <<<"$(in_root gio mime application/x-quillmarch-world)" ||
  fail "world files do not open in quillmarch.desktop"
grep -q '^Exec=quillmarch %f$' "$ROOT/usr/share/applications/quillmarch.desktop" ||
  fail "the desktop entry does not pass the file to the program"

# The manual page renders cleanly and describes exactly the options --help names.
page="$ROOT/usr/share/man/man1/quillmarch.1.gz"
warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page has errors: $warnings"
help_options=$("$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
# Whole outputs are read before grep: with pipefail, a grep -q that stops early fails the pipe.
rendered=$(MANWIDTH=200 man -l "$page" 2>/dev/null | col -b)
page_options=$(sed -n '/^OPTIONS/,/^[A-Z]/p' <<<"$rendered" | grep -oE '^ {7}--[a-z][a-z-]*' | tr -d ' ' | sort -u)
[ "$help_options" = "$page_options" ] ||
  fail "--help and the manual page name different options:$(diff <(echo "$help_options") <(echo "$page_options") | sed -n 's/^[<>]/\n  &/p' | tr -d '\n')"
for section in SYNOPSIS DESCRIPTION "EXIT STATUS" FILES EXAMPLES; do
  grep -qx "$section" <<<"$rendered" || fail "the manual page has no $section"
done

((failures == 0)) && echo "package: $DEB checked"
((failures == 0))
