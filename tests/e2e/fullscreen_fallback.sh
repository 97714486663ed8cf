# A game that starts fullscreen where the display offers no mode of its size
# (a virtual X server has only the desktop's): beep, "No Fullscreen Mode
# available" in the error log, and the game runs in its window. (The beep
# on Linux is the terminal bell on standard error, ahead of "running".)
. "$(dirname "$0")/lib.sh"

exe=$(program fullscreen_probe)
[ -f "$exe" ] || fail "missing $exe"
log=$(error_log)
rm -f "$log"
start_program "$exe"
win=$(find_window "Fullscreen Probe" 60) || fail "no window"
started() { grep -q 'running' "$E2E_WORK/program.out" 2>/dev/null; }
poll 30 started
grep -q 'running' "$E2E_WORK/program.out" || fail "the game did not start"
tr -d '\r' <"$log" | grep -qx 'No Fullscreen Mode available' || fail "no fallback line in the log: $(cat "$log")"
if ! is_windows; then
  grep -q $'\a' "$E2E_WORK/program.out" || fail "no beep"
fi
geometry=$(xwininfo -id "$win" | sed -n 's/^ *-geometry //p')
case $geometry in
  640x480+*) ;;
  *) fail "window geometry $geometry, expected a 640x480 client area" ;;
esac
x_close "$win"
wait_program 20; rc=$?
[ "$rc" -eq 0 ] || fail "exit code $rc after closing"
pass "fullscreen fell back to a 640x480 window"
