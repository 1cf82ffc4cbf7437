#!/usr/bin/env bash
# Builds plix for x64 and ARM64 and runs every test. On a fresh Debian 12
# machine it first installs what is missing. Exits non-zero when anything
# fails.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
plix_install_deps
plix_build
# A failed ARM64 build says why and stops there; the x64 build's tests still
# run, and the ARM64 checks fail for want of its exe.
plix_build_arm64_tests || echo "the ARM64 build failed (see above): its checks will fail" >&2

plix_use_prefix test
trap plix_stop_all EXIT
plix_start_desktop
plix_prepare_prefix

cd "$PLIX_BUILD_DIR"
ctest --output-on-failure --timeout 1200 "$@"
