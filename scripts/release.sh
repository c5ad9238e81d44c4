#!/usr/bin/env bash
# Makes every artifact of a release from the committed tree (a fresh clone
# of HEAD, so nothing uncommitted gets in) into dist/: the Debian package,
# the Windows installer, a zip of both Windows savers with a read-me, and
# SHA256SUMS of them. It builds only what ships, and the same commit gives
# the same bytes: every date in the artifacts is the commit's.
#
#   scripts/release.sh [--out DIR]
#
# --out DIR writes the artifacts there instead, as a trial: uncommitted
# changes are allowed then (they are left out all the same).
set -eu
cd "$(dirname "$0")/.."
dist=$PWD/dist
trial=false
if [ "${1:-}" = --out ] && [ $# -eq 2 ]; then
  dist=$(realpath -m "$2")
  trial=true
elif [ $# -ne 0 ]; then
  echo "usage: scripts/release.sh [--out DIR]" >&2
  exit 2
fi
scripts/install-deps.sh
if ! $trial && [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release: the tree has changes that are not committed; commit them first" >&2
  exit 1
fi

# What would otherwise differ between two runs: the time, the time zone,
# the locale's sort order and the umask.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
umask 022
work=$(mktemp -d /tmp/quarlo-release-XXXXXX)
trap 'rm -rf "$work"' EXIT

# One line per step, then the seconds it took; a failing step shows its output.
step() {
  local what=$1 start=$SECONDS
  shift
  printf 'release: %s ...' "$what"
  if ! "$@" >"$work/step.log" 2>&1; then
    printf ' failed:\n'
    cat "$work/step.log" >&2
    exit 1
  fi
  printf ' %d s\n' $((SECONDS - start))
}
build() {
  local preset=$1
  shift
  cmake --preset "$preset" -DQUARLO_NO_RUN=ON -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON &&
    cmake --build --preset "$preset" -j "$(nproc)" --target "$@"
}

step "cloning $(git rev-parse --short HEAD) into a fresh folder" git clone --quiet . "$work/src"
cd "$work/src"
step "building the Linux saver, its settings dialog and documents" \
  build linux quarlo quarlo-settings quarlo_manual quarlo_changelog
step "building the Linux package" sh -c 'cd build/linux && cpack'
step "building the 64-bit Windows saver and its installer" build win64 quarlo_installer
step "building the 32-bit Windows saver" build win32 quarlo

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/linux/CMakeCache.txt)
pack_zip() {
  local name=quarlo-$version-windows
  mkdir -p "$work/zip/$name"
  cp build/win64/src/quarlo.scr "$work/zip/$name/quarlo-x86_64.scr"
  cp build/win32/src/quarlo.scr "$work/zip/$name/quarlo-i686.scr"
  sed "s/@PROJECT_VERSION@/$version/g" src/resources/README-windows.txt |
    sed 's/$/\r/' >"$work/zip/$name/README.txt"
  # zip keeps each entry's time and the folder's own order: both fixed here.
  find "$work/zip" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  (cd "$work/zip" && find "$name" | sort | zip -qX -@ "$work/$name.zip")
}
step "packing the Windows savers into a zip" pack_zip

rm -rf "$dist"
mkdir -p "$dist"
cp "$work/quarlo-$version-windows.zip" build/linux/quarlo_"$version"_amd64.deb \
   build/win64/quarlo-"$version"-setup.exe "$dist/"
(cd "$dist" && sha256sum -- * >SHA256SUMS)
echo "release $version (commit time $(date -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S %Z')) in $dist:"
ls -l "$dist"
