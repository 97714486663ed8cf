# Line and INI files written back at exit: a program holds changed data and
# is ended by Escape, then the files are checked from outside. A program
# killed while writing back, and one whose disk is full, leave the old files
# as they were (the new text goes to a file beside them first).
. "$(dirname "$0")/lib.sh"

exe=$(program file_writer)
[ -f "$exe" ] || fail "missing $exe"
out=$E2E_WORK/program.out
data=$E2E_WORK/data
mkdir -p "$data"
# The program's own name for the directory: Wine maps Z: to the root.
if is_windows; then arg_dir="Z:$data"; else arg_dir=$data; fi

wait_ready() {
  local t; t=$(patient 60)
  while [ $t -gt 0 ]; do
    grep -q '^ready' "$out" 2>/dev/null && return 0
    kill -0 "$PROGRAM_PID" 2>/dev/null || return 1
    sleep 0.1; t=$((t - 1))
  done
  return 1
}
# run MODE: starts the program, waits for its data, then holds Escape in its
# window until it ends; returns its exit code (124 on time-out).
run() {
  start_program "$exe" "$1" "$arg_dir"
  wait_ready || fail "$1: the program did not get ready ($(cat "$out"))"
  win=$(find_window "File Writer" 60) || fail "$1: no window"
  [ -n "${before_escape:-}" ] && $before_escape
  focus_window "$win" || fail "$1: the window did not get the focus"
  hold_until 60 Escape -- program_ended
  wait_program 10
}
leftovers() { ls -A "$data" | grep -v -x -e scores.txt -e game.ini; }

# Escape: both files written back, exactly.
printf '[Old]\r\nk=v\r\n' >"$data/game.ini"
run small; rc=$?
[ "$rc" -eq 0 ] || fail "small: exit code $rc"
expected_lines=$(printf 'Glimmerball\r\n1234.5\r\n\r\n7\r\n')
[ "$(cat "$data/scores.txt")" = "$expected_lines" ] || fail "scores.txt: $(od -c "$data/scores.txt" | head)"
expected_ini=$(printf '[Sound]\r\nVolume=80\r\n[Player]\r\nName=Ada\r\n')  # the last section took Old's place
[ "$(cat "$data/game.ini")" = "$expected_ini" ] || fail "game.ini: $(od -c "$data/game.ini" | head)"
[ -z "$(leftovers)" ] || fail "left behind: $(leftovers)"
pass "Escape writes the line file and the INI file back"

# Killed while writing back: a file-size limit set on the running program
# stops it with SIGXFSZ inside the first large write of the write-back.
cp "$data/scores.txt" "$E2E_WORK/scores.old"; cp "$data/game.ini" "$E2E_WORK/game.old"
limit() { prlimit --pid "$PROGRAM_PID" --fsize=65536 || fail "prlimit"; }
before_escape=limit run big; rc=$?
[ "$rc" -ne 0 ] && [ "$rc" -ne 124 ] || fail "big with a size limit: exit code $rc, not killed"
cmp -s "$data/scores.txt" "$E2E_WORK/scores.old" || fail "killed: scores.txt changed"
cmp -s "$data/game.ini" "$E2E_WORK/game.old" || fail "killed: game.ini changed"
pass "a program killed during write-back (exit $rc) leaves the old files intact"
rm -f "$data"/*.~*

# A full disk: the same limit with SIGXFSZ ignored makes the writes fail;
# the program ends normally, keeps the old files and logs both failures.
rm -f "$(error_log)"
trap '' XFSZ
before_escape=limit run big; rc=$?
trap - XFSZ
[ "$rc" -eq 0 ] || fail "full disk: exit code $rc"
cmp -s "$data/scores.txt" "$E2E_WORK/scores.old" || fail "full disk: scores.txt changed"
cmp -s "$data/game.ini" "$E2E_WORK/game.old" || fail "full disk: game.ini changed"
[ -z "$(leftovers)" ] || fail "full disk: left behind: $(leftovers)"
log=$(tr -d '\r' <"$(error_log)")
grep -q '^File not written: scores.txt$' <<<"$log" || fail "no log line for scores.txt: $log"
grep -q '^File not written: .*game.ini$' <<<"$log" || fail "no log line for game.ini: $log"
pass "a write-back that fails keeps the old files and says so in the error log"
