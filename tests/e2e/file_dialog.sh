# FileDialog driven as a user would, on a display of its own: the open
# dialog takes a typed path and Return, the save dialog is cancelled. The
# program window is hidden while a dialog is up and shown again afterwards,
# and the current directory is the one from before each dialog. Linux shows
# the desktop's chooser (zenity), Windows the common dialog (here Wine's).
. "$(dirname "$0")/lib.sh"
. "$BRINDLE_SOURCE/scripts/xvfb-lib.sh"

exe=$(program file_dialog)
[ -f "$exe" ] || fail "missing $exe"
out=$E2E_WORK/program.out
start_xvfb 1024x768 || fail "no Xvfb"
E2E_PIDS+=("$XVFB_PID")
"$BRINDLE_SOURCE/scripts/dismiss-warning" >/dev/null 2>&1 &
E2E_PIDS+=("$!")
export GSETTINGS_BACKEND=memory  # GTK settings without a desktop session

data=$E2E_WORK/pick\ here
mkdir -p "$data/sub"
echo picked >"$data/pick.txt"
if is_windows; then
  arg_dir="Z:$data"; typed="Z:${data//\//\\}\\pick.txt"; expected="Z:$data/pick.txt"; cwd="Z:$data/"
else
  arg_dir=$data; typed=$data/pick.txt; expected=$typed; cwd=$data/
fi

wait_output() {
  local t; t=$(patient "$2")
  while [ $t -gt 0 ]; do
    grep -qF -- "$1" "$out" 2>/dev/null && return 0
    kill -0 "$PROGRAM_PID" 2>/dev/null || return 1
    sleep 0.1; t=$((t - 1))
  done
  return 1
}
# hidden NAME TIMEOUT: no viewable window of that name
hidden() {
  local t id seen
  t=$(patient "$2")
  while [ $t -gt 0 ]; do
    seen=0
    for id in $(xwininfo -root -children 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}'); do
      xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && seen=1
    done
    [ $seen -eq 0 ] && return 0
    sleep 0.1; t=$((t - 1))
  done
  return 1
}

start_program "$exe" "$arg_dir"
wait_output opening 60 || fail "the program did not start ($(cat "$out"))"
dialog=$(find_window Open 60) || fail "no open dialog"
hidden "File Dialog" 20 || fail "the program window stays shown under the open dialog"
focus_window "$dialog" || fail "the open dialog did not get the focus"
xdotool type --delay 40 "$typed"
if ! is_windows; then
  # GTK completes a typed path in a popup window of its own: the pointer
  # goes there so that Return reaches the chooser.
  popup=""
  for _ in $(seq "$(patient 10)"); do
    popup=$(xwininfo -root -children | grep -F '"zenity": ("zenity"' | grep -v ' 10x10+' | awk '{print $1}' | head -n1)
    [ -n "$popup" ] && break
    sleep 0.1
  done
  [ -n "$popup" ] && xdotool mousemove --window "$popup" 5 5
fi
xdotool key Return
wait_output "open $expected" 30 || fail "open: $(grep -v dconf "$out")"
wait_output "cwd $cwd" 5 || fail "open changed the directory: $(cat "$out")"
pass "the open dialog returns the typed path '$expected', the directory stays"

dialog=$(find_window "Save As" 60) || fail "no save dialog"
hidden "File Dialog" 20 || fail "the program window stays shown under the save dialog"
focus_window "$dialog" || fail "the save dialog did not get the focus"
xdotool key Escape
wait_output "save NO_FILE" 30 || fail "cancel: $(cat "$out")"
[ "$(tr -d '\r' <"$out" | grep -cxF "cwd $cwd")" -eq 2 ] || fail "cancel changed the directory: $(cat "$out")"
pass "a cancelled dialog gives NO_FILE"

win=$(find_window "File Dialog" 30) || fail "the program window did not come back"
focus_window "$win" || fail "the program window did not get the focus back"
hold_until 60 Escape -- program_ended
wait_program 10; rc=$?
[ "$rc" -eq 0 ] || fail "Escape after the dialogs: exit code $rc"
pass "the program window is back and Escape ends the program"
