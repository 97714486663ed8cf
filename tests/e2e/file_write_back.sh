# Line and INI files written back at exit: a program holds changed data and
# is ended by Escape, then the files are checked from outside. A program
# killed at any step of a write-back, and one whose disk is full, leave each
# file whole, old or new (the new text goes to a file beside it first); so
# does a copy onto an existing file that fails for a full disk.
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
  rm -f "$out"  # a stale "ready" must not count: the new output is opened in the background
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
expected_ini=$(printf '[Player]\r\nName=Ada\r\n[Sound]\r\nVolume=80\r\n')  # [Old] went with its pair
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

# Killed at each step of a write-back (stopped there by the writer's
# observer, then killed from outside): until the rename the old file, after
# it the new one, whole. The new files are what the program's big data
# makes of the old ones.
printf '; kept\r\n[Old]\r\nk=v\r\n' >"$E2E_WORK/game.old"
python3 - "$E2E_WORK" <<'PY' || fail "could not write the expected files"
import sys
work = sys.argv[1]
filler = 'z' * 1000
open(work + '/game.new', 'wb').write(b'; kept\r\n[Old]\r\nk=v\r\n[Big]\r\n' + ''.join(
    'key%d=%s\r\n' % (n, filler) for n in range(4000)).encode())
old = ''.join('line %d\n' % n for n in range(300))
open(work + '/scores.old', 'wb').write(old.encode())
open(work + '/scores.new', 'wb').write((''.join(filler + '\n' for n in range(256)) +
                                       ''.join('line %d\n' % n for n in range(256, 300))).encode())
PY
for name in game.ini scores.txt; do
  base=${name%.*}
  for step in 0 1 2 3; do
    cp "$E2E_WORK/game.old" "$data/game.ini"; cp "$E2E_WORK/scores.old" "$data/scores.txt"
    rm -f "$out"  # the last run's report must not count (the new one is opened in the background)
    start_program "$exe" "stop$step-$name" "$arg_dir"
    poll 60 grep -q "^stopped $step" "$out" || fail "$name step $step: not stopped ($(cat "$E2E_WORK/program.out"))"
    kill -KILL "$PROGRAM_PID"
    wait_program 30; rc=$?
    [ "$rc" -eq 137 ] || fail "$name step $step: exit code $rc, not killed"
    if [ "$step" -lt 3 ]; then want=$E2E_WORK/$base.old; else want=$E2E_WORK/$base.new; fi
    cmp -s "$data/$name" "$want" || fail "$name killed at step $step: not $(basename "$want") ($(wc -c <"$data/$name") bytes)"
    rm -f "$data"/*.~*
  done
done
pass "a program killed at each step of a write-back leaves the old file or the new one, whole"

# A copy onto an existing file that fails part-way (a full disk) keeps it.
head -c 300000 /dev/urandom >"$data/big.bin"
printf 'the old destination' >"$data/dest.bin"
rm -f "$data/go" "$(error_log)" "$out"
trap '' XFSZ
start_program "$exe" copy "$arg_dir"
trap - XFSZ
wait_ready || fail "copy: the program did not get ready ($(cat "$out"))"
prlimit --pid "$PROGRAM_PID" --fsize=65536 || fail "prlimit"
touch "$data/go"
wait_program 60; rc=$?
[ "$rc" -eq 0 ] || fail "copy with a full disk: exit code $rc ($(cat "$out"))"
grep -q '^copied' "$out" || fail "copy: not done ($(cat "$out"))"
[ "$(cat "$data/dest.bin")" = 'the old destination' ] || fail "copy with a full disk: dest.bin is now $(wc -c <"$data/dest.bin") bytes"
[ -z "$(ls -A "$data" | grep -v -x -e big.bin -e dest.bin -e go -e game.ini -e scores.txt)" ] || fail "copy: left behind: $(ls -A "$data")"
grep -q '^File not written: dest.bin' <<<"$(tr -d '\r' <"$(error_log)")" || fail "copy: no log line"
pass "a copy that fails for a full disk keeps the old destination and says so"
