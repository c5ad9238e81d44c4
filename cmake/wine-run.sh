#!/usr/bin/env bash
# Runs a Windows test program under wine64: wine-run.sh PREFIX PROGRAM [ARGS...]
# With --display instead of a program it only makes sure that the prefix and
# the display exist, and prints the display's name.
# Each build tree has its own wine prefix, made on first use. GL and window
# tests need a display: $DISPLAY, else the test run's Xvfb (the file
# QUARLO_TEST_DISPLAY names, see test-display.sh), else one of this run's
# own that ends with it, after the Wine server it started.
set -u
prefix=$1; shift
here=$(dirname "$(realpath "$0")")
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
mkdir -p "$(dirname "$prefix")"
own_display=
if [ -z "${DISPLAY:-}" ]; then
  if [ -n "${QUARLO_TEST_DISPLAY:-}" ]; then
    if ! read -r number _ <"$QUARLO_TEST_DISPLAY" 2>/dev/null; then
      echo "wine-run.sh: the test run's display is not there ($QUARLO_TEST_DISPLAY)" >&2
      exit 1
    fi
  elif [ "${1:-}" = --display ]; then
    echo "wine-run.sh: --display needs DISPLAY or QUARLO_TEST_DISPLAY" >&2
    exit 1
  else
    own_display=$(mktemp /tmp/quarlo-display-XXXXXX)
    trap '"$here/test-display.sh" stop "$own_display" "$prefix"' EXIT
    "$here/test-display.sh" start "$own_display" $$ || exit 1
    read -r number _ <"$own_display"
  fi
  export DISPLAY=:$number
fi
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1 9>&-
    # Xvfb has no window manager: managed windows make Wine wait two seconds
    # for each top-level window that is hidden or destroyed.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
  fi
) 9>"$prefix.lock"
if [ "${1:-}" = --display ]; then
  echo "$DISPLAY"
  exit 0
fi
if [ -z "$own_display" ]; then
  exec "$wine" "$@"
fi
"$wine" "$@"
