#!/usr/bin/env bash
# Makes every artifact of a release from the committed tree (a fresh clone
# of HEAD, so nothing uncommitted gets in) into dist/: the Debian package,
# the Windows installer, a zip of both Windows savers with a read-me, and
# SHA256SUMS of them.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release: the tree has changes that are not committed; commit them first" >&2
  exit 1
fi
work=$(mktemp -d /tmp/quarlo-release-XXXXXX)
trap 'rm -rf "$work"' EXIT
git clone --quiet . "$work/src"
cd "$work/src"
for preset in linux win64 win32; do
  cmake --preset "$preset" -DQUARLO_NO_RUN=ON >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)" --target quarlo >/dev/null
done
cmake --build --preset linux -j "$(nproc)" >/dev/null
cmake --build --preset win64 --target quarlo_installer >/dev/null
(cd build/linux && cpack >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/linux/CMakeCache.txt)
mkdir -p "$work/zip/quarlo-$version-windows"
cp build/win64/src/quarlo.scr "$work/zip/quarlo-$version-windows/quarlo-x86_64.scr"
cp build/win32/src/quarlo.scr "$work/zip/quarlo-$version-windows/quarlo-i686.scr"
sed "s/@PROJECT_VERSION@/$version/g" src/resources/README-windows.txt |
  sed 's/$/\r/' >"$work/zip/quarlo-$version-windows/README.txt"
dist=$OLDPWD/dist
rm -rf "$dist"
mkdir -p "$dist"
(cd "$work/zip" && zip -qrX "$dist/quarlo-$version-windows.zip" "quarlo-$version-windows")
cp build/linux/quarlo_"$version"_amd64.deb build/win64/quarlo-"$version"-setup.exe "$dist/"
(cd "$dist" && sha256sum -- * >SHA256SUMS)
echo "release $version:"
ls -l "$dist"
