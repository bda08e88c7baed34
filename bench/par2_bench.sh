#!/usr/bin/env bash
# Checks a download of TOTAL_MIB in parts of PART_MIB (21 parts for the defaults) against
# its PAR 2.0 set two ways: the slices alone, with Mendlet's reader and slice checker
# (bench/par2_bench.cpp, natively, optimised, in build/bench), and as Check parts does it in
# the program (join_bench check, the Windows build under Wine), whose one pass over each part
# takes the part's MD5 on one thread and its slices' MD5 and CRC-32 on the other. In the same
# run it times `par2 v` of the same set and `md5sum` of the same parts, best of RUNS runs
# each with the parts read into the page cache just before; prints wall and processor
# times, the ratios with their goals, the processor and the machine's load.
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

bench_start
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
win_folder="$(winpath "$folder")"

warm() { cat "$@" >/dev/null; }
# Wall and processor seconds (user and system) of one command run on a warm page cache: on
# a machine shared with other work the wall time follows the load, the processor time less.
timed() {
  warm "${parts[@]}" "${par2_files[@]}"
  sync
  local TIMEFORMAT='%3R %3U %3S'
  { time "$@" >/dev/null; } 2>&1 | awk '{ print $1, $2 + $3 }'
}

declare -A wall cpu
record() {
  local name="$1" seconds; shift
  seconds=$(timed "$@")
  wall[$name]=$(min ${wall[$name]:-} "${seconds% *}")
  cpu[$name]=$(min ${cpu[$name]:-} "${seconds#* }")
}
# Check parts times itself, without Wine's start; the processor time is the whole process's.
check_parts() {
  local outcome
  outcome=$(join_bench check "$win_folder" "$win_folder\\data.bin" | tr -d '\r')
  [ "${outcome#* * Parts checked: all * match data.bin.par2}" = "" ] ||
    { echo "Check parts did not verify the set: $outcome" >&2; exit 1; }
  echo "${outcome%% *}" >"$check_seconds"
}
check_seconds=$(mktemp)
at_exit 'rm -f "$check_seconds"'
for _ in $(seq "$runs"); do
  record par2 par2 v -q -q "$folder/data.bin.par2"
  record md5sum md5sum "${parts[@]}"
  record mendlet "$root/build/bench/par2_bench" "$folder" data.bin 1
  record check check_parts
  check_wall=$(min ${check_wall:-} "$(cat "$check_seconds")")
done
report=$("$root/build/bench/par2_bench" "$folder" data.bin 1)

echo "processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "set: ${#parts[@]} parts, $total_mib MiB, ${#par2_files[@]} PAR 2.0 files; best of $runs runs each"
echo "$report"
printf '%-40s %8s %8s\n' "" "wall s" "cpu s"
printf '%-40s %8.3f %8.3f\n' "mendlet (set read, every slice checked)" "${wall[mendlet]}" "${cpu[mendlet]}"
printf '%-40s %8.3f %8.3f\n' "Check parts (the program, under Wine)" "$check_wall" "${cpu[check]}"
printf '%-40s %8.3f %8.3f  (%s)\n' "par2 v" "${wall[par2]}" "${cpu[par2]}" "$(par2 -V | head -1)"
printf '%-40s %8.3f %8.3f\n' "md5sum of the parts" "${wall[md5sum]}" "${cpu[md5sum]}"
printf 'par2 v time / mendlet time : %5.2f wall, %5.2f cpu  (goal >= 1)\n' \
  "$(calc "${wall[par2]} / ${wall[mendlet]}")" "$(calc "${cpu[par2]} / ${cpu[mendlet]}")"
printf 'md5sum time / mendlet time : %5.2f wall, %5.2f cpu  (goal >= 0.9)\n' \
  "$(calc "${wall[md5sum]} / ${wall[mendlet]}")" "$(calc "${cpu[md5sum]} / ${cpu[mendlet]}")"
printf 'par2 v time / Check parts  : %5.2f wall  (goal >= 1)\n' "$(calc "${wall[par2]} / $check_wall")"
printf 'md5sum time / Check parts  : %5.2f wall  (goal >= 0.9)\n' "$(calc "${wall[md5sum]} / $check_wall")"
