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
#   bench/frame_rate/run.sh [SECONDS] [REPS]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-10}; reps=${2:-5}
"$here/scripts/build" linux windows-i386 >/dev/null
. "$here/scripts/xvfb-lib.sh"
BRINDLE_FORCE_XVFB=1 start_display 1920x1440
media=$here/build/linux/game/media
measure=$here/bench/frame_rate/measure.py
work=$(mktemp -d)
export WINEPREFIX=${BRINDLE_WINEPREFIX:-$here/build/wineprefix}
"$here/scripts/wine-run" cmd /c exit >/dev/null 2>&1  # the prefix exists
# A wineserver of our own, in the foreground, so its CPU time can be read.
wineserver -k 2>/dev/null || true
wineserver -f -p &
server=$!
cleanup() { wineserver -k 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"; stop_display; }
trap cleanup EXIT

for exe in "$here/build/linux/bench/frame_rate/glimmerball_1600" \
           "$here/build/windows-i386/bench/frame_rate/glimmerball_1600.exe"; do
  mkdir -p "$work/$(basename "$exe")"
  cp "$exe" "$media"/*.bmp "$work/$(basename "$exe")/"
done
floor() { "$measure" "$seconds" 3 -- "$here/build/linux/bench/frame_rate/plain_torus" 1600 1200 600 "$media"; }
linux() { (cd "$work/glimmerball_1600" && "$measure" "$seconds" 3 -- ./glimmerball_1600); }
windows() {
  (cd "$work/glimmerball_1600.exe" &&
   "$measure" "$seconds" 3 --wineserver "$server" -- "$here/scripts/wine-run" ./glimmerball_1600.exe)
}

declare -A fps cpu
programs=(floor linux windows)
for rep in $(seq "$reps"); do
  for i in 0 1 2; do
    p=${programs[$(( (rep + i) % 3 ))]}
    read -r f c < <("$p")
    fps[$p]+="$f "; cpu[$p]+="$c "
  done
done

median() { tr ' ' '\n' | grep . | sort -n | awk '{v[NR]=$1} END{print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
declare -A mf mc
for p in "${programs[@]}"; do
  mf[$p]=$(echo "${fps[$p]}" | median); mc[$p]=$(echo "${cpu[$p]}" | median)
  printf '%-8s median %6.1f fps %7.2f CPU ms/frame   fps [%s] ms [%s]\n' \
    "$p" "${mf[$p]}" "${mc[$p]}" "${fps[$p]% }" "${cpu[$p]% }"
done
for p in linux windows; do
  awk -v p="$p" -v f="${mf[$p]}" -v ff="${mf[floor]}" -v c="${mc[$p]}" -v cf="${mc[floor]}" \
    'BEGIN{printf "%s / floor: fps %.2f, CPU per frame %.2f (floor / %s %.2f)\n", p, f/ff, c/cf, p, cf/c}'
done
echo "(the goal: the game's fps at least the floor's; medians of $reps interleaved repetitions of ${seconds} s)"
