#!/usr/bin/env python3
"""Makes Glimmerball's media: back.bmp (the background picture), reflect.bmp
(the environment seen on the torus) and smalfont.bmp (a 16 x 8 glyph grid,
white glyphs on black). Usage: generate_media.py OUTPUT-DIRECTORY"""
import math
import os
import struct
import sys


def write_bmp24(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b) with y = 0 at the top; rows are stored bottom-up."""
    row_len = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray(row_len)
        for x in range(width):
            r, g, b = pixel(x, y)
            row[3 * x:3 * x + 3] = bytes((b, g, r))
        rows.append(bytes(row))
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 54 + row_len * height, 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, 0, 2835, 2835, 0, 0))
        f.write(b"".join(rows))


def clamp8(v):
    return 0 if v < 0 else 255 if v > 255 else int(v)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def background(x, y, w=640, h=480):
    """Dusk over a glowing grid plain: sky gradient, a banded sun, stars."""
    horizon = int(h * 0.62)
    if y < horizon:
        t = y / horizon
        sky = mix((12, 8, 40), (70, 20, 90), t / 0.6) if t < 0.6 else \
            mix((70, 20, 90), (250, 110, 70), (t - 0.6) / 0.4)
        cx, cy, radius = w * 0.5, horizon - 20, 95.0
        d = math.hypot(x - cx, y - cy)
        if d < radius and not (y > cy - 40 and int(y - (cy - 40)) % 14 < 4 + (y - cy + 40) // 12):
            sun = mix((255, 230, 90), (255, 80, 120), max(0.0, (y - (cy - radius)) / (2 * radius)))
            return tuple(clamp8(c) for c in sun)
        glow = max(0.0, 1.0 - d / (radius * 2.4)) ** 2
        sky = mix(sky, (255, 140, 110), glow * 0.6)
        if t < 0.55 and (x * 7919 + y * 104729) % 997 == 0:
            sky = (230, 230, 255)
        return tuple(clamp8(c) for c in sky)
    depth = (y - horizon + 1) / (h - horizon)  # 0 at the horizon, 1 at the bottom
    ground = mix((40, 10, 60), (10, 4, 24), depth)
    z = 1.0 / depth  # perspective: lines crowd towards the horizon
    row_line = abs((z * 4.0) % 1.0 - 0.5) > 0.5 - 0.06 * depth * 3
    xw = (x - w / 2) / (w / 2) * z
    col_line = abs((xw * 3.0) % 1.0 - 0.5) > 0.5 - 0.03 * depth * 3 / max(z, 1)
    if row_line or col_line:
        # Lines fade into the haze so they do not shimmer at the horizon.
        line = mix((255, 60, 200), (120, 240, 255), depth)
        ground = mix(ground, line, min(1.0, depth * 5))
    haze = max(0.0, 1.0 - depth * 6)
    ground = mix(ground, (250, 110, 70), haze * 0.5)
    return tuple(clamp8(c) for c in ground)


def environment(direction):
    """A studio for polished metal: bright sky warming to the horizon, softbox
    lights, and a grey floor that darkens away from the horizon."""
    x, y, z = direction
    if y >= 0:
        col = mix((255, 236, 220), (60, 90, 170), min(1.0, y * 1.4))
        col = mix(col, (255, 170, 120), max(0.0, 1 - y * 6) * 0.6)
        for lx, ly, lz, size in ((0.5, 0.6, 0.62, 0.22), (-0.7, 0.35, 0.6, 0.16)):
            if abs(x - lx) < size and abs(y - ly) < size * 0.6 and z * lz > 0:
                col = (255, 255, 255)
        return col
    stripes = 0.5 + 0.5 * math.cos(math.atan2(x, z) * 8)
    floor = mix((170, 165, 175), (45, 40, 55), min(1.0, -y * 2.2))
    return mix(floor, (200, 120, 190), stripes * 0.2)


def reflection(px, py, size=256):
    u = (px + 0.5) / size * 2 - 1
    v = 1 - (py + 0.5) / size * 2
    r2 = u * u + v * v
    if r2 > 1:
        u, v, r2 = u / math.sqrt(r2), v / math.sqrt(r2), 1.0
    nz = math.sqrt(1 - r2)
    # Reflection of the view direction about the normal (u, v, nz).
    direction = (2 * nz * u, 2 * nz * v, 2 * nz * nz - 1)
    return tuple(clamp8(c) for c in environment(direction))


# 5 x 7 glyphs for the codes 32 to 126: seven rows, 5 bits each, left bit high.
GLYPHS = """
00000000000000 04040404040004 0A0A0000000000 0A0A1F0A1F0A0A 040F140E051E04 18190204081303
0814140815120D 04040000000000 02040808080402 08040202020408 0004150E150400 0004041F040400
00000000060408 0000001F000000 00000000000C0C 00010204081000 0E111315191 10E 040C040404040E
0E11010204081F 1F020402011 10E 02060A121F0202 1F101E0101110E 0608101E11110E 1F010204080808
0E11110E11110E 0E11110F01020C 000C0C000C0C00 000C0C000C0408 02040810080402 00001F001F0000
08040201020408 0E110102040004 0E11010D15150E 0E1111111F1111 1E11111E11111E 0E111010101 10E
1C121111111 21C 1F10101E10101F 1F10101E101010 0E1110171111 0F 1111111F111111 0E04040404040E
07020202021 20C 11121418141211 1010101010101F 111B1515111111 11111915131111 0E111111111 10E
1E11111E101010 0E111111151 20D 1E11111E141211 0F10100E01011E 1F040404040404 1111111111110E
11111111110A04 1111111515150A 11110A040A1111 1111110A040404 1F01020408101F 0E08080808080E
00100804020100 0E02020202020E 040A1100000000 0000000000001F 08040000000000 00000E010F110F
101016191111 1E 00000E1010110E 01010D1311110F 00000E111F100E 0609081C080808 000F11110F010E
10101619111111 04000C0404040E 02000602021 20C 10101214181412 0C04040404040E 00001A15151111
00001619111111 00000E1111110E 00001E111E1010 00000D130F0101 00001619101010 00000E100E011E
08081C08080906 0000111111130D 0000111111 0A04 0000111115150A 0000110A040A11 000011110F010E
00001F0204081F 02040408040402 04040404040404 08040402040408 00000815020000
"""


def glyph_rows(code):
    words = "".join(GLYPHS.split()).strip()
    i = code - 32
    text = words[i * 14:(i + 1) * 14]
    return [int(text[2 * r:2 * r + 2], 16) for r in range(7)]


def font_image():
    """256 x 128: 16 x 8 cells of 16 x 16; glyphs doubled to 10 x 14 at (3, 1),
    shaded top to bottom, with a dark outline so text reads on bright ground."""
    w, h = 256, 128
    ink = [[0] * w for _ in range(h)]
    for code in range(32, 127):
        cx, cy = (code % 16) * 16 + 3, (code // 16) * 16 + 1
        for r, bits in enumerate(glyph_rows(code)):
            for c in range(5):
                if bits & (0x10 >> c):
                    for dy in range(2):
                        for dx in range(2):
                            ink[cy + 2 * r + dy][cx + 2 * c + dx] = 1 + r
    def pixel(x, y):
        if ink[y][x]:
            v = 255 - (ink[y][x] - 1) * 9
            return (v, v, min(255, v + 8))
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                yy, xx = y + dy, x + dx
                if 0 <= yy < h and 0 <= xx < w and ink[yy][xx]:
                    return (36, 30, 48)
        return (0, 0, 0)
    return w, h, pixel


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    write_bmp24(os.path.join(out, "back.bmp"), 640, 480, background)
    write_bmp24(os.path.join(out, "reflect.bmp"), 256, 256, reflection)
    w, h, pixel = font_image()
    write_bmp24(os.path.join(out, "smalfont.bmp"), w, h, pixel)


if __name__ == "__main__":
    main()
