#!/usr/bin/env bash
# Measures what plix costs to keep running under Wine, next to xosview and
# the Wine floor, and prints a table (see bench/bench.py for what is taken).
# Takes about 8 minutes; BENCH_SECONDS=10 BENCH_RUNS=1 gives a quick look.
#   BENCH_BUILD_DIR      build folder (default: build)
#   BENCH_SECONDS        measured seconds per run (60), and as many idle ones
#   BENCH_RUNS           runs for the median and range (3)
#   BENCH_WARMUP         seconds between launch and measuring (5)
#   BENCH_STARTS         timed start-ups per program (5)
#   BENCH_FIRST_DISPLAY  first X display number to try for the Xvfbs (90)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

build="${BENCH_BUILD_DIR:-$root/build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target plix host_pdh bench_floor bench_micro >/dev/null

# One prepared prefix (no SDL polling, no menu entries, the counter provider
# in system32); the benchmark copies it for each program so that each has a
# wineserver of its own.
export PLIX_WINEPREFIX="$build/bench-run/prefixes/template"
export PLIX_BUILD_DIR="$build"
source scripts/wine-env.sh
plix_prepare_prefix
wineserver -k >/dev/null 2>&1 </dev/null || true

python3 bench/bench.py "$build"
