#!/usr/bin/env bash
# Sprites of 32 x 32 per 640 x 480 frame under Mesa llvmpipe (5000, or
# SPRITES), on both targets: the game program drawing them with DrawSprite
# (sprite_game.cpp) against the plain floors drawing the same quads without
# the runtime (plain_sprites.h: SDL2 + OpenGL on Linux, Win32 + WGL as a
# .exe under Wine): "floor" sends every quad in one glBegin/glEnd, "array"
# in one vertex array per frame. Each program is measured the same way as
# the frame-rate run (bench/frame_rate/measure.py: frames per second from
# Mesa's heads-up display, CPU milliseconds per frame over the same seconds,
# Wine's including its wineserver), SECONDS (default 8) after 3 s of
# warm-up, REPS (default 5) times, the order rotating from one repetition to
# the next. Prints medians and each target's ratios DrawSprite / floor by
# both measures, against each floor and the faster of the two.
#   [SPRITES=N] [SPRITE_PROGRAMS="..."] bench/sprite_frames/run.sh [SECONDS] [REPS]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-8}; reps=${2:-5}
"$here/scripts/build" linux windows-i386 >/dev/null
. "$here/scripts/xvfb-lib.sh"
BRINDLE_FORCE_XVFB=1 start_display 1024x768
measure=$here/bench/frame_rate/measure.py
. "$here/bench/frame_lib.sh"
own_wineserver

# Each program in a folder of its own (the game writes its image beside itself).
for exe in linux/bench/sprite_frames/sprite_game linux/bench/sprite_frames/plain_sprites \
           windows-i386/bench/sprite_frames/sprite_game.exe \
           windows-i386/bench/sprite_frames/plain_sprites.exe; do
  dir="$WORK/${exe%%/*}-$(basename "$exe")"
  mkdir -p "$dir"
  cp "$here/build/$exe" "$dir/"
done
sprites=${SPRITES:-5000}
native() { (cd "$WORK/linux-$1" && "$measure" "$seconds" 3 -- "./$1" "${@:2}" "$sprites"); }
under_wine() {
  (cd "$WORK/windows-i386-$1.exe" &&
   "$measure" "$seconds" 3 --wineserver "$SERVER" -- "$here/scripts/wine-run" "./$1.exe" "${@:2}" "$sprites")
}
linux_floor() { native plain_sprites; }
linux_array() { native plain_sprites array; }
linux_game() { native sprite_game; }
wine_floor() { under_wine plain_sprites; }
wine_array() { under_wine plain_sprites array; }
wine_game() { under_wine sprite_game; }
# Diagnosis: the floor with each quad a primitive of its own, as DrawSprite.
linux_per_quad() { native plain_sprites per-quad; }
wine_per_quad() { under_wine plain_sprites per-quad; }

# SPRITE_PROGRAMS chooses (and orders) the programs, e.g. with the per-quad
# floors; the default is the six above.
read -r -a programs <<<"${SPRITE_PROGRAMS:-linux_floor linux_array linux_game wine_floor wine_array wine_game}"
run_interleaved "$reps" "${programs[@]}"
print_medians 13 "${programs[@]}"
has() { [ -n "${MF[$1]:-}" ]; }
for t in linux wine; do
  for f in floor array per_quad; do
    if has "${t}_game" && has "${t}_$f"; then ratio "${t}_game" "${t}_$f"; fi
  done
  if has "${t}_array" && has "${t}_floor"; then ratio "${t}_array" "${t}_floor"; fi
  if has "${t}_per_quad" && has "${t}_floor"; then ratio "${t}_per_quad" "${t}_floor"; fi
  if has "${t}_game" && has "${t}_floor" && has "${t}_array"; then
    awk -v t="$t" -v g="${MF[${t}_game]}" -v a="${MF[${t}_floor]}" -v b="${MF[${t}_array]}" \
      'BEGIN{best = a > b ? a : b; printf "%-5s DrawSprite / the faster floor (%s): fps %.2f\n", t, (a > b ? "floor" : "array"), g/best}'
  fi
done
if has wine_game && has linux_game; then
  awk -v g="${MF[wine_game]}" -v l="${MF[linux_game]}" 'BEGIN{printf "Wine / Linux fps, DrawSprite: %.2f\n", g/l}'
fi
echo "($sprites sprites; medians of $reps interleaved repetitions of ${seconds} s; the paired ratios compare runs of the same repetition)"
