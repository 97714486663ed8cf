# Shared by the frame-measuring runs (bench/frame_rate/run.sh,
# bench/sprite_frames/run.sh); sourced after scripts/xvfb-lib.sh once the
# display is up and `here` is set.
#   own_wineserver          a wineserver of our own in the foreground (its CPU
#                           time can be read: SERVER is its pid) and a work
#                           directory WORK; both go, with the display, at exit
#   run_interleaved REPS P...  runs each program function REPS times, the order
#                           rotating from one repetition to the next; each prints
#                           "FPS CPU-MS"; fills FPS[p] and CPU[p] (space-separated)
#   print_medians WIDTH P...   fills MF[p], MC[p] (medians) and prints them

own_wineserver() {
  WORK=$(mktemp -d)
  export WINEPREFIX=${BRINDLE_WINEPREFIX:-$here/build/wineprefix}
  "$here/scripts/wine-run" cmd /c exit >/dev/null 2>&1  # the prefix exists
  wineserver -k 2>/dev/null || true
  wineserver -f -p &
  SERVER=$!
  trap 'wineserver -k 2>/dev/null; wait "$SERVER" 2>/dev/null; rm -rf "$WORK"; stop_display' EXIT
}

declare -A FPS CPU MF MC
run_interleaved() {
  local reps=$1 rep i p f c
  shift
  local programs=("$@") n=$#
  for rep in $(seq "$reps"); do
    for i in $(seq 0 $((n - 1))); do
      p=${programs[$(( (rep + i) % n ))]}
      read -r f c < <("$p")
      FPS[$p]+="$f "; CPU[$p]+="$c "
    done
  done
}

median() { tr ' ' '\n' | grep . | sort -n | awk '{v[NR]=$1} END{print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
print_medians() {
  local width=$1 p
  shift
  for p in "$@"; do
    MF[$p]=$(echo "${FPS[$p]}" | median); MC[$p]=$(echo "${CPU[$p]}" | median)
    printf "%-${width}s median %6.1f fps %7.2f CPU ms/frame   fps [%s] ms [%s]\n" \
      "$p" "${MF[$p]}" "${MC[$p]}" "${FPS[$p]% }" "${CPU[$p]% }"
  done
}
