#!/usr/bin/env bash
# Builds every target and runs every test: natively for linux (and a short
# run of each fuzzer, built with clang), under wine64 (with Xvfb when there
# is no display) for win64. The i686 build cannot run on this kernel; its
# test is the check of its imports.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
for preset in linux fuzz win64 win32; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
for preset in linux fuzz win64 win32; do
  echo "== tests: $preset"
  ctest --preset "$preset" -j "$jobs" --timeout 600 -LE release
done
# The release made twice is the longest test: alone, at the end.
echo "== tests: release"
ctest --preset linux -L release --output-on-failure
echo "all tests passed"
