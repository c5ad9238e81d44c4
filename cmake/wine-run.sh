#!/usr/bin/env bash
# Runs a Windows test program under wine64: wine-run.sh PREFIX PROGRAM [ARGS...]
# With --display instead of a program it only makes sure that the prefix and
# the display exist, and prints the display's name.
# Each build tree has its own wine prefix, made on first use. Without a
# display a shared Xvfb is started, since GL and window tests need one.
set -u
prefix=$1; shift
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
mkdir -p "$(dirname "$prefix")"
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:${QUARLO_XVFB_DISPLAY:-97}
  n=${DISPLAY#:}
  (
    flock 9
    if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
      # A server that died leaves its socket and lock behind.
      rm -f "/tmp/.X11-unix/X$n" "/tmp/.X$n-lock"
      setsid Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null 9>&- &
      for _ in $(seq 100); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
    fi
  ) 9>"/tmp/quarlo-xvfb-$n.lock"
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
exec "$wine" "$@"
