# Sourced by run.sh, test.sh, soak.sh, release.sh and bench/run.sh: everything they share
# about building plix and running it under Wine on Linux. The packages, the
# build folder (PLIX_BUILD_DIR, default build/), a private Xvfb with openbox,
# and the lean Wine prefixes plix makes and owns, with the Linux counter
# provider as their system32 pdh.dll. Nothing here touches ~/.wine: a prefix
# is always one of plix's own, never whatever WINEPREFIX the caller's shell
# happens to hold.

plix_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# A relative PLIX_BUILD_DIR is taken from the repository's root.
PLIX_BUILD_DIR="${PLIX_BUILD_DIR:-build}"
[[ $PLIX_BUILD_DIR == /* ]] || PLIX_BUILD_DIR="$plix_root/$PLIX_BUILD_DIR"
export PLIX_BUILD_DIR
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts (plix needs neither), no menu entries
# or file associations made on the host for what runs in the prefix, and
# pdh.dll from the prefix's system32, where the counter provider is.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;pdh=n"
plix_provider="$PLIX_BUILD_DIR/hostcounters/pdh.dll"
plix_started_pids=()
plix_prepared_prefix=""
source "$plix_root/scripts/lib-arm64.sh"

# Installs the Debian packages that building, running and testing plix need;
# only what is missing, so it is quick the second time.
plix_install_deps() {
  local packages=(
    cmake make git
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64
    googletest
    clang clang-14 libclang-rt-14-dev  # the native core build: sanitizers and libFuzzer
    xvfb xauth openbox xdotool x11-utils imagemagick
    xserver-xephyr  # two monitors for the desktop tests
    python3
    procps psmisc
    xosview xfonts-base  # bench/run.sh compares plix with xosview
    linux-perf  # bench/run.sh profile
    llvm-14  # llvm-cvtres-14 and llvm-readobj-14: the ARM64 exe's resources and its checks
    qemu-user-static binfmt-support debootstrap  # the emulated ARM64 desk
  )
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  # zig comes from the npm registry; nodesource's nodejs brings its own npm.
  command -v npm >/dev/null || missing+=(npm)
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Succeeds when every TOOL of the TOOL:PACKAGE pairs is there (a command, or
# a file when it starts with /); otherwise names the Debian package of each
# one that is missing and fails.
plix_require_tools() {
  local pair tool missing=()
  for pair in "$@"; do
    tool=${pair%%:*}
    if [[ $tool == /* ]]; then [ -e "$tool" ]; else command -v "$tool" >/dev/null; fi ||
      missing+=("$pair")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  for pair in "${missing[@]}"; do
    echo "missing ${pair%%:*}: install the Debian package ${pair#*:}" >&2
  done
  echo "(bash scripts/install-deps.sh installs every package plix needs)" >&2
  return 1
}

# Configures the Release build in PLIX_BUILD_DIR and builds the named
# targets (all of them when none is named).
plix_build() {
  plix_build_tree "$plix_root" "$PLIX_BUILD_DIR" "$@"
}

# The same for any source and build folder, with extra configure options
# from PLIX_CMAKE_OPTIONS: plix_build_tree SOURCE_DIR BUILD_DIR [TARGET...]
plix_build_tree() {
  local source=$1 build=$2
  shift 2
  cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release ${PLIX_CMAKE_OPTIONS:-} >/dev/null
  cmake --build "$build" -j "$(nproc)" ${1:+--target "$@"}
}

# The first display number from 90 up that no X server holds, or
# PLIX_DISPLAY when that is set.
plix_free_display() {
  if [ -n "${PLIX_DISPLAY:-}" ]; then echo "$PLIX_DISPLAY"; return 0; fi
  local d=90
  while [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ]; do d=$((d + 1)); done
  echo "$d"
}

# A private Xvfb, with openbox so that Wine's dialogs get the keyboard as on
# a desktop. Both stop with plix_stop_all.
plix_start_desktop() {
  local display
  display=$(plix_free_display)
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  plix_started_pids+=($!)
  export DISPLAY=":$display"
  local _
  for _ in $(seq 50); do
    if xdpyinfo >/dev/null 2>&1; then
      openbox >/dev/null 2>&1 </dev/null &
      plix_started_pids+=($!)
      return 0
    fi
    sleep 0.1
  done
  echo "Xvfb $DISPLAY did not come up" >&2
  return 1
}

# Points WINEPREFIX at one of plix's own prefixes: the run command's, kept
# across builds (PLIX_WINEPREFIX chooses another), or one in the build folder.
plix_use_prefix() {
  case $1 in
    run) export WINEPREFIX="${PLIX_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/plix/wineprefix}" ;;
    *) export WINEPREFIX="$PLIX_BUILD_DIR/prefixes/$1" ;;
  esac
}

# A prefix is plix's own when plix made it: it carries plix's marker. A
# missing or empty folder is about to be made. Anything else - above all the
# user's ~/.wine - is refused, since preparing it replaces its pdh.dll.
plix_owns_prefix() {
  [ "$(realpath -m "$WINEPREFIX")" != "$(realpath -m "$HOME/.wine")" ] || return 1
  [ -e "$WINEPREFIX/.plix-owned" ] || [ -e "$WINEPREFIX/.plix-ready" ] && return 0
  [ ! -e "$WINEPREFIX" ] || [ -z "$(ls -A "$WINEPREFIX" 2>/dev/null)" ]
}

# Makes the prefix on first use (no SDL polling), starts a persistent
# wineserver and Wine's services, and installs the counter provider. Wine's
# helper processes inherit stdout and stderr, so wine output always goes to
# files, never through a pipe that would wait for them.
plix_prepare_prefix() {
  if ! plix_owns_prefix; then
    echo "refusing Wine prefix $WINEPREFIX: not one that plix made (set PLIX_WINEPREFIX to a new folder)" >&2
    return 1
  fi
  mkdir -p "$WINEPREFIX"
  touch "$WINEPREFIX/.plix-owned"
  plix_prepared_prefix=$WINEPREFIX
  if [ ! -f "$WINEPREFIX/.plix-ready" ]; then
    echo "creating Wine prefix $WINEPREFIX"
    wineboot -i >"$WINEPREFIX.wineboot.log" 2>&1 || true
    # winebus' SDL support polls udev hundreds of times a second, costing a
    # few percent of a core whatever runs in the prefix.
    wine reg add 'HKLM\System\CurrentControlSet\Services\winebus' /v 'Enable SDL' /t REG_DWORD /d 0 /f \
      >>"$WINEPREFIX.wineboot.log" 2>&1 || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
    touch "$WINEPREFIX/.plix-ready"
  fi
  # A persistent server for the whole run: each wine process then starts in
  # a fraction of a second. It puts itself in the background.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  # Start Wine's services now, with their output going nowhere: started by a
  # test instead, they would inherit the test runner's output pipe.
  wineboot >/dev/null 2>&1 </dev/null || true
  plix_install_provider
}

# Copied at every preparation, after Wine has updated the prefix: a rebuilt
# provider is picked up, and a prefix update cannot leave Wine's own pdh.dll.
plix_install_provider() {
  if [ ! -f "$plix_provider" ]; then
    echo "no counter provider at $plix_provider: build the host_pdh target" >&2
    return 1
  fi
  cp "$plix_provider" "$WINEPREFIX/drive_c/windows/system32/pdh.dll"
}

# Stops the prepared prefix's wineserver (and so every Wine process in it)
# and what plix_start_desktop started.
plix_stop_all() {
  [ -z "$plix_prepared_prefix" ] || WINEPREFIX=$plix_prepared_prefix wineserver -k >/dev/null 2>&1 </dev/null || true
  plix_prepared_prefix=""
  local pid
  for pid in "${plix_started_pids[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
  done
  plix_started_pids=()
}

# The desktop tests (all, or the named modules) against the built plix.exe.
plix_desktop_tests() {
  python3 "$plix_root/tests/e2e/run_desktop_tests.py" "$PLIX_BUILD_DIR/plix.exe" "$plix_provider" "$@"
}
