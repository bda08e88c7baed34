#!/usr/bin/env bash
# Checks the slices of a download of TOTAL_MIB in parts of PART_MIB (21 parts for the
# defaults) against its PAR 2.0 set with Mendlet's reader and slice checker
# (bench/par2_bench.cpp, natively, optimised, in build/bench), and in the same run times
# `par2 v` of the same set and `md5sum` of the same parts, best of RUNS runs each with the
# parts read into the page cache just before; prints the ratios with their goals and names
# the processor.
#
#   bench/par2_bench.sh [TOTAL_MIB [PART_MIB [RUNS]]]     defaults: 2048 100 3
#
# The parts and their set (made once with `par2 create`, which takes minutes) stay in
# build/bench-data/par2-TOTAL-PART for the next run.
set -euo pipefail
source "$(dirname "$0")/common.sh"
total_mib="${1:-2048}"
part_mib="${2:-100}"
runs="${3:-3}"
folder="$data/par2-$total_mib-$part_mib"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DMENDLET_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/bench" -j "$(nproc)" --target par2_bench >/dev/null

if [ ! -f "$folder/made" ]; then
  echo "making $total_mib MiB in parts of $part_mib MiB and their PAR 2.0 set in $folder ..."
  rm -rf "$folder"
  mkdir -p "$folder"
  head -c "${total_mib}M" /dev/urandom | split -b "${part_mib}M" -d -a 3 --numeric-suffixes=1 - "$folder/data.bin."
  (cd "$folder" && par2 create -q -q -r5 -n3 data.bin.par2 data.bin.[0-9][0-9][0-9])
  touch "$folder/made"
fi
parts=("$folder"/data.bin.[0-9][0-9][0-9])
par2_files=("$folder"/*.par2)

now() { date +%s.%N; }
warm() { cat "$@" >/dev/null; }
# Seconds of one command run on a warm page cache.
timed() {
  warm "${parts[@]}" "${par2_files[@]}"
  sync
  local start; start=$(now)
  "$@" >/dev/null
  calc "$(now) - $start"
}

par2_times=()
md5_times=()
mendlet_times=()
for _ in $(seq "$runs"); do
  par2_times+=("$(timed par2 v -q -q "$folder/data.bin.par2")")
  md5_times+=("$(timed md5sum "${parts[@]}")")
  warm "${parts[@]}" "${par2_files[@]}"
  sync
  report=$("$root/build/bench/par2_bench" "$folder" data.bin 1)
  mendlet_times+=("$(awk '{ print $2 }' <<<"$report")")
done
par2_best=$(min "${par2_times[@]}")
md5_best=$(min "${md5_times[@]}")
mendlet_best=$(min "${mendlet_times[@]}")

echo "processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "set: ${#parts[@]} parts, $total_mib MiB, ${#par2_files[@]} PAR 2.0 files; best of $runs runs each"
echo "last run: $report"
printf 'mendlet (set read, every slice checked) %7.3f s\n' "$mendlet_best"
printf 'par2 v                                  %7.3f s  (%s)\n' "$par2_best" "$(par2 -V | head -1)"
printf 'md5sum of the parts                     %7.3f s\n' "$md5_best"
printf 'par2 v time / mendlet time : %5.2f  (goal >= 1)\n' "$(calc "$par2_best / $mendlet_best")"
printf 'md5sum time / mendlet time : %5.2f  (goal >= 0.9)\n' "$(calc "$md5_best / $mendlet_best")"
