#!/usr/bin/python3
"""Glimmerball's clocks seen from outside, while it runs in window WINDOW:
how fast its torus turns and what its counter shows against the frame rate
that Mesa's heads-up display counts (GALLIUM_HUD=fps dumped once a second
into HUD_FILE).

  game_clock.py WINDOW HUD_FILE FONT.bmp COUNTER_SECONDS TURN_SECONDS

First the counter ("FPS: " at (100, 0)) is watched for COUNTER_SECONDS:
each new value it shows is paired with the frame rate the display counts
over the second in which it appeared (a busy machine's frame rate changes
from one second to the next: both are taken in the same second). Then the torus region is grabbed from the window (XGetImage, about 30 times a
second) for TURN_SECONDS, each grab stamped with the clock. The torus turns
about an axis tilted against its own, so its picture repeats exactly only
after a whole turn: the first later grab that matches the first one closely
marks one turn. (Reading the counter apart from the many grabs: those slow
the game's frames unevenly, and the counter, the average of the last few
frames when a second is full, then more often catches a long frame.)

Prints "turn SECONDS degrees_per_second RATE counter MEDIAN hud MEDIAN
ratio MEDIAN_OF_PAIRED_RATIOS pairs N grabs N shown MEDIAN counted MEDIAN
every SECONDS": the medians of the paired values and of their ratios, then
the median of every value the counter showed, of every second the display
counted, and of the time between two changes of the counter."""
import ctypes
import os
import sys
import time

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_image  # noqa: E402

TORUS = (200, 120, 240, 240)  # x, y, width, height in the window
COUNTER = (100 + 5 * 16, 0, 8)  # x, y and cells after "FPS: " (16 x 16 font cells)


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


class Grabber:
    def __init__(self, window):
        self.x = ctypes.cdll.LoadLibrary("libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XGetImage.restype = ctypes.POINTER(XImage)
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.display = self.x.XOpenDisplay(None)
        if not self.display:
            sys.exit("no display")
        self.window = window

    def grab(self, x, y, w, h):
        """RGB array h x w x 3 of the window's region (None if it failed)."""
        p = self.x.XGetImage(self.display, self.window, x, y, w, h, 0xFFFFFFFF, 2)  # ZPixmap
        if not p:
            return None
        img = p.contents
        try:
            if img.bits_per_pixel != 32:
                return None
            raw = ctypes.string_at(img.data, img.bytes_per_line * h)
            a = np.frombuffer(raw, np.uint8).reshape(h, img.bytes_per_line)[:, :w * 4]
            return a.reshape(h, w, 4)[:, :, 2::-1].copy()  # BGRX -> RGB
        finally:
            self.x.XFree(ctypes.c_void_p(img.data))
            self.x.XFree(p)


def read_counter(grabber, font):
    x, y, cells = COUNTER
    a = grabber.grab(x, y, cells * 16, 16)
    if a is None:
        return None
    try:
        return float(check_image.read(Image.fromarray(a), font, 0, 0, cells).split()[0])
    except (ValueError, IndexError):
        return None


def turn_time(stamps, grabs):
    """Seconds from the first grab to the later one that shows the same pose
    again: the best match of the first run of close matches after the
    picture has moved well away from the first pose. None if there is none.

    A grab is far when its distance from the first grab is at least half way
    from the best later match to the typical (median) distance, and close
    when within a fifth of that way. Requiring the picture to have gone far
    first keeps a game that stood still for a moment (a busy machine) from
    matching its own unchanged picture; taking the first run of close
    matches, not the best one overall, keeps a later whole turn (drawn at a
    slightly closer pose) from being taken for the first."""
    first = grabs[0].astype(np.int32)
    d = np.array([np.abs(g.astype(np.int32) - first).mean() for g in grabs])
    t = np.array(stamps) - stamps[0]
    if len(d) < 3:
        return None
    floor, typical = d[1:].min(), np.median(d[1:])
    if typical - floor < 1:
        return None  # the picture never changed
    far = d >= floor + 0.5 * (typical - floor)
    close = d <= floor + 0.2 * (typical - floor)
    gone = np.argmax(far)
    if not far[gone] or not close[gone:].any():
        return None
    i = gone + int(np.argmax(close[gone:]))
    j = i
    while j + 1 < len(d) and close[j + 1]:
        j += 1
    k = i + int(np.argmin(d[i:j + 1]))
    return t[k]


def main():
    window, hud, font = int(sys.argv[1], 0), sys.argv[2], sys.argv[3]
    counter_seconds, turn_seconds = float(sys.argv[4]), float(sys.argv[5])
    g = Grabber(window)

    def hud_samples():
        with open(hud) as f:
            return [float(v) for v in f.read().split()]
    # (time, value) of each new counter value and of each second counted.
    counters, seconds = [], []
    known = len(hud_samples())
    start = time.monotonic()
    while time.monotonic() - start < counter_seconds:
        c = read_counter(g, font)
        now = time.monotonic()
        if c is not None and c > 0 and (not counters or c != counters[-1][1]):
            counters.append((now, c))
        s = hud_samples()
        seconds += [(now, v) for v in s[known:]]
        known = len(s)
        time.sleep(0.1)
    # A value read at t appeared within the 0.1 s before; the second that
    # holds it is the first one dumped after t (the dump lags by up to the
    # polling step as well: the pairing is for seconds, not for frames).
    pairs = []
    for t, c in counters[1:]:  # the first may be older than the watch
        later = [v for (u, v) in seconds if u >= t]
        if later and later[0] > 0:
            pairs.append((c, later[0]))

    x, y, w, h = TORUS
    stamps, grabs = [], []
    start = time.monotonic()
    while time.monotonic() - start < turn_seconds:
        before = time.monotonic()
        a = g.grab(x, y, w, h)
        after = time.monotonic()
        if a is not None:
            stamps.append((before + after) / 2)
            grabs.append(a[::2, ::2].astype(np.int16).sum(axis=2))
        time.sleep(0.03)
    turn = turn_time(stamps, grabs)

    def median(values):
        return "%.3g" % np.median(values) if len(values) else "none"
    # How often the counter changes: it takes a new value each time the
    # frame times it adds up pass a second (a clock reaching back over two
    # frames filled it twice a second).
    changes = np.diff([t for t, _ in counters])
    shown = [c for _, c in counters[1:]]
    counted = [v for _, v in seconds if v > 0]
    print("turn %s degrees_per_second %s counter %s hud %s ratio %s pairs %d grabs %d "
          "shown %s counted %s every %s" % (
              "%.3f" % turn if turn else "none", "%.2f" % (360 / turn) if turn else "none",
              median([c for c, _ in pairs]), median([v for _, v in pairs]),
              median([c / v for c, v in pairs]), len(pairs), len(grabs),
              median(shown), median(counted), median(changes)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
