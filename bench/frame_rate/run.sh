#!/usr/bin/env bash
# Glimmerball's scene at 1600 x 1200 under Mesa llvmpipe, three programs in
# one interleaved run: the plain SDL2 + OpenGL floor (bench/frame_rate/
# plain_torus.cpp: only what the picture needs), the game on Linux and the
# game's .exe under Wine. Each is measured the same way (measure.py: frames
# per second from Mesa's heads-up display, CPU milliseconds per frame from
# /proc over the same seconds, Wine's including its wineserver), SECONDS
# (default 10) after 3 s of warm-up, REPS (default 5) times, the order
# rotating from one repetition to the next. Prints medians and the ratios
# to the floor by both measures.
#   bench/frame_rate/run.sh [SECONDS] [REPS] [BEFORE-DIR]
# BEFORE-DIR, when given, holds glimmerball_1600 and glimmerball_1600.exe
# built from an earlier commit: they join the rotation ("linux_before",
# "windows_before") and each build is compared with its earlier self.
# NO_BUILD=1 measures the binaries as they are.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-10}; reps=${2:-5}; before=${3:-}
[ "${NO_BUILD:-0}" = 1 ] || "$here/scripts/build" linux windows-i386 >/dev/null
. "$here/scripts/xvfb-lib.sh"
BRINDLE_FORCE_XVFB=1 start_display 1920x1440
media=$here/build/linux/game/media
measure=$here/bench/frame_rate/measure.py
. "$here/bench/frame_lib.sh"
own_wineserver

# Each game in a directory of its own with the media beside it.
place() { mkdir -p "$WORK/$1"; cp "$2" "$media"/*.bmp "$WORK/$1/"; }
place linux "$here/build/linux/bench/frame_rate/glimmerball_1600"
place windows "$here/build/windows-i386/bench/frame_rate/glimmerball_1600.exe"
programs=(floor linux windows)
if [ -n "$before" ]; then
  place linux_before "$before/glimmerball_1600"
  place windows_before "$before/glimmerball_1600.exe"
  programs+=(linux_before windows_before)
fi
floor() { "$measure" "$seconds" 3 -- "$here/build/linux/bench/frame_rate/plain_torus" 1600 1200 600 "$media"; }
game() { (cd "$WORK/$1" && "$measure" "$seconds" 3 -- ./glimmerball_1600); }
exe() {
  (cd "$WORK/$1" &&
   "$measure" "$seconds" 3 --wineserver "$SERVER" -- "$here/scripts/wine-run" ./glimmerball_1600.exe)
}
linux() { game linux; }
windows() { exe windows; }
linux_before() { game linux_before; }
windows_before() { exe windows_before; }

run_interleaved "$reps" "${programs[@]}"
print_medians 15 "${programs[@]}"
for p in "${programs[@]:1}"; do ratio "$p" floor; done
if [ -n "$before" ]; then ratio linux linux_before; ratio windows windows_before; fi
echo "(the goal: the game's fps at least the floor's; medians of $reps interleaved repetitions of ${seconds} s)"
