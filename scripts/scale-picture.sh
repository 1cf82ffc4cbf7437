#!/usr/bin/env bash
# Makes the README's picture again: plix at 100% and at 200% display scale,
# side by side, from the built plix.exe on a private Xvfb. Writes
# docs/display-scale.png.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
plix_install_deps
plix_build plix host_pdh desktool processor_count

plix_use_prefix picture
trap plix_stop_all EXIT
plix_start_desktop
plix_prepare_prefix

export PLIX_DESKTOOL="$PLIX_BUILD_DIR/tools/desktool.exe"
export PLIX_PROCESSOR_COUNT_LIBRARY="$PLIX_BUILD_DIR/tools/processor_count.so"
mkdir -p "$plix_root/docs"
python3 "$plix_root/scripts/plixdesk.py" scale-picture "$PLIX_BUILD_DIR/plix.exe" "$plix_root/docs/display-scale.png"
