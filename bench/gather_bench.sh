#!/usr/bin/env bash
# Adds folders of 10,000 and 100,000 files with Add Folder on the real main window
# (bench/gather_bench_win32.cpp, under Wine, "Auto" sorting on) and, in the same run,
# lists each folder and opens every file once with a bare loop: the least any adding can
# do. Prints seconds, the ratio of the two, and the time to show the last row afterwards;
# best of RUNS runs.
#
#   bench/gather_bench.sh [RUNS]     default 3
#
# The folders (build/bench-data/gather-*) are kept for the next run.
set -euo pipefail
source "$(dirname "$0")/common.sh"
runs="${1:-3}"

bench_start

for count in 10000 100000; do
  folder="$data/gather-$count"
  if [ ! -f "$folder.done" ]; then
    echo "creating $count files in $folder ..."
    rm -rf "$folder"; mkdir -p "$folder"
    # Names numbered in a shuffled order, so that sorting has work to do.
    python3 - "$folder" "$count" <<'PY'
import os, random, sys
folder, count = sys.argv[1], int(sys.argv[2])
numbers = list(range(1, count + 1))
random.Random(count).shuffle(numbers)
for n in numbers:
    with open(os.path.join(folder, "photo_%06d.jpg" % n), "wb") as f:
        f.write(b"x" * (n % 7))
PY
    touch "$folder.done"
  fi
  adding=(); reference=(); showing=()
  for _ in $(seq "$runs"); do
    read -r files listed add ref show < <("$build/wine-run" "$build/gather_bench.exe" "$(winpath "$folder")" | tr -d '\r')
    if [ "$files" != "$count" ] || [ "$listed" != "$count" ]; then
      echo "adding $count files listed $listed of $files" >&2; exit 1
    fi
    adding+=("$add"); reference+=("$ref"); showing+=("$show")
  done
  best_add=$(min "${adding[@]}"); best_ref=$(min "${reference[@]}")
  target=$([ "$count" = 10000 ] && echo "< 2 s" || echo "< 20 s")
  printf '%6d files: Add Folder %6.3f s (target %s), list and open %6.3f s, ratio %5.2f, last row shown in %s ms\n' \
    "$count" "$best_add" "$target" "$best_ref" "$(calc "$best_add / $best_ref")" "$(min "${showing[@]}")"
done
