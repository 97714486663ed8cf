# Sound effects on a real audio device whose output the test reads back.
# Linux plays through SDL's disk driver into a file; Wine's DirectSound
# plays through ALSA, configured by this test alone (ALSA_CONFIG_PATH: the
# file plugin over the null device). Levels, pan, slot numbers, WAV chunk
# layouts, StopAllSounds and Debian's ALSA sample sounds come from one run.
# The voice order needs real time: a PulseAudio null sink of this test's own,
# recorded from its monitor, which both SDL and Wine play to. A last run
# without any audio device gets 0 from LoadSound and PlaySound.
. "$(dirname "$0")/lib.sh"

exe=$(program sound_probe)
[ -f "$exe" ] || fail "missing $exe"
py=/usr/bin/python3
audio=$BRINDLE_SOURCE/tests/e2e/audio.py
work=$E2E_WORK/game
mkdir -p "$work"
cp "$exe" "$work/"
game=$work/$(basename "$exe")
$py "$audio" make "$work" || fail "could not make the test sounds"
samples=(/usr/share/sounds/alsa/*.wav)
[ -f "${samples[0]}" ] || fail "no sample sounds in /usr/share/sounds/alsa (alsa-utils)"
cp "${samples[@]}" "$work/"

results() { tr -d '\r' < "$work/sound-probe.txt"; }
# expect_results LINE...: each line is in the probe's results.
expect_results() {
  local l
  for l in "$@"; do results | grep -qxF "$l" || fail "probe result '$l' missing: $(results | paste -sd'|')"; done
}
# run_probe SCRIPT-FILE: runs the probe to its end (it ends itself).
run_probe() {
  rm -f "$work/sound-probe.txt"
  cp "$1" "$work/sound-script.txt"
  start_program "$game"
  wait_program 180; local rc=$?
  [ "$rc" -eq 0 ] || fail "probe exit code $rc ($(cat "$E2E_WORK/program.out"))"
  results | grep -q '^timeout' && fail "probe step timed out: $(results | grep '^timeout')"
  results | grep -qx end || fail "probe did not finish: $(results | paste -sd'|')"
}

# --- Effects: levels, pan, slots, chunk layouts, StopAllSounds, samples.
script=$E2E_WORK/effects.txt
{
  echo "load tone1k.wav 1 1"; echo "load tone2k.wav 127 1"; echo "load fact.wav 2 1"
  echo "load list.wav 3 1"; echo "load long.wav 4 1"
  slot=10
  for f in "${samples[@]}"; do echo "load $(basename "$f") $slot 1"; slot=$((slot + 1)); done
  for step in "1 0 1" "1 0 0.5" "1 -1 1" "1 3 1" "300 0 1:127" "2 0 1" "3 0 1"; do
    echo "play ${step%%:*}"
    s=${step%% *}; [ "${step#*:}" != "$step" ] && s=${step#*:}
    echo "idle $s"; echo "gap 150"
  done
  # 1 s into the 20 s tone (8000 bytes), everything stops.
  echo "play 4 0 1"; echo "reached 4 0 8000"; echo "stopall"; echo "status 4"; echo "gap 150"
  slot=10
  for f in "${samples[@]}"; do echo "play $slot 0 1"; echo "idle $slot"; echo "gap 150"; slot=$((slot + 1)); done
  echo "gap 300"
} > "$script"

if is_windows; then
  capture=$E2E_WORK/effects.wav
  cat > "$E2E_WORK/asound.conf" <<EOF
pcm.!default { type plug slave { pcm "capture" format S16_LE } }
pcm.capture { type file slave.pcm "silent" file "$capture" format "wav" }
pcm.silent { type null }
EOF
  ALSA_CONFIG_PATH=$E2E_WORK/asound.conf WINEDLLOVERRIDES="mscoree,mshtml=;winepulse.drv=d" run_probe "$script"
else
  capture=$E2E_WORK/effects.raw22050
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$capture run_probe "$script"
fi
expect_results "device 1" "load tone1k.wav 1" "load tone2k.wav 1" "load fact.wav 1" "load list.wav 1" \
  "load long.wav 1" "play 300 1" "status 4 0 - - -"
for f in "${samples[@]}"; do expect_results "load $(basename "$f") 1"; done
[ "$(results | grep -c '^play .* 1$')" -eq $((8 + ${#samples[@]})) ] || fail "a PlaySound gave 0: $(results | paste -sd'|')"
$py "$audio" effects "$capture" "$BRINDLE_TARGET" "${samples[@]}" || fail "captured effects"
pass "effects: levels, pan, slot 127, chunk layouts, StopAllSounds and ${#samples[@]} sample sounds"

# --- Voice order, in real time through a PulseAudio null sink.
pulse=$E2E_WORK/pulse
mkdir -p "$pulse/run" "$pulse/home"
cat > "$pulse/default.pa" <<EOF
load-module module-native-protocol-unix auth-anonymous=1 socket=$pulse/native
load-module module-null-sink sink_name=capture rate=48000 channels=2
set-default-sink capture
EOF
HOME=$pulse/home XDG_RUNTIME_DIR=$pulse/run pulseaudio -n -F "$pulse/default.pa" --daemonize=no \
  --exit-idle-time=-1 --use-pid-file=no --log-target=file:"$pulse/log.txt" >/dev/null 2>&1 &
E2E_PIDS+=($!)
export PULSE_SERVER=unix:$pulse/native
t=200
until pactl info >/dev/null 2>&1; do
  t=$((t - 1)); [ $t -gt 0 ] || fail "PulseAudio did not start: $(tail -3 "$pulse/log.txt")"
  sleep 0.1
done
capture=$E2E_WORK/order.raw48000
parec -d capture.monitor --format=s16le --rate=48000 --channels=2 --raw >"$capture" 2>/dev/null &
E2E_PIDS+=($!)

script=$E2E_WORK/order.txt
{
  # A quiet tone wakes the device up; the test says go once it is captured.
  echo "load wake.wav 9 1"; echo "load burst.wav 6 4"; echo "load burst.wav 7 1"
  echo "play 9 0 1"; echo "waitfile go"; echo "stopall"; echo "gap 300"
  # Five plays of a four-voice sound, each once the previous voice is 0.1 s in.
  for v in 0 1 2 3; do echo "play 6 0 1"; echo "reached 6 $v 4410"; done
  echo "play 6 0 1"; echo "status 6"; echo "idle 6"; echo "gap 300"
  # A one-voice sound is not restarted while it plays.
  echo "play 7 0 1"; echo "reached 7 0 4410"; echo "play 7 0 1"; echo "idle 7"; echo "gap 300"
} > "$script"
rm -f "$work/go"
(
  $py "$audio" wait "$capture" 120 && touch "$work/go"
) &
E2E_PIDS+=($!)
if is_windows; then
  run_probe "$script"
else
  SDL_AUDIODRIVER=pulseaudio run_probe "$script"
fi
expect_results "status 6 1 1 1 1"
[ "$(results | grep -c '^play 6 1$')" -eq 5 ] || fail "five plays of the four-voice sound: $(results | paste -sd'|')"
[ "$(results | grep '^play 7 ' | paste -sd' ')" = "play 7 1 play 7 0" ] \
  || fail "the one-voice sound while playing: $(results | grep '^play 7 ' | paste -sd' ')"
sleep 0.3  # the recorder's last buffer
$py "$audio" order "$capture" || fail "voice order in the capture"
pass "voice order: round robin, the oldest voice restarted, a one-voice sound not restarted"
unset PULSE_SERVER

# --- No audio device at all.
printf 'load tone1k.wav 1 1\nplay 1 0 1\nstatus 1\n' > "$E2E_WORK/none.txt"
if is_windows; then
  WINEDLLOVERRIDES="mscoree,mshtml=;winepulse.drv,winealsa.drv=d" run_probe "$E2E_WORK/none.txt"
else
  SDL_AUDIODRIVER=none run_probe "$E2E_WORK/none.txt"
fi
expect_results "device 0" "load tone1k.wav 0" "play 1 0" "status 1 - - - -"
pass "without a device LoadSound and PlaySound give 0 and the slot stays empty"
