#!/usr/bin/env bash
# Builds plix and runs every test. On a fresh Debian 12 machine it first
# installs what is missing. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

export PLIX_BUILD_DIR="$root/build"
cmake -S . -B "$PLIX_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release
cmake --build "$PLIX_BUILD_DIR" -j "$(nproc)"

source scripts/wine-env.sh
trap plix_stop_all EXIT
plix_start_xvfb "$(plix_free_display)"
# A window manager, so that Wine's dialogs get the keyboard as on a desktop.
openbox >/dev/null 2>&1 </dev/null &
plix_started_pids+=($!)
plix_prepare_prefix

cd "$PLIX_BUILD_DIR"
ctest --output-on-failure --timeout 1200 "$@"
