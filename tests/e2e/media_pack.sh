# Media appended to the game executable are found through its own pack (an
# image and a 3D object); the extracted file lives until the program ends; SaveScreen and SaveSprite
# write BMP files that ImageMagick reads back with the expected pixels.
. "$(dirname "$0")/lib.sh"

exe=$(program media_probe)
[ -f "$exe" ] || fail "missing $exe"
tool=$BRINDLE_BUILD/tools/brindle-pack
is_windows && tool=$tool.exe
[ -f "$tool" ] || fail "missing $tool"
run_tool() { if is_windows; then "$BRINDLE_SOURCE/scripts/wine-run" "$tool" "$@"; else "$tool" "$@"; fi; }

work=$E2E_WORK/game
mkdir -p "$work"
game=$work/$(basename "$exe")
cp "$exe" "$game"
# A 7 x 5 image without the key colour, made by ImageMagick itself.
convert -size 7x5 xc:'#204060' -fill '#ff8000' -draw 'point 0,0' -fill '#00ff80' \
  -draw 'rectangle 2,1 5,3' -fill '#fefdfc' -draw 'point 6,4' BMP3:"$E2E_WORK/probe.bmp" \
  || fail "convert could not make the probe image"
cp "$E2E_WORK/probe.bmp" "$work/probe.bmp"
# A packed object file, field by field: one frame, a list of two triangles.
python3 - "$work/probe.obj" <<'PY' || fail "could not write probe.obj"
import struct, sys
colours = [0xFFFFFFFF, 0xFFFFFF]
records = [(0, 0, 0, 0, 0), (0, 0, 0, 5, 1), (255, 0, 0, 5, 1), (255, 255, 0, 5, 1),
           (0, 0, 0, 5, 1), (255, 255, 0, 5, 1), (0, 255, 0, 5, 1)]
data = struct.pack('<Idiii', 13021975, 1.02, 1, len(colours), 0)
data += b''.join(struct.pack('<I', c) for c in colours)
data += struct.pack('<i6f', len(records), 0, 0, 0, 1 / 255, 1 / 255, 1)
data += b''.join(bytes(r) for r in records)
open(sys.argv[1], 'wb').write(data)
PY
if is_windows; then packed=$(winepath -w "$game" 2>/dev/null); src=$(winepath -w "$work/probe.bmp" 2>/dev/null)
  obj=$(winepath -w "$work/probe.obj" 2>/dev/null)
else packed=$game; src=$work/probe.bmp; obj=$work/probe.obj; fi
run_tool add "$packed" "$src" "$obj" >/dev/null || fail "brindle-pack add failed"
rm "$work/probe.bmp" "$work/probe.obj"  # only the pack holds them now
run_tool list "$packed" | tr -d '\r' | grep -q "^probe.bmp	" || fail "the pack does not list probe.bmp"

rm -f "$(temp_dir)"~voz*probe.bmp
start_program "$game"
wait_program 60
rc=$?
[ "$rc" -eq 0 ] || fail "exit code $rc ($(cat "$E2E_WORK/program.out"))"
result=$work/media-probe.txt
[ -f "$result" ] || fail "no media-probe.txt"
tr -d '\r' < "$result" > "$E2E_WORK/result.txt"
grep -qx "size 7 5" "$E2E_WORK/result.txt" || fail "sprite from the pack: $(cat "$E2E_WORK/result.txt")"
line=$(grep '^extracted ' "$E2E_WORK/result.txt")
case "$line" in
  *~voz*probe.bmp\ 1) ;;
  *) fail "extracted file while running: '$line'" ;;
esac
pass "the executable's own pack gave Probe.BMP: $line"
left=$(ls "$(temp_dir)" 2>/dev/null | grep -c '^~voz.*probe\.bmp$')
[ "$left" -eq 0 ] || fail "the extracted file is still there after the program ended"
pass "program end deleted the extracted file"
grep -qx "object 1 2" "$E2E_WORK/result.txt" || fail "object from the pack: $(grep '^object' "$E2E_WORK/result.txt")"
pass "LoadObject read probe.obj from the executable's pack: 2 triangles"

# SaveSprite: the sprite's pixels are the image's pixels.
grep -qx "saved 1" "$E2E_WORK/result.txt" || fail "SaveSprite failed"
[ "$(identify -format '%w %h' "$work/sprite.bmp")" = "7 5" ] || fail "sprite.bmp size"
diff=$(compare -metric AE "$E2E_WORK/probe.bmp" "$work/sprite.bmp" null: 2>&1)
[ "$diff" = 0 ] || fail "sprite.bmp differs from the image in $diff pixels"
pass "SaveSprite wrote the sprite's 7 x 5 pixels exactly"

# SaveScreen: whole-frame histogram and placed pixels.
[ "$(identify -format '%w %h' "$work/screen.bmp")" = "640 480" ] || fail "screen.bmp size"
hist=$(convert "$work/screen.bmp" -format %c histogram:info: | tr -d ' ' |
  sed -E 's/^([0-9]+):.*#([0-9A-Fa-f]{6}).*/\1 #\2/' | sort)
want=$(printf '%s\n' "1200 #FF0000" "15 #FFFFFF" "305985 #0000FF" | sort)
[ "$hist" = "$want" ] || fail "screen.bmp colours: $hist"
px() { convert "$work/screen.bmp" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }
[ "$(px 10 459)" = FF0000 ] || fail "red block's top-left at (10, 459): $(px 10 459)"
[ "$(px 39 420)" = FF0000 ] || fail "red block's top-right at (39, 420): $(px 39 420)"
[ "$(px 9 459)" = 0000FF ] || fail "left of the red block: $(px 9 459)"
[ "$(px 10 460)" = 0000FF ] || fail "below the red block: $(px 10 460)"
[ "$(px 639 0)" = FFFFFF ] || fail "white corner: $(px 639 0)"
pass "SaveScreen wrote the frame that ImageMagick reads back exactly"
