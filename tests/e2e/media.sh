# Music and video on a real audio device and the real window. Both targets
# play into a PulseAudio null sink of this test's own, recorded from its
# monitor: the checks measure time, and the sink keeps real time however
# busy the machine is (SDL's disk driver falls behind then). The media
# are made here by FFmpeg's tool: a 320 x 240 Cinepak AVI of four coloured
# quarters with a 1 kHz stereo sound track, one with a 1.5 kHz mono track
# (both tones at 1/8 of full scale), an empty one, a top-down raw one, and
# damaged files.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_audio.sh"

probe_setup
quarters="color=c=red:s=160x120:r=10:d=DUR[a];color=c=lime:s=160x120:r=10:d=DUR[b];
color=c=blue:s=160x120:r=10:d=DUR[c];color=c=white:s=160x120:r=10:d=DUR[d];[a][b]hstack[t];[c][d]hstack[u];[t][u]vstack"
make_media() {
  cd "$PROBE_DIR" || return 1
  ffmpeg -v error -y -f lavfi -i "${quarters//DUR/2}" -f lavfi -i "sine=frequency=1000:duration=2:sample_rate=22050" \
    -c:v cinepak -c:a pcm_s16le -af "pan=stereo|c0=c0|c1=c0" quad.avi &&
  ffmpeg -v error -y -f lavfi -i "${quarters//DUR/1}" -f lavfi -i "sine=frequency=1500:duration=1:sample_rate=22050" \
    -c:v cinepak -c:a pcm_s16le -ac 1 mono.avi &&
  ffmpeg -v error -y -f lavfi -i "color=c=red:s=320x240:r=10" -frames:v 0 -c:v cinepak empty.avi &&
  ffmpeg -v error -y -f lavfi -i "${quarters//DUR/1}" -c:v rawvideo -pix_fmt bgr24 raw.avi &&
  head -c 15000 quad.avi > trunc.avi && head -c 3000 tone1k.wav > trunc.wav &&
  head -c 4000 /dev/urandom > garbage.avi
}
(make_media) || fail "ffmpeg could not make the test media"

start_pulse
capture() { capture_pulse "$1"; }
# A quiet tone wakes the device up; the test says go once it is captured
# (a fresh PulseAudio stream under Wine can take a moment to flow).
wake_up() { printf 'load wake.wav 9 1\nplay 9 0 1\nwaitfile go\nstopall\ngap 300\n'; }
go_when_captured() {
  rm -f "$PROBE_DIR/go"
  ( $py "$audio" wait "$CAPTURE" 120 && touch "$PROBE_DIR/go" ) &
  E2E_PIDS+=($!)
}

# The probe window's screen rectangle, and one of its pixels as "R G B".
window_origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}'; }
SHOT=$E2E_WORK/shot.png
# shoot ID W H: the screen over the window's client area (the video window
# lies above it, as a child window would).
shoot() {
  local x y
  read -r x y <<<"$(window_origin "$1")"
  import -silent -window root -crop "${2}x${3}+${x}+${y}" +repage "$SHOT" 2>/dev/null
}
pixel() { convert "$SHOT" -format "%[fx:int(255*p{$1,$2}.r)] %[fx:int(255*p{$1,$2}.g)] %[fx:int(255*p{$1,$2}.b)]" info:; }
# near X Y R G B: the pixel is within 12 of the colour in every channel.
near() {
  local r g b
  read -r r g b <<<"$(pixel "$1" "$2")"
  [ $((r - $3)) -le 12 ] && [ $(($3 - r)) -le 12 ] && [ $((g - $4)) -le 12 ] && [ $(($4 - g)) -le 12 ] &&
    [ $((b - $5)) -le 12 ] && [ $(($5 - b)) -le 12 ]
}
# video_shown ID W H X Y: a screenshot with the red quarter at (X, Y).
video_shown() { shoot "$1" "$2" "$3" && near "$4" "$5" 252 0 0; }
has_result() { results | grep -qE "$1"; }
ms_of() { results | sed -n "s/^$1 \([0-9]*\)$/\1/p"; }

# --- Music: looping in ShowFrame, PlayMusic of a missing file, StopMusic.
script=$E2E_WORK/music.txt
{
  wake_up
  echo "music tone1k.wav"; echo "frames 3000"
  echo "music missing.wav"; echo "frames 1000"
  echo "music tone1k.wav"; echo "frames 1000"; echo "stopmusic"; echo "frames 1000"
  echo "music garbage.avi"; echo "music trunc.wav"; echo "stopmusic"
} > "$script"
capture music
go_when_captured
run_probe "$script"
stop_capture
expect_results "music missing.wav 0"
[ "$(results | grep -c '^music tone1k.wav 0$')" -eq 2 ] || fail "PlayMusic of the tone: $(results | paste -sd'|')"
garbage=$(results | sed -n 's/^music garbage.avi //p')
[ -n "$garbage" ] && [ "$garbage" != 0 ] || fail "PlayMusic of a damaged file gave '$garbage'"
$py "$audio" music "$CAPTURE" || fail "music in the capture"
pass "music loops in ShowFrame, a missing file stops it, StopMusic silences; a damaged file gives $garbage"

# --- Video in a 640 x 480 window: the fit, a key skips, PlayVideoOnce, odd files.
script=$E2E_WORK/video.txt
# start_probe_window WIDTHxHEIGHT: starts the probe on $script in a window
# of that size and sets win to the window.
start_probe_window() {
  BRINDLE_PROBE_WINDOW=$1 start_probe "$script"
  win=$(find_window "Sound Probe" 60) || fail "no probe window"
}

