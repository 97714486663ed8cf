# When no window can be made (here: no X display; the runtime asks SDL for
# X only), the program says so in the error log and ends with exit code 1 instead of
# running the game without a display. The run starts a fresh log first:
# nothing of an earlier run's log is left in front of its entry.
. "$(dirname "$0")/lib.sh"
log=$(error_log)
printf 'left over from an earlier run\r\n' >"$log"
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$(program window_probe)" >"$E2E_WORK/out" 2>&1 &
PROGRAM_PID=$!
E2E_PIDS+=("$PROGRAM_PID")
wait_program 20; rc=$?
[ $rc -eq 1 ] || fail "exit code $rc without a display"
[ "$(tr -d '\r' <"$log")" = "No Window" ] || fail "error log: '$(cat "$log")', not just 'No Window'"
pass "no display: 'No Window' logged, exit code 1"
