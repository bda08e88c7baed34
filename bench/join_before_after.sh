#!/usr/bin/env bash
# Times the join engine of another commit (a git worktree in build/bench-before) against
# this one's on the same parts, in one run: no digests and both digests, the two builds in
# turn and in alternating order, since whichever goes first after the other's 2 GiB written
# meets a disk still busy with it. Prints every time, the best of each and their ratio.
#
#   bench/join_before_after.sh COMMIT [RUNS [TOTAL_MIB [PART_MIB]]]    defaults: 6 2048 100
set -euo pipefail
source "$(dirname "$0")/common.sh"
commit="$1"
runs="${2:-6}"
total_mib="${3:-2048}"
part_mib="${4:-100}"

bench_start
build_before "$commit"

bench_parts "$data/join" "$total_mib" "$part_mib"
parts=("$data/join"/data.bin.[0-9][0-9][0-9])
output="$data/joined.bin"
at_exit 'rm -f "$output"'
win_set="$(winpath "$data/join")"
win_output="$(winpath "$data")\\joined.bin"
declare -A exe=([before]="$before_join_bench" [after]="$build/join_bench.exe") times
for run in $(seq "$runs"); do
  order="before after"; [ $((run % 2)) = 1 ] || order="after before"
  for mode in none both; do
    for which in $order; do
      rm -f "$output"; sync; cat "${parts[@]}" >/dev/null; sync
      read -r seconds _ < <(join_bench_of "${exe[$which]}" join "$win_set" "$mode" "$win_output" | tr -d '\r')
      times[$which $mode]+="$seconds "
    done
  done
done

echo "join of ${#parts[@]} parts, $commit (before) against the working tree (after), $runs runs each"
for mode in none both; do
  for which in before after; do
    printf '  %-6s %-5s best %6.3f s  (%s)\n' "$which" "$mode" "$(min ${times[$which $mode]})" "${times[$which $mode]% }"
  done
  printf '  after / before time, %s: %5.2f\n' "$mode" "$(calc "$(min ${times[after $mode]}) / $(min ${times[before $mode]})")"
done
