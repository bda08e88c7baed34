#!/usr/bin/env bash
# Peak memory of the join engine (bench/join_bench_win32.cpp, under Wine) joining the set of
# bench/join_bench.sh with both digests, against the same process joining a small set and
# joining nothing, all in the same run: the join's memory must not grow with the size of
# the file. Each process is measured twice: its peak working set as it reports it itself,
# and its peak resident set as Linux counted it for the Wine process.
#
#   bench/memory_bench.sh [TOTAL_MIB [PART_MIB]]     defaults: 2048 100
set -euo pipefail
source "$(dirname "$0")/common.sh"
total_mib="${1:-2048}"
part_mib="${2:-100}"
small_mib=64
small_part_mib=8
output="$data/joined.bin"

bench_start
at_exit 'rm -f "$output"'
bench_parts "$data/join" "$total_mib" "$part_mib"
bench_parts "$data/small" "$small_mib" "$small_part_mib"
win_output="$(winpath "$data")\\joined.bin"

# Runs join_bench with the arguments and prints the first line of its output followed by
# the peak resident set of the Wine process in bytes.
measured() {
  python3 - "$build/wine-run" "$build/join_bench.exe" "$@" <<'PY'
import resource, subprocess, sys
printed = subprocess.run(sys.argv[1:], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, check=True).stdout
print(printed.decode().splitlines()[0], resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss * 1024)
PY
}
# Joins the set in the folder with both digests and sets inside and outside to the two
# peaks, once both digests show that the join went to its end.
joined() {
  local line crc md5
  line=$(measured join "$(winpath "$1")" both "$win_output")
  rm -f "$output"
  read -r _ _ crc md5 inside outside <<<"$line"
  if [ "$crc" = - ] || [ "$md5" = - ]; then echo "the join of $1 did not finish" >&2; exit 1; fi
}
mib() { calc "$1 / 1048576"; }

line=$(measured idle)
read -r idle_inside idle_outside <<<"$line"
joined "$data/small"
small_inside=$inside small_outside=$outside
joined "$data/join"
large_inside=$inside large_outside=$outside

echo "peak memory of join_bench.exe under Wine, both digests: working set as it reports it, resident set as Linux saw it"
printf '  %-24s %8.1f MiB %8.1f MiB\n' "idle" "$(mib "$idle_inside")" "$(mib "$idle_outside")" \
  "join of $small_mib MiB" "$(mib "$small_inside")" "$(mib "$small_outside")" \
  "join of $total_mib MiB" "$(mib "$large_inside")" "$(mib "$large_outside")"
printf '  %-30s %5.2f  (target: no growth, 1.00)\n' "$total_mib MiB / $small_mib MiB peak" "$(calc "$large_inside / $small_inside")"
printf '  %-30s %5.1f MiB (the ring of slots: 2 MiB)\n' "join of $total_mib MiB above idle" "$(mib "$((large_inside - idle_inside))")"
