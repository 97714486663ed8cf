# A game executable exports the network library's entry points under their
# own names, every one the headers declare, and no runtime command: on
# Windows in the export table (plain names), on Linux as dynamic symbols.
. "$(dirname "$0")/lib.sh"

exe=$(program game)
[ -f "$exe" ] || fail "missing $exe"
declared=$(grep -ho 'HL_APIENTRY [a-zA-Z0-9]*(' "$BRINDLE_SOURCE/src/nl/nl.h" "$BRINDLE_SOURCE/src/nl/hawkthreads.h" |
  sed 's/HL_APIENTRY \(.*\)(/\1/' | sort)
[ "$(echo "$declared" | wc -l)" -eq 66 ] || fail "the headers declare $(echo "$declared" | wc -l) functions, not 66"
if is_windows; then
  exported=$(i686-w64-mingw32-objdump -p "$exe" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p' | sort)
else
  exported=$(nm -D --defined-only "$exe" | awk '$2 == "T" || $2 == "D" || $2 == "B" {print $3}' | grep -v -e '^main$' -e '@' |
    grep -v "^_" | sort)  # main, and data the C library shares by copy
fi
[ "$exported" = "$declared" ] || fail "exports differ from the headers: $(diff <(echo "$declared") <(echo "$exported") | head -10)"
pass "$(echo "$exported" | wc -l) entry points exported, nothing else"
