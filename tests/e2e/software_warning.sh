# The display set-up warns about software rendering with a message box of
# the exact caption, then logs "OpenGL Software Emulation"; an accelerated
# format logs "OpenGL Hardware Support" and shows no box. Mesa's llvmpipe on
# Linux is a software rasteriser; Wine's pixel formats are not flagged as
# the operating system's generic software formats.
# The program runs on an X server of its own, answered only by this test's
# own dismisser, which records each box it answers: no other dismisser can
# take the box away first, and no poll has to catch the box while it shows.
. "$(dirname "$0")/lib.sh"
. "$BRINDLE_SOURCE/scripts/xvfb-lib.sh"

exe=$(program key_probe)
[ -f "$exe" ] || fail "missing $exe"
log=$(error_log)
caption='!!OpenGL Software Emulation!!'

start_xvfb 1024x768 || fail "no X server"
E2E_PIDS+=("$XVFB_PID")
answered=$E2E_WORK/answered
: >"$answered"
"$BRINDLE_SOURCE/scripts/dismiss-warning" --log "$answered" "$caption" >/dev/null 2>&1 &
E2E_PIDS+=($!)

rm -f "$log"
start_program "$exe"
running_or_ended() { grep -q '^running' "$E2E_WORK/program.out" 2>/dev/null || program_ended; }
poll 60 running_or_ended
grep -q '^running' "$E2E_WORK/program.out" || fail "the game did not start"
# The program waits for the box before it goes on: it is gone by now.
xwininfo -root -tree 2>/dev/null | grep -qF "\"$caption\"" && fail "the box is still open"
seen=no
[ -s "$answered" ] && seen=yes
software=$(tr -d '\r' <"$log" | grep -cx 'OpenGL Software Emulation')
hardware=$(tr -d '\r' <"$log" | grep -cx 'OpenGL Hardware Support')
[ $((software + hardware)) -eq 1 ] || fail "expected one rendering line in the log, got $software + $hardware"
if [ "$software" -eq 1 ]; then
  [ "$seen" = yes ] || fail "software rendering logged, but no box \"$caption\" appeared"
else
  [ "$seen" = no ] || fail "hardware rendering logged, but the warning box appeared"
fi
if [ "$BRINDLE_TARGET" = linux ]; then
  [ "$software" -eq 1 ] || fail "llvmpipe is a software rasteriser"
fi
# Start-up's lines in call order: display set-up first, then the input
# set-up (silent when the keyboard is there), then the working directory.
first=$(tr -d '\r' <"$log" | sed -n 1p)
second=$(tr -d '\r' <"$log" | sed -n 2p)
case $first in
  "OpenGL Software Emulation" | "OpenGL Hardware Support") ;;
  *) fail "first log line '$first'" ;;
esac
[ "$second" = "Current Dir" ] || fail "second log line '$second'"
kill "$PROGRAM_PID" 2>/dev/null
pass "software=$software hardware=$hardware box=$seen"
