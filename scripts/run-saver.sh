#!/usr/bin/env bash
# Builds the saver and runs it on this display: the Linux build full screen
# by default, or with the options given (-window, -c for the settings
# dialog, ...). With --windows first it runs the Windows build under wine64
# instead (/s by default; /c settings, /p HWND preview). Any key, a mouse
# button or a move of the mouse ends a full-screen saver. Without a display
# it runs on the test Xvfb (:97), where `import -display :97 -window root
# shot.png` takes a picture of it.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [ "${1:-}" = --windows ]; then
  shift
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j "$(nproc)" --target quarlo
  if [ $# -eq 0 ]; then set -- /s; fi
  exec cmake/wine-run.sh "$PWD/build/win64/wineprefix" build/win64/src/quarlo.scr "$@"
fi
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target quarlo
if [ $# -eq 0 ]; then set -- -s; fi
if [ -z "${DISPLAY:-}" ]; then
  # The same shared Xvfb the Windows tests use.
  export DISPLAY=$(cmake/wine-run.sh "$PWD/build/win64/wineprefix" --display)
fi
exec build/linux/src/quarlo "$@"
