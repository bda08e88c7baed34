#!/usr/bin/env bash
# The digests natively (bench/digest_bench.cpp, optimised, in build/bench), then in the
# same run each against a reference over the same bytes, which the benchmark writes to a
# file for them: the CRC-32 against zlib's crc32 (through Python, in memory), MD5 against
# `md5sum` and `openssl speed`, SHA-1, SHA-256 and SHA-512 against `openssl dgst` and
# `openssl speed` (SHA-512's build for AVX2 too, as processors without AVX-512 run it),
# BLAKE2b against `b2sum` and BLAKE3 against `b3sum` on one thread. A tool that reads the
# file runs RUNS times with the file in the page cache, its best time counts and its digest
# must be Mendlet's. Each ratio is Mendlet's throughput over the reference's, with its goal.
# All times are processor time (user and system), as `openssl speed` counts, so that other
# work on a shared machine counts little.
#
#   bench/digest_bench.sh [MIB [RUNS]]     defaults: 256 3
set -euo pipefail
source "$(dirname "$0")/common.sh"
mib="${1:-256}"
runs="${2:-3}"
file="$data/digest.bin"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DMENDLET_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/bench" -j "$(nproc)" --target digest_bench >/dev/null

mkdir -p "$data"
at_exit 'rm -f "$file"'
report=$("$root/build/bench/digest_bench" "$mib" "$runs" "$file")
echo "$report"
echo
processor

# Mendlet's rate and digest from its line "NAME (BUILD)  RATE MiB/s  (DIGEST)"; the
# CRC-32's line has one word more.
ours() {
  awk -v name="$1" '$1 == name && $2 ~ /^\(/ { gsub(/[()]/, "", $5); print $3, $5 }
    $1 == name && $2 == "update" { gsub(/[()]/, "", $6); print $4, $6 }' <<<"$report"
}
# The rate of Mendlet's line that starts with these words.
line_rate() {
  awk -v words="$1" 'index($0, words " ") == 1 { for (i = 1; i < NF; ++i) if ($(i + 1) == "MiB/s") print $i }' \
    <<<"$report"
}

# The best rate of a command over the file, the page cache warm (it drops the file within
# seconds of its last use); the first word it prints must be the digest.
tool_rate() {
  local digest="$1" seconds theirs times=()
  shift
  for _ in $(seq "$runs"); do
    cat "$file" >/dev/null
    read -r seconds theirs < <(python3 -c '
import resource, subprocess, sys
before = resource.getrusage(resource.RUSAGE_CHILDREN)
output = subprocess.run(sys.argv[1:], check=True, capture_output=True, text=True).stdout
after = resource.getrusage(resource.RUSAGE_CHILDREN)
seconds = after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime
print(f"{seconds:.6f}", output.split()[0])' "$@")
    times+=("$seconds")
    if [ "$theirs" != "$digest" ]; then
      echo "$* gives $theirs, Mendlet $digest" >&2; exit 1
    fi
  done
  calc "$mib / $(min "${times[@]}")"
}
# openssl's hashing alone, in memory, without reading a file: the best of RUNS runs of a
# second, as Mendlet's figures are the best of theirs.
speed_rate() {
  local rates=()
  for _ in $(seq "$runs"); do
    rates+=("$(openssl speed -seconds 1 -bytes 65536 -evp "$1" 2>/dev/null |
      awk -v name="$1" '$1 == name { sub(/k$/, "", $2); printf "%.1f", $2 * 1000 / 1048576 }')")
  done
  printf '%s\n' "${rates[@]}" | sort -g | tail -1
}
reference() { printf '%-28s %9.1f MiB/s  (%s)\n' "$1" "$2" "$3"; }
ratio() { printf '%-40s: %5.2f  (target %s)\n' "$1 / $2" "$(calc "$3 / $4")" "$5"; }

read -r rate digest < <(ours crc32)
read -r zlib_rate zlib_digest < <(python3 - "$file" "$runs" <<'PYTHON'
import sys, time, zlib
data = open(sys.argv[1], "rb").read()
best, value = None, 0
for _ in range(int(sys.argv[2])):
    start = time.process_time()
    value = zlib.crc32(data)
    seconds = time.process_time() - start
    best = seconds if best is None else min(best, seconds)
print(f"{len(data) / 1048576 / best:.1f} {value:08x}")
PYTHON
)
if [ "$zlib_digest" != "$digest" ]; then
  echo "zlib's crc32 $zlib_digest differs from Mendlet's $digest" >&2; exit 1
fi
echo
reference "zlib crc32" "$zlib_rate" "Python $(python3 -c 'import zlib; print(zlib.ZLIB_RUNTIME_VERSION)'), in memory"
ratio crc32 "zlib crc32" "$rate" "$zlib_rate" "-"

read -r rate digest < <(ours md5)
md5sum_rate=$(tool_rate "$digest" md5sum "$file")
md5_speed=$(speed_rate md5)
echo
reference md5sum "$md5sum_rate" "best of $runs runs"
reference "openssl speed md5" "$md5_speed" "64 KiB blocks in memory, best of $runs s"
ratio md5 md5sum "$rate" "$md5sum_rate" ">= 1.0"
ratio md5 "openssl speed md5" "$rate" "$md5_speed" "-"

# SHA-1, SHA-256, SHA-512, as openssl names them, with the goal against `openssl dgst`.
for goal in sha1:0.9 sha256:0.95 sha512:0.9; do
  algorithm=${goal%%:*}
  read -r rate digest < <(ours "$algorithm")
  dgst_rate=$(tool_rate "$digest" openssl dgst "-$algorithm" -r "$file")
  sha_speed=$(speed_rate "$algorithm")
  echo
  reference "openssl dgst -$algorithm" "$dgst_rate" "$(openssl version | cut -d' ' -f1-2), best of $runs runs"
  reference "openssl speed $algorithm" "$sha_speed" "64 KiB blocks in memory, best of $runs s"
  ratio "$algorithm" "openssl dgst" "$rate" "$dgst_rate" ">= ${goal#*:}"
  ratio "$algorithm" "openssl speed" "$rate" "$sha_speed" "-"
done
wide_rate=$(line_rate "sha512 avx2 build")
if [ -n "$wide_rate" ]; then
  ratio "sha512 avx2 build" "openssl speed" "$wide_rate" "$sha_speed" ">= 1.0"
fi

read -r rate digest < <(ours blake2b)
b2sum_rate=$(tool_rate "$digest" b2sum "$file")
echo
reference b2sum "$b2sum_rate" "$(b2sum --version | head -1), best of $runs runs"
ratio blake2b b2sum "$rate" "$b2sum_rate" ">= 1.0"

read -r rate digest < <(ours blake3)
b3sum_rate=$(tool_rate "$digest" b3sum --num-threads 1 "$file")
echo
reference "b3sum --num-threads 1" "$b3sum_rate" "$(b3sum --version), best of $runs runs"
ratio blake3 "b3sum --num-threads 1" "$rate" "$b3sum_rate" ">= 0.9"
