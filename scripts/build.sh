#!/usr/bin/env bash
# Configures and builds Mendlet: "win" (the Windows program, cross-compiled), "native" (the
# portable model and its tests with sanitizers) and/or "fuzz" (the fuzz targets, natively
# with clang's libFuzzer and sanitizers). Usage: build.sh [win] [native] [fuzz]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"
for build in "${@:-win}"; do
  case "$build" in
    win)
      cmake -S "$root" -B "$root/build/win" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null ;;
    native)
      cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug -DMENDLET_SANITIZE=ON >/dev/null ;;
    fuzz)
      cmake -S "$root" -B "$root/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DMENDLET_FUZZ=ON -DMENDLET_BUILD_TESTS=OFF >/dev/null ;;
    *) echo "unknown build: $build" >&2; exit 2 ;;
  esac
  cmake --build "$root/build/$build" -j "$jobs"
done