{
  wake_up; echo "fill 50 50 50"; echo "mark video"; echo "video quad.avi"
  echo "mark click"; echo "video quad.avi"
  for f in quad mono empty raw trunc garbage; do echo "videoonce $f.avi"; done
  # Linux: a frame drawn after the videos. (Under Wine the probe, which
  # pauses while its window is not the active one, drew nothing after them.)
  is_windows || { echo "fill 0 160 0"; echo "mark filled"; echo "waitfile seen"; }
} > "$script"
capture video
go_when_captured
start_probe_window 640x480
poll 60 has_result "^mark video" || fail "the probe did not reach the video: $(results | paste -sd'|')"
poll 30 video_shown "$win" 640 480 160 120 || fail "no video on the screen: $(pixel 160 120) at (160, 120)"
for spot in "160 120 252 0 0" "480 120 0 254 0" "160 360 0 1 252" "480 360 255 255 255" "2 2 252 0 0" \
  "637 477 255 255 255"; do
  set -- $spot
  near "$@" || fail "video at ($1, $2): $(pixel "$1" "$2"), want $3 $4 $5"
done
pass "a 320 x 240 video fills (0, 0, 640, 480) of a 640 x 480 window"
focus_window "$win" || fail "no focus for the key"
hold_until 30 x -- has_result "^video quad.avi" || fail "a key did not end PlayVideo: $(results | paste -sd'|')"
pass "a key ends PlayVideo"
# A click ends it too. A button already down when the video starts only
# delays it, so the click is made again until the video has ended.
poll 30 has_result "^mark click" || fail "the probe did not reach the second video: $(results | paste -sd'|')"
videos_ended() { [ "$(results | grep -c '^video quad.avi')" -ge 2 ]; }
xdotool mousemove --window "$win" 320 240
for _ in $(seq 20); do
  xdotool mousedown 1; poll 2 videos_ended; xdotool mouseup 1
  videos_ended && break
done
videos_ended || fail "a click did not end PlayVideo: $(results | paste -sd'|')"
pass "a click ends PlayVideo"
# After the videos the game's own frames show again (Linux, as above).
if ! is_windows; then
  poll 60 has_result "^mark filled" || fail "the probe did not draw after the videos: $(results | paste -sd'|')"
  filled() { shoot "$win" 640 480 && near 320 240 0 160 0; }
  poll 30 filled || fail "the frame drawn after the videos does not show: $(pixel 320 240) at (320, 240)"
  touch "$PROBE_DIR/seen"
  pass "frames drawn after a video show"
fi
finish_probe
stop_capture
once=$(ms_of "videoonce quad.avi")
[ "$once" -ge 1800 ] && [ "$once" -lt 15000 ] || fail "PlayVideoOnce of a 2 s video took $once ms"
empty=$(ms_of "videoonce empty.avi")
[ "$empty" -lt 1500 ] || fail "a video of length 0 took $empty ms"
for f in raw trunc garbage; do [ -n "$(ms_of "videoonce $f.avi")" ] || fail "videoonce $f.avi did not return"; done
$py "$audio" tone "$CAPTURE" 1000 1.5 || fail "the video's sound in the capture"
pass "PlayVideoOnce returns at the end ($once ms), at once for length 0 ($empty ms); top-down, truncated and damaged files return; the video's sound plays"
$py "$audio" level "$CAPTURE" 1000 0.125 || fail "the stereo sound track's level"
$py "$audio" level "$CAPTURE" 1500 0.125 || fail "the mono sound track's level"
pass "a video's sound track plays at its own level, a mono one in both channels"

# --- Video in an 800 x 480 window: a held key delays it, the fit, closing the window.
script=$E2E_WORK/held.txt
{
  wake_up; echo "load marker.wav 5 1"; echo "fill 50 50 50"; echo "mark hold"; echo "waitfile held"
  echo "play 5 0 1"; echo "video quad.avi"; echo "mark second"; echo "video quad.avi"
} > "$script"
capture held
go_when_captured
start_probe_window 800x480
poll 60 has_result "^mark hold" || fail "the probe did not reach the held key: $(results | paste -sd'|')"
focus_window "$win" || fail "no focus for the key"
held=2.5
xdotool keydown x
touch "$PROBE_DIR/held"
sleep "$held"  # the user holds the key this long
xdotool keyup x
poll 30 video_shown "$win" 800 480 240 120 || fail "no video on the screen: $(pixel 240 120) at (240, 120)"
for spot in "240 120 252 0 0" "560 120 0 254 0" "240 360 0 1 252" "560 360 255 255 255" "82 2 252 0 0" \
  "717 477 255 255 255" "40 240 255 255 255" "760 240 50 50 50"; do
  set -- $spot
  near "$@" || fail "800 x 480 window at ($1, $2): $(pixel "$1" "$2"), want $3 $4 $5"
done
pass "in an 800 x 480 window the video is at (80, 0, 720, 480), its window white left of it, the game beside it"
hold_until 30 x -- has_result "^mark second" || fail "a key did not end PlayVideo: $(results | paste -sd'|')"
poll 30 video_shown "$win" 800 480 240 120 || fail "the second video is not on the screen"
x_close "$win" || fail "could not close the window ($(results | paste -sd"|"); $(tail -3 "$E2E_WORK/program.out"))"
wait_program 60; rc=$?
[ "$rc" -eq 0 ] || fail "closing the window during a video: exit code $rc"
stop_capture
$py "$audio" held "$CAPTURE" 2.0 || fail "the held key did not delay the video"
pass "a held key delays the video until released; closing the window during a video ends the program with code 0"
