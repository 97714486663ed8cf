# Sourced by scripts/test, scripts/demo, benchmarks and end-to-end tests.
#
# start_xvfb [WIDTHxHEIGHT]: starts an Xvfb of its own and sets DISPLAY and
#   XVFB_PID. The server picks a free display number itself (-displayfd), so
#   several suites starting at once on one machine never race for a number.
#   It never resets (-noreset): by default the server resets whenever its
#   last client leaves, and a program connecting during the reset is refused
#   (between two tests' programs, for example).
# start_display [WIDTHxHEIGHT]: one display for a whole run (an existing
#   DISPLAY is kept unless BRINDLE_FORCE_XVFB=1), plus the watcher that
#   dismisses the software-rendering warning box as a user would;
#   stop_display is registered on exit.
BRINDLE_XVFB_PID=""
BRINDLE_WATCHER_PID=""
XVFB_PID=""

start_xvfb() {
  local size=${1:-1920x1440} numfile n="" i
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$numfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  # The number is written, with a newline, once the server accepts clients.
  for i in $(seq 600); do
    if [ "$(wc -l <"$numfile")" -ge 1 ]; then n=$(head -n1 "$numfile"); break; fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numfile"
  if [ -z "$n" ]; then
    kill "$XVFB_PID" 2>/dev/null; XVFB_PID=""
    echo "could not start Xvfb" >&2
    return 1
  fi
  export DISPLAY=:$n
}

start_display() {
  local size=${1:-1920x1440}
  if [ -z "${DISPLAY:-}" ] || [ "${BRINDLE_FORCE_XVFB:-0}" = 1 ]; then
    start_xvfb "$size" || return 1
    BRINDLE_XVFB_PID=$XVFB_PID
  fi
  local here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  if [ -x "$here/dismiss-warning" ]; then
    "$here/dismiss-warning" >/dev/null 2>&1 &
    BRINDLE_WATCHER_PID=$!
  fi
  trap stop_display EXIT
}

stop_display() {
  [ -n "$BRINDLE_WATCHER_PID" ] && kill "$BRINDLE_WATCHER_PID" 2>/dev/null
  [ -n "$BRINDLE_XVFB_PID" ] && kill "$BRINDLE_XVFB_PID" 2>/dev/null
  BRINDLE_WATCHER_PID=""; BRINDLE_XVFB_PID=""
}
