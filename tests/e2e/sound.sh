# Sound effects on a real audio device whose output the test reads back.
# Linux plays through SDL's disk driver into a file; Wine's DirectSound
# plays through ALSA, configured by this test alone (ALSA_CONFIG_PATH: the
# file plugin over the null device). Levels, pan, slot numbers, WAV chunk
# layouts, StopAllSounds and Debian's ALSA sample sounds come from one run.
# The voice order needs real time: a PulseAudio null sink of this test's own,
# recorded from its monitor, which both SDL and Wine play to. A last run
# without any audio device gets 0 from LoadSound and PlaySound.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_audio.sh"

probe_setup
samples=(/usr/share/sounds/alsa/*.wav)
[ -f "${samples[0]}" ] || fail "no sample sounds in /usr/share/sounds/alsa (alsa-utils)"
cp "${samples[@]}" "$PROBE_DIR/"

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

if is_windows; then capture_alsa effects; else capture_linux effects; fi
run_probe "$script"
expect_results "device 1" "load tone1k.wav 1" "load tone2k.wav 1" "load fact.wav 1" "load list.wav 1" \
  "load long.wav 1" "play 300 1" "status 4 0 - - -"
for f in "${samples[@]}"; do expect_results "load $(basename "$f") 1"; done
[ "$(results | grep -c '^play .* 1$')" -eq $((8 + ${#samples[@]})) ] || fail "a PlaySound gave 0: $(results | paste -sd'|')"
$py "$audio" effects "$CAPTURE" "$BRINDLE_TARGET" "${samples[@]}" || fail "captured effects"
pass "effects: levels, pan, slot 127, chunk layouts, StopAllSounds and ${#samples[@]} sample sounds"

# --- Voice order, in real time through a PulseAudio null sink.
start_pulse
capture_pulse order
script=$E2E_WORK/order.txt
{
  # A quiet tone wakes the device up; the test says go once it is captured.
  echo "load wake.wav 9 1"; echo "load burst.wav 6 4"; echo "load burst.wav 7 1"
  echo "play 9 0 1"; echo "waitfile go"; echo "stopall"; echo "gap 300"
  # Five plays of a four-voice sound, each once the previous voice is 0.4 s in.
  for v in 0 1 2 3; do echo "play 6 0 1"; echo "reached 6 $v 17640"; done
  echo "play 6 0 1"; echo "status 6"; echo "idle 6"; echo "gap 300"
  # A one-voice sound is not restarted while it plays.
  echo "play 7 0 1"; echo "reached 7 0 4410"; echo "play 7 0 1"; echo "idle 7"; echo "gap 300"
} > "$script"
rm -f "$PROBE_DIR/go"
( $py "$audio" wait "$CAPTURE" 120 && touch "$PROBE_DIR/go" ) &
E2E_PIDS+=($!)
run_probe "$script"
stop_capture
expect_results "status 6 1 1 1 1"
[ "$(results | grep -c '^play 6 1$')" -eq 5 ] || fail "five plays of the four-voice sound: $(results | paste -sd'|')"
[ "$(results | grep '^play 7 ' | paste -sd' ')" = "play 7 1 play 7 0" ] \
  || fail "the one-voice sound while playing: $(results | grep '^play 7 ' | paste -sd' ')"
$py "$audio" order "$CAPTURE" || fail "voice order in the capture"
pass "voice order: round robin, the oldest voice restarted, a one-voice sound not restarted"

# --- No audio device at all.
printf 'load tone1k.wav 1 1\nplay 1 0 1\nstatus 1\n' > "$E2E_WORK/none.txt"
if is_windows; then AUDIO_ENV=("WINEDLLOVERRIDES=mscoree,mshtml=;winepulse.drv,winealsa.drv=d")
else AUDIO_ENV=(SDL_AUDIODRIVER=none); fi
run_probe "$E2E_WORK/none.txt"
expect_results "device 0" "load tone1k.wav 0" "play 1 0" "status 1 - - - -"
pass "without a device LoadSound and PlaySound give 0 and the slot stays empty"
