# The release files as a game programmer gets them. scripts/release makes
# the three files from this run's Linux and Windows builds; lintian finds no
# error in the Debian package. The package is installed into this machine
# (apt, as root), the template game is built for Linux with
# find_package(Brindle) from /usr alone and runs; the Windows SDK zip is
# unpacked into a temporary folder, the template is built for Windows
# against it and runs under Wine; Glimmerball from each archive runs as a
# player would start it; then the package is removed. The package is
# removed on every way out of this script, and one machine-wide lock keeps
# two runs (two checkouts on one machine) from installing at once.
. "$(dirname "$0")/lib.sh"

windows_build=$BRINDLE_SOURCE/build/windows-i386
[ -f "$windows_build/CPackConfig.cmake" ] ||
  fail "no Windows build in $windows_build: the Windows SDK zip is made from it (scripts/build windows-i386)"
version=$(sed -n 's/^project(Brindle VERSION \([0-9.]*\) .*/\1/p' "$BRINDLE_SOURCE/CMakeLists.txt")
major_minor=${version%.*}
[ -n "$version" ] || fail "no project version in CMakeLists.txt"

log=$E2E_WORK/steps.log
step() {  # step LABEL COMMAND...: runs it quietly, the output shown on failure
  local label=$1; shift
  "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; fail "$label"; }
}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo -n"
apt_get() { $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=900 "$@"; }

# --- the three files
dist=$E2E_WORK/dist
step "scripts/release --from-builds" "$BRINDLE_SOURCE/scripts/release" --from-builds "$dist"
zip=$dist/brindle-$version-windows-i386-sdk.zip
tgz=$dist/brindle-$version-linux-x86_64.tar.gz
deb=$dist/brindle-dev_${version}_amd64.deb
for f in "$zip" "$tgz" "$deb"; do [ -s "$f" ] || fail "scripts/release made no $(basename "$f")"; done
grep -E '^ *[0-9]+  /' "$log"  # the files and their sizes, for the run's log

# Each archive: one top folder holding the SDK, the licence texts and
# Glimmerball, whose pack holds its media.
check_archive() {  # check_archive ARCHIVE TARGET SUFFIX
  local top=brindle-$version-$2 listing dir=$E2E_WORK/unpacked-$2 f
  [ "$2" = windows-i386 ] && top=$top-sdk
  [ "$2" = linux ] && top=$top-x86_64
  mkdir -p "$dir"
  (cd "$dir" && cmake -E tar xf "$1") || fail "cannot unpack $(basename "$1")"
  for f in include/brindle.h include/brindle_version.h lib/cmake/Brindle/BrindleConfig.cmake \
           lib/cmake/Brindle/toolchain-i686-w64-mingw32.cmake "lib/brindle/$2/libbrindle.a" \
           "bin/brindle-pack$3" bin/brindle-new-game share/brindle/template/game.cpp \
           share/brindle/examples/sprites/sprites.cpp LICENSE NOTICE README.txt "glimmerball$3"; do
    [ -f "$dir/$top/$f" ] || fail "$(basename "$1") has no $top/$f"
  done
  listing=$("$BRINDLE_SOURCE/build/linux/tools/brindle-pack" list "$dir/$top/glimmerball$3") ||
    fail "the archived Glimmerball of $2 has no pack"
  for f in back.bmp reflect.bmp smalfont.bmp; do
    echo "$listing" | grep -q "^$f	" || fail "the archived Glimmerball of $2 lacks $f"
  done
  grep -q "liblzo2" "$dir/$top/NOTICE" || fail "the NOTICE does not say what became of liblzo2"
}
check_archive "$zip" windows-i386 .exe
check_archive "$tgz" linux ""
sdk=$E2E_WORK/unpacked-windows-i386/brindle-$version-windows-i386-sdk
pass "scripts/release made $(basename "$zip"), $(basename "$tgz") and $(basename "$deb")"

