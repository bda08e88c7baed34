#!/usr/bin/env bash
# Joins a generated set of parts with Mendlet's join engine (bench/join_bench_win32.cpp,
# under Wine) four ways: no digests, CRC-32 only, MD5 only, both; then the last two again
# with checksum files beside the parts to check them against; then, with nothing ticked,
# beside an .md5, a .sha512, a .sha1, a B2SUMS and a B3SUMS of the whole file in turn, then
# beside a .sha256 of the whole and beside a .sha256 sidecar per part, run for run in turn,
# each of which the join must be verified with; then checks the parts alone, against an SFV file and against an MD5 file of the whole. In
# the same run it times `cat` of the same parts, `md5sum`, `openssl dgst`, `b2sum` and
# `b3sum` of the joined file, and `cat parts | tee out | b2sum` and `| b3sum --num-threads 1`
# (the one pass that does a checked join's work), then prints MB/s for each, the ratios with
# their goals and what the checking costs, best of RUNS runs with a warm page cache, and
# names the processor.
#
#   bench/join_bench.sh [TOTAL_MIB [PART_MIB [RUNS]]]     defaults: 2048 100 3
#
# The parts (build/bench-data/join) are kept for the next run and for bench/memory_bench.sh.
set -euo pipefail
shopt -s extglob
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
quietly() { "$@" >/dev/null; }
# Seconds of one command, with the page cache flushed of dirty data first.
timed() {
  sync
  local start; start=$(now)
  "$@"
  calc "$(now) - $start"
}

handed_back_at_start=$(handed_back)

declare -A best
cat_times=()
for _ in $(seq "$runs"); do
  rm -f "$output"; warm "${parts[@]}"
  cat_times+=("$(timed sh -c 'cat "$@" > "$0"' "$output" "${parts[@]}")")
done
best[cat]=$(min "${cat_times[@]}")
reference_crc=$(python3 -c 'import sys, zlib
crc = 0
with open(sys.argv[1], "rb") as f:
    for block in iter(lambda: f.read(1 << 20), b""): crc = zlib.crc32(block, crc)
print("%08x" % crc)' "$output")
# The tools' digests of the joined file, and their times: each is timed RUNS times here and
# once more before each run of the join it is compared with, so that both see the machine
# alike; the best time counts. They read the joined file as the last join left it (the
# same bytes, checked below): a copy of it beside the parts would leave too little of the
# page cache for the joins on this kind of machine. A pipeline reads the parts and writes
# the joined file anew as it hashes, as a join does, so that both meet this machine's slow
# writes into memory handed back to its host alike (README, "Join").
declare -A reference
declare -A tools=([md5sum]="md5sum" [openssl dgst -sha256]="openssl dgst -sha256"
                  [openssl dgst -sha512]="openssl dgst -sha512" [openssl dgst -sha1]="openssl dgst -sha1"
                  [b2sum]="b2sum" [b3sum --num-threads 1]="b3sum --num-threads 1")
declare -A pipelines=([cat parts | tee out | b2sum]="b2sum"
                      [cat parts | tee out | b3sum --num-threads 1]="b3sum --num-threads 1")
# Prints the digest that the tool or pipeline of that name gives.
run_reference() {
  local name="$1"
  if [ -n "${pipelines[$name]:-}" ]; then
    rm -f "$output"
    sh -c 'out="$1" tool="$2"; shift 2; cat "$@" | tee "$out" | $tool' sh "$output" "${pipelines[$name]}" "${parts[@]}"
  else
    # shellcheck disable=SC2086  # the command's words
    ${tools[$name]} "$output"
  fi | sed 's/.*= //; s/ .*//'
}
time_reference() {
  local name="$1" seconds
  if [ -n "${pipelines[$name]:-}" ]; then rm -f "$output"; warm "${parts[@]}"; else warm "$output"; fi
  seconds=$(timed quietly run_reference "$name")
  best[$name]=$(min ${best[$name]:-} "$seconds")
}
for name in "${!tools[@]}" "${!pipelines[@]}"; do
  reference[$name]=$(run_reference "$name")
  for _ in $(seq "$runs"); do time_reference "$name"; done
done
reference_md5=${reference[md5sum]}

# Best time of RUNS joins (or COUNT) with the digests named, as the result is kept under the
# name given, with those of earlier calls. With VERIFIED_BY set, every join must end verified
# with that checksum file; with TOOL set, that reference is timed again before each run.
measure() {
  local mode="$1" name="$2" count="${3:-$runs}" earlier="${best[$2]:-}" times=() run seconds crc md5 status
  for run in $(seq "$count"); do
    [ -z "${TOOL:-}" ] || time_reference "$TOOL"
    rm -f "$output"; warm "${parts[@]}"; sync
    { read -r seconds _ crc md5 _; read -r status; } < <(join_bench join "$win_set" "$mode" "$win_output" | tr -d '\r')
    times+=("$seconds")
    if { [ "$crc" != "-" ] && [ "$crc" != "$reference_crc" ]; } || { [ "$md5" != "-" ] && [ "$md5" != "$reference_md5" ]; } ||
       { [ "$run" = 1 ] && [ -z "$earlier" ] && ! cat "${parts[@]}" | cmp -s - "$output"; }; then
      echo "join ($name) gave a wrong result: crc $crc md5 $md5" >&2; exit 1
    fi
    # shellcheck disable=SC2254  # VERIFIED_BY may be a pattern
    case "$status" in
      "Files joined and verified with "${VERIFIED_BY:-*}) ;;
      *) [ -z "${VERIFIED_BY:-}" ] || { echo "join ($name) was not verified with $VERIFIED_BY: $status" >&2; exit 1; } ;;
    esac
  done
  [ -z "${VERIFIED_BY:-}" ] || [ -n "$earlier" ] || echo "  $name: $status"
  best[$name]=$(min $earlier "${times[@]}")
}
# One join first, not counted: the first after the references ran slower than the rest.
join_bench join "$win_set" none "$win_output" >/dev/null
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
VERIFIED_BY=joined.bin.sfv measure crc32 "crc32, checked by .sfv"
measure_check "check parts by .sfv"
printf '%s *joined.bin\n' "$reference_md5" > "$md5_file"
VERIFIED_BY='joined.bin.@(sfv|md5)' measure both "both, checked by .sfv and .md5"
rm -f "$sfv"
measure_check "check parts by .md5 of the whole"
rm -f "$md5_file"

