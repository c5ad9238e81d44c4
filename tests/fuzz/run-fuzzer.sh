#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SECONDS SEED_DIR...
# Runs a libFuzzer target for a while from its seeds, with new finds kept in
# a scratch folder; a failing input is left in the working folder as
# crash-* (make it a regression: copy it into tests/fuzz/regressions/).
set -u
fuzzer=$1 seconds=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  "$work" "$@"
