#!/usr/bin/env bash
# Frame rates of Glimmerball's scene at 1600 x 1200 under Mesa llvmpipe:
# the game on Linux, the game's .exe under Wine, and the plain OpenGL floor
# program on Linux. Each runs SECONDS (default 10) per repetition, REPS
# (default 5) times; prints the medians and the ratio game / floor.
#   bench/frame_rate/run.sh [SECONDS] [REPS]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-10}; reps=${2:-5}
"$here/scripts/build" linux windows-i386 >/dev/null
. "$here/scripts/xvfb-lib.sh"
BRINDLE_FORCE_XVFB=1 start_display 1920x1440
media=$here/build/linux/game/media
work=$(mktemp -d)
trap 'rm -rf "$work"; stop_display' EXIT

# run_game EXE [RUNNER]: the game from a directory holding it and its media;
# Mesa's invisible heads-up display records frames per second once a second.
run_game() {
  local dir=$work/game hud=$work/hud
  rm -rf "$dir" "$hud"; mkdir -p "$dir" "$hud"
  cp "$1" "$media"/*.bmp "$dir"/
  local exe=$dir/$(basename "$1")
  GALLIUM_HUD=fps GALLIUM_HUD_VISIBLE=false GALLIUM_HUD_DUMP_DIR=$hud \
    ${2:+"$2"} "$exe" >/dev/null 2>&1 &
  local pid=$!
  sleep "$((seconds + 3))"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  [ -n "${2:-}" ] && WINEPREFIX=${BRINDLE_WINEPREFIX:-$here/build/wineprefix} wineserver -k 2>/dev/null
  # Skip the first samples (start-up), average the next SECONDS.
  tail -n +4 "$hud/fps" | head -n "$seconds" | awk '{s+=$1; n++} END{if (n) printf "%.1f\n", s/n; else print 0}'
}

median() { sort -n | awk '{v[NR]=$1} END{print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }

linux=(); windows=(); plain=()
for _ in $(seq "$reps"); do
  plain+=("$("$here/build/linux/bench/frame_rate/plain_torus" 1600 1200 "$seconds" "$media")")
  linux+=("$(run_game "$here/build/linux/bench/frame_rate/glimmerball_1600")")
  windows+=("$(run_game "$here/build/windows-i386/bench/frame_rate/glimmerball_1600.exe" "$here/scripts/wine-run")")
done
p=$(printf '%s\n' "${plain[@]}" | median)
l=$(printf '%s\n' "${linux[@]}" | median)
w=$(printf '%s\n' "${windows[@]}" | median)
echo "plain OpenGL floor (linux): median $p fps  [${plain[*]}]"
echo "glimmerball linux:          median $l fps  [${linux[*]}]"
echo "glimmerball windows (wine): median $w fps  [${windows[*]}]"
awk -v l="$l" -v w="$w" -v p="$p" 'BEGIN{printf "ratio linux/floor %.2f, windows/floor %.2f (goal >= 0.9)\n", l/p, w/p}'
