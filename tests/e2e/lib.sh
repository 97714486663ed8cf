# Helpers for end-to-end scripts, sourced by tests/e2e/*.sh. ctest provides
# BRINDLE_BUILD (this target's build directory), BRINDLE_TARGET (linux or
# windows-i386) and BRINDLE_SOURCE; the display comes from scripts/test.
set -uo pipefail
: "${BRINDLE_SOURCE:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
: "${BRINDLE_TARGET:=linux}"
: "${BRINDLE_BUILD:=$BRINDLE_SOURCE/build/$BRINDLE_TARGET}"
E2E_WORK=$(mktemp -d)

# Time-outs: each wait in a test names what the step needs on a quiet
# machine, with room. On a machine shared with builds a step (Wine start-up
# above all) can take many times as long, so every waiting helper below waits
# up to BRINDLE_E2E_PATIENCE (default 5) times the time it is given. A passing
# step returns as soon as its condition holds: only a failing test waits the
# whole time.
E2E_PATIENCE=${BRINDLE_E2E_PATIENCE:-5}
# patient SECONDS: the tenths of a second a helper may wait.
patient() { echo $(( $1 * E2E_PATIENCE * 10 )); }
E2E_PIDS=()
e2e_cleanup() {
  local p
  for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

# Linux programs get their own temporary directory, so each test has its own
# error log; Wine programs use the prefix's temporary directory.
export TMPDIR=$E2E_WORK/tmp
mkdir -p "$TMPDIR"

fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

is_windows() { [ "$BRINDLE_TARGET" = windows-i386 ]; }

# program NAME: path of a test program (tests/programs/NAME.cpp) or "game"
program() {
  local p
  if [ "$1" = game ]; then p=$BRINDLE_BUILD/game/glimmerball; else p=$BRINDLE_BUILD/tests/programs/prog_$1; fi
  is_windows && p=$p.exe
  echo "$p"
}

# start_program EXE ARGS...: runs it in the background; sets PROGRAM_PID.
start_program() {
  if is_windows; then
    "$BRINDLE_SOURCE/scripts/wine-run" "$@" >"$E2E_WORK/program.out" 2>&1 &
  else
    "$@" >"$E2E_WORK/program.out" 2>&1 &
  fi
  PROGRAM_PID=$!
  E2E_PIDS+=("$PROGRAM_PID")
}

# wait_program TIMEOUT-SECONDS: exit code of the program, or 124 on time-out.
wait_program() {
  local t; t=$(patient "$1")
  while [ $t -gt 0 ]; do
    if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
      wait "$PROGRAM_PID"; return $?
    fi
    sleep 0.1; t=$((t - 1))
  done
  return 124
}

# run_to_exit WHAT EXE ARGS...: runs it to its end (60 s, patient); fails,
# naming WHAT, unless it exits with 0.
run_to_exit() {
  local what=$1 exe=$2; shift 2
  start_program "$exe" "$@"
  wait_program 60
  local rc=$?
  [ "$rc" -eq 0 ] || fail "$what: exit code $rc ($(cat "$E2E_WORK/program.out"))"
}

# end_trace LOG: the last five lines of an error log (the end trace) on one line.
end_trace() { tail -n 5 "$1" | tr -d '\r' | paste -sd' '; }

# temp_dir: the target program's temporary directory (with trailing '/').
temp_dir() {
  if is_windows; then
    if [ ! -s "$BRINDLE_BUILD/.wine-temp" ]; then
      local w
      w=$("$BRINDLE_SOURCE/scripts/wine-run" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
      WINEPREFIX=${BRINDLE_WINEPREFIX:-$BRINDLE_SOURCE/build/wineprefix} winepath -u "$w" 2>/dev/null \
        >"$BRINDLE_BUILD/.wine-temp"
    fi
    echo "$(cat "$BRINDLE_BUILD/.wine-temp")/"
  else
    echo "$TMPDIR/"
  fi
}
error_log() { echo "$(temp_dir)ErrorLog.txt"; }

# find_window EXACT-NAME TIMEOUT: prints the X window id of the viewable
# top-level window with that name (xwininfo lists every window by name).
find_window() {
  local t id
  t=$(patient "$2")
  while [ $t -gt 0 ]; do
    for id in $(xwininfo -root -children 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}'); do
      if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
        echo "$id"; return 0
      fi
    done
    sleep 0.1; t=$((t - 1))
  done
  # For the failure message: what is on the screen, and the program's state.
  {
    echo "no viewable window \"$1\" after $(( $2 * E2E_PATIENCE )) s; top-level windows:"
    xwininfo -root -children 2>&1 | grep '"' | head -n 20
    [ -n "${PROGRAM_PID:-}" ] && { kill -0 "$PROGRAM_PID" 2>/dev/null && echo "program running" || echo "program ended"; }
    [ -f "$E2E_WORK/program.out" ] && tail -n 5 "$E2E_WORK/program.out"
  } >&2
  return 1
}

# window_name ID
window_name() { xprop -id "$1" WM_NAME 2>/dev/null | sed -n 's/^WM_NAME([^)]*) = "\(.*\)"$/\1/p'; }

# wait_window_name ID EXPECTED TIMEOUT
wait_window_name() {
  local t; t=$(patient "$3")
  while [ $t -gt 0 ]; do
    [ "$(window_name "$1")" = "$2" ] && return 0
    sleep 0.1; t=$((t - 1))
  done
  return 1
}

# x_close ID: a window manager's close request (WM_DELETE_WINDOW).
x_close() {
  local tool=$BRINDLE_BUILD/x-close
  [ -x "$tool" ] || cc -O -o "$tool" "$BRINDLE_SOURCE/tests/e2e/x-close.c" -lX11 || return 1
  "$tool" "$1"
}

# screenshot ID FILE.png
screenshot() { import -silent -window "$1" "$2"; }

# poll TIMEOUT-SECONDS COMMAND...: runs COMMAND every 0.2 s until it
# succeeds; non-zero when it still fails after the (patient) time-out.
poll() {
  local end=$((SECONDS + $1 * E2E_PATIENCE)); shift
  until "$@"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.2
  done
}

# has_focus ID: X's input focus is on the window (or inside it).
has_focus() {
  local focus
  focus=$(xdotool getwindowfocus -f 2>/dev/null) || return 1
  [ "$focus" = "$(($1))" ] && return 0
  # A child of the window holding the focus counts too.
  xwininfo -id "$1" -tree 2>/dev/null | awk '{print $1}' | grep -qix "$(printf '0x%x' "$focus")"
}

# focus_window ID: the pointer into the window (without a window manager the
# focus follows it) and the focus given to it, until X reports it there.
focus_window() {
  xdotool mousemove --window "$1" 20 20 >/dev/null 2>&1
  xdotool windowfocus "$1" >/dev/null 2>&1
  poll 10 has_focus "$1"
}

# hold_until TIMEOUT KEYS -- COMMAND...: holds the keys (pressed together, as
# a user would) until COMMAND succeeds, then releases them; non-zero on
# time-out. The program reads the key state once per frame, however slowly
# frames come on a busy machine.
hold_until() {
  local timeout=$1 keys=() k rc
  shift
  while [ "$1" != -- ]; do keys+=("$1"); shift; done
  shift
  for k in "${keys[@]}"; do xdotool keydown "$k"; done
  poll "$timeout" "$@"; rc=$?
  # Released last pressed first, as a hand lets go of a chord: with Shift
  # let go first, a program reading held keys would see a lower-case letter.
  for ((k = ${#keys[@]} - 1; k >= 0; k--)); do xdotool keyup "${keys[k]}"; done
  return $rc
}

# program_ended: the program started by start_program is gone.
program_ended() { ! kill -0 "$PROGRAM_PID" 2>/dev/null; }

# exported_names EXE: the names the executable exports, sorted (Windows: its
# export table; Linux: its defined dynamic symbols, without main and the data
# the C library shares by copy).
exported_names() {
  if is_windows; then
    i686-w64-mingw32-objdump -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
      sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p' | sort
  else
    nm -D --defined-only "$1" | awk '$2 == "T" || $2 == "D" || $2 == "B" {print $3}' |
      grep -v -e '^main$' -e '@' -e '^_' | sort
  fi
}

# shows_greeting WINDOW FONT: the template game's first frame is up: the
# program still runs and the window shows "Hello from Brindle!" in FONT
# (16 x 16 cells).
shows_greeting() {
  kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the game ended early: $(cat "$E2E_WORK/program.out")"
  screenshot "$1" "$E2E_WORK/shot.png" &&
    /usr/bin/python3 "$BRINDLE_SOURCE/tests/e2e/check_image.py" text "$E2E_WORK/shot.png" "$2" 16 16 \
      "Hello from Brindle!" >/dev/null
}
