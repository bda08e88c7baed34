#!/usr/bin/env bash
# Joins a generated set of parts with Mendlet's join engine (bench/join_bench_win32.cpp,
# under Wine) four ways: no digests, CRC-32 only, MD5 only, both; then the last two again
# with checksum files beside the parts to check them against; then checks the parts alone,
# against an SFV file and against an MD5 file of the whole. In the same run it times `cat`
# of the same parts and `md5sum` of the joined file, then prints MB/s for each, the ratios
# and what the checking costs, best of RUNS runs with a warm page cache.
#
#   bench/join_bench.sh [TOTAL_MIB [PART_MIB [RUNS]]]     defaults: 2048 100 3
#
# The parts (build/bench-data/join) are kept for the next run and for bench/memory_bench.sh.
set -euo pipefail
source "$(dirname "$0")/common.sh"
total_mib="${1:-2048}"
part_mib="${2:-100}"
runs="${3:-3}"
set_folder="$data/join"
output="$data/joined.bin"

bench_start
at_exit 'rm -f "$output"'
bench_parts "$set_folder" "$total_mib" "$part_mib"
parts=("$set_folder"/data.bin.[0-9][0-9][0-9])
bytes=$(cat "${parts[@]}" | wc -c)  # also warms the page cache
win_set="$(winpath "$set_folder")"
win_output="$(winpath "$data")\\joined.bin"

now() { date +%s.%N; }
# This kind of machine drops file pages from its cache within seconds of their last use,
# so every run reads its input once just before it starts.
warm() { cat "$@" >/dev/null; }
# Seconds of one command, with the page cache flushed of dirty data first.
timed() {
  sync
  local start; start=$(now)
  "$@"
  calc "$(now) - $start"
}

declare -A best
cat_times=(); md5sum_times=()
for _ in $(seq "$runs"); do
  rm -f "$output"; warm "${parts[@]}"
  cat_times+=("$(timed sh -c 'cat "$@" > "$0"' "$output" "${parts[@]}")")
done
best[cat]=$(min "${cat_times[@]}")
reference_md5=$(md5sum "$output" | cut -d' ' -f1)
reference_crc=$(python3 -c 'import sys, zlib
crc = 0
with open(sys.argv[1], "rb") as f:
    for block in iter(lambda: f.read(1 << 20), b""): crc = zlib.crc32(block, crc)
print("%08x" % crc)' "$output")
for _ in $(seq "$runs"); do
  warm "$output"
  md5sum_times+=("$(timed sh -c 'md5sum "$0" >/dev/null' "$output")")
done
best[md5sum]=$(min "${md5sum_times[@]}")

# Best time of RUNS joins with the digests named, as the result is kept under the name given.
measure() {
  local mode="$1" name="$2" times=() run seconds crc md5
  for run in $(seq "$runs"); do
    rm -f "$output"; warm "${parts[@]}"; sync
    read -r seconds _ crc md5 _ < <(join_bench join "$win_set" "$mode" "$win_output" | tr -d '\r')
    times+=("$seconds")
    if { [ "$crc" != "-" ] && [ "$crc" != "$reference_crc" ]; } || { [ "$md5" != "-" ] && [ "$md5" != "$reference_md5" ]; } ||
       { [ "$run" = 1 ] && ! cat "${parts[@]}" | cmp -s - "$output"; }; then
      echo "join ($name) gave a wrong result: crc $crc md5 $md5" >&2; exit 1
    fi
  done
  best[$name]=$(min "${times[@]}")
}
for mode in none crc32 md5 both; do measure "$mode" "$mode"; done

# The same joins checked against checksum files beside the parts, each needing only the
# digests ticked: an SFV file with every part's CRC-32, then also an MD5 file of the whole.
# A join that did not verify says so on stderr.
sfv="$set_folder/joined.bin.sfv" md5_file="$set_folder/joined.bin.md5"
at_exit 'rm -f "$sfv" "$md5_file"'
python3 - "$sfv" "${parts[@]}" <<'PY'
import os, sys, zlib
with open(sys.argv[1], "w", newline="\r\n") as sfv:
    for path in sys.argv[2:]:
        crc = 0
        with open(path, "rb") as part:
            for block in iter(lambda: part.read(1 << 20), b""): crc = zlib.crc32(block, crc)
        print("%s %08x" % (os.path.basename(path), crc), file=sfv)
PY
# Best time of RUNS checks of the parts, which must find every part listed matching.
measure_check() {
  local name="$1" times=() seconds outcome
  for _ in $(seq "$runs"); do
    warm "${parts[@]}"
    if ! read -r seconds _ outcome < <(join_bench check "$win_set" "$win_output" | tr -d '\r') ||
       [ "${outcome#Parts checked: all}" = "$outcome" ]; then
      echo "check ($name) did not pass: $outcome" >&2; exit 1
    fi
    times+=("$seconds")
  done
  echo "  $name: $outcome"
  best[$name]=$(min "${times[@]}")
}
measure crc32 "crc32, checked by .sfv"
measure_check "check parts by .sfv"
printf '%s *joined.bin\n' "$reference_md5" > "$md5_file"
measure both "both, checked by .sfv and .md5"
rm -f "$sfv"
measure_check "check parts by .md5 of the whole"

echo "join of $((bytes / 1048576)) MiB in ${#parts[@]} parts, best of $runs runs, page cache warm"
for name in cat md5sum none crc32 md5 both "crc32, checked by .sfv" "both, checked by .sfv and .md5" \
    "check parts by .sfv" "check parts by .md5 of the whole"; do
  label="$name"; case "$name" in cat|md5sum|check*) ;; *) label="Mendlet, digests: $name" ;; esac
  printf '  %-50s %7.3f s  %6.0f MB/s\n' "$label" "${best[$name]}" "$(calc "$bytes / ${best[$name]} / 1000000")"
done
ratio() {
  printf '  %-30s %5.2f  (target %s)\n' "$1 / $2 throughput" "$(calc "${best[$2]} / ${best[$1]}")" "$3"
}
ratio none cat ">= 0.85"
ratio crc32 cat ">= 0.85"
ratio both md5sum ">= 0.85"
ratio md5 md5sum "-"
ratio "check parts by .sfv" none ">= 1"
ratio "check parts by .md5 of the whole" md5sum ">= 1"
cost() {
  printf '  %-30s %5.1f %%  (target < 5 %%)\n' "checking cost, $1" "$(calc "(${best[$2]} / ${best[$1]} - 1) * 100")"
}
cost crc32 "crc32, checked by .sfv"
cost both "both, checked by .sfv and .md5"
