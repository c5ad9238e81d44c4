#!/usr/bin/env bash
# Builds the linux target and runs the show. Extra arguments go to the
# trace tool (default: seed 0, one full show of 201 ticks).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target quarlo-trace
if [ $# -eq 0 ]; then set -- --seed 0 --ticks 201; fi
exec build/linux/tools/quarlo-trace "$@"
