# The runtime library takes every maths function from its own maths library
# (musl's sources, the same on both targets), never from the C library: no
# undefined reference to sin, pow, floor and the like may remain in it.
. "$(dirname "$0")/lib.sh"

lib=$BRINDLE_BUILD/src/libbrindle.a
[ -f "$lib" ] || fail "missing $lib"
if is_windows; then nm=i686-w64-mingw32-nm; else nm=nm; fi
names='(a?sin|a?cos|a?tan|atan2|sinh|cosh|tanh|exp|exp2|expm1|log|log2|log10|log1p|pow|sqrt|cbrt|hypot|fmod|remainder|floor|ceil|trunc|l?l?round|l?l?rint|nearbyint|fmin|fmax|fdim|modf|frexp|ldexp|scalbn)[fl]?'
undefined=$("$nm" -u "$lib" | awk 'NF == 2 { print $2 }' | sed 's/^__imp_//; s/^_//' | sort -u)
[ -n "$undefined" ] || fail "nm listed no undefined symbols in $lib"
from_libc=$(echo "$undefined" | grep -E "^${names}\$" | paste -sd' ')
[ -z "$from_libc" ] || fail "the runtime calls the C library's maths: $from_libc"
echo "$undefined" | grep -q '^musl_sin$' || fail "the runtime does not call musl_sin"
pass "no maths from the C library; musl_sin and the others from the runtime's maths library"
