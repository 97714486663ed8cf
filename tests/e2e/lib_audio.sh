# Audio devices of a test's own and the sound probe, sourced by the sound and
# media tests after lib.sh. Nothing is installed or shared: every instance
# lives in E2E_WORK.
#   capture_linux NAME      SDL's disk driver for the next Linux run:
#                           AUDIO_ENV and CAPTURE (raw 22050 Hz stereo)
#   capture_alsa NAME       an ALSA configuration for the next Wine run: the
#                           file plugin over the null device (not paced)
#   start_pulse             a PulseAudio server with a null sink (real time)
#   capture_pulse NAME      records the null sink's monitor into CAPTURE
#   stop_capture            ends the recording, keeping what it wrote
#   with_audio / without_audio   export AUDIO_ENV for the programs started
#                                between them
# The probe (tests/programs/sound_probe.cpp) in $PROBE_DIR:
#   probe_setup             copies it there and makes the test sounds beside it
# $py runs $audio (tests/e2e/audio.py), which makes and measures the sounds.
#   run_probe SCRIPT        runs SCRIPT to its end
#   results                 its results; expect_results LINE... checks lines

py=/usr/bin/python3
audio=$BRINDLE_SOURCE/tests/e2e/audio.py
AUDIO_ENV=()
CAPTURE=""
RECORDER_PID=""

capture_linux() {
  CAPTURE=$E2E_WORK/$1.raw22050
  AUDIO_ENV=(SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$CAPTURE")
}

capture_alsa() {
  CAPTURE=$E2E_WORK/$1.wav
  cat > "$E2E_WORK/$1.asound.conf" <<EOF
pcm.!default { type plug slave { pcm "capture" format S16_LE } }
pcm.capture { type file slave.pcm "silent" file "$CAPTURE" format "wav" }
pcm.silent { type null }
EOF
  AUDIO_ENV=("ALSA_CONFIG_PATH=$E2E_WORK/$1.asound.conf" "WINEDLLOVERRIDES=mscoree,mshtml=;winepulse.drv=d")
}

start_pulse() {
  local pulse=$E2E_WORK/pulse
  mkdir -p "$pulse/run" "$pulse/home"
  cat > "$pulse/default.pa" <<EOF
load-module module-native-protocol-unix auth-anonymous=1 socket=$pulse/native
load-module module-null-sink sink_name=capture rate=48000 channels=2
set-default-sink capture
EOF
  HOME=$pulse/home XDG_RUNTIME_DIR=$pulse/run pulseaudio -n -F "$pulse/default.pa" --daemonize=no \
    --exit-idle-time=-1 --use-pid-file=no --log-target=file:"$pulse/log.txt" >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  PULSE_SOCKET=unix:$pulse/native
  poll 20 pulse_answers || fail "PulseAudio did not start: $(tail -3 "$pulse/log.txt")"
}
pulse_answers() { PULSE_SERVER=$PULSE_SOCKET pactl info >/dev/null 2>&1; }

capture_pulse() {
  CAPTURE=$E2E_WORK/$1.raw48000
  PULSE_SERVER=$PULSE_SOCKET parec -d capture.monitor --format=s16le --rate=48000 --channels=2 --raw \
    >"$CAPTURE" 2>/dev/null &
  RECORDER_PID=$!
  E2E_PIDS+=("$RECORDER_PID")
  AUDIO_ENV=("PULSE_SERVER=$PULSE_SOCKET")
  is_windows || AUDIO_ENV+=(SDL_AUDIODRIVER=pulseaudio)
}

stop_capture() {
  if [ -n "$RECORDER_PID" ]; then
    # The recorder writes what it has buffered late: wait until half a
    # second more than was on disk now has arrived (the monitor of a null
    # sink streams silence without end), so every sample played before this
    # call is in the file, however slow the machine.
    CAPTURE_FROM=$(capture_size)
    poll 30 capture_grown || true
    kill "$RECORDER_PID" 2>/dev/null
    wait "$RECORDER_PID" 2>/dev/null
    RECORDER_PID=""
  fi
}

capture_size() { stat -c %s "$CAPTURE" 2>/dev/null || echo 0; }
capture_grown() { [ "$(capture_size)" -ge $((CAPTURE_FROM + 96000)) ]; }

with_audio() {
  local kv
  for kv in "${AUDIO_ENV[@]}"; do export "${kv?}"; done
}
without_audio() {
  local kv
  for kv in "${AUDIO_ENV[@]}"; do unset "${kv%%=*}"; done
}

PROBE_DIR=$E2E_WORK/game
probe_setup() {
  local exe
  exe=$(program sound_probe)
  [ -f "$exe" ] || fail "missing $exe"
  mkdir -p "$PROBE_DIR"
  cp "$exe" "$PROBE_DIR/"
  PROBE=$PROBE_DIR/$(basename "$exe")
  $py "$audio" make "$PROBE_DIR" || fail "could not make the test sounds"
}

results() { tr -d '\r' 2>/dev/null < "$PROBE_DIR/sound-probe.txt"; }
expect_results() {
  local l
  for l in "$@"; do results | grep -qxF "$l" || fail "probe result '$l' missing: $(results | paste -sd'|')"; done
}

# start_probe SCRIPT: starts the probe on a copy of SCRIPT, with AUDIO_ENV.
start_probe() {
  rm -f "$PROBE_DIR/sound-probe.txt"
  cp "$1" "$PROBE_DIR/sound-script.txt"
  with_audio
  start_program "$PROBE"
  without_audio
}
# finish_probe: waits for the probe's own end; fails on a time-out or a step that timed out.
finish_probe() {
  wait_program 180; local rc=$?
  [ "$rc" -eq 0 ] || fail "probe exit code $rc ($(tail -5 "$E2E_WORK/program.out"))"
  results | grep -q '^timeout' && fail "probe step timed out: $(results | grep '^timeout')"
  results | grep -qx end || fail "probe did not finish: $(results | paste -sd'|')"
}
run_probe() {
  start_probe "$1"
  finish_probe
}

# wait_result PATTERN SECONDS: until a result line matches (grep -E).
wait_result() {
  WAITED_RESULT=$1
  poll "$2" result_or_ended
  results | grep -qE "$1"
}
result_or_ended() { results | grep -qE "$WAITED_RESULT" || ! kill -0 "$PROGRAM_PID" 2>/dev/null; }
