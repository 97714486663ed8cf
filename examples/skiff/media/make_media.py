#!/usr/bin/env python3
"""Makes every picture, font and sound of Skiff from code: no outside assets.

Usage: make_media.py SMALFONT.bmp OUTPUT-DIRECTORY

SMALFONT.bmp is Brindle's default font (16 x 8 cells of 16 x 16); Skiff's two
fonts are recoloured and enlarged copies of it. Pictures are 24-bit BMPs whose
colour (255, 0, 128) is transparent; sounds are 16-bit mono PCM WAVs at
22050 Hz; the intro is an uncompressed AVI of bottom-up 24-bit frames."""
import math
import os
import struct
import sys

KEY = (255, 0, 128)  # transparent in sprites
RATE = 22050


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y = 0 at the top; rows are stored bottom-up."""
    with open(path, "wb") as f:
        f.write(bmp_bytes(width, height, pixel))


def bmp_rows(width, height, pixel):
    row_len = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray(row_len)
        for x in range(width):
            r, g, b = pixel(x, y)
            row[3 * x:3 * x + 3] = bytes((b, g, r))
        rows.append(bytes(row))
    return b"".join(rows)


def bmp_bytes(width, height, pixel):
    data = bmp_rows(width, height, pixel)
    return (struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0) +
            data)


def read_bmp(path):
    """A 24-bit bottom-up BMP as (width, height, rows of (r, g, b) from the top)."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        sys.exit(f"{path}: a 24-bit BMP is needed")
    row_len = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        base = offset + (height - 1 - y) * row_len
        rows.append([(data[base + 3 * x + 2], data[base + 3 * x + 1], data[base + 3 * x])
                     for x in range(width)])
    return width, height, rows


def clamp8(v):
    return 0 if v < 0 else 255 if v > 255 else int(v)


def mix(a, b, t):
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return tuple(clamp8(a[i] + (b[i] - a[i]) * t) for i in range(3))


def noise(x, y, seed=0):
    """A repeatable hash of a cell, 0 ... 1."""
    n = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return (n ^ (n >> 16)) / 0xFFFFFFFF


# Fonts ---------------------------------------------------------------------

