#!/usr/bin/env bash
# The ARM64 smoke run (ctest arm64_smoke): the ARM64 plix.exe on Debian 12's
# arm64 Wine, emulated by qemu-user through binfmt_misc, on a private Xvfb.
# Its window must show a strip per processor and one for memory, with bars
# and labels, and the menu's Exit must end it; the screenshot stays in
# build/arm64-smoke.png.
#
# What runs is the smoke build of plix (tests/arm64/CMakeLists.txt): the
# shipped code and one object of its own, WineVaListShim.cpp, since this
# Wine's runtime cannot take an ARM64 va_list. It is Wine under emulation,
# not Windows on Arm. Exits 77 (skipped) with the reason where the desk
# cannot run here.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"

# The reason of a skip stays in the build folder for CI to name it.
rm -f "$PLIX_BUILD_DIR/arm64-smoke.skipped" 2>/dev/null || true
why=$(plix_arm64_desk_unavailable)
if [ -n "$why" ]; then
  echo "arm64_smoke skipped: $why"
  echo "arm64_smoke skipped: $why" >"$PLIX_BUILD_DIR/arm64-smoke.skipped" 2>/dev/null || true
  exit 77
fi
exe=$PLIX_ARM64_BUILD_DIR/smoke/plix.exe
provider=$PLIX_ARM64_BUILD_DIR/hostcounters/pdh.dll
for built in "$exe" "$provider"; do
  [ -f "$built" ] || { echo "no $built: the ARM64 build did not make it" >&2; exit 1; }
done
plix_arm64_desk

root=$PLIX_ARM64_DESK/root
cleanup() {
  plix_arm64_run "$PLIX_ARM64_DESK/wineserver.log" /usr/lib/wine/wineserver -k || true
  plix_arm64_unmount
  plix_stop_all
}
trap cleanup EXIT
plix_start_desktop
plix_arm64_mount
if [ ! -f "$root/root/prefix/.plix-ready" ]; then
  echo "creating the arm64 Wine prefix"
  plix_arm64_run "$PLIX_ARM64_DESK/wineboot.log" /usr/lib/wine/wine64 wineboot -i || true
  plix_arm64_run "$PLIX_ARM64_DESK/wineboot-reg.log" /usr/lib/wine/wine64 reg add \
    'HKLM\System\CurrentControlSet\Services\winebus' /v 'Enable SDL' /t REG_DWORD /d 0 /f || true
  plix_arm64_run "$PLIX_ARM64_DESK/wineboot-wait.log" /usr/lib/wine/wineserver -w || true
  touch "$root/root/prefix/.plix-ready"
fi
cp "$provider" "$root/root/prefix/drive_c/windows/system32/pdh.dll"
rm -rf "$root/root/plix"
mkdir -p "$root/root/plix"
cp "$exe" "$root/root/plix/plix.exe"

python3 "$plix_root/tests/arm64/smoke_window.py" "$PLIX_BUILD_DIR/arm64-smoke.png" "$PLIX_BUILD_DIR/arm64-smoke.log" \
  chroot "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/root DISPLAY="$DISPLAY" \
  WINEPREFIX=/root/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="$WINEDLLOVERRIDES" \
  /usr/lib/wine/wine64 /root/plix/plix.exe
