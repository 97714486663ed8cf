# Sourced by scripts/test and scripts/demo: one Xvfb for the run, plus the
# watcher that dismisses the software-rendering warning box as a user would.
# start_display [WIDTHxHEIGHT]: sets DISPLAY (an existing display is kept
# unless BRINDLE_FORCE_XVFB=1); stop_display is registered on exit.
BRINDLE_XVFB_PID=""
BRINDLE_WATCHER_PID=""

start_display() {
  local size=${1:-1920x1440}
  if [ -z "${DISPLAY:-}" ] || [ "${BRINDLE_FORCE_XVFB:-0}" = 1 ]; then
    local n
    for n in $(seq 90 140); do
      [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
      Xvfb :$n -screen 0 ${size}x24 -nolisten tcp >/dev/null 2>&1 &
      BRINDLE_XVFB_PID=$!
      export DISPLAY=:$n
      local i
      for i in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
      done
      xdpyinfo >/dev/null 2>&1 && break
      kill $BRINDLE_XVFB_PID 2>/dev/null; BRINDLE_XVFB_PID=""
    done
    [ -n "$BRINDLE_XVFB_PID" ] || { echo "could not start Xvfb" >&2; return 1; }
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
  [ -n "$BRINDLE_WATCHER_PID" ] && kill $BRINDLE_WATCHER_PID 2>/dev/null
  [ -n "$BRINDLE_XVFB_PID" ] && kill $BRINDLE_XVFB_PID 2>/dev/null
  BRINDLE_WATCHER_PID=""; BRINDLE_XVFB_PID=""
}
