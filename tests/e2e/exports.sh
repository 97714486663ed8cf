# A game executable exports the network library's entry points under their
# own names, every one the headers declare, and no runtime command: on
# Windows in the export table (plain names), on Linux as dynamic symbols.
. "$(dirname "$0")/lib.sh"

exe=$(program game)
[ -f "$exe" ] || fail "missing $exe"
declared=$(grep -ho 'HL_APIENTRY [a-zA-Z0-9]*(' "$BRINDLE_SOURCE/src/nl/nl.h" "$BRINDLE_SOURCE/src/nl/hawkthreads.h" |
  sed 's/HL_APIENTRY \(.*\)(/\1/' | sort)
[ "$(echo "$declared" | wc -l)" -eq 66 ] || fail "the headers declare $(echo "$declared" | wc -l) functions, not 66"
exported=$(exported_names "$exe")
[ "$exported" = "$declared" ] || fail "exports differ from the headers: $(diff <(echo "$declared") <(echo "$exported") | head -10)"
pass "$(echo "$exported" | wc -l) entry points exported, nothing else"
