#!/usr/bin/python3
"""Screenshot checks for the end-to-end tests (Debian's python3 with PIL).
Each command exits 0 when the check holds and prints what it measured.

  background SHOT BACK.bmp            corners show the background picture
  torus SHOT BACK.bmp REFLECT.bmp     a centred object textured from REFLECT
  text SHOT FONT.bmp X Y TEXT         TEXT drawn at (X, Y) in the 16 x 8 grid font
  differ SHOT1 SHOT2 X Y W H          the region differs between two shots
  colour SHOT R,G,B MIN [MAX [X Y W H]]
                                      MIN ... MAX pixels within 16 of the colour
                                      (in the region, when one is given)
  read SHOT FONT.bmp X Y N            prints the N characters at (X, Y): in each
                                      cell the digit, '.', '-' or space with the
                                      most glyph pixels, all of them on the screen
"""
import sys

from PIL import Image


def load(path):
    """A file's picture, or a picture given as it is."""
    return path.convert("RGB") if isinstance(path, Image.Image) else Image.open(path).convert("RGB")


def close(a, b, tol):
    return abs(a[0] - b[0]) <= tol and abs(a[1] - b[1]) <= tol and abs(a[2] - b[2]) <= tol


def background(shot, back):
    s, b = load(shot), load(back).resize(load(shot).size)
    w, h = s.size
    boxes = [(0, 20, 100, 120), (w - 100, 20, w, 120), (0, h - 100, 100, h), (w - 100, h - 100, w, h)]
    total = good = 0
    for x0, y0, x1, y1 in boxes:
        for y in range(y0, y1):
            for x in range(x0, x1):
                total += 1
                good += close(s.getpixel((x, y)), b.getpixel((x, y)), 12)
    print(f"background: {good}/{total} corner pixels match")
    return good >= total * 0.97


def torus(shot, back, reflect):
    """The pixels that differ from the background form an object centred in
    the window (within 5 % of its size) whose colours come from the
    reflection image and not from the background picture."""
    s = load(shot)
    b = load(back).resize(s.size)
    def palette(img):
        return set((p[0] >> 4, p[1] >> 4, p[2] >> 4) for p in img.getdata())
    from_reflect, from_back = palette(load(reflect)), palette(b)
    w, h = s.size
    xs, ys, in_reflect, in_back = [], [], 0, 0
    for y in range(20, h):
        for x in range(w):
            p, q = s.getpixel((x, y)), b.getpixel((x, y))
            if abs(p[0] - q[0]) + abs(p[1] - q[1]) + abs(p[2] - q[2]) > 60:
                xs.append(x)
                ys.append(y)
                key = (p[0] >> 4, p[1] >> 4, p[2] >> 4)
                in_reflect += key in from_reflect
                in_back += key in from_back
    if len(xs) < 3000:
        print(f"torus: only {len(xs)} pixels differ from the background")
        return False
    cx, cy = (min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2
    r, k = in_reflect / len(xs), in_back / len(xs)
    print(f"torus: {len(xs)} pixels, box centre ({cx:.0f}, {cy:.0f}); colours of the "
          f"reflection image {r:.0%}, of the background {k:.0%}")
    return abs(cx - w / 2) <= w * 0.05 and abs(cy - h / 2) <= h * 0.05 and r >= 0.9 and k <= 0.3


def text(shot, font, x, y, string):
    s, f = load(shot), load(font)
    cell_w, cell_h = f.size[0] // 16, f.size[1] // 8
    total = good = 0
    for i, ch in enumerate(string):
        code = ord(ch) % 128
        fx, fy = (code % 16) * cell_w, (code // 16) * cell_h
        for dy in range(cell_h):
            for dx in range(cell_w):
                ink = f.getpixel((fx + dx, fy + dy))
                if ink == (0, 0, 0):
                    continue  # black is transparent in fonts
                total += 1
                good += close(s.getpixel((x + i * cell_w + dx, y + dy)), ink, 3)
    print(f"text '{string}': {good}/{total} glyph pixels as in the font")
    return total > 0 and good >= total * 0.98


def read(shot, font, x, y, n, charset="0123456789.- "):
    s, f = load(shot), load(font)
    cell_w, cell_h = f.size[0] // 16, f.size[1] // 8

    # A glyph whose pixels are all there may be part of a larger one ('0'
    # of '8'): the glyph with the most pixels that are all there wins (a
    # space has none), else the one with the most of its pixels there.
    def fit(ch, cx):
        code = ord(ch) % 128
        fx, fy = (code % 16) * cell_w, (code // 16) * cell_h
        total = good = 0
        for dy in range(cell_h):
            for dx in range(cell_w):
                ink = f.getpixel((fx + dx, fy + dy))
                if ink != (0, 0, 0):  # black is transparent in fonts
                    total += 1
                    good += close(s.getpixel((cx + dx, y + dy)), ink, 3)
        whole = good >= total * 0.97
        return (whole, total if whole else good / total)

    return "".join(max(charset, key=lambda ch: fit(ch, x + i * cell_w)) for i in range(n))


def differ(shot1, shot2, x, y, w, h):
    a, b = load(shot1), load(shot2)
    n = sum(not close(a.getpixel((i, j)), b.getpixel((i, j)), 8)
            for j in range(y, y + h) for i in range(x, x + w))
    print(f"differ: {n} pixels differ in ({x}, {y}, {w}, {h})")
    return n >= 20


def colour(shot, rgb, least, most=None, *region):
    want = tuple(int(c) for c in rgb.split(","))
    image = load(shot)
    if region:
        x, y, w, h = map(int, region)
        image = image.crop((x, y, x + w, y + h))
    n = sum(close(p, want, 16) for p in image.getdata())
    print(f"colour {rgb}: {n} pixels")
    return n >= int(least) and (most is None or n <= int(most))


def main():
    cmd, args = sys.argv[1], sys.argv[2:]
    if cmd == "background":
        ok = background(*args)
    elif cmd == "torus":
        ok = torus(*args)
    elif cmd == "text":
        ok = text(args[0], args[1], int(args[2]), int(args[3]), args[4])
    elif cmd == "differ":
        ok = differ(args[0], args[1], *map(int, args[2:6]))
    elif cmd == "colour":
        ok = colour(*args)
    elif cmd == "read":
        print(read(args[0], args[1], int(args[2]), int(args[3]), int(args[4])))
        ok = True
    else:
        sys.exit(f"unknown check {cmd}")
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
