// The double-to-int conversions of the commands. Game code passes every
// number as a double; each command documents which of these rules takes it
// to an integer, and uses that one. None of them invokes undefined
// behaviour, and each gives the same result on every target.
//
//   TruncToInt      truncation; NaN and values outside int give INT32_MIN
//                   (what the x86 conversion instruction gives: the
//                   "integer indefinite" value)
//   TruncToInt64    the same for 64 bits
//   TruncSaturated  truncation; values outside int give the nearest int,
//                   NaN gives 0
//   TruncInRange    truncation, accepted only when the result lies in a
//                   range (slot numbers, grid coordinates); NaN never is
//   Low32Bits       the low 32 bits of the 64-bit truncation: numbers that
//                   wrap rather than saturate (colours with their negative
//                   marker values, millisecond time stamps)
//   ToFloat         not an integer: the float a command passes on (drawing
//                   coordinates, levels); beyond the float range an infinity
#pragma once
#include <cstdint>
#include <limits>

inline int TruncToInt(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT32_MIN;  // also NaN
    return static_cast<int>(x);
}

inline int64_t TruncToInt64(double x) {
    if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0)) return INT64_MIN;
    return static_cast<int64_t>(x);
}

inline int TruncSaturated(double x) {
    if (x != x) return 0;
    if (x >= 2147483647.0) return INT32_MAX;
    if (x <= -2147483648.0) return INT32_MIN;
    return static_cast<int>(x);
}

// True, with the truncated value in out, when it lies in lo ... hi.
inline bool TruncInRange(double x, int lo, int hi, int& out) {
    if (!(x > lo - 1.0 && x < hi + 1.0)) return false;  // also NaN
    out = static_cast<int>(x);
    return true;
}

// NaN and values of 9.2e18 or more in magnitude give 0.
inline uint32_t Low32Bits(double x) {
    if (!(x > -9.2e18 && x < 9.2e18)) return 0;  // also NaN
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(x)));
}

// A number as the float a command passes on: beyond the float range it
// becomes an infinity (as the x86 conversion gives), NaN stays NaN.
inline float ToFloat(double x) {
    if (x > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (x < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(x);
}
