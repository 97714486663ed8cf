# No game contains liblzo2 (GPL): Glimmerball and an example decode their
# packs with the runtime's own decoder. Their symbol tables name the
# runtime's functions but none of liblzo2's, and on Linux no liblzo2 is
# among the libraries they need. brindle-pack, a tool, does use liblzo2 to
# compress: seen the same way, it shows the check would see the library.
. "$(dirname "$0")/lib.sh"

if is_windows; then
  nm_tool=i686-w64-mingw32-nm; suffix=.exe
else
  nm_tool=nm; suffix=""
fi
# lzo_symbols FILE: the C symbols of liblzo2 it defines or needs (lzo1x_...,
# __lzo_init_v2; with i386's leading underscore on Windows).
lzo_symbols() { "$nm_tool" "$1" | awk '{print $NF}' | grep -E '^_{0,3}lzo' | sort -u; }
defines_game_main() { [ "$("$nm_tool" "$1" | grep -c 'GameMain')" -gt 0 ]; }
needs_liblzo2() { ! is_windows && [ "$(readelf -d "$1" | grep -c 'NEEDED.*liblzo2')" -gt 0 ]; }

pack=$BRINDLE_BUILD/tools/brindle-pack$suffix
[ -n "$(lzo_symbols "$pack")" ] || fail "brindle-pack shows no liblzo2 symbol: the check cannot see the library"
for exe in "$(program game)" "$BRINDLE_BUILD/examples/example_sprites$suffix"; do
  [ -f "$exe" ] || fail "missing $exe"
  defines_game_main "$exe" || fail "$exe has no symbol table to check"
  found=$(lzo_symbols "$exe")
  [ -z "$found" ] || fail "$(basename "$exe") contains liblzo2: $(echo "$found" | head -5 | tr '\n' ' ')"
  needs_liblzo2 "$exe" && fail "$(basename "$exe") needs liblzo2 at run time"
done
pass "Glimmerball and the sprites example contain nothing of liblzo2; brindle-pack does"
