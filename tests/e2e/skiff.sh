# Skiff, the example game, run twice from a directory of its own, read
# through its own log (--log) and screenshots:
# - ten seconds without input on the title start the attract mode, whose
#   frames change and which plays the same way in the next run (--demo);
# - held keys move the skiff (right, then left);
# - a high score typed with the name prompt and an option changed on the
#   options screen are written to scores.txt and skiff.ini, and the second
#   run reads them back (and loads the 3D logo the first run built);
# - the intro film packed into the program plays its whole length;
# - extra levels come from a local web server: a good level is kept, a bad
#   level and a name pointing outside the server's folder are refused.
. "$(dirname "$0")/lib.sh"

exe=$BRINDLE_BUILD/examples/skiff/skiff; is_windows && exe=$exe.exe
font=$BRINDLE_BUILD/examples/skiff/media/skiffont.bmp
[ -f "$exe" ] || fail "missing $exe"
run=$E2E_WORK/run
mkdir -p "$run" && cp "$exe" "$run/" || fail "could not copy $exe"
check() { /usr/bin/python3 "$BRINDLE_SOURCE/tests/e2e/check_image.py" "$@" >/dev/null; }

# start_skiff NAME ARGUMENTS...: runs Skiff logging to $E2E_WORK/NAME.log;
# sets LOG and WINDOW.
start_skiff() {
  LOG=$E2E_WORK/$1.log
  local path=$LOG
  is_windows && path=$(WINEPREFIX=${BRINDLE_WINEPREFIX:-$BRINDLE_SOURCE/build/wineprefix} winepath -w "$LOG" 2>/dev/null)
  : >"$LOG"
  start_program "$run/$(basename "$exe")" --log "$path" "${@:2}"
  WINDOW=$(find_window "Skiff" 60) || fail "no window \"Skiff\""
}
logged() { grep -q -- "$1" "$LOG"; }
count() { grep -c -- "$1" "$LOG"; }
# logged_more PATTERN N: the log has more than N lines matching.
logged_more() { [ "$(count "$1")" -gt "$2" ]; }
alive() { kill -0 "$PROGRAM_PID" 2>/dev/null || fail "Skiff ended early: $(tail -n 5 "$LOG")"; }
wait_log() {  # wait_log SECONDS PATTERN
  poll "$1" logged "$2" || fail "no \"$2\" in the log: $(tail -n 8 "$LOG")"
}
shot() { alive; screenshot "$WINDOW" "$E2E_WORK/$1.png"; }
# demo_line LOG TICK: the demo's state at that step in that run's log.
demo_line() { grep "^attract tick $2 " "$1" | head -n1 | cut -d' ' -f4-; }
demo_at() { logged "^attract tick $1 "; }

# First run: the attract mode starts by itself (nothing touches the window).
# The pointer starts away from it, so that moving it in later is a move (an
# earlier run may have left it where the focus puts it).
xdotool mousemove 1900 1400
start_skiff first --no-intro
wait_log 60 "^title"
wait_log 60 "^attract starts"
poll 30 shot demo0 || fail "no screenshot"
changed() { shot demo1 && check differ "$E2E_WORK/demo0.png" "$E2E_WORK/demo1.png" 0 32 640 448; }
poll 30 changed || fail "the attract mode's frames do not change"
poll 60 demo_at 300 || fail "the demo did not reach step 300: $(tail -n 3 "$LOG")"
# The pointer coming into the window is input: back to the title.
focus_window "$WINDOW" || fail "the window did not get the focus"
wait_log 30 "^attract interrupted"
pass "the attract mode starts after ten idle seconds, plays by itself, its frames change and input ends it"

# A game: P from the title, then held arrow keys move the skiff.
hold_until 30 p -- logged "^game level 1" || fail "P did not start a game: $(tail -n 3 "$LOG")"
wait_log 60 "^tick .* me "
# me_x: the skiff's latest x position in the log.
me_x() { grep '^tick .* me ' "$LOG" | tail -n1 | awk '{print int($4)}'; }
x0=$(me_x)
further() { alive; [ "$(me_x)" -ge $((x0 + $1)) ]; }
hold_until 60 Right -- further 40 || fail "holding Right did not move the skiff right (x $x0, now $(me_x))"
x1=$(me_x)
back() { alive; [ "$(me_x)" -le $((x1 - 20)) ]; }
hold_until 60 Left -- back || fail "holding Left did not move the skiff left (x $x1, now $(me_x))"
pass "held keys move the skiff: x $x0, then $x1, then $(me_x)"

# Escape ends the game; the empty table takes the score and the name typed.
hold_until 30 Escape -- logged "^game over score" || fail "Escape did not end the game"
# typed TEXT: the prompt shows the text typed so far.
typed() { shot name && check text "$E2E_WORK/name.png" "$font" 168 342 "$1"; }
type_key() {  # type_key KEYS... -- TEXT-SO-FAR
  local keys=()
  while [ "$1" != -- ]; do keys+=("$1"); shift; done
  hold_until 30 "${keys[@]}" -- typed "$2" || fail "the name prompt does not show \"$2\""
}
type_key shift a -- "A"
type_key d -- "Ad"
type_key a -- "Ada"
titles=$(count "^title")
hold_until 30 Return -- logged "^score 0 Ada written at 1" || fail "Return did not write the score: $(tail -n 3 "$LOG")"
wait_log 30 "^scores shown 1 first Ada 0"
# The table stays up until a key: the Return that ended the name is no new press.
table_shown() { shot scores && check text "$E2E_WORK/scores.png" "$font" 136 110 "$(printf '%2d. %6d  %s' 1 0 Ada)"; }
poll 30 table_shown || fail "the high-score table does not show \"1. 0 Ada\""
hold_until 30 Return -- logged_more "^title" "$titles" || fail "the scores did not give way to the title"

