#!/usr/bin/env bash
# Builds the saver and runs it on this display: the Linux build full screen
# by default, or with the options given (-window, -c for the settings
# dialog, ...). With --windows first it runs the Windows build under wine64
# instead (/s by default; /c settings, /p HWND preview). Any key, a mouse
# button or a move of the mouse ends a full-screen saver.
# Without a display it says so, runs the saver on a virtual X server (Xvfb),
# and writes a screenshot of it after a few seconds, printing where.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
windows=false
if [ "${1:-}" = --windows ]; then
  windows=true
  shift
fi
if $windows; then
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j "$(nproc)" --target quarlo
  if [ $# -eq 0 ]; then set -- /s; fi
  command=(cmake/wine-run.sh "$PWD/build/win64/wineprefix" build/win64/src/quarlo.scr "$@")
else
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j "$(nproc)" --target quarlo quarlo-settings
  if [ $# -eq 0 ]; then set -- -s; fi
  command=(build/linux/src/quarlo "$@")
fi
if [ -n "${DISPLAY:-}" ]; then
  exec "${command[@]}"
fi

shots=$PWD/build/run-saver
mkdir -p "$shots"
numbers=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numbers" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$numbers"' EXIT
for _ in $(seq 100); do [ -s "$numbers" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$numbers")"
echo "run-saver: there is no display here (DISPLAY is not set), so the saver runs on a"
echo "run-saver: virtual one, Xvfb $DISPLAY; Ctrl-C ends it."
"${command[@]}" &
saver=$!
sleep 4
if import -display "$DISPLAY" -window root "$shots/screenshot.png" 2>/dev/null; then
  echo "run-saver: what it shows now: $shots/screenshot.png"
  echo "run-saver: another: import -display $DISPLAY -window root shot.png"
fi
wait $saver
