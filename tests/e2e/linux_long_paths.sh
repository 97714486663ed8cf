# Linux paths are not limited to 260 characters: a game in a directory whose
# path is longer runs there and finds the media appended to it, and a long
# TMPDIR holds the error log and the extracted media inside it.
. "$(dirname "$0")/lib.sh"

exe=$(program media_probe)
tool=$BRINDLE_BUILD/tools/brindle-pack
[ -f "$exe" ] && [ -f "$tool" ] || fail "missing $exe or $tool"
long() { printf "%${2}s" "" | tr ' ' "$1"; }  # long CHAR COUNT

deep=$E2E_WORK/$(long d 120)/$(long e 120)/game
mkdir -p "$deep"
game=$deep/$(basename "$exe")
cp "$exe" "$game"
convert -size 7x5 xc:'#204060' BMP3:"$E2E_WORK/probe.bmp" || fail "convert could not make the probe image"
"$tool" add "$game" "$E2E_WORK/probe.bmp" >/dev/null || fail "brindle-pack add failed"
[ ${#game} -gt 270 ] || fail "the game path is only ${#game} characters"

export TMPDIR=$E2E_WORK/$(long t 150)/$(long u 150)
mkdir -p "$TMPDIR"
start_program "$game"
wait_program 60; rc=$?
[ "$rc" -eq 0 ] || fail "exit code $rc ($(cat "$E2E_WORK/program.out"))"
[ -f "$deep/media-probe.txt" ] || fail "no media-probe.txt in the game's directory"
grep -qx "size 7 5" "$deep/media-probe.txt" || fail "the appended media: $(cat "$deep/media-probe.txt")"
grep -q "^extracted $TMPDIR/~voz.*probe.bmp 1$" "$deep/media-probe.txt" \
  || fail "extracted outside TMPDIR: $(grep extracted "$deep/media-probe.txt")"
pass "a ${#game}-character program path: working directory and its pack"

log=$TMPDIR/ErrorLog.txt
[ -f "$log" ] || fail "no error log inside the ${#TMPDIR}-character TMPDIR"
dir=$(tr -d '\r' <"$log" | grep -A1 -x "Current Dir" | tail -n1)
[ "$dir" = "$deep" ] || fail "working directory entry is '$dir'"
others=$(find "$E2E_WORK" -name '*ErrorLog.txt' ! -path "$log" | wc -l)
[ "$others" -eq 0 ] || fail "an error log outside TMPDIR: $(find "$E2E_WORK" -name '*ErrorLog.txt' ! -path "$log")"
pass "the error log is inside the ${#TMPDIR}-character TMPDIR"
