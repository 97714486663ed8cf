# The program window: caption, client area, pausing while another window has
# the focus, closing, and a fresh error log per run.
. "$(dirname "$0")/lib.sh"

log=$(error_log)
mkdir -p "$(dirname "$log")"
printf 'left over from an earlier run\r\n' >"$log"

start_program "$(program window_probe)"
id=$(find_window Glimmerball 60) || fail "no window named Glimmerball"
# Past the display set-up (and its software-rendering box, which takes and
# gives back the focus) once start-up logs the working directory.
dir_logged() { tr -d '\r' <"$log" 2>/dev/null | grep -qx "Current Dir"; }
poll 60 dir_logged || fail "start-up did not log the working directory"
[ "$(window_name "$id")" = Glimmerball ] || fail "caption is '$(window_name "$id")'"
size=$(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$size" = 640x480 ] || fail "client area is $size, not 640x480"
pass "window Glimmerball with a 640x480 client area"

xmessage -geometry 200x100+0+0 "another window" &
E2E_PIDS+=($!)
other=$(find_window xmessage 10) || fail "no second window"

for round in 1 2; do
  focus_window "$id" || fail "round $round: the game window did not get the focus"
  xdotool mousemove --window "$other" 10 10; xdotool windowfocus "$other"
  wait_window_name "$id" "Glimmerball <pause>" 10 \
    || fail "round $round: caption '$(window_name "$id")' while another window has the focus"
  xdotool mousemove --window "$id" 10 10 click 1; xdotool windowfocus "$id"
  wait_window_name "$id" "Glimmerball" 10 \
    || fail "round $round: caption '$(window_name "$id")' after focusing back"
done
pass "pause caption on focus loss, exact title restored, twice"

x_close "$id"
wait_program 20; rc=$?
[ $rc -eq 0 ] || fail "exit code $rc after closing the window"
pass "closing the window ends the program with exit code 0"

grep -q "earlier run" "$log" && fail "the error log still holds an earlier run's entry"
tr -d '\r' <"$log" | grep -qx "Current Dir" || fail "no 'Current Dir' entry in the error log"
dir=$(tr -d '\r' <"$log" | grep -A1 -x "Current Dir" | tail -n1)
case "$dir" in *programs) ;; *) fail "working directory entry is '$dir'";; esac
[ "$(tail -c 2 "$log" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "entries do not end with CR LF"
pass "fresh error log with the working-directory entries"
