#!/usr/bin/env bash
# Installs what is missing, builds both builds and runs every test suite: the model's
# unit tests natively with sanitizers, and the same tests plus the Win32 tests under Wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" native win
# One CTest run over both builds, so that one summary line covers every suite.
printf 'subdirs("native" "win")\n' >"$root/build/CTestTestfile.cmake"
cd "$root/build"
ctest --output-on-failure -j "$(nproc)" "$@"
