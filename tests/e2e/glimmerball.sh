# Glimmerball end to end: the picture (background, centred reflective torus,
# the counter in the game's font), the counter leaving 0, the torus turning,
# Escape ending with 0; the same picture from the appended pack alone and
# from media files beside an unpacked executable; and an unpacked executable
# without media still running. Screenshots are taken until they show what is
# expected (or a generous time-out passes), never after a fixed wait.
. "$(dirname "$0")/lib.sh"

media=$BRINDLE_BUILD/game/media
suffix=""; is_windows && suffix=.exe
packed=$BRINDLE_BUILD/game/glimmerball$suffix
bare=$BRINDLE_BUILD/game/glimmerball-nopack$suffix
check() { /usr/bin/python3 "$BRINDLE_SOURCE/tests/e2e/check_image.py" "$@"; }
# shows SHOT CHECKS...: a fresh screenshot to SHOT passes every check (each
# check given as one quoted string of check_image.py arguments, with the
# screenshot's place written as @).
shows() {
  local shot=$1 c; shift
  running "$(basename "$shot")" || return 1
  screenshot "$WINDOW" "$shot" || return 1
  for c in "$@"; do
    # shellcheck disable=SC2086
    check ${c//@/$shot} >/dev/null || return 1
  done
}

# start_in LABEL EXE [MEDIA...]: a fresh directory holding only EXE (and MEDIA).
start_in() {
  local dir=$E2E_WORK/$1; shift
  mkdir -p "$dir"
  cp "$@" "$dir"/
  start_program "$dir/$(basename "$1")"
  WINDOW=$(find_window Glimmerball 60) || fail "$1: no Glimmerball window"
}

# running LABEL: the program is still there (else its exit code and output).
running() {
  kill -0 "$PROGRAM_PID" 2>/dev/null && return 0
  wait "$PROGRAM_PID"; local rc=$?
  cat "$E2E_WORK/program.out" >&2
  fail "$1: the game ended early with exit code $rc"
}

# leave LABEL: Escape, held like a user's key press with the focus on the
# window, until the program ends (the key state is read once per frame).
leave() {
  focus_window "$WINDOW" || fail "$1: the window did not get the focus"
  hold_until 30 Escape -- program_ended || fail "$1: Escape did not end the game"
  wait_program 20; local rc=$?
  [ $rc -eq 0 ] || fail "$1: exit code $rc after Escape"
}

# The picture, from a directory holding nothing but the packed executable:
# once the counter has left 0 everything else must be there too.
start_in packed "$packed"
shot1=$E2E_WORK/shot1.png
counting() { shows "$shot1" "text @ $media/smalfont.bmp 100 0 FPS:" && ! check text "$shot1" "$media/smalfont.bmp" 180 0 "0.0 " >/dev/null; }
poll 60 counting || { running packed; fail "the counter did not leave 0.0 (or no 'FPS:' label)"; }
check background "$shot1" "$media/back.bmp" || fail "background"
check torus "$shot1" "$media/back.bmp" "$media/reflect.bmp" || fail "torus"
check text "$shot1" "$media/smalfont.bmp" 100 0 "FPS: " || fail "counter label"
turned() { shows "$E2E_WORK/shot2.png" "differ $shot1 @ 200 120 240 240"; }
poll 30 turned || fail "the torus did not turn"
pass "packed executable alone: background, centred reflective torus, counter, turning"
leave packed
log=$(error_log)
tr -d '\r' <"$log" | grep -qx "Current Dir" || fail "no start-up entries in the error log"
tr -d '\r' <"$log" | grep -Eqx "OpenGL (Software Emulation|Hardware Support)" || fail "no display entry in the error log"
pass "Escape ends with exit code 0; the error log holds the start-up entries"

# Media files beside an unpacked executable give the same picture.
start_in beside "$bare" "$media/back.bmp" "$media/reflect.bmp" "$media/smalfont.bmp"
poll 60 shows "$E2E_WORK/beside.png" "background @ $media/back.bmp" \
  "torus @ $media/back.bmp $media/reflect.bmp" || running beside
check background "$E2E_WORK/beside.png" "$media/back.bmp" || fail "beside: background"
check torus "$E2E_WORK/beside.png" "$media/back.bmp" "$media/reflect.bmp" || fail "beside: torus"
check text "$E2E_WORK/beside.png" "$media/smalfont.bmp" 100 0 "FPS: " || fail "beside: counter label"
leave beside
pass "media beside the executable: the same picture"

# No pack and no files: the game still runs, drawing its empty slots.
start_in bare "$bare"
# Running frames: the turning torus changes the picture.
screenshot "$WINDOW" "$E2E_WORK/bare0.png"
poll 60 shows "$E2E_WORK/bare.png" "differ $E2E_WORK/bare0.png @ 200 120 240 240" \
  || { running bare; fail "bare: the picture never changed"; }
if check background "$E2E_WORK/bare.png" "$media/back.bmp"; then
  fail "bare: the background picture appeared without any media"
fi
leave bare
pass "no media at all: the game runs and ends normally"
