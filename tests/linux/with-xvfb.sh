#!/usr/bin/env bash
# Runs a command on an Xvfb of its own: with-xvfb.sh COMMAND [ARGS...]
set -u
tmp=$(mktemp)
Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp -noreset 4>"$tmp" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -f "$tmp"' EXIT
for _ in $(seq 100); do [ -s "$tmp" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$tmp")"
"$@"
