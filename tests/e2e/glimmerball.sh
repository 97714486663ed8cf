# Glimmerball end to end: the picture (background, centred reflective torus,
# the counter in the game's font), the counter leaving 0, the torus turning,
# Escape ending with 0; the same picture from the appended pack alone and
# from media files beside an unpacked executable; and an unpacked executable
# without media still running.
. "$(dirname "$0")/lib.sh"

media=$BRINDLE_BUILD/game/media
suffix=""; is_windows && suffix=.exe
packed=$BRINDLE_BUILD/game/glimmerball$suffix
bare=$BRINDLE_BUILD/game/glimmerball-nopack$suffix
check() { /usr/bin/python3 "$BRINDLE_SOURCE/tests/e2e/check_image.py" "$@"; }

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

# leave LABEL: Escape, held like a user's key press, with the focus on the
# window (the key state is read once per frame); the program ends with 0.
leave() {
  xdotool mousemove --window "$WINDOW" 20 20; xdotool windowfocus "$WINDOW"
  sleep 0.3
  xdotool keydown Escape; sleep 0.4; xdotool keyup Escape
  wait_program 20; local rc=$?
  [ $rc -eq 0 ] || fail "$1: exit code $rc after Escape"
}

# The picture, from a directory holding nothing but the packed executable.
start_in packed "$packed"
sleep 3
running packed
screenshot "$WINDOW" "$E2E_WORK/shot1.png"
sleep 0.7
screenshot "$WINDOW" "$E2E_WORK/shot2.png"
check background "$E2E_WORK/shot1.png" "$media/back.bmp" || fail "background"
check torus "$E2E_WORK/shot1.png" "$media/back.bmp" "$media/reflect.bmp" || fail "torus"
check text "$E2E_WORK/shot1.png" "$media/smalfont.bmp" 100 0 "FPS: " || fail "counter label"
if check text "$E2E_WORK/shot1.png" "$media/smalfont.bmp" 180 0 "0.0 "; then
  fail "the counter still shows 0.0 after three seconds"
fi
check differ "$E2E_WORK/shot1.png" "$E2E_WORK/shot2.png" 200 120 240 240 || fail "the torus did not turn"
pass "packed executable alone: background, centred reflective torus, counter, turning"
leave packed
log=$(error_log)
tr -d '\r' <"$log" | grep -qx "Current Dir" || fail "no start-up entries in the error log"
tr -d '\r' <"$log" | grep -Eqx "OpenGL (Software Emulation|Hardware Support)" || fail "no display entry in the error log"
pass "Escape ends with exit code 0; the error log holds the start-up entries"

# Media files beside an unpacked executable give the same picture.
start_in beside "$bare" "$media/back.bmp" "$media/reflect.bmp" "$media/smalfont.bmp"
sleep 3
running beside
screenshot "$WINDOW" "$E2E_WORK/beside.png"
check background "$E2E_WORK/beside.png" "$media/back.bmp" || fail "beside: background"
check torus "$E2E_WORK/beside.png" "$media/back.bmp" "$media/reflect.bmp" || fail "beside: torus"
check text "$E2E_WORK/beside.png" "$media/smalfont.bmp" 100 0 "FPS: " || fail "beside: counter label"
leave beside
pass "media beside the executable: the same picture"

# No pack and no files: the game still runs, drawing its empty slots.
start_in bare "$bare"
sleep 3
running bare
screenshot "$WINDOW" "$E2E_WORK/bare.png"
if check background "$E2E_WORK/bare.png" "$media/back.bmp"; then
  fail "bare: the background picture appeared without any media"
fi
leave bare
pass "no media at all: the game runs and ends normally"
