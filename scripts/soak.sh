#!/usr/bin/env bash
# The soak: ten million ticks of the show (Linux, and the Windows build under
# wine64) with the model's invariants checked at every show's end and no
# allocation after set-up; then each saver's resident memory over a long run
# (MINUTES, 10 by default, for each).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
minutes=${1:-10}
for preset in linux win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)" --target cube_unittests quarlo
done
export QUARLO_SOAK_TICKS=10000000
build/linux/tests/unit/cube_unittests --gtest_filter='*Soak*'
cmake/wine-run.sh "$PWD/build/win64/wineprefix" build/win64/tests/unit/cube_unittests.exe --gtest_filter='*Soak*'
unset QUARLO_SOAK_TICKS
python3 bench/rss_soak.py --saver build/linux/src/quarlo --scr "$PWD/build/win64/src/quarlo.scr" \
  --wine-run cmake/wine-run.sh --prefix "$PWD/build/win64/wineprefix" --minutes "$minutes"
