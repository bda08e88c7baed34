#!/usr/bin/env bash
# Reading and collecting the largest checksum files a join reads (bench/collect_bench.cpp,
# natively, optimised, in build/bench): 64 SFV files of 1 MiB, every line conflicting,
# beside a pass that only counts their lines. Fails when it takes a second or more.
#
#   bench/collect_bench.sh [RUNS]     default: 3
set -euo pipefail
source "$(dirname "$0")/common.sh"
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DMENDLET_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/bench" -j "$(nproc)" --target collect_bench >/dev/null
"$root/build/bench/collect_bench" "${1:-3}"
