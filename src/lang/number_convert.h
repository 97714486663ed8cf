// Truncating number conversions shared by the language commands. The x86
// conversion instructions give the "integer indefinite" value (the lowest
// integer) for NaN and out-of-range values; these helpers give the same
// value on every target and never invoke undefined behaviour.
#pragma once
#include <cstdint>

inline int TruncToInt(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT32_MIN;  // also NaN
    return static_cast<int>(x);
}

inline int64_t TruncToInt64(double x) {
    if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0)) return INT64_MIN;
    return static_cast<int64_t>(x);
}

// The low 32 bits of the value truncated to a 64-bit integer (two's
// complement): for numbers that wrap rather than saturate, such as a
// millisecond time stamp used as a seed. NaN and values of 9.2e18 or more
// in magnitude give 0.
inline uint32_t Low32Bits(double x) {
    if (!(x > -9.2e18 && x < 9.2e18)) return 0;  // also NaN
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(x)));
}
