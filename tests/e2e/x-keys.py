#!/usr/bin/python3
"""Presses keys by their X key codes through the XTest extension, as a user's
fingers would: each argument is a chord such as "50+16" (Shift, then the 7
key), pressed in order, held for a moment, released in reverse order. Unlike
xdotool, which types key symbols and adds or drops modifiers to reach them,
this presses exactly the physical keys named. Uses libX11 and libXtst
through ctypes (no development headers needed).

  usage: DISPLAY=:N x-keys.py CHORD...
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


def main():
    display = x11.XOpenDisplay(None)
    if not display:
        print("x-keys: cannot open the display", file=sys.stderr)
        return 1
    for chord in sys.argv[1:]:
        codes = [int(c) for c in chord.split("+")]
        for code in codes:
            key(display, code, True)
            time.sleep(0.1)
        time.sleep(0.3)
        for code in reversed(codes):
            key(display, code, False)
        time.sleep(0.1)
    x11.XCloseDisplay(display)
    return 0


if __name__ == "__main__":
    sys.exit(main())
