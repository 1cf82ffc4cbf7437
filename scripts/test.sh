#!/usr/bin/env bash
# Builds plix and runs every test. On a fresh Debian 12 machine it first
# installs what is missing. Exits non-zero when anything fails.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
plix_install_deps
plix_build

plix_use_prefix test
trap plix_stop_all EXIT
plix_start_desktop
plix_prepare_prefix

cd "$PLIX_BUILD_DIR"
ctest --output-on-failure --timeout 1200 "$@"
