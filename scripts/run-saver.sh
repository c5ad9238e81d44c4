#!/usr/bin/env bash
# Builds the Windows saver and runs it under wine64 on this display: full
# screen by default, or with the switch given (/c settings, /p HWND preview).
# Any key, a mouse button or a move of the mouse ends it. Without a display
# it runs on the test Xvfb (:97), where `import -display :97 -window root
# shot.png` takes a picture of it.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)" --target quarlo
if [ $# -eq 0 ]; then set -- /s; fi
exec cmake/wine-run.sh "$PWD/build/win64/wineprefix" build/win64/src/quarlo.scr "$@"
