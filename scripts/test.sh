#!/usr/bin/env bash
# Installs what is missing, builds the three builds and runs every test suite: the model's
# unit tests natively with sanitizers, the same tests plus the Win32 tests under Wine, and
# each fuzz target for a few seconds.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" native win fuzz
# One CTest run over all builds, so that one summary line covers every suite.
printf 'subdirs("native" "win" "fuzz")\n' >"$root/build/CTestTestfile.cmake"
cd "$root/build"
ctest --output-on-failure -j "$(nproc)" "$@"
