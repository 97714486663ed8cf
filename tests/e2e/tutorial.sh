# The tutorial, docs/tutorial.md, followed from the document itself for this
# target: Brindle installed under a temporary prefix (for Windows the Linux
# build too, whose brindle-pack the game's build runs), the game's folder
# made by the tutorial's own brindle-new-game command, then each step's code
# blocks (whole files, and diffs applied exactly where they say) and media
# commands taken from the page in order. Every step builds, all of them in
# one CMake project; the last one holds the media its script made, packed
# (with the names and sizes the page's listing shows), and runs from a
# folder of its own: the title screen in the big font, a round started with
# Space showing the score, Escape ending it with 0.
. "$(dirname "$0")/lib.sh"

doc=$BRINDLE_SOURCE/docs/tutorial.md
steps_py=$BRINDLE_SOURCE/tests/e2e/tutorial_steps.py
prefix=$E2E_WORK/prefix
log=$E2E_WORK/steps.log
quietly() {  # quietly LABEL COMMAND...: runs it, the output shown on failure
  local label=$1; shift
  "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; fail "$label"; }
}

# The reader's start: Brindle installed, a new game folder.
quietly "cmake --install linux" cmake --install "$BRINDLE_SOURCE/build/linux" --prefix "$prefix"
is_windows && quietly "cmake --install windows-i386" cmake --install "$BRINDLE_BUILD" --prefix "$prefix"
game=$(/usr/bin/python3 "$steps_py" name "$doc") || fail "the tutorial names no game folder"
quietly "brindle-new-game" env -u BRINDLE_PREFIX "$prefix/bin/brindle-new-game" "$E2E_WORK/games/$game"

# The extraction is strict: a change whose lines are not where it says, or a
# block of code that is neither a whole file nor a change, is refused.
/usr/bin/python3 - "$doc" "$E2E_WORK/moved.md" "$E2E_WORK/unmarked.md" <<'PY' || fail "cannot make the broken copies"
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
hunk = re.search(r"^@@ -(\d+)", text, re.M)
open(sys.argv[2], "w").write(text[:hunk.start(1)] + str(int(hunk.group(1)) + 1) + text[hunk.end(1):])
mark = text.index("`game.cpp`, the whole file:", text.index("## Step 1: "))
open(sys.argv[3], "w").write(text[:mark] + "The game:" + text[mark + len("`game.cpp`, the whole file:"):])
PY
for broken in moved unmarked; do
  /usr/bin/python3 "$steps_py" steps "$E2E_WORK/$broken.md" "$E2E_WORK/games/$game" "$E2E_WORK/$broken" \
    >/dev/null 2>&1 && fail "a tutorial with a $broken block was taken"
done

steps=$E2E_WORK/steps
numbers=$(/usr/bin/python3 "$steps_py" steps "$doc" "$E2E_WORK/games/$game" "$steps" 2>"$log") ||
  { cat "$log" >&2; fail "the tutorial's steps do not apply"; }
[ "$(wc -w <<<"$numbers")" -ge 5 ] || fail "only steps '$numbers' change code"
toolchain=()
is_windows && toolchain=(-DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Brindle/toolchain-i686-w64-mingw32.cmake")
quietly "configure the tutorial's steps" cmake -S "$steps" -B "$steps/build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_PREFIX_PATH="$prefix" "${toolchain[@]}"
quietly "build the tutorial's steps" cmake --build "$steps/build"
suffix=""; is_windows && suffix=.exe
for n in $numbers; do
  [ -f "$steps/build/step$n/${game}_step$n$suffix" ] || fail "step $n built no game"
done
pass "every step of the tutorial ($numbers) builds from the document"

# The last step's game holds every file its media script made.
last=${numbers##* }
exe=$steps/build/step$last/${game}_step$last$suffix
packed=$("$prefix/bin/brindle-pack" list "$exe" 2>/dev/null) || fail "the last step's game has no pack"
for f in "$steps/step$last"/media/*; do
  name=$(basename "$f")
  [ "$name" = README.md ] && continue
  grep -q "^$name	" <<<"$packed" || fail "the last step's game does not hold $name"
done

# The listing the page shows is the pack's: each name with its size.
shown=$(/usr/bin/python3 "$steps_py" listing "$doc") || fail "the page shows no pack listing"
[ -n "$shown" ] || fail "the page's pack listing is empty"
while IFS=$'\t' read -r name size _; do
  grep -q "^$name	$size	" <<<"$packed" ||
    fail "the page lists $name at $size bytes; the pack holds: $(grep "^$name	" <<<"$packed")"
done <<<"$shown"

# It runs on its own: the title, then a round, then Escape. (The caption,
# the texts and their places are those of the tutorial's game.)
font=$steps/step$last/media/bigfont.bmp
mkdir -p "$E2E_WORK/run" && cp "$exe" "$E2E_WORK/run/" || fail "cannot copy the game"
start_program "$E2E_WORK/run/$(basename "$exe")"
window=$(find_window Orchard 60) || fail "no window captioned \"Orchard\""
shows() {  # shows X Y TEXT: in the big font, with the game still running
  kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the game ended early: $(cat "$E2E_WORK/program.out")"
  screenshot "$window" "$E2E_WORK/shot.png" &&
    /usr/bin/python3 "$BRINDLE_SOURCE/tests/e2e/check_image.py" text "$E2E_WORK/shot.png" "$font" "$@" >/dev/null
}
poll 60 shows 208 120 ORCHARD || fail "the title screen does not show ORCHARD in the big font"
focus_window "$window" || fail "the window did not get the focus"
hold_until 30 space -- shows 16 16 "Score 0" || fail "Space did not start a round with its score"
hold_until 30 Escape -- program_ended || fail "Escape did not end the game"
wait_program 20; rc=$?
[ $rc -eq 0 ] || fail "exit code $rc after Escape"
pass "the tutorial's game runs from its one file: title, a round, Escape"
