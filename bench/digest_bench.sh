#!/usr/bin/env bash
# The digests natively (bench/digest_bench.cpp, optimised, in build/bench), then in the
# same run, for each of SHA-1, SHA-256 and SHA-512, `openssl dgst` of the same bytes, which
# the benchmark writes to a file for it: openssl's throughput, best of RUNS runs with the
# file in the page cache, its digest compared with Mendlet's, and the ratio of Mendlet's
# throughput to it; and, for comparison, openssl's hashing alone (`openssl speed`), which
# reads no file.
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

# One digest, ALGORITHM as openssl names it, against openssl's: Mendlet's line is
# "ALGORITHM (extensions|portable)  RATE MiB/s  (DIGEST)".
compare_with_openssl() {
  local algorithm="$1" target="$2" ours digest theirs start theirs_rate speed_rate times=()
  read -r ours digest < <(awk -v name="$algorithm" '$1 == name && $2 ~ /^\(/ { gsub(/[()]/, "", $5); print $3, $5 }' \
    <<<"$report") || true
  if [ -z "${digest:-}" ]; then
    echo "no $algorithm line in the benchmark's report" >&2; exit 1
  fi
  for _ in $(seq "$runs"); do
    cat "$file" >/dev/null  # the page cache drops it within seconds of its last use
    start=$(date +%s.%N)
    theirs=$(openssl dgst "-$algorithm" -r "$file" | cut -d' ' -f1)
    times+=("$(calc "$(date +%s.%N) - $start")")
    if [ "$theirs" != "$digest" ]; then
      echo "openssl's $algorithm $theirs differs from Mendlet's $digest" >&2; exit 1
    fi
  done
  theirs_rate=$(calc "$mib / $(min "${times[@]}")")
  # openssl's hashing alone, in memory, without reading a file: what the rounds compare with.
  speed_rate=$(openssl speed -seconds 3 -bytes 65536 -evp "$algorithm" 2>/dev/null |
    awk -v name="$algorithm" '$1 == name { sub(/k$/, "", $2); printf "%.1f", $2 * 1000 / 1048576 }')
  echo
  printf 'openssl dgst -%-6s %9.1f MiB/s  (%s, best of %d runs)\n' "$algorithm" "$theirs_rate" \
    "$(openssl version | cut -d' ' -f1-2)" "$runs"
  printf 'openssl speed %-6s %9.1f MiB/s  (64 KiB blocks in memory, 3 s)\n' "$algorithm" "$speed_rate"
  printf '%s / openssl dgst throughput  : %5.2f  (target >= %s)\n' "$algorithm" "$(calc "$ours / $theirs_rate")" \
    "$target"
  printf '%s / openssl speed throughput : %5.2f  (target -)\n' "$algorithm" "$(calc "$ours / $speed_rate")"
}

compare_with_openssl sha1 0.9
compare_with_openssl sha256 0.95
compare_with_openssl sha512 0.9
