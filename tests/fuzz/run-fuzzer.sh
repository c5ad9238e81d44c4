#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SECONDS RANDOM_SEED SEED_DIR...
# Runs a libFuzzer target for a while from its seeds, with new finds kept in
# a scratch folder; a failing input is left in the working folder as
# crash-* (make it a regression: copy it into tests/fuzz/regressions/).
# A RANDOM_SEED of 0 draws a new one; the tests give a fixed one, so that
# their short run tries the same inputs each time and a failure there comes
# from the change, while the long runs explore further.
set -u
fuzzer=$1 seconds=$2 random_seed=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$fuzzer" -seed="$random_seed" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  "$work" "$@"
