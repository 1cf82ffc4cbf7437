#!/usr/bin/env bash
# Builds the Windows download from the commit checked out: a fresh copy of
# that commit, built in a fresh folder, gives dist/plix-VERSION-windows-x64.zip
# (plix.exe and README.txt, nothing else) and dist/SHA256SUMS. The same
# commit gives the same bytes in any folder at any time: the build maps its
# folders away and stamps no link time, and the zip's entries carry the
# commit's time. A work tree with changes that are not committed is refused,
# since what it would build is no commit's. It installs nothing; a missing
# tool is named with its Debian package.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

plix_require_tools git:git cmake:cmake make:make \
  x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix \
  x86_64-w64-mingw32-gcc-posix:gcc-mingw-w64-x86-64-posix \
  x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64 \
  wine:wine /usr/src/googletest/CMakeLists.txt:googletest \
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
cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=Release >"$work/configure.log" ||
  { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" --target plix -j "$(nproc)"

version=$(sed -n 's/^#define PLIX_VERSION  *"\(.*\)"$/\1/p' "$work/build/generated/plix-version.h")
[ -n "$version" ] || { echo "release: no version in the build's plix-version.h" >&2; exit 1; }
name="plix-$version-windows-x64"
rm -rf dist
mkdir dist
python3 "$work/src/scripts/release_zip.py" "dist/$name.zip" "$SOURCE_DATE_EPOCH" \
  "$work/build/plix.exe=plix.exe" "$work/build/README.txt=README.txt"
{
  (cd dist && sha256sum "$name.zip")
  (cd "$work/build" && sha256sum plix.exe)
} >dist/SHA256SUMS

echo "built with $(x86_64-w64-mingw32-g++-posix --version | head -1)," \
  "$(x86_64-w64-mingw32-ld --version | head -1), $(python3 --version)"
echo "plix $version, commit $commit, in $plix_root/dist:"
sed 's/^/  /' dist/SHA256SUMS
