#!/usr/bin/env bash
# Two releases of the committed tree, made one after the other (so at
# different times, from different folders) and the second in another time
# zone and umask, are the same bytes, file for file.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$root/scripts/release.sh" --out "$out/first" || exit 1
(umask 002 && TZ=Pacific/Kiritimati "$root/scripts/release.sh" --out "$out/second") || exit 1
first=$(cd "$out/first" && ls) second=$(cd "$out/second" && ls)
if [ "$first" != "$second" ] || [ "$(echo "$first" | wc -l)" -ne 4 ]; then
  echo "FAILED: the releases hold different files or not four: [$first] [$second]"
  exit 1
fi
status=0
for name in $first; do
  cmp "$out/first/$name" "$out/second/$name" || status=1
done
[ $status -eq 0 ] && echo "passed: $(echo $first) the same in both"
exit $status
