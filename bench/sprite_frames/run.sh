#!/usr/bin/env bash
# 5000 sprites of 32 x 32 per 640 x 480 frame under Mesa llvmpipe, on both
# targets: the game program drawing them with DrawSprite (sprite_game.cpp)
# against the plain floor drawing the same quads without the runtime
# (plain_sprites.h: SDL2 + OpenGL on Linux, Win32 + WGL as a .exe under
# Wine). Each of the four programs is measured the same way as the frame-rate
# run (bench/frame_rate/measure.py: frames per second from Mesa's heads-up
# display, CPU milliseconds per frame over the same seconds, Wine's including
# its wineserver), SECONDS (default 8) after 3 s of warm-up, REPS (default 5)
# times, the order rotating from one repetition to the next. Prints medians
# and each target's ratio DrawSprite / floor by both measures.
#   bench/sprite_frames/run.sh [SECONDS] [REPS]
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
native() { (cd "$WORK/linux-$1" && "$measure" "$seconds" 3 -- "./$1" "${@:2}"); }
under_wine() {
  (cd "$WORK/windows-i386-$1.exe" &&
   "$measure" "$seconds" 3 --wineserver "$SERVER" -- "$here/scripts/wine-run" "./$1.exe" "${@:2}")
}
linux_floor() { native plain_sprites; }
linux_game() { native sprite_game; }
wine_floor() { under_wine plain_sprites; }
wine_game() { under_wine sprite_game; }
# Diagnosis: the floor with each quad a primitive of its own, as DrawSprite.
linux_per_quad() { native plain_sprites per-quad; }
wine_per_quad() { under_wine plain_sprites per-quad; }

# SPRITE_PROGRAMS chooses (and orders) the programs, e.g. with the per-quad
# floors; the default is the four above.
read -r -a programs <<<"${SPRITE_PROGRAMS:-linux_floor linux_game wine_floor wine_game}"
run_interleaved "$reps" "${programs[@]}"
print_medians 12 "${programs[@]}"
for t in linux wine; do
  [ -n "${MF[${t}_game]:-}" ] && [ -n "${MF[${t}_floor]:-}" ] || continue
  awk -v t="$t" -v f="${MF[${t}_game]}" -v ff="${MF[${t}_floor]}" \
      -v c="${MC[${t}_game]}" -v cf="${MC[${t}_floor]}" \
    'BEGIN{printf "%-5s DrawSprite / floor: fps %.2f, CPU per frame floor / DrawSprite %.2f\n", t, f/ff, cf/c}'
done
for t in linux wine; do
  [ -n "${MF[${t}_per_quad]:-}" ] && [ -n "${MF[${t}_floor]:-}" ] || continue
  awk -v t="$t" -v f="${MF[${t}_per_quad]}" -v ff="${MF[${t}_floor]}" \
      -v c="${MC[${t}_per_quad]}" -v cf="${MC[${t}_floor]}" \
    'BEGIN{printf "%-5s per-quad floor / floor: fps %.2f, CPU per frame %+.2f ms\n", t, f/ff, c-cf}'
done
if [ -n "${MF[wine_game]:-}" ] && [ -n "${MF[linux_game]:-}" ] && [ -n "${MF[wine_floor]:-}" ] &&
   [ -n "${MF[linux_floor]:-}" ]; then
  awk -v g="${MF[wine_game]}" -v l="${MF[linux_game]}" -v wf="${MF[wine_floor]}" -v lf="${MF[linux_floor]}" \
    'BEGIN{printf "Wine / Linux fps: DrawSprite %.2f, floor %.2f\n", g/l, wf/lf}'
fi
echo "(goal: DrawSprite at least 0.95 x the floor's fps; medians of $reps interleaved repetitions of ${seconds} s)"
