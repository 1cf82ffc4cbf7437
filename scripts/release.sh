#!/usr/bin/env bash
# Builds the Windows downloads from the commit checked out: a fresh copy of
# that commit, built in fresh folders for x64 (MinGW-w64) and for ARM64
# (zig, scripts/lib-arm64.sh), gives dist/plix-VERSION-windows-x64.zip and
# dist/plix-VERSION-windows-arm64.zip (plix.exe and README.txt, nothing else)
# and one dist/SHA256SUMS for both zips and both exes. The same commit gives
# the same bytes in any folder at any time: the builds map their folders
# away and stamp no link time, and the zips' entries carry the commit's
# time. A work tree with changes that are not committed is refused, since
# what it would build is no commit's. It installs nothing; a missing tool
# is named with its Debian package. zig is fetched, at its pinned version
# and integrity, into the build folder (PLIX_BUILD_DIR) when it is not there.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

plix_require_tools git:git cmake:cmake make:make \
  x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix \
  x86_64-w64-mingw32-gcc-posix:gcc-mingw-w64-x86-64-posix \
  x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64 \
  llvm-cvtres-14:llvm-14 npm:npm \
  python3:python3 sha256sum:coreutils

cd "$plix_root"
changes=$(git status --porcelain)
if [ -n "$changes" ]; then
  echo "release: the work tree has changes that are not committed:" >&2
  echo "$changes" >&2
  echo "release: no release is made from them; commit or stash them first" >&2
  exit 1
fi
commit=$(git rev-parse --short=12 HEAD)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH

work=$(mktemp -d "${TMPDIR:-/tmp}/plix-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
git archive --format=tar HEAD | tar -x -C "$work/src"
echo "building plix from commit $commit in $work"
PLIX_CMAKE_OPTIONS=-DPLIX_TESTS=OFF plix_build_tree "$work/src" "$work/x64" plix
plix_build_arm64 "$work/src" "$work/arm64" plix

version=$(sed -n 's/^#define PLIX_VERSION  *"\(.*\)"$/\1/p' "$work/x64/generated/plix-version.h")
[ -n "$version" ] || { echo "release: no version in the build's plix-version.h" >&2; exit 1; }
rm -rf dist
mkdir dist
# The exes are named as they unpack: in a folder named after their zip, as
# Windows' Extract All makes it.
for arch in x64 arm64; do
  name="plix-$version-windows-$arch"
  python3 "$work/src/scripts/release_zip.py" "dist/$name.zip" "$SOURCE_DATE_EPOCH" \
    "$work/$arch/plix.exe=plix.exe" "$work/x64/README.txt=README.txt"
  mkdir -p "$work/unpacked/$name"
  cp "$work/$arch/plix.exe" "$work/unpacked/$name/plix.exe"
done
{
  (cd dist && sha256sum "plix-$version-windows-x64.zip" "plix-$version-windows-arm64.zip")
  (cd "$work/unpacked" && sha256sum "plix-$version-windows-x64/plix.exe" "plix-$version-windows-arm64/plix.exe")
} >dist/SHA256SUMS

echo "built with $(x86_64-w64-mingw32-g++-posix --version | head -1)," \
  "$(x86_64-w64-mingw32-ld --version | head -1), zig $("$PLIX_ZIG_HOME/zig" version) ($plix_zig_package)," \
  "$(python3 --version)"
echo "plix $version, commit $commit, in $plix_root/dist:"
sed 's/^/  /' dist/SHA256SUMS
