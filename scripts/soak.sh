#!/usr/bin/env bash
# Soak run: builds plix and keeps it at 10 Hz for ten minutes on a private
# Xvfb, with the Linux counter provider, then checks that its memory stayed
# flat, its collects kept coming and its window still answers.
# PLIX_SOAK_SECONDS sets another length (the test command runs 60).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
plix_install_deps
plix_build plix host_pdh desktool

plix_use_prefix soak
trap plix_stop_all EXIT
plix_start_desktop
plix_prepare_prefix

export PLIX_SOAK_SECONDS="${PLIX_SOAK_SECONDS:-600}"
export PLIX_DESKTOOL="$PLIX_BUILD_DIR/tools/desktool.exe"
plix_desktop_tests test_soak
