#!/usr/bin/python3
"""Sound files for the audio end-to-end tests, and checks of what an audio
device captured (SDL's disk file, an ALSA file plugin's WAV, a PulseAudio
monitor recording).

  audio.py make DIR                  writes the test sounds into DIR
  audio.py wait CAPTURE SECONDS      waits until the capture holds sound
  audio.py effects CAPTURE TARGET SAMPLES...   checks the effects run
  audio.py order CAPTURE             checks the voice-order run
  audio.py music CAPTURE             checks the music run (tests/e2e/media.sh)
  audio.py held CAPTURE SECONDS      the video's sound starts SECONDS after the marker
  audio.py tone CAPTURE HZ SECONDS   a tone of HZ sounds for SECONDS at least
  audio.py level CAPTURE HZ LEVEL    a tone of HZ sounds at LEVEL (of full scale)
                                     in both channels, within 10 %

A capture is a WAV file, or raw 16-bit stereo named *.raw<RATE>.
Every check prints one line per finding and exits non-zero on a failure.
"""
import os
import struct
import sys
import time

import numpy as np

RATE = 22050


# ---------------------------------------------------------------- writing

def wav_bytes(samples, rate, channels, bits, chunks_before_data=(), fmt_extra=b''):
    """A PCM WAV file: samples are floats in -1 ... 1, interleaved."""
    s = np.asarray(samples, dtype=float)
    if bits == 16:
        data = np.round(s * 32767).astype('<i2').tobytes()
    else:
        data = (np.round(s * 127) + 128).astype('u1').tobytes()
    align = channels * bits // 8
    fmt = struct.pack('<HHIIHH', 1, channels, rate, rate * align, align, bits) + fmt_extra
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt
    for tag, content in chunks_before_data:
        body += tag + struct.pack('<I', len(content)) + content + (b'\0' if len(content) % 2 else b'')
    body += b'data' + struct.pack('<I', len(data)) + data
    return b'RIFF' + struct.pack('<I', len(body)) + body


def tone(freq, seconds, rate, level=0.5):
    t = np.arange(int(round(seconds * rate))) / rate
    return level * np.sin(2 * np.pi * freq * t)


def stereo(mono):
    return np.repeat(mono, 2)


def make(directory):
    os.makedirs(directory, exist_ok=True)

    def put(name, content):
        with open(os.path.join(directory, name), 'wb') as f:
            f.write(content)

    # Levels and pan: 1 kHz, 16-bit stereo at the device's own rate.
    put('tone1k.wav', wav_bytes(stereo(tone(1000, 0.5, RATE)), RATE, 2, 16))
    # Slot 127: 2 kHz, 8-bit mono at 11025 Hz.
    put('tone2k.wav', wav_bytes(tone(2000, 0.5, 11025), 11025, 1, 8))
    # A "fact" chunk before "data": 1.5 kHz, 16-bit mono at 44100 Hz.
    put('fact.wav', wav_bytes(tone(1500, 0.5, 44100), 44100, 1, 16,
                              [(b'fact', struct.pack('<I', 22050))]))
    # "LIST" and "cue " chunks (odd-sized, padded) and an 18-byte format chunk.
    info = b'INFO' + b'INAM' + struct.pack('<I', 5) + b'tone\0' + b'\0'
    put('list.wav', wav_bytes(stereo(tone(2500, 0.5, 16000)), 16000, 2, 16,
                              [(b'LIST', info), (b'cue ', struct.pack('<I', 0)), (b'junk', b'abc')],
                              fmt_extra=struct.pack('<H', 0)))
    # A long tone for StopAllSounds (and to wake a device up): 20 s, 8-bit mono.
    put('long.wav', wav_bytes(tone(1000, 20, 8000, 0.25), 8000, 1, 8))
    # Waking a device up before timed checks: 500 Hz for 20 s.
    put('wake.wav', wav_bytes(tone(500, 20, 8000, 0.25), 8000, 1, 8))
    # Voice order: a 1 kHz burst at the start and a 3 kHz burst 1.8 s later.
    burst = np.zeros(2 * RATE)
    start = int(BURST_END * RATE)
    burst[:662] = tone(1000, 0.03, RATE)
    burst[start:start + 662] = tone(3000, 0.03, RATE)
    put('burst.wav', wav_bytes(burst, RATE, 1, 16))
    # A marker: 3 kHz for 60 ms.
    put('marker.wav', wav_bytes(tone(3000, 0.06, RATE), RATE, 1, 16))


