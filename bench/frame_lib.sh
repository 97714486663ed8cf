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
#   ratio A B               prints A's fps and CPU per frame against B's

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

# ratio A B: A's fps and CPU per frame against B's, as the ratio of the
# medians and as the median of the ratios within each repetition (the two
# ran minutes apart at most, so a change in the machine's load between
# repetitions cancels), with the lowest and highest of those ratios.
ratio() {
  awk -v a="$1" -v b="$2" -v f="${MF[$1]}" -v fb="${MF[$2]}" -v c="${MC[$1]}" -v cb="${MC[$2]}" \
    -v fa="${FPS[$1]}" -v fbs="${FPS[$2]}" -v ca="${CPU[$1]}" -v cbs="${CPU[$2]}" '
    function med(s,   v, n, i, j, t) {
      n = split(s, v, " ")
      for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j] < v[j-1]; j--) { t = v[j]; v[j] = v[j-1]; v[j-1] = t }
      return n % 2 ? v[(n+1)/2] : (v[n/2] + v[n/2+1]) / 2
    }
    function ratios(x, y,   u, w, n, i, out) {
      n = split(x, u, " "); split(y, w, " "); out = ""
      for (i = 1; i <= n; i++) if (w[i] > 0) out = out " " u[i] / w[i]
      return out
    }
    function lo(s,   v, n, i, m) { n = split(s, v, " "); m = v[1]; for (i = 2; i <= n; i++) if (v[i] < m) m = v[i]; return m }
    function hi(s,   v, n, i, m) { n = split(s, v, " "); m = v[1]; for (i = 2; i <= n; i++) if (v[i] > m) m = v[i]; return m }
    BEGIN{
      rf = ratios(fa, fbs); rc = ratios(ca, cbs)
      printf "%s / %s: fps %.2f, CPU per frame %.2f (%s / %s %.2f); paired by repetition: fps %.2f (%.2f-%.2f), CPU per frame %.2f (%.2f-%.2f)\n",
          a, b, f/fb, c/cb, b, a, cb/c, med(rf), lo(rf), hi(rf), med(rc), lo(rc), hi(rc)}'
}