lintian --fail-on error "$deb" >"$E2E_WORK/lintian.txt" 2>&1 ||
  { cat "$E2E_WORK/lintian.txt" >&2; fail "lintian reports errors in $(basename "$deb")"; }
grep -q '^E: ' "$E2E_WORK/lintian.txt" && { cat "$E2E_WORK/lintian.txt" >&2; fail "lintian reports errors"; }
pass "lintian: no error ($(grep -c '^W: ' "$E2E_WORK/lintian.txt") warnings)"

# --- installed: one run at a time on this machine, removed on every way out
exec 9>/tmp/brindle-release-files-test.lock || fail "cannot open the machine-wide lock"
flock -w $((600 * E2E_PATIENCE)) 9 || fail "another run held the package test's lock too long"
remove_package() {
  if dpkg-query -W -f='${Status}' brindle-dev 2>/dev/null | grep -q 'ok installed'; then
    apt_get purge brindle-dev >/dev/null 2>&1 || echo "could not remove brindle-dev" >&2
  fi
}
trap 'remove_package; e2e_cleanup' EXIT
trap 'exit 1' INT TERM HUP
remove_package  # left by a run that was killed outright
step "apt-get install $(basename "$deb")" apt_get install --no-install-recommends "$deb"
[ "$(dpkg-query -W -f='${Version}' brindle-dev)" = "$version" ] || fail "brindle-dev $version is not installed"
for f in /usr/include/brindle.h /usr/lib/cmake/Brindle/BrindleConfig.cmake /usr/lib/brindle/linux/libbrindle.a \
         /usr/bin/brindle-pack /usr/bin/brindle-new-game /usr/share/doc/brindle-dev/copyright; do
  [ -f "$f" ] || fail "the installed package has no $f"
done

# One version everywhere: the header, both tools, the CMake package.
grep -q "^#define BRINDLE_VERSION_STRING \"$version\"" /usr/include/brindle_version.h ||
  fail "the installed header does not say $version"
[ "$(brindle-pack --version)" = "brindle-pack $version" ] || fail "brindle-pack --version: $(brindle-pack --version)"
[ "$(brindle-new-game --version)" = "brindle-new-game $version" ] ||
  fail "brindle-new-game --version: $(brindle-new-game --version)"