# Nothing ticked, one checksum file of the whole beside the parts at a time: the join
# computes that digest alone, which the tool that printed it is measured against.
for kind in md5:md5sum sha512:"openssl dgst -sha512" sha1:"openssl dgst -sha1"; do
  extension=${kind%%:*} tool=${kind#*:}
  checksum_file="$set_folder/joined.bin.$extension"
  at_exit "rm -f '$checksum_file'"
  printf '%s *joined.bin\n' "${reference[$tool]}" > "$checksum_file"
  TOOL="$tool" VERIFIED_BY="joined.bin.$extension" measure none "nothing ticked, checked by .$extension"
  rm -f "$checksum_file"
done

# B2SUMS and B3SUMS as b2sum and b3sum write them over the joined file, each against the
# pipeline that joins and hashes in one pass with that tool.
for kind in "B2SUMS:b2sum" "B3SUMS:b3sum --num-threads 1"; do
  name=${kind%%:*} tool=${kind#*:}
  checksum_file="$set_folder/$name" pipeline="cat parts | tee out | $tool"
  at_exit "rm -f '$checksum_file'"
  # shellcheck disable=SC2086  # the command's words
  (cd "$data" && $tool joined.bin) > "$checksum_file"
  [ "$(sed 's/ .*//' "$checksum_file")" = "${reference[$pipeline]}" ] ||
    { echo "$pipeline gave ${reference[$pipeline]}, $name says $(cat "$checksum_file")" >&2; exit 1; }
  TOOL="$pipeline" VERIFIED_BY="$name" measure none "nothing ticked, checked by $name"
  rm -f "$checksum_file"
done

# The .sha256 of the whole and a sidecar per part, as sha256sum writes them, run for run in
# turn, so that both meet the machine alike: the same SHA-256 over the same bytes, taken
# anew for each part. The sidecars are one listing, which the status line names by the
# first of them that the folder lists.
whole_sha256="$set_folder/joined.bin.sha256" sidecars=("${parts[@]/%/.sha256}") kept_sidecars="$data/sidecars"
at_exit 'rm -rf "$whole_sha256" "${sidecars[@]}" "$kept_sidecars"'
mkdir -p "$kept_sidecars"
for part in "${parts[@]}"; do (cd "$set_folder" && sha256sum "${part##*/}") > "$kept_sidecars/${part##*/}.sha256"; done
for _ in $(seq "$runs"); do
  printf '%s *joined.bin\n' "${reference[openssl dgst -sha256]}" > "$whole_sha256"
  TOOL="openssl dgst -sha256" VERIFIED_BY=joined.bin.sha256 measure none "nothing ticked, checked by .sha256" 1
  rm -f "$whole_sha256"
  cp "$kept_sidecars"/* "$set_folder"/
  TOOL="openssl dgst -sha256" VERIFIED_BY='data.bin.[0-9][0-9][0-9].sha256' measure none \
    "nothing ticked, checked by a .sha256 per part" 1
  rm -f "${sidecars[@]}"
done

echo "join of $((bytes / 1048576)) MiB in ${#parts[@]} parts, best of $runs runs, page cache warm, on $(lscpu | sed -n 's/^Model name: *//p' | head -1)"
for name in cat md5sum "openssl dgst -sha256" "openssl dgst -sha512" "openssl dgst -sha1" none crc32 md5 both \
    "crc32, checked by .sfv" "both, checked by .sfv and .md5" "nothing ticked, checked by .md5" \
    "nothing ticked, checked by .sha256" "nothing ticked, checked by .sha512" "nothing ticked, checked by .sha1" \
    "nothing ticked, checked by a .sha256 per part" \
    b2sum "cat parts | tee out | b2sum" "nothing ticked, checked by B2SUMS" \
    "b3sum --num-threads 1" "cat parts | tee out | b3sum --num-threads 1" "nothing ticked, checked by B3SUMS" \
    "check parts by .sfv" "check parts by .md5 of the whole"; do
  label="$name"; case "$name" in cat*|md5sum|openssl*|b?sum*|check*) ;; *) label="Mendlet, digests: $name" ;; esac
  printf '  %-60s %7.3f s  %6.0f MB/s\n' "$label" "${best[$name]}" "$(calc "$bytes / ${best[$name]} / 1000000")"
