# The examples, each started from a directory of its own: its window and
# caption, its title in the packed font, one thing its area must show (the
# balls' key colour gone, the scene moving and the coloured star drawn, a
# fade to the other picture, 3D objects turning, music and a sound on the
# device, a held key listed, settings kept from one run to the next, a path
# drawn), and Escape ending it with 0.
. "$(dirname "$0")/lib.sh"

suffix=""; is_windows && suffix=.exe
font=$BRINDLE_BUILD/game/media/smalfont.bmp
check() { /usr/bin/python3 "$BRINDLE_SOURCE/tests/e2e/check_image.py" "$@" >/dev/null; }

# start_example NAME CAPTION [ARGUMENTS...]: runs examples/NAME in
# $E2E_WORK/NAME (kept between runs); sets WINDOW and SHOT.
start_example() {
  local dir=$E2E_WORK/$1 exe=$BRINDLE_BUILD/examples/example_$1$suffix
  [ -f "$exe" ] || fail "missing $exe"
  mkdir -p "$dir" && cd "$dir" || fail "$1: no directory to run in"
  [ -f "example_$1$suffix" ] || cp "$exe" . || fail "$1: could not copy $exe"
  start_program "./example_$1$suffix" "${@:3}"
  WINDOW=$(find_window "$2" 60) || fail "$1: no window \"$2\""
  SHOT=$E2E_WORK/$1.png
  NAME=$1
}
# shot: a fresh screenshot of the running example.
shot() {
  if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
    cat "$E2E_WORK/program.out" >&2
    fail "$NAME ended early"
  fi
  screenshot "$WINDOW" "$SHOT"
}
# shows X Y TEXT: a fresh screenshot shows the text there in the font.
shows() { shot && check text "$SHOT" "$font" "$@"; }
# leave: Escape, held with the focus on the window, ends it with 0.
leave() {
  focus_window "$WINDOW" || fail "$NAME: the window did not get the focus"
  hold_until 30 Escape -- program_ended || fail "$NAME: Escape did not end it"
  wait_program 20; local rc=$?
  [ $rc -eq 0 ] || fail "$NAME: exit code $rc after Escape"
  pass "$NAME"
}

# Sprites: the key colour of ball.bmp is transparent, and the scene moves.
start_example sprites "Example: Sprites"
poll 60 shows 8 8 "Sprites and primitives" || fail "sprites: no title"
cp "$SHOT" "$E2E_WORK/sprites0.png"
check colour "$SHOT" 255,0,128 0 0 || fail "sprites: the key colour shows"
moved() { shot && check differ "$E2E_WORK/sprites0.png" "$SHOT" 0 48 640 420; }
poll 30 moved || fail "sprites: nothing moves"
# The coloured star (a polygon) covers the middle: little of the ground
# shows there, however it has turned (balls alone always leave 400 pixels).
star() { shot && check colour "$SHOT" 16,32,64 0 200 300 220 40 40; }
poll 30 star || fail "sprites: the coloured star does not cover the middle"
leave

# Backgrounds: the day picture (its green hills), and Space fades to dusk
# (its sun).
start_example backgrounds "Example: Backgrounds"
hills() { shows 8 8 "Backgrounds and fades" && check colour "$SHOT" 40,84,40 3000; }
poll 60 hills || fail "backgrounds: no title over the day picture"
focus_window "$WINDOW" || fail "backgrounds: no focus"
sun() { shot && check colour "$SHOT" 255,220,120 5000; }
hold_until 60 space -- sun || fail "backgrounds: Space did not fade to dusk"
leave

