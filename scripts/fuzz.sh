#!/usr/bin/env bash
# Runs each libFuzzer target (the pictures: bitmaps, PNG and JPEG, our
# decoder and stretch; the settings file's reader and writer) for SECONDS
# (600 by default) from its seeds, with ASan and UBSan. A failing input is
# left in the current folder as crash-*; copy it into
# tests/fuzz/regressions/<target>/ so that every later run, the tests'
# short one included, tries it again.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
seconds=${1:-600}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
tests/fuzz/run-fuzzer.sh build/fuzz/tests/fuzz/bitmap_fuzzer "$seconds" 0 \
  tests/data/bitmaps tests/fuzz/corpus/bitmap tests/data/pictures tests/fuzz/corpus/picture \
  tests/fuzz/regressions/bitmap
tests/fuzz/run-fuzzer.sh build/fuzz/tests/fuzz/settings_fuzzer "$seconds" 0 \
  tests/data/settings tests/fuzz/corpus/settings tests/fuzz/regressions/settings
