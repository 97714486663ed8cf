# Fonts at start-up: the "Loading..." frame shows the text centred in the
# window with the built-in font; a font file that is found but cannot be
# loaded ends the program with error 3.
. "$(dirname "$0")/lib.sh"

# --- error 3 for a font file that exists but is no image
exe=$(program font_load_error)
[ -f "$exe" ] || fail "missing $exe"
log=$(error_log)
bad=bad_font_$$.bmp
printf 'BMnot a bitmap at all' > "$(dirname "$exe")/$bad"
# A 32 x 16 BMP whose headers read but whose 16-bit pixels are not decoded.
bad16=bad_font16_$$.bmp
/usr/bin/python3 - "$(dirname "$exe")/$bad16" <<'PY'
import struct, sys
w, h, bits = 32, 16, 16
row = (w * bits // 8 + 3) & ~3
pixels = b"\xff" * (row * h)
info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(pixels), 2835, 2835, 0, 0)
head = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
open(sys.argv[1], "wb").write(head + info + pixels)
PY
trap 'rm -f "$(dirname "$exe")/$bad" "$(dirname "$exe")/$bad16"; e2e_cleanup' EXIT

run_font() {  # FILE EXPECTED-TRACE...
  local file=$1; shift
  rm -f "$log"
  run_to_exit "font '$file'" "$exe" "$file"
  local got want="-End On Line $*"
  got=$(end_trace "$log")
  [ "$got" = "$want" ] || fail "font '$file': trace '$got', expected '$want'"
  pass "font '$file': $want"
}
run_font "$bad" 3 9 10 1          # found, not loadable: error 3 in LoadFont
run_font "$bad16" 3 9 10 1        # size readable, pixels not decodable: error 3 too
run_font missing_font.bmp 0 19 20 2  # not found: built-in font, End

# --- the "Loading..." frame
exe=$(program loading_screen)
[ -f "$exe" ] || fail "missing $exe"
start_program "$exe"
win=$(find_window "Loading Screen" 60) || fail "no window"
shot=$E2E_WORK/loading.png

# Debian's python3 has the imaging library (scripts/setup); another python3
# earlier on PATH may not.
py=/usr/bin/python3
[ -x "$py" ] || py=python3
# The 640 x 480 client area sits at the bottom centre of the captured window
# (Wine draws caption and border inside it, SDL captures the client alone).
# With the built-in font, "Loading..." is 10 cells of 7 x 8 pixels at
# ((640 - 70) / 2, (480 - 8) / 2) = (285, 236); its lit pixels (ink and
# outline) run from the outline left of the 'L' (x 286) to the outline
# right of the last '.' (x 352), and from the outline above the letters
# (y 236) to the one below the dots (y 243).
cat >"$E2E_WORK/loading.py" <<'PY'
import sys
from PIL import Image
img = Image.open(sys.argv[1]).convert("RGB")
W, H = img.size
border = (W - 640) // 2
left, top = border, H - border - 480
lit = []
for y in range(480):
    for x in range(640):
        if img.getpixel((left + x, top + y)) != (0, 0, 0):
            lit.append((x, y))
if not lit:
    sys.exit("nothing drawn")
xs = [p[0] for p in lit]; ys = [p[1] for p in lit]
box = (min(xs), min(ys), max(xs), max(ys))
print("lit box", box)
if box != (286, 236, 352, 243):
    sys.exit("lit box %s" % (box,))
white = sum(1 for x, y in lit if img.getpixel((left + x, top + y)) == (255, 255, 255))
if white < 40:
    sys.exit("only %d ink pixels" % white)
PY
# The frame is up once a screenshot shows it (the program then idles until
# it is ended here).
loading_shown() { screenshot "$win" "$shot" && "$py" "$E2E_WORK/loading.py" "$shot" >/dev/null 2>&1; }
poll 30 loading_shown
# The program sleeps without pumping events, so SDL never sees a SIGTERM.
{ kill -KILL "$PROGRAM_PID"; wait "$PROGRAM_PID"; } 2>/dev/null
[ -f "$shot" ] || fail "no screenshot"
"$py" "$E2E_WORK/loading.py" "$shot" || fail "Loading... frame not as expected"
pass "Loading... centred"
