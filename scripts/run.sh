#!/usr/bin/env bash
# Builds plix and runs it under Wine with the Linux counter provider.
# With a display ($DISPLAY) the gauge appears there and runs until Exit.
# Without one it runs on a private Xvfb for about ten seconds, saves a
# screenshot to build/plix-screenshot.png and stops everything it started.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
plix_install_deps
plix_build plix host_pdh

# plix.exe in a folder of its own, keeping its plix.cfg there. The counter
# provider is the prefix's system32 pdh.dll, never a file beside plix.exe
# (an older run left one here).
run_dir="$PLIX_BUILD_DIR/wine-run"
mkdir -p "$run_dir"
rm -f "$run_dir/pdh.dll"
cp "$PLIX_BUILD_DIR/plix.exe" "$run_dir/"

plix_use_prefix run
trap plix_stop_all EXIT
if [ -n "${DISPLAY:-}" ]; then
  plix_prepare_prefix
  echo "plix runs on $DISPLAY; right-click it and pick Exit to stop it."
  echo "Its settings file is $run_dir/plix.cfg"
  wine "$run_dir/plix.exe" >"$PLIX_BUILD_DIR/plix-run.log" 2>&1
  exit 0
fi

plix_start_desktop
plix_prepare_prefix
python3 "$plix_root/scripts/plixdesk.py" show "$run_dir" "$PLIX_BUILD_DIR/plix-screenshot.png" \
  "$PLIX_BUILD_DIR/plix-run.log"