# ---------------------------------------------------------------- reading

def read_capture(path):
    """(rate, float array frames x 2 in 16-bit units)."""
    base = os.path.basename(path)
    if '.raw' in base:
        rate = int(base.rsplit('.raw', 1)[1])
        raw = open(path, 'rb').read()
        raw = raw[:len(raw) // 4 * 4]
        return rate, np.frombuffer(raw, '<i2').reshape(-1, 2).astype(float)
    return parse_wav(open(path, 'rb').read())


def parse_wav(b):
    """(rate, float array frames x 2 in 16-bit units) of WAV bytes."""
    if len(b) < 12 or b[:4] != b'RIFF':
        return RATE, np.zeros((0, 2))
    i, rate, channels, bits, fmt_tag = 12, RATE, 2, 16, 1
    while i + 8 <= len(b):
        tag, size = b[i:i + 4], struct.unpack('<I', b[i + 4:i + 8])[0]
        if tag == b'fmt ':
            fmt_tag, channels, rate = struct.unpack('<HHI', b[i + 8:i + 16])
            bits = struct.unpack('<H', b[i + 22:i + 24])[0]
        if tag == b'data':
            # A capture still being written (or closed abruptly) has no size yet.
            body = b[i + 8:]
            break
        i += 8 + size + (size & 1)
    else:
        return rate, np.zeros((0, 2))
    frame = channels * bits // 8
    body = body[:len(body) // frame * frame]
    if fmt_tag == 3:
        x = np.frombuffer(body, '<f4').astype(float) * 32768
    elif bits == 32:
        x = np.frombuffer(body, '<i4').astype(float) / 65536
    else:
        x = np.frombuffer(body, '<i2').astype(float)
    x = x.reshape(-1, channels)
    if channels == 1:
        x = np.repeat(x, 2, axis=1)
    return rate, x[:, :2]


def db(x):
    return 20 * np.log10(np.sqrt(np.mean(np.square(x))) + 1e-12)


def segments(x, rate, gap_seconds):
    """Runs of sound separated by at least gap_seconds of silence: [(start, end)]."""
    loud = np.nonzero(np.abs(x).max(axis=1) >= 1.0)[0]
    if len(loud) == 0:
        return []
    breaks = np.nonzero(np.diff(loud) > gap_seconds * rate)[0]
    starts = np.concatenate(([loud[0]], loud[breaks + 1]))
    ends = np.concatenate((loud[breaks], [loud[-1]])) + 1
    return list(zip(starts, ends))


def squeeze(x, rate):
    """x without the silent stretches of 2 ms or more inside it: the gaps a
    late audio thread leaves (Wine fills an underrun with silence)."""
    silent = np.abs(x).max(axis=1) < 1.0
    edges = np.diff(np.concatenate(([0], silent.astype(int), [0])))
    keep = np.ones(len(x), bool)
    for a, b in zip(np.nonzero(edges == 1)[0], np.nonzero(edges == -1)[0]):
        if b - a >= 0.002 * rate:
            keep[a:b] = False
    return x[keep]


def frequency(x, rate):
    """Dominant frequency of a mono signal (FFT peak)."""
    spectrum = np.abs(np.fft.rfft(x * np.hanning(len(x))))
    return np.argmax(spectrum) * rate / len(x)


def resample(x, rate_from, rate_to):
    n = int(round(len(x) * rate_to / rate_from))
    spectrum = np.fft.rfft(x)
    out = np.zeros(n // 2 + 1, dtype=complex)
    m = min(len(out), len(spectrum))
    out[:m] = spectrum[:m]
    return np.fft.irfft(out, n) * n / len(x)


# ---------------------------------------------------------------- checks

failures = []


def check(ok, text):
    print(('ok: ' if ok else 'FAIL: ') + text)
    if not ok:
        failures.append(text)


def wait(path, seconds):
    """Returns once the capture holds a sound (its tail, for live captures)."""
    end = time.time() + seconds
    while time.time() < end:
        if os.path.exists(path):
            rate, x = read_capture(path)
            if len(x) and np.abs(x[-rate:]).max() >= 100:
                return 0
        time.sleep(0.1)
    print('FAIL: no sound reached the capture in %d s' % seconds)
    return 1


def check_effects(path, target, samples):
    """The run of the effects script: see tests/e2e/sound.sh."""
    rate, x = read_capture(path)
    check(len(x) > 0, '%s capture: %d frames at %d Hz' % (target, len(x), rate))
    # The script leaves 150 ms between sounds; shorter gaps are dropouts.
    segs = segments(x, rate, 0.08)
    check(len(segs) >= 8, 'at least 8 sounds captured (%d)' % len(segs))
    if len(segs) < 8:
        return
    part = [squeeze(x[a:b], rate) for a, b in segs]
    length = [len(p) / rate for p in part]
    dropouts = sum((b - a) - len(p) for (a, b), p in zip(segs[:8], part[:8]))
    print('dropouts inside the first 8 sounds: %.3f s' % (dropouts / rate))
    full_l, full_r = db(part[0][:, 0]), db(part[0][:, 1])
    check(abs(length[0] - 0.5) < 0.02, 'tone at volume 1 lasts %.3f s' % length[0])
    diff = full_l - db(part[1][:, 0])
    check(abs(diff - 50) <= 0.5 and abs(full_r - db(part[1][:, 1]) - 50) <= 0.5,
          'volume 1 -> 0.5 lowers the level by %.2f dB (50 +- 0.5)' % diff)
    check(np.abs(part[2][:, 1]).max() < 1 and abs(db(part[2][:, 0]) - full_l) <= 0.5,
          'pan -1: right channel silent (peak %g), left at %.2f dB of full'
          % (np.abs(part[2][:, 1]).max(), db(part[2][:, 0]) - full_l))
    check(np.abs(part[3][:, 0]).max() < 1 and abs(db(part[3][:, 1]) - full_r) <= 0.5,
          'pan 3: left channel silent (peak %g), right at %.2f dB of full'
          % (np.abs(part[3][:, 0]).max(), db(part[3][:, 1]) - full_r))
    expected = [('slot 300 plays slot 127', 2000), ('WAV with a "fact" chunk', 1500),
                ('WAV with LIST, cue and odd-sized chunks', 2500)]
    for k, (what, freq) in enumerate(expected, start=4):
        f = frequency(part[k][:, 0], rate)
        check(abs(f - freq) < 20 and abs(length[k] - 0.5) < 0.03,
              '%s: %.0f Hz for %.3f s' % (what, f, length[k]))
    check(length[7] < 10, 'StopAllSounds ended the 20 s tone after %.2f s' % length[7])
    if target == 'linux':
        # The mixer's own output against the WAV's samples scaled by the
        # decibel law: one unit at most.
        source = np.round(tone(1000, 0.5, RATE) * 32767)
        n = min(len(source), len(part[0]))
        a = segs[0][0] - 1  # the tone's first sample is 0
        for k, gain_l, gain_r, what in [(0, 1, 1, 'full'), (1, 10 ** -2.5, 10 ** -2.5, '-50 dB'),
                                        (2, 1, 0, 'pan -1'), (3, 0, 1, 'pan 3')]:
            a = segs[k][0] - 1
            got = x[a:a + n]
            want = np.stack([np.round(source[:n] * gain_l), np.round(source[:n] * gain_r)], axis=1)
            worst = np.abs(got - want).max()
            check(worst <= 1, 'Linux mixer, %s: samples within %g of the reference' % (what, worst))
    # The ALSA sample sounds, after the stopped tone: each is found in order.
    rest = x[segs[7][1]:, 0]
    position = 0
    for name in samples:
        file_rate, ref = read_capture(name)
        ref = resample(ref[:, 0], file_rate, rate)
        found, score = locate(rest, ref, position)
        check(score > 0.9, '%s plays (correlation %.3f at %.2f s)' % (os.path.basename(name), score,
                                                                       (segs[7][1] + found) / rate))
        position = found + len(ref) // 2


def locate(signal, ref, start):
    """Offset (from 0) and normalised correlation of ref's best match at or after start."""
    s = signal[start:]
    if len(s) < len(ref):
        return start, 0.0
    n = 1 << int(np.ceil(np.log2(len(s) + len(ref))))
    corr = np.fft.irfft(np.fft.rfft(s, n) * np.conj(np.fft.rfft(ref, n)), n)[:len(s) - len(ref) + 1]
    sums = np.concatenate(([0.0], np.cumsum(np.square(s))))
    energy = sums[len(ref):] - sums[:len(s) - len(ref) + 1]
    ref_energy = np.sum(np.square(ref))
    # Windows of near silence match nothing.
    score = np.where(energy > 1e-3 * ref_energy, corr / np.sqrt(np.maximum(energy, 1e-3 * ref_energy) * ref_energy), 0)
    i = int(np.argmax(score))
    return start + i, float(score[i])


def bursts(x, rate):
    """(time, frequency) of each short burst (10 to 100 ms) in the capture, in order."""
    out = []
    for a, b in segments(x, rate, 0.01):
        if not 0.01 * rate <= b - a <= 0.1 * rate:
            continue
        out.append((a / rate, frequency(x[a:b, 0], rate)))
    return out


# Where burst.wav's end burst lies, and how far apart sound.sh starts voices:
# far enough that a capture stretched by a busy machine (a late audio thread
# leaves gaps) still tells which start each end belongs to.
BURST_END = 1.8
BURST_SPACING = 0.4


def check_order(path):
    """The voice-order run: see tests/e2e/sound.sh."""
    rate, x = read_capture(path)
    found = bursts(x, rate)
    while found and abs(found[0][1] - 500) < 100:
        found = found[1:]  # the end of the wake-up tone
    kinds = ''.join('s' if abs(f - 1000) < 150 else 'e' if abs(f - 3000) < 300 else '?' for _, f in found)
    times = [t for t, _ in found]
    print('bursts: ' + ' '.join('%s%.3f' % (k, t) for k, t in zip(kinds, times)))
    # Four voices started five times: starts at t0 ... t4, and ends 1.8 s
    # after t1 ... t4 only (voice 0, started at t0, was restarted at t4).
    # Then the one-voice sound: one start and one end.
    want = 'sssss' + 'eeee' + 'se'
    check(kinds == want, 'burst kinds %s (want %s)' % (kinds, want))
    if kinds != want:
        return
    starts, ends = times[0:5], times[5:9]
    late = [e - s for s, e in zip(starts[1:], ends)]
    slack = BURST_SPACING * 0.4
    check(all(abs(d - BURST_END) < slack for d in late),
          'the voices started 2nd to 5th end %g s later (%s); the first was restarted'
          % (BURST_END, ', '.join('%.3f' % d for d in late)))
    check(all(b - a > BURST_SPACING * 0.8 for a, b in zip(starts, starts[1:])),
          'five starts in order, %s s apart' % ', '.join('%.2f' % (b - a) for a, b in zip(starts, starts[1:])))
    check(abs(times[10] - times[9] - BURST_END) < slack,
          'the one-voice sound played through once (end %.3f s after its start)' % (times[10] - times[9]))


def tone_runs(x, rate, freq, merge_gap):
    """(start, length) in seconds of the stretches where a tone of freq
    dominates, in 10 ms windows; gaps shorter than merge_gap are bridged."""
    n = rate // 100
    m = len(x) // n
    if m == 0:
        return []
    w = x[:m * n, 0].reshape(m, n)
    k = np.exp(-2j * np.pi * freq * np.arange(n) / rate)
    amplitude = np.abs(w @ k) * 2 / n
    rms = np.sqrt(np.mean(np.square(w), axis=1))
    active = (rms > 30) & (amplitude > 0.5 * rms * np.sqrt(2))
    runs = []
    for i in np.nonzero(active)[0]:
        t = i / 100
        if runs and t - (runs[-1][0] + runs[-1][1]) <= merge_gap:
            runs[-1][1] = t + 0.01 - runs[-1][0]
        else:
            runs.append([t, 0.01])
    return [tuple(r) for r in runs]


def check_music(path):
    """The music run: a 0.5 s tone looping for 3 s, then a missing file
    (silence), the tone for 1 s, StopMusic (silence)."""
    rate, x = read_capture(path)
    # The loop restarts at the first frame after the end: a busy machine's
    # slow frames leave gaps of a few tenths of a second there.
    runs = [r for r in tone_runs(x, rate, 1000, 0.4) if r[1] >= 0.5]
    print('1 kHz runs: ' + ' '.join('%.2f+%.2f' % r for r in runs))
    check(len(runs) == 2, 'two stretches of music (%d)' % len(runs))
    if len(runs) != 2:
        return
    (a, la), (b, lb) = runs
    # Wide bounds: a busy machine stretches the frames the script counts, and
    # what the platform had queued still plays out after a stop (Wine's MCI
    # through PulseAudio: up to about 0.8 s).
    check(2.5 <= la <= 4.5, 'the 0.5 s tone loops for %.2f s (3 s of frames)' % la)
    check(b - (a + la) >= 0.5, 'PlayMusic of a missing file stopped it: %.2f s of silence' % (b - (a + la)))
    check(0.6 <= lb <= 2.2, 'the next music played %.2f s (1 s of frames)' % lb)
    rest = runs[-1][0] + runs[-1][1]
    after = x[int((rest + 0.1) * rate):int((rest + 0.9) * rate)]
    check(len(after) > 0 and np.abs(after).max() < 100, 'StopMusic silenced it')


def check_held(path, seconds):
    rate, x = read_capture(path)
    marker = tone_runs(x, rate, 3000, 0.02)
    video = tone_runs(x, rate, 1000, 0.15)
    check(bool(marker), 'the marker is in the capture')
    if not marker:
        return
    after = [r for r in video if r[0] > marker[0][0]]
    check(bool(after), "the video's sound is in the capture")
    if after:
        d = after[0][0] - marker[0][0]
        check(d >= seconds, "the video's sound starts %.2f s after the key went down (%.1f s held)" % (d, seconds))


def check_tone(path, freq, seconds):
    rate, x = read_capture(path)
    runs = tone_runs(x, rate, freq, 0.15)
    longest = max((r[1] for r in runs), default=0)
    check(longest >= seconds, '%g Hz sounds for %.2f s (at least %g)' % (freq, longest, seconds))


def tone_levels(x, rate, freq):
    """The tone's amplitude (of full scale) in each channel: the median over
    the 10 ms windows where it dominates in both."""
    n = rate // 100
    m = len(x) // n
    if m == 0:
        return [0.0, 0.0]
    k = np.exp(-2j * np.pi * freq * np.arange(n) / rate)
    amplitude, active = [], np.ones(m, bool)
    for c in range(2):
        w = x[:m * n, c].reshape(m, n)
        a = np.abs(w @ k) * 2 / n
        rms = np.sqrt(np.mean(np.square(w), axis=1))
        active &= (rms > 30) & (a > 0.9 * rms * np.sqrt(2))
        amplitude.append(a)
    if not active.any():
        return [0.0, 0.0]
    return [float(np.median(a[active])) / 32768 for a in amplitude]


def check_level(path, freq, level):
    rate, x = read_capture(path)
    levels = tone_levels(x, rate, freq)
    check(all(abs(v / level - 1) <= 0.1 for v in levels),
          '%g Hz at %.4f and %.4f of full scale (left, right), want %g' % (freq, levels[0], levels[1], level))


def main(argv):
    if len(argv) >= 2 and argv[0] == 'make':
        make(argv[1])
        return 0
    if len(argv) >= 3 and argv[0] == 'wait':
        return wait(argv[1], float(argv[2]))
    if len(argv) >= 3 and argv[0] == 'effects':
        check_effects(argv[1], argv[2], argv[3:])
    elif len(argv) >= 2 and argv[0] == 'order':
        check_order(argv[1])
    elif len(argv) >= 2 and argv[0] == 'music':
        check_music(argv[1])
    elif len(argv) >= 3 and argv[0] == 'held':
        check_held(argv[1], float(argv[2]))
    elif len(argv) >= 4 and argv[0] == 'tone':
        check_tone(argv[1], float(argv[2]), float(argv[3]))
    elif len(argv) >= 4 and argv[0] == 'level':
        check_level(argv[1], float(argv[2]), float(argv[3]))
    else:
        print(__doc__)
        return 2
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
