#!/usr/bin/env bash
# Builds the benchmark programs natively with optimisation and runs them. Arguments go to
# each program (for the digests: MiB of data, runs).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DMENDLET_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/bench" -j "$(nproc)" --target digest_bench >/dev/null
"$root/build/bench/digest_bench" "$@"
