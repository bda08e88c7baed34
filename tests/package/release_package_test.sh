#!/bin/sh
# The release zip as a user gets it: built by the "package" target and unpacked into a fresh
# folder, it holds exactly the program, the translations as the build wrote them, the user
# guide (the README's user part as a web page, with the pictures it shows) and the licence;
# the unpacked program then starts there and keeps its settings beside itself
# (unpacked_program_win32_test.cpp). The folder goes when the test ends.
#
#   release_package_test.sh SOURCE_DIR BUILD_DIR PACKAGE_NAME
set -eu
source_dir="$1" build="$2" name="$3"
started="$(date +%s)"
fail() { echo "release package: $*" >&2; exit 1; }

cmake --build "$build" --target package >/dev/null
unpacked="$(mktemp -d "${TMPDIR:-/tmp}/mendlet-release.XXXXXX")"
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$build/$name.zip")
home="$unpacked/$name"
guide="$home/Mendlet user guide.html"
[ -f "$guide" ] || fail "no user guide in the zip"
grep -qF '<title>Mendlet user guide</title>' "$guide" || fail "the guide is no whole web page"

# The pictures that the guide shows belong beside it; nothing else may come along.
pictures="$(grep -o ' src="[^"]*"' "$guide" | sed 's/^ src="\(.*\)"$/\1/')"
expected="$(printf '%s\n' LICENSE.txt "Mendlet user guide.html" lang/French.lng lang/German.lng mendlet.exe \
  $pictures | sort -u)"
actual="$(cd "$home" && find . -type f | sed 's|^\./||' | sort)"
[ "$actual" = "$expected" ] || fail "the zip holds
$actual
instead of
$expected"

cmp -s "$home/LICENSE.txt" "$source_dir/LICENSE.txt" || fail "LICENSE.txt differs from the source's"
for language in French German; do
  cmp -s "$home/lang/$language.lng" "$build/lang/$language.lng" || fail "lang/$language.lng differs from the build's"
  [ "$(head -c 2 "$home/lang/$language.lng" | od -An -tx1 | tr -d ' ')" = fffe ] ||
    fail "lang/$language.lng is not UTF-16 with a byte-order mark"
done

for user_part in "<h2>Running Mendlet from the release zip</h2>" "<h2>Using Mendlet</h2>" "<h3>A typical run</h3>" \
                 "<h3>Adding parts</h3>" "<h3>Settings</h3>" "<h3>Languages</h3>" "<h3>Keys</h3>"; do
  grep -qF "$user_part" "$guide" || fail "the guide lacks \"$user_part\""
done
for developer_part in "Wine" "<h2>Testing</h2>" "<h2>Benchmarks</h2>" "<h2>Building on Windows</h2>" \
                      "<h2>Layout</h2>" "scripts/" "build/" "<!--"; do
  if grep -qF -- "$developer_part" "$guide"; then fail "the guide holds \"$developer_part\""; fi
done

# The program's time limit is what is left of this test's.
if [ -n "${MENDLET_TIME_LIMIT:-}" ]; then
  export MENDLET_TIME_LIMIT=$((MENDLET_TIME_LIMIT - ($(date +%s) - started)))
fi
MENDLET_UNPACKED_FOLDER="$("$build/wine-run" winepath -w "$home" | tr -d '\r')" \
  "$build/wine-run" "$build/unpacked_program_tests.exe"