def fonts(source, out):
    """skiffont.bmp: the default font's glyphs in warm gold (16 x 16 cells);
    bigfont.bmp: twice the size in sea blue (32 x 32 cells)."""
    w, h, rows = read_bmp(source)
    cell_h = h // 8

    def kind(x, y):
        p = rows[y][x]
        return 0 if p == (0, 0, 0) else 2 if max(p) <= 60 else 1

    def small(x, y):
        k = kind(x, y)
        if k == 0:
            return (0, 0, 0)
        if k == 2:
            return (48, 24, 8)
        return mix((255, 250, 210), (255, 160, 40), (y % cell_h) / (cell_h - 1))
    write_bmp(os.path.join(out, "skiffont.bmp"), w, h, small)

    def big(x, y):
        k = kind(x // 2, y // 2)
        if k == 0:
            return (0, 0, 0)
        if k == 2:
            return (8, 24, 48)
        return mix((235, 255, 255), (60, 170, 255), (y % (2 * cell_h)) / (2 * cell_h - 1))
    write_bmp(os.path.join(out, "bigfont.bmp"), 2 * w, 2 * h, big)
    return lambda x, y: small(x, y) if kind(x, y) else None


# Sprites -------------------------------------------------------------------

def inside(poly, x, y):
    """Even-odd rule for a point and a polygon [(x, y), ...]."""
    hit = False
    for i in range(len(poly)):
        (x1, y1), (x2, y2) = poly[i], poly[i - 1]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            hit = not hit
    return hit


def turned(poly, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return [(x * c - y * s, x * s + y * c) for x, y in poly]


def sprite(path, size, shade):
    """shade(x, y) with the sprite's centre at (0, 0) -> colour or None (clear);
    clear pixels take the key colour, and opaque pixels next to clear ones get
    a dark outline so the sprite reads on any ground."""
    half = size / 2
    grid = [[shade(x + 0.5 - half, y + 0.5 - half) for x in range(size)] for y in range(size)]

    def pixel(x, y):
        c = grid[y][x]
        if c is None:
            return KEY
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            xx, yy = x + dx, y + dy
            if not (0 <= xx < size and 0 <= yy < size) or grid[yy][xx] is None:
                return tuple(v // 4 for v in c)
        return c
    write_bmp(path, size, size, pixel)


HULL = [(11.5, 0), (7, -4.5), (0, -6), (-9, -5.5), (-10.5, 0), (-9, 5.5), (0, 6), (7, 4.5)]
DECK = [(8, 0), (4, -3), (-7, -3.5), (-8, 0), (-7, 3.5), (4, 3)]


def skiffs(out):
    """16 headings of each player's skiff (heading k points 22.5 k degrees
    clockwise from east on the screen): a hull, a lighter deck, a rower."""
    for name, hull, deck in (("a", (50, 120, 230), (200, 230, 255)),
                             ("b", (235, 120, 30), (255, 232, 180))):
        for k in range(16):
            h, d = turned(HULL, k * 22.5), turned(DECK, k * 22.5)
            rower = turned([(-1.5, 0)], k * 22.5)[0]

            def shade(x, y, h=h, d=d, rower=rower, hull=hull, deck=deck):
                if not inside(h, x, y):
                    return None
                if math.hypot(x - rower[0], y - rower[1]) < 2.6:
                    return (40, 40, 50)
                return deck if inside(d, x, y) else hull
            sprite(os.path.join(out, f"skiff_{name}{k:02d}.bmp"), 24, shade)


def creatures(out):
    """The snapper, two frames: a spiky body whose spikes turn and whose
    mouth opens, with two eyes."""
    for frame in range(2):
        def shade(x, y, frame=frame):
            r, a = math.hypot(x, y), math.degrees(math.atan2(y, x))
            spike = 8.0 + 3.2 * max(0.0, math.cos(math.radians((a + frame * 22.5) * 8)))
            if r > spike:
                return None
            if frame and -25 < a < 25 and r > 3:
                return None  # the open mouth
            for ex, ey in ((2.5, -3.5), (2.5, 3.5)):
                if math.hypot(x - ex, y - ey) < 1.8:
                    return (255, 255, 200)
            return mix((255, 90, 120), (120, 20, 80), r / 11)
        sprite(os.path.join(out, f"snapper{frame}.bmp"), 24, shade)


def small_things(out):
    def ball(core, rim):
        return lambda x, y: None if math.hypot(x, y) > 3.6 else mix(core, rim, math.hypot(x, y) / 3.6)
    sprite(os.path.join(out, "shot_a.bmp"), 8, ball((255, 255, 255), (80, 200, 255)))
    sprite(os.path.join(out, "shot_b.bmp"), 8, ball((255, 255, 255), (255, 200, 60)))

    def gem(x, y):
        d = abs(x) + abs(y) * 0.8
        if d > 7:
            return None
        return mix((200, 255, 230), (20, 170, 110), (d + x * 0.5) / 9)
    sprite(os.path.join(out, "gem.bmp"), 16, gem)

    def buoy(x, y):
        r = math.hypot(x, y)
        if r > 7.2 or r < 3:
            return None
        quarter = int((math.degrees(math.atan2(y, x)) + 360) // 45) % 2
        return (235, 40, 40) if quarter else (250, 250, 250)
    sprite(os.path.join(out, "buoy.bmp"), 16, buoy)

    def spark(x, y):
        r = math.hypot(x, y)
        if r > 15 or r < 9:
            return None
        glow = 1 - abs(r - 12) / 3
        return mix((80, 20, 0), (255, 220, 120), glow)
    write_bmp(os.path.join(out, "spark.bmp"), 32, 32,
              lambda x, y: spark(x + 0.5 - 16, y + 0.5 - 16) or KEY)


# Tiles and pictures --------------------------------------------------------

def water_colour(x, y, phase=0.0):
    wave = math.sin((x * 0.35 + y * 0.9 + phase) * 0.5) * 0.5 + 0.5
    base = mix((14, 70, 96), (22, 96, 120), wave * 0.6 + noise(x, y, 7) * 0.25)
    if (y * 3 + int(6 * math.sin(x * 0.2 + phase))) % 23 == 0:
        base = mix(base, (120, 200, 210), 0.5)
    return base


def tiles(out):
    write_bmp(os.path.join(out, "water.bmp"), 32, 32, lambda x, y: water_colour(x, y))

    def reeds(x, y):
        for i in range(7):
            rx = 3 + i * 4.3 + noise(i, 1, 3) * 2
            top = 4 + noise(i, 2, 3) * 10
            if abs(x - rx - (y - 32) * 0.12) < 1.0 and y > top:
                return mix((60, 140, 40), (150, 200, 70), (32 - y) / 28)
        return mix(water_colour(x, y), (40, 70, 30), 0.35)
    write_bmp(os.path.join(out, "reeds.bmp"), 32, 32, reeds)

    def rock(x, y):
        lump = noise(x // 4, y // 4, 11) * 0.5 + noise(x, y, 12) * 0.2
        c = mix((92, 84, 74), (150, 138, 118), lump)
        if x < 2 or y < 2:
            c = mix(c, (200, 190, 170), 0.5)
        if x > 29 or y > 29:
            c = mix(c, (30, 26, 24), 0.6)
        return c
    write_bmp(os.path.join(out, "rock.bmp"), 32, 32, rock)


def title_picture(x, y, w=640, h=480):
    """Dusk over the sea: a sky gradient, a low sun, an island, waves."""
    horizon = 300
    if y < horizon:
        t = y / horizon
        sky = mix((10, 20, 60), (90, 60, 120), t * 1.4) if t < 0.7 else \
            mix((90, 60, 120), (250, 150, 90), (t - 0.7) / 0.3)
        d = math.hypot(x - 470, y - 270)
        if d < 40:
            return mix((255, 240, 160), (255, 140, 80), (y - 230) / 80)
        sky = mix(sky, (255, 170, 110), max(0.0, 1 - d / 160) ** 2 * 0.7)
        island = horizon - 40 * max(0.0, 1 - ((x - 140) / 110) ** 2) - 8 * noise(x // 6, 0, 5)
        if y > island:
            return (30, 24, 40)
        if t < 0.6 and noise(x, y, 9) > 0.9985:
            return (230, 230, 255)
        return sky
    depth = (y - horizon) / (h - horizon)
    sea = mix((60, 50, 100), (8, 40, 70), depth)
    glint = abs(x - 470) < 60 * (1 - depth * 0.5) and math.sin(y * 1.7 + x * 0.05) > 0.6 - depth
    if glint:
        sea = mix(sea, (255, 190, 120), 0.6 * (1 - depth))
    if math.sin(y * (0.9 - depth * 0.5) + math.sin(x * 0.03) * 2) > 0.93:
        sea = mix(sea, (140, 150, 200), 0.4)
    return sea


# Sounds --------------------------------------------------------------------

def write_wav(path, samples):
    data = b"".join(struct.pack("<h", max(-32767, min(32767, int(s * 32767)))) for s in samples)
    with open(path, "wb") as f:
        f.write(struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(data), b"WAVE", b"fmt ", 16, 1, 1,
                            RATE, RATE * 2, 2, 16, b"data", len(data)))
        f.write(data)


def tone(freq_at, seconds, volume=0.5, wave="square", decay=4.0):
    out, phase = [], 0.0
    n = int(seconds * RATE)
    for i in range(n):
        t = i / RATE
        phase += freq_at(t) / RATE
        if wave == "square":
            v = 1.0 if phase % 1.0 < 0.5 else -1.0
        elif wave == "saw":
            v = 2 * (phase % 1.0) - 1
        else:
            v = math.sin(2 * math.pi * phase)
        attack = min(1.0, i / 60)
        out.append(v * volume * attack * math.exp(-decay * t))
    return out


def notes(sequence, step, volume=0.35, wave="square"):
    out = []
    for freq in sequence:
        out += tone(lambda t, f=freq: f, step, volume, wave, 6)
    return out


def noise_burst(seconds, volume=0.8):
    out, low, seed = [], 0.0, 12345
    for i in range(int(seconds * RATE)):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        t = i / RATE
        low += (seed / 0x3FFFFFFF - 1 - low) * (0.25 - 0.2 * t / seconds)
        out.append(low * volume * math.exp(-5 * t) * 2)
    return out


def sounds(out):
    write_wav(os.path.join(out, "shot.wav"), tone(lambda t: 1200 - 5000 * t, 0.12, 0.3, "square", 12))
    write_wav(os.path.join(out, "boom.wav"), noise_burst(0.6))
    write_wav(os.path.join(out, "gem.wav"), notes([1046, 1568], 0.07, 0.3, "sine"))
    write_wav(os.path.join(out, "life.wav"), notes([523, 659, 784, 1046], 0.08, 0.3, "square"))
    write_wav(os.path.join(out, "hurt.wav"), tone(lambda t: 420 - 600 * t, 0.55, 0.4, "saw", 3))
    write_wav(os.path.join(out, "click.wav"), tone(lambda t: 1500, 0.03, 0.25, "sine", 40))
    write_wav(os.path.join(out, "select.wav"), notes([660, 990], 0.06, 0.3, "square"))
    write_wav(os.path.join(out, "clear.wav"), notes([523, 659, 784, 659, 784, 1046], 0.1, 0.3, "square"))
    write_wav(os.path.join(out, "music.wav"), music())


def music():
    """Eight bars at 120 beats a minute (16 s), made to loop: a bass line and
    a lead over A minor, F, C and G."""
    beat = 0.5
    chords = [(220.0, 261.6, 329.6), (174.6, 220.0, 261.6), (130.8, 196.0, 261.6), (196.0, 246.9, 293.7)]
    total = int(16 * beat * 2 * RATE)
    mixbuf = [0.0] * total
    for bar in range(8):
        root, third, fifth = chords[bar % 4]
        for b in range(4):
            start = int(((bar * 4) + b) * beat * RATE)
            bass = root / 2 if b % 2 == 0 else root / 2 * 1.5
            for i, v in enumerate(tone(lambda t, f=bass: f, beat * 0.9, 0.22, "saw", 3)):
                mixbuf[start + i] += v
            for half in range(2):
                f = (third, fifth, third * 2, fifth)[(b + half * 2 + bar) % 4] * (2 if bar >= 4 else 1)
                s = start + int(half * beat / 2 * RATE)
                for i, v in enumerate(tone(lambda t, f=f: f * (1 + 0.004 * math.sin(t * 30)),
                                           beat / 2 * 0.8, 0.12, "square", 5)):
                    mixbuf[s + i] += v
    return mixbuf


# Intro video ---------------------------------------------------------------

def intro(out, glyph, width=160, height=120, frames=30, fps=12):
    """A 2.5 s uncompressed AVI: the skiff crosses the dusk sea and the name
    rises. Frames are bottom-up 24-bit DIBs ('00db' chunks)."""
    hull = turned(HULL, 0)

    def frame_pixel(n):
        boat_x = -20 + (width + 40) * n / (frames - 1)
        rise = max(0, 30 - n) * 2

        def pixel(x, y):
            sx, sy = x * 4, y * 4
            c = title_picture(sx, sy)
            bx, by = (x - boat_x) / 1.5, (y - 86) / 1.5
            if inside(hull, bx, by):
                return (200, 230, 255) if abs(by) < 3 else (50, 120, 230)
            tx, ty = x - 40, y - 24 - rise
            if 0 <= tx < 80 and 0 <= ty < 16:
                code = ord("SKIFF"[tx // 16])
                ink = glyph((code % 16) * 16 + tx % 16, (code // 16) * 16 + ty)
                if ink:
                    return ink
            return c
        return pixel

    chunks = []
    for n in range(frames):
        data = bmp_rows(width, height, frame_pixel(n))
        chunks.append(data)
    frame_size = len(chunks[0])
    movi = b"".join(b"00db" + struct.pack("<I", len(c)) + c for c in chunks)
    index = b"".join(b"00db" + struct.pack("<III", 0x10, 4 + i * (8 + frame_size), frame_size)
                     for i in range(frames))

    def chunk(tag, body):
        return tag + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")

    def lst(tag, body):
        return b"LIST" + struct.pack("<I", len(body) + 4) + tag + body

    avih = struct.pack("<IIIIIIIIIIIIII", 1000000 // fps, frame_size * fps, 0, 0x10, frames, 0, 1,
                       frame_size, width, height, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, 1, fps, 0, frames,
                       frame_size, 0xFFFFFFFF, 0, 0, 0, width, height)
    strf = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, frame_size, 0, 0, 0, 0)
    hdrl = lst(b"hdrl", chunk(b"avih", avih) + lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    body = b"AVI " + hdrl + lst(b"movi", movi) + chunk(b"idx1", index)
    with open(os.path.join(out, "intro.avi"), "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_media.py SMALFONT.bmp OUTPUT-DIRECTORY")
    source, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    glyph = fonts(source, out)
    skiffs(out)
    creatures(out)
    small_things(out)
    tiles(out)
    write_bmp(os.path.join(out, "title.bmp"), 640, 480, title_picture)
    sounds(out)
    intro(out, glyph)


if __name__ == "__main__":
    main()
