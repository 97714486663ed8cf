#!/usr/bin/env python3
"""Makes the examples' media (pictures and sounds) from scratch:
  make_media.py OUTPUT-DIR
BMP pictures are 24-bit; the colour (255, 0, 128) is transparent in sprites.
WAV sounds are 16-bit mono PCM at 22050 Hz. Only the standard library."""
import math
import pathlib
import struct
import sys

KEY = (255, 0, 128)  # the sprite key colour 0x8000FF as red, green, blue


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y from the top."""
    row_size = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):  # BMP rows go bottom up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + b"\0" * (row_size - len(row)))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    path.write_bytes(head + info + data)


def write_wav(path, seconds, sample):
    """sample(t) -> -1 ... 1 at time t in seconds."""
    rate = 22050
    n = int(seconds * rate)
    frames = b"".join(struct.pack("<h", int(max(-1, min(1, sample(i / rate))) * 30000)) for i in range(n))
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(frames)) + frames
    path.write_bytes(b"RIFF" + struct.pack("<I", len(body)) + body)


def ball(x, y):
    """A shaded orange ball, lit from the top left, on the key colour."""
    dx, dy = (x - 15.5) / 15.5, (y - 15.5) / 15.5
    if dx * dx + dy * dy > 1:
        return KEY
    z = math.sqrt(1 - dx * dx - dy * dy)
    light = max(0.0, (-dx - dy + z) / math.sqrt(3))
    return (int(90 + 165 * light), int(40 + 110 * light), int(10 + 30 * light))


def sky(x, y):
    """Day: a blue gradient with green hills."""
    if y > 360 + 30 * math.sin(x / 60):
        return (40, 140 - y // 8, 40)
    return (60 + y // 4, 120 + y // 4, 230)


def dusk(x, y):
    """Dusk: an orange-to-purple gradient with a low sun."""
    if (x - 320) ** 2 + (y - 330) ** 2 < 60 ** 2:
        return (255, 220, 120)
    if y > 380:
        return (30, 20, 40)
    return (230 - y // 3, 100 - y // 6, 60 + y // 6)


TUNE = (523.25, 587.33, 698.46, 783.99)  # C, D, F, G: half a second each


def tune(t):
    """A looping tune of four notes, each fading in and out so that the loop
    and the note changes do not click."""
    note = min(int(t / 0.5), len(TUNE) - 1)
    u = t - note * 0.5
    envelope = min(1.0, u / 0.02, (0.5 - u) / 0.02)
    return 0.5 * envelope * math.sin(2 * math.pi * TUNE[note] * u)


def main():
    out = pathlib.Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write_bmp(out / "ball.bmp", 32, 32, ball)
    write_bmp(out / "sky.bmp", 640, 480, sky)
    write_bmp(out / "dusk.bmp", 640, 480, dusk)
    write_wav(out / "beep.wav", 0.15, lambda t: 0.6 * math.sin(2 * math.pi * 880 * t) * (1 - t / 0.15))
    write_wav(out / "chime.wav", 0.6, lambda t: 0.4 * math.exp(-5 * t) * (
        math.sin(2 * math.pi * 660 * t) + math.sin(2 * math.pi * 990 * t)))
    write_wav(out / "tune.wav", 2.0, tune)


if __name__ == "__main__":
    main()
