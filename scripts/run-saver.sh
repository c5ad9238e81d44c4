#!/usr/bin/env bash
# Builds the saver and runs it on this display: the Linux build full screen
# by default, or with the options given (-window, -c for the settings
# dialog, ...). With --windows first it runs the Windows build under wine64
# instead (/s by default; /c settings, /p HWND preview). Any key, a mouse
# button or a move of the mouse ends a full-screen saver.
# Without a display it says so, runs the saver on a virtual X server (Xvfb),
# and writes a screenshot of it once the show is on the screen, printing where.
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
# The Windows tests' display script: the server ends with this script,
# after the Wine server it served.
display=$(mktemp)
trap 'cmake/test-display.sh stop "$display" "$PWD/build/win64/wineprefix"' EXIT
cmake/test-display.sh start "$display" $$
export DISPLAY=":$(cut -d' ' -f1 "$display")"
echo "run-saver: there is no display here (DISPLAY is not set), so the saver runs on a"
echo "run-saver: virtual one, Xvfb $DISPLAY; Ctrl-C ends it."
if $windows; then
  # A first run makes Wine's prefix, showing Wine's own box meanwhile: before the saver starts.
  echo "run-saver: making Wine's prefix if it is not there yet ..."
  cmake/wine-run.sh "$PWD/build/win64/wineprefix" --display >/dev/null
fi
"${command[@]}" &
saver=$!
case "$*" in
  -s | /s)
    # As the tests do: the picture is taken once the show is on the screen.
    echo "run-saver: waiting for the show (at most 60 s) ..."
    python3 - "$saver" <<'WAIT' || { kill -0 $saver 2>/dev/null || exit 1; }
import os, sys
sys.path.insert(0, "tests/support")
from e2e import Failure, Screen, wait_for_logo_and_cube
try:
    wait_for_logo_and_cube(Screen(), timeout=60)
except Failure as failure:
    ended = not os.path.exists("/proc/%s" % sys.argv[1])
    sys.exit("run-saver: " + ("the saver ended" if ended else "no show after 60 s: %s" % failure))
WAIT
    ;;
  *) sleep 4 ;;
esac
if import -display "$DISPLAY" -window root "$shots/screenshot.png" 2>/dev/null; then
  echo "run-saver: what it shows now: $shots/screenshot.png"
  echo "run-saver: another: import -display $DISPLAY -window root shot.png"
fi
wait $saver
