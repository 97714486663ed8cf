#!/usr/bin/python3
"""Presses keys by their X key codes through the XTest extension, as a user's
fingers would: each argument is a chord such as "50+16" (Shift, then the 7
key), pressed in order, held for a moment, released in reverse order. Unlike
xdotool, which types key symbols and adds or drops modifiers to reach them,
this presses exactly the physical keys named. Uses libX11 and libXtst
through ctypes (no development headers needed).

With --frames FILE each hold lasts a few of the program's frames (FILE's
last line is the number of frames it has presented) rather than a fixed time.

  usage: DISPLAY=:N x-keys.py [--frames FILE] CHORD...
"""
import ctypes
import sys
import time

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]


def key(display, code, down):
    xtst.XTestFakeKeyEvent(display, code, 1 if down else 0, 0)
    x11.XFlush(display)


def frames(path):
    try:
        with open(path, "rb") as f:
            lines = f.read().split()
        return int(lines[-1]) if lines else 0
    except (OSError, ValueError):
        return 0


def hold(path, count):
    """At least a tenth of a second, and count frames when path is given."""
    time.sleep(0.1)
    if not path:
        time.sleep(0.1 * count)
        return
    start, deadline = frames(path), time.monotonic() + 30
    while frames(path) < start + count:
        if time.monotonic() > deadline:
            raise SystemExit("x-keys: the program presented no frames for 30 s")
        time.sleep(0.05)


def main():
    args = sys.argv[1:]
    path = None
    if args[:1] == ["--frames"]:
        path, args = args[1], args[2:]
    display = x11.XOpenDisplay(None)
    if not display:
        print("x-keys: cannot open the display", file=sys.stderr)
        return 1
    for chord in args:
        codes = [int(c) for c in chord.split("+")]
        for code in codes:
            key(display, code, True)
            hold(path, 2)
        hold(path, 3)
        for code in reversed(codes):
            key(display, code, False)
        hold(path, 3)
    x11.XCloseDisplay(display)
    return 0


if __name__ == "__main__":
    sys.exit(main())