done
[ -z "$handed_back_at_start" ] ||
  echo "  memory handed back to the host during the run: $((($(handed_back) - handed_back_at_start) / 1024)) MiB"
ratio() {
  printf '  %-58s %5.2f  (target %s)\n' "$1 / $2 throughput" "$(calc "${best[$2]} / ${best[$1]}")" "$3"
}
ratio none cat ">= 0.85"
ratio crc32 none ">= 0.95"
ratio md5 md5sum ">= 1.0"
ratio both md5sum ">= 1.0"
ratio "nothing ticked, checked by .md5" md5sum ">= 1.0"
ratio "nothing ticked, checked by .sha256" "openssl dgst -sha256" ">= 0.95"
ratio "nothing ticked, checked by .sha512" "openssl dgst -sha512" ">= 0.9"
ratio "nothing ticked, checked by .sha1" "openssl dgst -sha1" ">= 0.9"
ratio "nothing ticked, checked by a .sha256 per part" "nothing ticked, checked by .sha256" "-"
echo "  a join checked by B2SUMS or B3SUMS costs no more than the digest's own time over the data:"
ratio "nothing ticked, checked by B2SUMS" "cat parts | tee out | b2sum" ">= 1.0"
ratio "nothing ticked, checked by B3SUMS" "cat parts | tee out | b3sum --num-threads 1" ">= 1.0"
# The tools alone only read: beside a join, which also writes, they tell of the machine.
ratio "nothing ticked, checked by B2SUMS" b2sum "-"
ratio "nothing ticked, checked by B3SUMS" "b3sum --num-threads 1" "-"
ratio "check parts by .sfv" none ">= 1"
ratio "check parts by .md5 of the whole" md5sum ">= 1"
cost() {
  printf '  %-58s %5.1f %%  (target < 5 %%)\n' "checking cost, $1" "$(calc "(${best[$2]} / ${best[$1]} - 1) * 100")"
}
cost crc32 "crc32, checked by .sfv"
cost both "both, checked by .sfv and .md5"
