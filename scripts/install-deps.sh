#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing plix need.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  cmake make
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  googletest
  clang clang-14 libclang-rt-14-dev  # the native core build: sanitizers and libFuzzer
  xvfb xauth openbox xdotool x11-utils imagemagick
  python3
  procps psmisc
  xosview xfonts-base  # bench/run.sh compares plix with xosview
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
