#!/usr/bin/env bash
# Two releases of the committed tree, made one after the other (so at
# different times, from different folders) and the second in another time
# zone and umask, are the same four files, byte for byte.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$root/scripts/release.sh" --out "$out/1" &&
  (umask 002 && TZ=Pacific/Kiritimati "$root/scripts/release.sh" --out "$out/2") || exit 1
[ "$(ls "$out/1" | wc -l)" -eq 4 ] || { echo "FAILED: not four files: $(ls "$out/1")"; exit 1; }
diff -r "$out/1" "$out/2" && echo "passed: $(ls "$out/1" | tr '\n' ' ')the same in both"
