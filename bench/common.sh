# What the benchmark scripts share; each sources it. They run in a Windows build of their
# own (build/bench-win: Release, no tests) and its Wine session on a display of their own,
# so that a benchmark never meets a test run; their data stays in build/bench-data (or
# MENDLET_BENCH_DATA) for the next run.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/bench-win"
display=73
data="${MENDLET_BENCH_DATA:-$root/build/bench-data}"

winpath() { "$build/wine-run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
join_bench() { join_bench_of "$build/join_bench.exe" "$@"; }
# Another build's join_bench, in this build's Wine session.
join_bench_of() { "$build/wine-run" "$@"; }
calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }
# The processor the figures were measured on.
processor() {
  awk -F': ' '/^model name/ { name = $2 } /^cpu family/ { family = $2 } /^model\t/ { model = $2 }
    END { printf "processor: %s (family %s, model %s)\n", name, family, model }' /proc/cpuinfo
}
min() { printf '%s\n' "$@" | sort -g | head -1; }

# Memory that this machine has handed back to its host so far, in KiB, where its kernel
# tells: a file written into memory handed back is written several times slower, and a
# join slower than a second or two does so, so the figures are printed with it.
handed_back() { cat /sys/module/page_reporting/parameters/reported_kib 2>/dev/null || true; }

# Commands run in order when the script ends, however it ends.
exit_commands=()
at_exit() {
  exit_commands+=("$1")
  trap 'for command in "${exit_commands[@]}"; do eval "$command"; done' EXIT
}

# Builds the benchmark programs and starts their Wine session, unless the script that
# started this one has done it already; the one that starts the session stops it.
bench_start() {
  [ -z "${MENDLET_BENCH_STARTED:-}" ] || return 0
  "$root/scripts/setup.sh"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DMENDLET_TEST_DISPLAY="$display" -DMENDLET_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)" --target join_bench gather_bench collect_bench >/dev/null
  "$root/scripts/wine-session.sh" start "$build" "$display" >/dev/null
  at_exit '"$root/scripts/wine-session.sh" stop "$build" "$display" >/dev/null 2>&1 || true'
  export MENDLET_BENCH_STARTED=1
}

# The join_bench of another commit, built in a git worktree (build/bench-before) that goes
# when the script ends: sets before_tree and before_join_bench.
build_before() {
  before_tree="$root/build/bench-before"
  git -C "$root" worktree remove --force "$before_tree" 2>/dev/null || true
  git -C "$root" worktree add --detach "$before_tree" "$1" >/dev/null 2>&1
  at_exit 'git -C "$root" worktree remove --force "$before_tree" >/dev/null 2>&1 || true'
  cmake -S "$before_tree" -B "$before_tree/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DMENDLET_BUILD_TESTS=OFF >/dev/null
  cmake --build "$before_tree/build" -j "$(nproc)" --target join_bench >/dev/null
  before_join_bench="$before_tree/build/join_bench.exe"
}

# Parts of random bytes, data.bin.001, ...: TOTAL_MIB in parts of PART_MIB in FOLDER,
# generated once for these sizes.
bench_parts() {
  local folder="$1" total_mib="$2" part_mib="$3"
  local marker="$folder/generated-$total_mib-$part_mib"
  [ ! -f "$marker" ] || return 0
  echo "generating $total_mib MiB in parts of $part_mib MiB in $folder ..."
  mkdir -p "$folder"
  rm -f "$folder"/generated-*
  join_bench generate "$(winpath "$folder")" "$total_mib" "$part_mib"
  touch "$marker"
}
