// Argument conversions shared by the 3D commands: numbers arrive as doubles.
#pragma once
#include <cstdint>

#include "lang/portable_maths.h"

// Truncation towards zero, saturated so that huge or NaN values stay defined.
inline int IntArgument(double v) {
    if (v != v) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(v);
}

// A colour argument: the low 32 bits of a 64-bit truncation, so that -1, -2
// and -3 arrive as the strip markers.
inline uint32_t ColourArgument(double colour) {
    if (!(maths::fabs(colour) < 9.2e18)) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(colour)));
}
