#!/usr/bin/env bash
# The digests natively (bench/digest_bench.cpp, optimised, in build/bench), then in the
# same run `openssl dgst -sha256` of the same bytes, which the benchmark writes to a file
# for it: openssl's throughput, best of RUNS runs with the file in the page cache, and the
# ratio of Mendlet's SHA-256 throughput to it; and, for comparison, openssl's hashing alone
# (`openssl speed`), which reads no file.
#
#   bench/digest_bench.sh [MIB [RUNS]]     defaults: 256 3
set -euo pipefail
source "$(dirname "$0")/common.sh"
mib="${1:-256}"
runs="${2:-3}"
file="$data/digest.bin"

cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DMENDLET_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/bench" -j "$(nproc)" --target digest_bench >/dev/null

mkdir -p "$data"
at_exit 'rm -f "$file"'
report=$("$root/build/bench/digest_bench" "$mib" "$runs" "$file")
echo "$report"
read -r ours digest < <(awk '/^sha256 \(/ { gsub(/[()]/, "", $5); print $3, $5 }' <<<"$report")

times=()
for _ in $(seq "$runs"); do
  cat "$file" >/dev/null  # the page cache drops it within seconds of its last use
  start=$(date +%s.%N)
  theirs=$(openssl dgst -sha256 -r "$file" | cut -d' ' -f1)
  times+=("$(calc "$(date +%s.%N) - $start")")
  if [ "$theirs" != "$digest" ]; then
    echo "openssl's SHA-256 $theirs differs from Mendlet's $digest" >&2; exit 1
  fi
done
theirs_rate=$(calc "$mib / $(min "${times[@]}")")
# openssl's hashing alone, in memory, without reading a file: what the rounds compare with.
speed_rate=$(openssl speed -seconds 3 -bytes 65536 -evp sha256 2>/dev/null |
  awk '/^sha256/ { sub(/k$/, "", $2); printf "%.1f", $2 * 1000 / 1048576 }')
echo
printf 'openssl dgst -sha256 %9.1f MiB/s  (%s, best of %d runs)\n' "$theirs_rate" "$(openssl version | cut -d' ' -f1-2)" "$runs"
printf 'openssl speed sha256 %9.1f MiB/s  (64 KiB blocks in memory, 3 s)\n' "$speed_rate"
printf 'sha256 / openssl dgst throughput  : %5.2f  (target >= 0.90)\n' "$(calc "$ours / $theirs_rate")"
printf 'sha256 / openssl speed throughput : %5.2f  (target -)\n' "$(calc "$ours / $speed_rate")"