older=${version%%.*}.$(( ${major_minor#*.} - 1 ))
newer=${version%%.*}.$(( ${major_minor#*.} + 1 ))
for request in "$major_minor:0" "$older:1" "$newer:1"; do
  asked=${request%:*} refused=${request#*:} probe=$E2E_WORK/probe-$asked
  mkdir -p "$probe"
  printf 'cmake_minimum_required(VERSION 3.25)\nproject(probe LANGUAGES CXX)\nfind_package(Brindle %s REQUIRED)\n' \
    "$asked" >"$probe/CMakeLists.txt"
  if cmake -S "$probe" -B "$probe/build" -G Ninja >"$log" 2>&1; then got=0; else got=1; fi
  [ "$got" = "$refused" ] || { tail -n 20 "$log" >&2; fail "find_package(Brindle $asked) against $version: refused=$got"; }
done
pass "installed: version $version in the header, brindle-pack, brindle-new-game and find_package (older and newer refused)"

# --- the template game for Linux against /usr alone
games=$E2E_WORK/games
mkdir -p "$games"
step "brindle-new-game from the package" env -u BRINDLE_PREFIX brindle-new-game "$games/Deb Hop"
(cd "$games/Deb Hop" && step "cmake --workflow --preset linux" env -u BRINDLE_PREFIX cmake --workflow --preset linux) || exit 1
grep -q 'Brindle_DIR:PATH=/usr/lib/cmake/Brindle' "$games/Deb Hop/build/linux/CMakeCache.txt" ||
  fail "the Linux game did not find Brindle under /usr"

# run_template EXE CAPTION FONT TARGET: the window, the greeting in the packed
# font, Escape ends it with 0.
run_template() {
  local exe=$1 caption=$2 font=$3 window
  mkdir -p "$E2E_WORK/run-$4" && cp "$exe" "$E2E_WORK/run-$4/"
  BRINDLE_TARGET=$4 start_program "$E2E_WORK/run-$4/$(basename "$exe")"
  window=$(find_window "$caption" 60) || fail "no window captioned \"$caption\""
  poll 60 shows_greeting "$window" "$font" || fail "\"$caption\" does not show the greeting in the packed font"
  end_with_escape "$window" "$caption"
}
# end_with_escape WINDOW CAPTION
end_with_escape() {
  focus_window "$1" || fail "\"$2\" did not get the focus"
  hold_until 30 Escape -- program_ended || fail "Escape did not end \"$2\""
  wait_program 20; local rc=$?
  [ $rc -eq 0 ] || fail "\"$2\" ended with $rc after Escape"
}
run_template "$games/Deb Hop/build/linux/Deb-Hop" "Deb Hop" /usr/share/brindle/media/smalfont.bmp linux
pass "the template built for Linux with find_package(Brindle) from the package, and ran"

# --- the template game for Windows against the unpacked SDK zip
step "brindle-new-game from the SDK zip" env -u BRINDLE_PREFIX "$sdk/bin/brindle-new-game" "$games/Zip Hop"
grep -q "$sdk" "$games/Zip Hop/CMakePresets.json" || fail "the game's presets do not name the unpacked SDK"
# The SDK packs media with brindle-pack.exe under Wine, in this run's prefix.
(cd "$games/Zip Hop" && WINEPREFIX=${BRINDLE_WINEPREFIX:-$BRINDLE_SOURCE/build/wineprefix} WINEDEBUG=-all \
  step "cmake --workflow --preset windows-i386" env -u BRINDLE_PREFIX cmake --workflow --preset windows-i386) || exit 1
objdump -p "$games/Zip Hop/build/windows-i386/Zip-Hop.exe" | grep -q 'DLL Name: libstdc++\|DLL Name: libgcc' &&
  fail "the .exe needs mingw DLLs"
run_template "$games/Zip Hop/build/windows-i386/Zip-Hop.exe" "Zip Hop" "$sdk/share/brindle/media/smalfont.bmp" windows-i386
pass "the template built for Windows against the unpacked SDK zip, and ran under Wine"

# --- Glimmerball from each archive, started as a player would: its
# background (from its own pack) on the screen, then Escape.
back=$BRINDLE_BUILD/game/media/back.bmp
shows_background() {
  kill -0 "$PROGRAM_PID" 2>/dev/null || fail "Glimmerball ended early: $(cat "$E2E_WORK/program.out")"
  screenshot "$1" "$E2E_WORK/glimmerball.png" &&
    /usr/bin/python3 "$BRINDLE_SOURCE/tests/e2e/check_image.py" background "$E2E_WORK/glimmerball.png" "$back" >/dev/null
}
for target in linux windows-i386; do
  exe=$E2E_WORK/unpacked-linux/brindle-$version-linux-x86_64/glimmerball
  [ $target = windows-i386 ] && exe=$sdk/glimmerball.exe
  BRINDLE_TARGET=$target start_program "$exe"
  window=$(find_window Glimmerball 60) || fail "the archived Glimmerball ($target) opened no window"
  poll 60 shows_background "$window" || fail "the archived Glimmerball ($target) does not show its background"
  end_with_escape "$window" "Glimmerball ($target)"
done
pass "Glimmerball from both archives runs: its background from its own pack, Escape ends it"

# --- removed
step "apt-get purge brindle-dev" apt_get purge brindle-dev
dpkg-query -W -f='${Status}' brindle-dev 2>/dev/null | grep -q 'ok installed' && fail "brindle-dev is still installed"
[ -e /usr/lib/cmake/Brindle ] && fail "/usr/lib/cmake/Brindle is left after removal"
[ -e /usr/bin/brindle-pack ] && fail "/usr/bin/brindle-pack is left after removal"
pass "the package is removed and leaves nothing behind"
