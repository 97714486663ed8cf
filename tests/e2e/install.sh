# A game outside the tree, as a new user makes one: this target's build (and
# for Windows the Linux one too, whose brindle-pack the game's build runs) is
# installed under a temporary prefix, brindle-new-game makes a game folder
# elsewhere, its preset builds it against the installed package alone, and
# the game opens its window with its own caption, draws its first frame in
# the packed font and ends with 0 on Escape.
. "$(dirname "$0")/lib.sh"

prefix=$E2E_WORK/prefix
log=$E2E_WORK/steps.log
step() {  # step LABEL COMMAND...: runs it quietly, the output shown on failure
  local label=$1; shift
  "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; fail "$label"; }
}
install_target() { step "cmake --install $1" cmake --install "$BRINDLE_SOURCE/build/$1" --prefix "$prefix"; }

install_target linux
is_windows && install_target windows-i386
for f in include/brindle.h lib/cmake/Brindle/BrindleConfig.cmake bin/brindle-new-game \
         "lib/brindle/$BRINDLE_TARGET/libbrindle.a" share/brindle/media/smalfont.bmp; do
  [ -f "$prefix/$f" ] || fail "the install has no $f"
done
is_windows && { [ -f "$prefix/bin/brindle-pack.exe" ] || fail "the install has no brindle-pack.exe"; }

# The game's folder shares nothing with the source tree, and nothing tells
# its build where Brindle is but the preset new-game wrote.
games=$E2E_WORK/games
mkdir -p "$games"
step "brindle-new-game" env -u BRINDLE_PREFIX "$prefix/bin/brindle-new-game" "$games/Hop Test"
grep -rq "$BRINDLE_SOURCE" "$games/Hop Test" && fail "the game folder refers to the source tree"
cd "$games/Hop Test" || fail "no game folder"
step "cmake --workflow --preset $BRINDLE_TARGET" env -u BRINDLE_PREFIX cmake --workflow --preset "$BRINDLE_TARGET"
exe=build/$BRINDLE_TARGET/Hop-Test
is_windows && exe=$exe.exe
[ -f "$exe" ] || fail "the build made no $exe"
if is_windows; then
  objdump -p "$exe" | grep -q 'DLL Name: libstdc++\|DLL Name: libgcc' && fail "the .exe needs mingw DLLs"
fi
[ "$(exported_names "$exe" | grep -c -e '^nl' -e '^ht')" -eq 66 ] ||
  fail "the game does not export the network library's 66 entry points"
pass "installed, and the template game built outside the tree against the package"

# Run it from a directory of its own: the font comes from the appended pack.
mkdir -p "$E2E_WORK/run" && cp "$exe" "$E2E_WORK/run/"
start_program "$E2E_WORK/run/$(basename "$exe")"
window=$(find_window "Hop Test" 60) || fail "no window captioned \"Hop Test\""
poll 60 shows_greeting "$window" "$prefix/share/brindle/media/smalfont.bmp" || fail "the first frame does not show the greeting in the packed font"
focus_window "$window" || fail "the window did not get the focus"
hold_until 30 Escape -- program_ended || fail "Escape did not end the game"
wait_program 20; rc=$?
[ $rc -eq 0 ] || fail "exit code $rc after Escape"
pass "the game runs: its caption, its greeting in the packed font, Escape ends it with 0"

# The installed examples build on their own against the package too.
examples=$E2E_WORK/examples-build
toolchain=()
is_windows && toolchain=(-DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Brindle/toolchain-i686-w64-mingw32.cmake")
step "configure the installed examples" cmake -S "$prefix/share/brindle/examples" -B "$examples" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" "${toolchain[@]}"
step "build the installed examples" cmake --build "$examples"
sprites=$examples/example_sprites; is_windows && sprites=$sprites.exe
"$prefix/bin/brindle-pack" list "$sprites" 2>/dev/null | grep -q '^ball\.bmp' || fail "the installed examples' sprites game has no ball.bmp packed"
pass "the installed examples build outside the tree"

# A plain HawkNL program in C, built against Brindle::nl of the package
# alone (HawkNL's headers under include/nl), runs its TCP echo.
for f in nl.h hawkthreads.h hawklib.h; do
  [ -f "$prefix/include/nl/$f" ] || fail "the install has no include/nl/$f"
done
grep -rq "nlSetReceiveTimeout\|extensions\.h" "$prefix/include/nl" && fail "the HawkNL headers carry the runtime's own additions"
echo_exe=$examples/example_hawknl_echo; is_windows && echo_exe=$echo_exe.exe
echo_port=$(python3 "$BRINDLE_SOURCE/tests/e2e/net/net_tools.py" free-port)
if is_windows; then
  "$BRINDLE_SOURCE/scripts/wine-run" "$echo_exe" "$echo_port" >"$E2E_WORK/echo.out" 2>&1
else
  "$echo_exe" "$echo_port" >"$E2E_WORK/echo.out" 2>&1
fi
rc=$?
[ $rc -eq 0 ] && grep -q "^echo ok" "$E2E_WORK/echo.out" || fail "the HawkNL echo program gave $rc: $(tr -d '\r' <"$E2E_WORK/echo.out")"
pass "a plain HawkNL program builds against the installed Brindle::nl and echoes over TCP"

# Skiff, a whole game, builds alone from its installed folder and starts
# with its media from the pack: its title comes up and Escape ends it.
skiff=$E2E_WORK/skiff-build
step "configure Skiff" cmake -S "$prefix/share/brindle/examples/skiff" -B "$skiff" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" "${toolchain[@]}"
step "build Skiff" cmake --build "$skiff"
skiff_exe=$skiff/skiff; is_windows && skiff_exe=$skiff_exe.exe
"$prefix/bin/brindle-pack" list "$skiff_exe" 2>/dev/null | grep -q '^level1\.txt' || fail "Skiff has no level1.txt packed"
mkdir -p "$E2E_WORK/skiff-run" && cp "$skiff_exe" "$E2E_WORK/skiff-run/"
skiff_log=$E2E_WORK/skiff.log
log_arg=$skiff_log
is_windows && log_arg=$(WINEPREFIX=${BRINDLE_WINEPREFIX:-$BRINDLE_SOURCE/build/wineprefix} winepath -w "$skiff_log" 2>/dev/null)
start_program "$E2E_WORK/skiff-run/$(basename "$skiff_exe")" --no-intro --log "$log_arg"
window=$(find_window "Skiff" 60) || fail "no window captioned \"Skiff\""
poll 60 grep -q '^title' "$skiff_log" || fail "Skiff did not reach its title: $(cat "$skiff_log" 2>/dev/null)"
focus_window "$window" || fail "Skiff's window did not get the focus"
hold_until 30 Escape -- program_ended || fail "Escape did not end Skiff"
wait_program 20; rc=$?
[ $rc -eq 0 ] || fail "Skiff's exit code $rc after Escape"
pass "Skiff builds alone against the package and runs from its pack"