# Options: the volume down by one step, kept when the screen is left.
hold_until 30 o -- logged "^options screen" || fail "O did not open the options"
hold_until 30 Left -- logged "^option volume 70" || fail "Left did not lower the volume"
saved=$(count "^options saved")  # the name was saved already
hold_until 30 Escape -- logged_more "^options saved" "$saved" || fail "Escape did not leave the options"
# Q quits (the program reads keys once a frame: Escape let go and pressed
# again between two frames would not be a new press).
hold_until 30 q -- program_ended || fail "Q on the title did not end Skiff"
wait_program 30; rc=$?
[ $rc -eq 0 ] || fail "exit code $rc"
grep -q '^Volume=70' "$run/skiff.ini" || fail "skiff.ini has no Volume=70: $(cat "$run/skiff.ini")"
grep -q '^Name=Ada' "$run/skiff.ini" || fail "skiff.ini has no Name=Ada"
[ "$(head -n1 "$run/scores.txt" | tr -d '\r')" = "0 Ada" ] || fail "scores.txt: $(cat "$run/scores.txt")"
[ -f "$run/logo.obj" ] || fail "the logo was not saved"
pass "the score, the name and the volume are written to scores.txt and skiff.ini"

# Extra levels from a local web server: the list names a good level, a bad
# one and a name outside the folder.
www=$E2E_WORK/www
mkdir -p "$www/skiff"
printf 'lagoon.txt\r\nbroken.txt\r\n../skiff.ini\r\n' >"$www/skiff/list.txt"
sed 's/Quiet Cove/Lagoon/' "$BRINDLE_SOURCE/examples/skiff/levels/level1.txt" >"$www/skiff/lagoon.txt"
head -n 5 "$www/skiff/lagoon.txt" >"$www/skiff/broken.txt"
python3 "$BRINDLE_SOURCE/tests/e2e/net/net_tools.py" serve "$www" "$E2E_WORK/http-port" >/dev/null 2>&1 &
E2E_PIDS+=("$!")
poll 30 test -s "$E2E_WORK/http-port" || fail "the web server did not start"
# The demo is turned off by hand, so it cannot start while this run is checked.
sed -i -e "s/^Port=8000/Port=$(cat "$E2E_WORK/http-port")/" -e 's|^Path=.*|Path=/skiff/list.txt|' \
  -e 's/^Attract=1/Attract=0/' "$run/skiff.ini"

# Second run, with the intro film (2.5 s, packed in), then straight into the
# demo (--demo): it plays as the first run's did; then what the first run
# wrote is read back.
xdotool mousemove 1900 1400
start_skiff second --demo
wait_log 60 "^intro "
intro=$(sed -n 's/^intro \([0-9]*\) ms/\1/p' "$LOG")
[ "$intro" -ge 2250 ] || fail "the intro film took $intro ms, not its 2.5 s"
poll 60 demo_at 300 || fail "the second demo did not reach step 300: $(tail -n 3 "$LOG")"
for t in 120 300; do
  [ -n "$(demo_line "$E2E_WORK/first.log" $t)" ] &&
    [ "$(demo_line "$E2E_WORK/first.log" $t)" = "$(demo_line "$LOG" $t)" ] ||
    fail "the demos differ at step $t: '$(demo_line "$E2E_WORK/first.log" $t)' and '$(demo_line "$LOG" $t)'"
done
xdotool mousemove --window "$WINDOW" 40 24
wait_log 30 "^attract interrupted"
pass "the intro film plays ($intro ms); the demo plays the same way each time: $(demo_line "$LOG" 300)"
wait_log 60 "^title"
logged "^logo loaded" || fail "the second run built the logo again"
logged "^options volume=70 .* name=Ada" || fail "the options were not read back: $(grep '^options' "$LOG")"
logged "^scores 1 first Ada 0" || fail "the scores were not read back: $(grep '^scores' "$LOG")"
best() { shot title && check text "$E2E_WORK/title.png" "$font" 240 430 "BEST 0 Ada"; }
poll 30 best || fail "the title does not show the best score"
pass "the second run reads the options, the scores and the logo back"

focus_window "$WINDOW" || fail "the window did not get the focus"
hold_until 30 e -- logged "^extra levels fetched" || fail "E did not fetch levels: $(tail -n 3 "$LOG")"
logged "^extra levels fetched 1$" || fail "expected one extra level: $(grep extra "$LOG")"
logged "^extra level 4 Lagoon" || fail "the good level is not level 4"
logged "^extra level broken.txt refused" || fail "the broken level was not refused"
logged "^extra level name refused: ../skiff.ini" || fail "the name outside the folder was not refused"
[ -f "$run/extra1.txt" ] || fail "no extra1.txt"
cmp -s <(tr -d '\r' <"$run/extra1.txt") "$www/skiff/lagoon.txt" || fail "extra1.txt is not the level served"
titles=$(count "^title")
hold_until 30 Return -- logged_more "^title" "$titles" || fail "the message did not give way to the title"
hold_until 30 Escape -- program_ended || fail "Escape on the title did not end Skiff"
wait_program 30
pass "extra levels: the good one kept as level 4, the bad ones refused"
