#!/usr/bin/env bash
# A join that repairs, against `par2 r` repairing the same damage, in one run. The data:
# TOTAL_MIB of random bytes in 21 parts with a PAR 2.0 set of 10 % recovery data
# (`par2 create -r10`, made once, which takes minutes). Each run damages a fresh copy of the
# parts: the seventh cut to half its length, a byte changed in the fifteenth. Mendlet's join
# (the Windows build under Wine, join_bench join) writes the joined file and rebuilds it from
# the set; `par2 r` repairs the parts in place.
# The same run times a join with nothing to repair (the good parts, checked against the
# set) in this build and in the build of BEFORE, the last commit whose join could not
# repair, each in turn.
# Prints the best of RUNS wall times, the ratios with their goals, the peak working set of
# the repairing join, the GF(2^16) code that ran, the processor, the machine's load and the
# memory it handed back to its host meanwhile (which slows the joins' writes: README, "Join").
#
#   bench/repair_bench.sh [RUNS [TOTAL_MIB [BEFORE]]]     defaults: 3 2048 d8b68a4
set -euo pipefail
source "$(dirname "$0")/common.sh"
runs="${1:-3}"
total_mib="${2:-2048}"
before_commit="${3:-d8b68a4}"
folder="$data/repair-$total_mib-21"
work="$data/repair-work"
output="$data/repaired.bin"

bench_start
build_before "$before_commit"
at_exit 'rm -rf "$work" "$output"'

if [ ! -f "$folder/made" ]; then
  echo "making $total_mib MiB in 21 parts and their PAR 2.0 set (10 %) in $folder ..."
  rm -rf "$folder"
  mkdir -p "$folder"
  part_bytes=$(( (total_mib * 1048576 + 20) / 21 ))
  head -c "${total_mib}M" /dev/urandom | split -b "$part_bytes" -d -a 3 --numeric-suffixes=1 - "$folder/data.bin."
  (cd "$folder" && par2 create -q -q -r10 data.bin.par2 data.bin.[0-9][0-9][0-9])
  touch "$folder/made"
fi

damaged_copy() {
  rm -rf "$work"
  mkdir -p "$work"
  cp "$folder"/data.bin.* "$work/"
  truncate -s $(( $(stat -c %s "$work/data.bin.007") / 2 )) "$work/data.bin.007"
  printf '\x55' | dd of="$work/data.bin.015" bs=1 seek=12345678 conv=notrunc status=none
  cat "$work"/* >/dev/null
  sync
}
seconds_of() {
  local TIMEFORMAT='%3R'
  { time "$@" >/dev/null; } 2>&1
}
# The join's own clock, without Wine's start; fails unless it says what it should.
mendlet_join() {
  local exe="$1" from="$2" expected="$3" outcome
  outcome=$(join_bench_of "$exe" join "$(winpath "$from")" none "$(winpath "$output")" | tr -d '\r')
  [ "${outcome#*$'\n'$expected}" != "$outcome" ] || { echo "the join did not end as expected: $outcome" >&2; exit 1; }
  echo "$outcome"
}

handed_back_at_start=$(handed_back)
declare -A best
record() { best[$1]=$(min ${best[$1]:-} "$2"); }
for run in $(seq "$runs"); do
  damaged_copy
  record par2 "$(seconds_of par2 r -q -q "$work/data.bin.par2")"
  cmp -s "$work/data.bin.007" "$folder/data.bin.007" || { echo "par2 r did not repair the parts" >&2; exit 1; }
  damaged_copy
  outcome=$(mendlet_join "$build/join_bench.exe" "$work" "Files joined and repaired with data.bin.par2")
  record repair "${outcome%% *}"
  peak=$(echo "$outcome" | head -1 | awk '{ print $NF }')
  if [ "$run" = 1 ]; then
    cat "$folder"/data.bin.[0-9][0-9][0-9] | cmp -s - "$output" || { echo "the repaired file differs" >&2; exit 1; }
    echo "$outcome" | tail -1
  fi
  for build_name in before after; do
    exe="$build/join_bench.exe"
    [ "$build_name" = before ] && exe="$before_join_bench"
    cat "$folder"/* >/dev/null
    outcome=$(mendlet_join "$exe" "$folder" "Files joined and verified with data.bin.par2")
    record "clean_$build_name" "${outcome%% *}"
  done
done

echo "$total_mib MiB in 21 parts, one cut to half, one with a byte changed; 10 % recovery data; best of $runs"
printf 'repairing join:               %8.3f s (peak working set %d MiB)\n' "${best[repair]}" $(( peak / 1048576 ))
printf 'par2 r:                       %8.3f s\n' "${best[par2]}"
printf 'join with nothing to repair:  %8.3f s; before repairs (%s): %.3f s\n' "${best[clean_after]}" "$before_commit" "${best[clean_before]}"
echo "par2 r / repairing join: $(calc "${best[par2]} / ${best[repair]}") (goal: at least 3)"
echo "join with nothing to repair / before: $(calc "${best[clean_after]} / ${best[clean_before]}") (goal: at most 1)"
echo "GF(2^16) code: $(join_bench repair-path | tr -d '\r')"
processor
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
[ -z "$handed_back_at_start" ] ||
  echo "memory handed back to the host during the run: $((($(handed_back) - handed_back_at_start) / 1024)) MiB"
