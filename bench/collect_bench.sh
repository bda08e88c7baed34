#!/usr/bin/env bash
# Reading and collecting the largest checksum files a join reads (bench/collect_bench.cpp):
# 64 SFV files of 1 MiB, every line conflicting, beside a pass that only counts their lines;
# natively (optimised, in build/bench), then the Windows build under Wine (build/bench-win),
# whose heap and wide strings are not those of Linux. Fails when either takes a second or
# more.
#
#   bench/collect_bench.sh [RUNS]     default: 3
set -euo pipefail
source "$(dirname "$0")/common.sh"
runs="${1:-3}"

bench_start
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DMENDLET_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/bench" -j "$(nproc)" --target collect_bench >/dev/null

failed=0
echo "natively:"
"$root/build/bench/collect_bench" "$runs" || failed=1
echo "under Wine:"
"$build/wine-run" "$build/collect_bench.exe" "$runs" | tr -d '\r' || failed=1
processor
exit "$failed"
