// The 3D commands' conversions: numbers arrive as doubles. Integers take
// the saturating rule (TruncSaturated), colours the wrap-around one
// (Low32Bits, so that -1, -2 and -3 arrive as the strip markers); see
// lang/number_convert.h.
#pragma once
#include "lang/number_convert.h"

// A double passed on to the engine's float parameters.
inline float Float(double v) { return static_cast<float>(v); }
