#!/usr/bin/env bash
# Builds plix and runs it under Wine with the Linux counter provider.
# With a display ($DISPLAY) the gauge appears there and runs until Exit.
# Without one it runs on a private Xvfb for about ten seconds, saves a
# screenshot to build/plix-screenshot.png and stops everything it started.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

export PLIX_BUILD_DIR="$root/build"
cmake -S . -B "$PLIX_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$PLIX_BUILD_DIR" -j "$(nproc)" --target plix host_pdh

# plix.exe in a folder of its own, keeping its plix.cfg there. The counter
# provider goes into the prefix's system32, never beside plix.exe (an older
# run left one here).
run_dir="$PLIX_BUILD_DIR/wine-run"
mkdir -p "$run_dir"
rm -f "$run_dir/pdh.dll"
cp "$PLIX_BUILD_DIR/plix.exe" "$run_dir/"

export PLIX_WINEPREFIX="${PLIX_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/plix/wineprefix}"
source scripts/wine-env.sh
trap plix_stop_all EXIT

if [ -n "${DISPLAY:-}" ]; then
  plix_prepare_prefix
  echo "plix runs on $DISPLAY; right-click it and pick Exit to stop it."
  echo "Its settings file is $run_dir/plix.cfg"
  wine "$run_dir/plix.exe" >"$PLIX_BUILD_DIR/plix-run.log" 2>&1
  exit 0
fi

plix_start_xvfb "$(plix_free_display)"
openbox >/dev/null 2>&1 </dev/null &
plix_started_pids+=($!)
plix_prepare_prefix

wine "$run_dir/plix.exe" >"$PLIX_BUILD_DIR/plix-run.log" 2>&1 &
plix_pid=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^plix$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "plix did not show its window; see $PLIX_BUILD_DIR/plix-run.log" >&2
  exit 1
fi

sleep 10
screenshot="$PLIX_BUILD_DIR/plix-screenshot.png"
import -window "$window" "$screenshot"
echo "screenshot: $screenshot"

# Exit through the menu, as a user would, so that the settings are saved.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 20)) $((Y + 20)) click 3
sleep 0.5
xdotool key Up Return
for _ in $(seq 50); do
  kill -0 "$plix_pid" 2>/dev/null || break
  sleep 0.1
done
kill "$plix_pid" 2>/dev/null || true
echo "settings: $run_dir/plix.cfg"
