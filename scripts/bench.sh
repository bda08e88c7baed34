#!/usr/bin/env bash
# Every benchmark in one run, each beside a reference measured in the same run: the
# digests natively, each against a tool that computes it; the collection of the largest
# checksum files against counting their lines, natively and under Wine; then under Wine
# the join against `cat` and `md5sum`, the join's peak memory against a small join and an
# idle process, and adding 10,000 and 100,000 files against listing and opening them;
# natively, the slices of a download checked against its PAR 2.0 set, against `par2 v` and
# `md5sum`; the GF(2^16) multiply-adds of a repair natively, each way against the portable
# one; a join that repairs under Wine against `par2 r`.
#
#   scripts/bench.sh [TOTAL_MIB [PART_MIB [RUNS]]]     defaults: 2048 100 3
#
# TOTAL_MIB and PART_MIB size the joined set, RUNS is how many runs the join and the adding
# take the best of; the digests use their own defaults (256 MiB, best of 3).
set -euo pipefail
source "$(dirname "$0")/../bench/common.sh"
total_mib="${1:-2048}"
part_mib="${2:-100}"
runs="${3:-3}"

bench_start
echo "== digests, natively, against zlib, md5sum, openssl, b2sum and b3sum"
"$root/bench/digest_bench.sh"
echo "== reading and collecting the largest checksum files, natively and under Wine"
"$root/bench/collect_bench.sh"
echo "== join under Wine"
"$root/bench/join_bench.sh" "$total_mib" "$part_mib" "$runs"
echo "== peak memory of the join under Wine"
"$root/bench/memory_bench.sh" "$total_mib" "$part_mib"
echo "== adding files under Wine"
"$root/bench/gather_bench.sh" "$runs"
echo "== PAR 2.0 slices, natively, against par2 v and md5sum"
"$root/bench/par2_bench.sh" "$total_mib" "$part_mib" "$runs"
echo "== the repair's GF(2^16) multiply-adds, natively"
cmake --build "$root/build/bench" -j "$(nproc)" --target gf16_bench >/dev/null
"$root/build/bench/gf16_bench"
echo "== a join that repairs, under Wine, against par2 r"
"$root/bench/repair_bench.sh" "$runs" "$total_mib"
