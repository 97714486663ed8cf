# Escape and Alt+F4 end a running game from ShowFrame with exit code 0, and a
# debug build's end trace names the marked line; SetEscapeEnds(0) keeps
# Escape from ending it. KeyDown sees a held key. ElapsedTime at the first
# statement is close to 0. Keys are held, as a user would, until the program
# shows it has seen them: no fixed waits.
. "$(dirname "$0")/lib.sh"

exe=$(program key_probe)
[ -f "$exe" ] || fail "missing $exe"
log=$(error_log)
out=$E2E_WORK/program.out

said() { grep -q "$1" "$out" 2>/dev/null; }
wait_output() { poll "$2" said "$1"; }
start() {
  rm -f "$log"
  start_program "$exe" "$@"
  win=$(find_window "Key Probe" 60) || fail "$*: no window"
  wait_output "^${ready:-running}" 60 || fail "$*: the game did not start ($(cat "$out"))"
  # Keyboard focus follows the pointer without a window manager, but a
  # window that took the focus explicitly keeps it: give it to the game.
  focus_window "$win" || fail "$*: the game window did not get the focus"
}
check_trace() {
  local got
  got=$(tail -n 5 "$log" | tr -d '\r' | paste -sd' ')
  [ "$got" = "-End On Line 0 41 42 1" ] || fail "$1: end trace '$got'"
}

# Escape ends the game; Space is seen by KeyDown first.
start
hold_until 30 space -- said '^space down' || fail "KeyDown did not see Space ($(cat "$out"))"
wait_output '^space up' 30 || fail "KeyDown did not see Space released"
hold_until 30 Escape -- program_ended || fail "Escape did not end the game"
wait_program 20; rc=$?
[ "$rc" -eq 0 ] || fail "Escape: exit code $rc"
check_trace Escape
elapsed=$(sed -n 's/^elapsed //p' "$out")
awk -v e="$elapsed" 'BEGIN { exit !(e >= 0 && e < 250) }' || fail "ElapsedTime at the start: '$elapsed'"
pass "Escape ends with code 0 and the trace of line 42; Space seen; first ElapsedTime $elapsed ms"

# SetEscapeEnds(0): Escape does nothing (the game reports a whole frame with
# Escape held), Alt+F4 still ends the game.
start noescape
hold_until 30 Escape -- said '^escape held' || fail "noescape: no frame with Escape held ($(cat "$out"))"
program_ended && fail "noescape: Escape ended the game"
focus_window "$win" || fail "noescape: the game window lost the focus"
hold_until 30 Alt_L F4 -- program_ended || fail "Alt+F4 did not end the game"
wait_program 20; rc=$?
[ "$rc" -eq 0 ] || fail "Alt+F4: exit code $rc"
check_trace Alt+F4
pass "with SetEscapeEnds(0) Escape goes on, Alt+F4 ends with code 0"

# WaitForKey returns on a key press and the game goes on; Escape still ends it.
ready=waiting start wait
said '^key taken' && fail "WaitForKey returned without a key"
hold_until 30 space -- said '^key taken' || fail "WaitForKey did not take Space"
wait_output '^running' 30 || fail "the game did not go on after WaitForKey"
hold_until 30 Escape -- program_ended || fail "Escape after WaitForKey did not end the game"
wait_program 20; rc=$?
[ "$rc" -eq 0 ] || fail "Escape after WaitForKey: exit code $rc"
pass "WaitForKey waits for a key press"