# 3D objects: the turning cubes change the middle of the window, their near
# faces drawn, their shadows on the ground; the probe sliding through the
# big cube touches it at times and is free at others; the object under the
# mouse pointer is named (the big cube in the middle of the window, nothing
# in a corner).
start_example objects3d "Example: 3D Objects"
poll 60 shows 8 8 "3D objects and lights" || fail "objects3d: no title"
cp "$SHOT" "$E2E_WORK/objects0.png"
turned() { shot && check differ "$E2E_WORK/objects0.png" "$SHOT" 220 140 200 200; }
poll 30 turned || fail "objects3d: the cubes do not turn"
check colour "$SHOT" 16,16,32 0 300000 || fail "objects3d: nothing drawn over the ground"
# The faces towards the camera are drawn, lit by the head light in their own
# colour: little of the grey (51, 51, 51) that only the far faces, turned
# away from both lights, would show if the culling kept them instead.
front() { shot && check colour "$SHOT" 51,51,51 0 2000; }
poll 30 front || fail "objects3d: the cubes' far faces are drawn instead of the near ones"
# The cubes cast shadows on the ground (it culls clockwise faces, with which
# a shadow volume once darkened nothing): ground pixels at about half their
# lit colour (56, 76, 46 against 117, 161, 96), a few thousand of them
# wherever the light has circled to.
shadowed() { shot && check colour "$SHOT" 56,76,46 3000; }
poll 30 shadowed || fail "objects3d: no shadow on the ground"
poll 60 shows 8 30 "Probe touches the big cube" || fail "objects3d: the probe never touches the cube"
poll 60 shows 8 30 "Probe is free" || fail "objects3d: the probe always touches the cube"
xdotool mousemove --window "$WINDOW" 320 240
poll 60 shows 8 50 "Under the mouse: the big cube" || fail "objects3d: the big cube is not picked"
xdotool mousemove --window "$WINDOW" 620 460
poll 60 shows 8 50 "Under the mouse: nothing " || fail "objects3d: something picked in a corner"
leave

# Sound: both sounds load; the tune plays as music; M stops it, and the beep
# played each second still reaches the device (Linux: SDL's disk driver;
# Wine: a PulseAudio null sink, which mixes the music's and the sounds'
# streams as a device does; ALSA's file plugin would let them overwrite
# each other in its file).
. "$BRINDLE_SOURCE/tests/e2e/lib_audio.sh"
if is_windows; then start_pulse; capture_pulse sound; else capture_linux sound; fi
with_audio
start_example sound "Example: Sound"
without_audio
loaded() { shows 8 8 "Sound effects" && check text "$SHOT" "$font" 8 40 "beep.wav: loaded" &&
  check text "$SHOT" "$font" 8 60 "chime.wav: loaded" &&
  check text "$SHOT" "$font" 8 190 "Music: tune.wav playing"; }
poll 60 loaded || fail "sound: the sounds did not load or the music did not start"
# listen WHAT SINCE: the capture from SINCE seconds on holds (tune) 0.3 s of
# each of the tune's four notes, (beep) the beep, or (quiet) 3 s without
# the tune. listen length: the capture's length in seconds so far.
listen() {
  /usr/bin/python3 - "$BRINDLE_SOURCE/tests/e2e" "$CAPTURE" "$@" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from audio import read_capture, tone_runs
try:
    rate, x = read_capture(sys.argv[2])
except OSError:
    sys.exit(1)
if sys.argv[3] == "length":
    print("%.2f" % (len(x) / rate))
    sys.exit(0)
x = x[int(float(sys.argv[4]) * rate):]
def longest(freq, gap=0.05):
    return max((r[1] for r in tone_runs(x, rate, freq, gap)), default=0)
notes = (523.25, 587.33, 698.46, 783.99)  # examples/media/make_media.py
if sys.argv[3] == "tune":
    sys.exit(0 if all(longest(f) >= 0.3 for f in notes) else 1)
if sys.argv[3] == "beep":
    sys.exit(0 if longest(880, 0.015) >= 0.05 else 1)
sys.exit(0 if len(x) >= 3 * rate and max(longest(f) for f in notes) < 0.1 else 1)
PY
}
poll 60 listen tune 0 || fail "sound: the tune's notes did not reach the device"
focus_window "$WINDOW" || fail "sound: no focus"
hold_until 30 m -- shows 8 190 "Music: stopped" || fail "sound: M did not stop the music"
# What the device had queued may still play out for a moment.
since=$(listen length) || fail "sound: no capture"
since=$(/usr/bin/python3 -c "print($since + 1)")
poll 60 listen quiet "$since" || fail "sound: the tune still plays after M"
listen beep "$since" || fail "sound: no beep reached the device"
leave
stop_capture

