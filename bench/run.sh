#!/usr/bin/env bash
# Measures what plix costs to keep running under Wine, next to xosview and
# the two floors, and against the counters floor with 2 to 256 processors
# under three loads (static, busy, idle), and prints a table (see
# bench/bench.py for what is taken). Prints how long it should take at the
# start: about 10 minutes here;
# BENCH_SECONDS=10 BENCH_RUNS=1 gives a quick look.
#   bash bench/run.sh profile   shows instead where plix's time per tick goes
#                               against the counters floor's (Linux perf)
#   PLIX_BUILD_DIR       build folder (default: build; BENCH_BUILD_DIR also works)
#   BENCH_SECONDS        measured seconds per run (60), and as many idle ones
#   BENCH_RUNS           runs for the median and range (3)
#   BENCH_WARMUP         seconds between the last window's showing and measuring (5)
#   BENCH_STARTS         timed start-ups per program (5)
#   BENCH_FIRST_DISPLAY  first X display number to try for the Xvfbs (90)
#   BENCH_LOADS_APART    set: the loads one after another, not all side by side (over twice as long)
#   BENCH_PROFILE_PROCESSORS  processors plix sees in the profile (64)
#   BENCH_PROFILE_LOAD   the load in the profile: static, busy or idle (busy)
#   BENCH_BASELINE       an earlier build's plix.exe, run beside this one at 2 and 64 processors under each load
set -euo pipefail
[ -z "${BENCH_BUILD_DIR:-}" ] || export PLIX_BUILD_DIR="${PLIX_BUILD_DIR:-$BENCH_BUILD_DIR}"
source "$(dirname "$0")/../scripts/lib.sh"
plix_install_deps
plix_build plix host_pdh bench_floor bench_micro processor_count >/dev/null

# One prepared prefix; the benchmark copies it for each program so that each
# has a wineserver of its own.
plix_use_prefix bench
plix_prepare_prefix
plix_stop_all

python3 "$plix_root/bench/bench.py" "$PLIX_BUILD_DIR" "$@"
