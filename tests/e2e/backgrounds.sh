# Backgrounds end to end: one loaded from the executable's own pack stays
# behind every frame (the saved frame is the image plus what the frames
# drew); a missing file changes nothing; an undecodable one ends the program
# with error 3; a cross-fade shows mixtures of the two images and closing
# the window during it ends the program.
. "$(dirname "$0")/lib.sh"

exe=$(program background_probe)
[ -f "$exe" ] || fail "missing $exe"
tool=$BRINDLE_BUILD/tools/brindle-pack
is_windows && tool=$tool.exe
run_tool() { if is_windows; then "$BRINDLE_SOURCE/scripts/wine-run" "$tool" "$@"; else "$tool" "$@"; fi; }
native() { if is_windows; then winepath -w "$1" 2>/dev/null; else echo "$1"; fi; }
out=$E2E_WORK/program.out
log=$(error_log)

work=$E2E_WORK/game
mkdir -p "$work"
game=$work/$(basename "$exe")
cp "$exe" "$game"
# 320 x 240: five columns and four rows of tiles, the last row cut off by
# the window. Colours without the key colour, so no pixel is repaired.
convert -size 320x240 gradient:'#10c040-#f02080' -fill '#3050ff' -draw 'rectangle 60,50 140,130' \
  BMP3:"$E2E_WORK/probe_back.bmp" || fail "convert could not make the background"
run_tool add "$(native "$game")" "$(native "$E2E_WORK/probe_back.bmp")" >/dev/null || fail "brindle-pack add failed"

# The saved frame: the background with the three squares the frames drew
# (each frame starts from the background, so only the last square shows).
start_program "$game"
wait_program 60; rc=$?
[ "$rc" -eq 0 ] || fail "exit code $rc ($(cat "$out"))"
[ -f "$work/frame.bmp" ] || fail "no frame.bmp"
convert "$E2E_WORK/probe_back.bmp" -fill white -draw 'rectangle 30,10 34,14' "$E2E_WORK/want.bmp"
diff=$(compare -metric AE "$E2E_WORK/want.bmp" "$work/frame.bmp" null: 2>&1)
[ "$diff" = 0 ] || fail "the saved frame differs from background plus square in $diff pixels"
pass "a background from the pack stays behind every frame; a missing one changed nothing"

# An undecodable background (16 bits per pixel) ends with error 3.
convert -size 8x8 xc:red BMP3:"$work/bad_back.bmp"
printf '\x10' | dd of="$work/bad_back.bmp" bs=1 seek=28 conv=notrunc 2>/dev/null
rm -f "$log"
start_program "$game" bad
wait_program 60; rc=$?
[ "$rc" -eq 0 ] || fail "bad: exit code $rc"
grep -q "not ended" "$out" && fail "bad: the program went on"
trace=$(tail -n 5 "$log" | tr -d '\r' | head -n 2 | paste -sd' ')
[ "$trace" = "-End On Line 3" ] || fail "bad: end trace '$trace'"
pass "an undecodable background ends the program with error 3"

# The fade: from blue-green #2040c0 to orange #c08020 at 2 frames per second
# (about 25 s); a screenshot during it shows a mixture of the two, then the
# window is closed.
convert -size 320x240 xc:'#2040c0' BMP3:"$work/probe_back.bmp"
convert -size 320x240 xc:'#c08020' BMP3:"$work/fade_to.bmp"
start_program "$game" fade
win=$(find_window "Background Probe" 60) || fail "fade: no window"
fading() { grep -q fading "$out"; }
poll 60 fading || fail "fade: did not start"
mixed=""
for i in $(seq 60); do
  # (import can hang on a window that goes away: bounded)
  timeout 10 import -silent -window "$win" "$E2E_WORK/fade.png" || continue
  rgb=$(convert "$E2E_WORK/fade.png" -format '%[fx:int(255*p{100,100}.r)] %[fx:int(255*p{100,100}.g)] %[fx:int(255*p{100,100}.b)]' info:)
  if awk -v c="$rgb" 'BEGIN { split(c, v, " ");
      # between the two images in every channel, a tenth of the way or more
      ok = v[1] > 32 && v[1] < 192 && v[2] > 64 && v[2] < 128 && v[3] > 32 && v[3] < 192;
      # on the line between them: the same share of the way in red and blue
      a = (v[1] - 32) / 160; b = (192 - v[3]) / 160;
      exit !(ok && a > 0.1 && a < 0.9 && a - b < 0.05 && b - a < 0.05) }'; then mixed=$rgb; break; fi
  sleep 0.3
done
[ -n "$mixed" ] || fail "fade: no frame showed a mixture (last $rgb)"
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "fade: the program ended before the close"
x_close "$win"
wait_program 20; rc=$?
[ "$rc" -eq 0 ] || fail "fade: exit code $rc after closing"
grep -q faded "$out" && fail "fade: the fade ran to its end"
pass "the fade showed $mixed between the images; closing the window ended it"