# Input: a held key is listed by its code (205: right arrow), a typed
# character joins the line of text.
start_example input "Example: Input"
poll 60 shows 8 8 "Keyboard, mouse, joystick" || fail "input: no title"
focus_window "$WINDOW" || fail "input: no focus"
hold_until 60 Right -- shows 8 60 "Keys held: 205 " || fail "input: the right arrow is not listed"
hold_until 60 k -- shows 8 80 "Typed: k" || fail "input: the typed k is not shown"
leave

# Files: the run count and the player's name come from example.ini, which
# the first run writes when it ends and the second reads.
start_example files "Example: Files"
poll 60 shows 8 40 "Run number 1 for Player One" || fail "files: first run"
leave
tr -d '\r' <"$E2E_WORK/files/example.ini" | grep -qx "runs=1" || fail "files: example.ini has no runs=1"
start_example files "Example: Files"
poll 60 shows 8 40 "Run number 2 for Player One" || fail "files: the second run did not read the first's count"
leave

# Pathfinding: a path (its yellow cells) from the start to the goal.
start_example pathfinding "Example: Pathfinding"
path() { shows 8 8 "Pathfinding" && check text "$SHOT" "$font" 8 26 "Path of " && check colour "$SHOT" 255,224,0 18000; }
poll 60 path || fail "pathfinding: no path drawn"
leave

# Chat: a host and a guest on this machine; a message the guest sends
# appears at the host under the guest's name.
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
start_example chat "Example: Chat" host "$port"
host_window=$WINDOW host_pid=$PROGRAM_PID
poll 60 shows 8 70 "You are Host" || fail "chat: the host did not start"
start_example chat "Example: Chat" join 127.0.0.1 "$port"
# The guest's window is the other one of that name.
other_window() {
  local id
  for id in $(xwininfo -root -children 2>/dev/null | grep -F '"Example: Chat"' | awk '{print $1}'); do
    [ "$((id))" != "$((host_window))" ] && xwininfo -id "$id" | grep -q IsViewable && { WINDOW=$id; return 0; }
  done
  return 1
}
poll 60 other_window || fail "chat: no window for the guest"
poll 60 shows 8 70 "You are Guest" || fail "chat: the guest did not join"
focus_window "$WINDOW" || fail "chat: no focus for the guest"
hold_until 60 1 -- shows 8 90 "me: Hello!" || fail "chat: the guest did not send on 1"
# The host's window, on top again (the guest's covers it), shows it too.
xdotool windowraise "$host_window"
host_shows() { screenshot "$host_window" "$E2E_WORK/host.png" && check text "$E2E_WORK/host.png" "$font" 8 90 "Guest: Hello!"; }
poll 60 host_shows || fail "chat: the guest's message did not reach the host"
leave
WINDOW=$host_window PROGRAM_PID=$host_pid NAME=chat-host
leave

# Download: a file from a local web server, its first line shown.
mkdir -p "$E2E_WORK/site" && printf 'Hello from the server\nsecond line\n' > "$E2E_WORK/site/hello.txt"
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$E2E_WORK/site" >/dev/null 2>&1 &
E2E_PIDS+=($!)
serving() { /usr/bin/python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/hello.txt', timeout=2)" 2>/dev/null; }
poll 30 serving || fail "download: the test's web server did not start"
start_example download "Example: Download" 127.0.0.1 "$port" /hello.txt
fetched() { shows 8 30 "Done: download1.txt after " && check text "$SHOT" "$font" 8 90 "Hello from the server"; }
poll 60 fetched || fail "download: the file was not fetched and shown"
leave
