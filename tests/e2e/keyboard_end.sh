# Escape and Alt+F4 end a running game from ShowFrame with exit code 0, and a
# debug build's end trace names the marked line; SetEscapeEnds(0) keeps
# Escape from ending it. KeyDown sees a held key. ElapsedTime at the first
# statement is close to 0.
. "$(dirname "$0")/lib.sh"

exe=$(program key_probe)
[ -f "$exe" ] || fail "missing $exe"
log=$(error_log)
out=$E2E_WORK/program.out

# Keyboard focus follows the pointer without a window manager, but a window
# that took the focus explicitly keeps it: give it to the game window.
focus() {
  xdotool mousemove --window "$1" 20 20 >/dev/null 2>&1
  xdotool windowfocus "$1" >/dev/null 2>&1
  sleep 0.3
}
# hold KEY...: held long enough for a frame to see it (the state is polled).
hold() {
  local k
  for k in "$@"; do xdotool keydown "$k"; done
  sleep 0.4
  for k in "$@"; do xdotool keyup "$k"; done
}
wait_output() {
  local t=$(( $2 * 10 ))
  while [ $t -gt 0 ]; do
    grep -q "$1" "$out" 2>/dev/null && return 0
    sleep 0.1; t=$((t - 1))
  done
  return 1
}
start() {
  rm -f "$log"
  start_program "$exe" "$@"
  win=$(find_window "Key Probe" 60) || fail "$*: no window"
  wait_output "^${ready:-running}" 60 || fail "$*: the game did not start ($(cat "$out"))"
  focus "$win"
}
check_trace() {
  local got
  got=$(tail -n 5 "$log" | tr -d '\r' | paste -sd' ')
  [ "$got" = "-End On Line 0 41 42 1" ] || fail "$1: end trace '$got'"
}

# Escape ends the game; Space is seen by KeyDown first.
start
hold space
wait_output '^space down' 10 || fail "KeyDown did not see Space ($(cat "$out"))"
wait_output '^space up' 10 || fail "KeyDown did not see Space released"
hold Escape
wait_program 20; rc=$?
[ "$rc" -eq 0 ] || fail "Escape: exit code $rc"
check_trace Escape
elapsed=$(sed -n 's/^elapsed //p' "$out")
awk -v e="$elapsed" 'BEGIN { exit !(e >= 0 && e < 250) }' || fail "ElapsedTime at the start: '$elapsed'"
pass "Escape ends with code 0 and the trace of line 42; Space seen; first ElapsedTime $elapsed ms"

# SetEscapeEnds(0): Escape does nothing, Alt+F4 still ends the game.
start noescape
hold Escape
sleep 1
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "noescape: Escape ended the game"
focus "$win"
hold Alt_L F4
wait_program 20; rc=$?
[ "$rc" -eq 0 ] || fail "Alt+F4: exit code $rc"
check_trace Alt+F4
pass "with SetEscapeEnds(0) Escape goes on, Alt+F4 ends with code 0"

# WaitForKey returns on a key press and the game goes on; Escape still ends it.
ready=waiting start wait
sleep 1
grep -q '^key taken' "$out" && fail "WaitForKey returned without a key"
hold space
wait_output '^key taken' 10 || fail "WaitForKey did not take Space"
wait_output '^running' 10 || fail "the game did not go on after WaitForKey"
hold Escape
wait_program 20; rc=$?
[ "$rc" -eq 0 ] || fail "Escape after WaitForKey: exit code $rc"
pass "WaitForKey waits for a key press"
