#!/usr/bin/env bash
# Soak run: builds plix and keeps it at 10 Hz for ten minutes on a private
# Xvfb, with the Linux counter provider, then checks that its memory stayed
# flat, its collects kept coming and its window still answers.
# PLIX_SOAK_SECONDS sets another length (the test command runs 60).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

export PLIX_BUILD_DIR="${PLIX_BUILD_DIR:-$root/build}"
cmake -S . -B "$PLIX_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$PLIX_BUILD_DIR" -j "$(nproc)" --target plix host_pdh ping_window

source scripts/wine-env.sh
trap plix_stop_all EXIT
plix_start_xvfb "$(plix_free_display)"
openbox >/dev/null 2>&1 </dev/null &
plix_started_pids+=($!)
plix_prepare_prefix

export PLIX_SOAK_SECONDS="${PLIX_SOAK_SECONDS:-600}"
export PLIX_PING_WINDOW="$PLIX_BUILD_DIR/tools/ping_window.exe"
python3 tests/e2e/run_desktop_tests.py "$PLIX_BUILD_DIR/plix.exe" "$PLIX_BUILD_DIR/hostcounters/pdh.dll" test_soak
