#!/usr/bin/env bash
# The Xvfb that Windows programs draw on when there is no display: one for
# a whole test run, or one for a lone wine-run.sh.
#
#   test-display.sh start FILE [OWNER]   starts one and writes "NUMBER PID" to
#                                        FILE; it ends when process OWNER (by
#                                        default the caller, CTest) ends
#   test-display.sh stop FILE [PREFIX...]  waits for the Wine servers of the
#                                        prefixes to end, then ends the
#                                        server FILE names and removes FILE
#
# With DISPLAY set, start starts nothing. stop ends only a server that start
# made (FILE says which), never one it finds.
set -u
usage() {
  echo "usage: test-display.sh start FILE [OWNER] | stop FILE [PREFIX...]" >&2
  exit 2
}
[ $# -ge 2 ] || usage
command=$1 file=$2
shift 2

# The server and watchdog FILE names, if the server still runs and is the
# one start made: an Xvfb whose parent is that watchdog.
ours() {
  local number pid watchdog
  read -r number pid watchdog 2>/dev/null <"$file" || return 1
  ps -o ppid=,comm= -p "${pid:-0}" 2>/dev/null | awk -v w="${watchdog:-x}" '$1 == w && $2 == "Xvfb" {ok = 1} END {exit !ok}' &&
    echo "$pid $watchdog"
}

stop() {
  local prefix found pid watchdog
  for prefix in "$@"; do
    # Wine's programs end when their server does; they end before the display goes.
    WINEPREFIX=$prefix timeout 60 wineserver -w 2>/dev/null
  done
  if found=$(ours); then
    read -r pid watchdog <<<"$found"
    kill "$pid" 2>/dev/null
    # The watchdog sees the server gone and ends within its half second.
    for _ in $(seq 100); do
      kill -0 "$pid" 2>/dev/null || kill -0 "$watchdog" 2>/dev/null || break
      sleep 0.05
    done
  fi
  rm -f "$file"
}

case $command in
  start)
    owner=${1:-$PPID}
    stop  # one left by a run that was cut short
    [ -z "${DISPLAY:-}" ] || exit 0
    numbers=$(mktemp)
    trap 'rm -f "$numbers" "$numbers.pid"' EXIT
    # A watchdog ends the server when its owner ends, also when the run is
    # cut short and stop never comes; it keeps no terminal or pipe of ours.
    setsid bash -c '
      Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$1" &
      server=$!
      echo "$server" >"$1.pid"
      running() { ps -o stat= -p "$1" | grep -qv Z; }  # a zombie has ended
      while running "$2" && running "$server"; do sleep 0.5; done
      kill "$server" 2>/dev/null' _ "$numbers" "$owner" </dev/null >/dev/null 2>&1 &
    watchdog=$!
    for _ in $(seq 200); do [ -s "$numbers" ] && [ -s "$numbers.pid" ] && break; sleep 0.05; done
    number=$(head -n1 "$numbers")
    if [ -z "$number" ]; then
      echo "test-display.sh: Xvfb did not start" >&2
      exit 1
    fi
    echo "$number $(cat "$numbers.pid") $watchdog" >"$file.new" && mv "$file.new" "$file"
    ;;
  stop) stop "$@" ;;
  *) usage ;;
esac
