# Sourced by the scripts: a private Wine prefix and display for plix's own
# runs, and helpers to start and stop them. Nothing here touches ~/.wine:
# the prefix is plix's own (PLIX_WINEPREFIX, or one in the build folder),
# never whatever WINEPREFIX the caller's shell happens to hold.

: "${PLIX_BUILD_DIR:=$PWD/build}"
export WINEPREFIX="${PLIX_WINEPREFIX:-$PLIX_BUILD_DIR/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts (plix needs neither), no menu entries
# or file associations made on the host for what runs in the prefix, and
# pdh.dll from the prefix's system32, where the Linux counter provider is.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;pdh=n"
# The Linux counter provider, built with plix.
plix_provider="$PLIX_BUILD_DIR/hostcounters/pdh.dll"

plix_started_pids=()

# Wine's helper processes inherit stdout and stderr, so wine output always
# goes to files, never through a pipe that would wait for them.
# A prefix is plix's own when plix made it: it carries plix's marker. A
# missing or empty folder is about to be made. Anything else - above all the
# user's ~/.wine - is refused, since preparing it replaces its pdh.dll.
plix_owns_prefix() {
  [ "$(realpath -m "$WINEPREFIX")" != "$(realpath -m "$HOME/.wine")" ] || return 1
  [ -e "$WINEPREFIX/.plix-owned" ] || [ -e "$WINEPREFIX/.plix-ready" ] && return 0
  [ ! -e "$WINEPREFIX" ] || [ -z "$(ls -A "$WINEPREFIX" 2>/dev/null)" ]
}

plix_prepare_prefix() {
  if ! plix_owns_prefix; then
    echo "refusing Wine prefix $WINEPREFIX: not one that plix made (set PLIX_WINEPREFIX to a new folder)" >&2
    return 1
  fi
  mkdir -p "$WINEPREFIX"
  touch "$WINEPREFIX/.plix-owned"
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

plix_start_xvfb() {
  local display=$1
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  plix_started_pids+=($!)
  export DISPLAY=":$display"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb :$display did not come up" >&2
  return 1
}

# The first display number from 90 up that no X server holds, or
# PLIX_DISPLAY when that is set.
plix_free_display() {
  if [ -n "${PLIX_DISPLAY:-}" ]; then echo "$PLIX_DISPLAY"; return 0; fi
  local d=90
  while [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ]; do d=$((d + 1)); done
  echo "$d"
}

plix_stop_all() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  for pid in "${plix_started_pids[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
  done
  plix_started_pids=()
}
