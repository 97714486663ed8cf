// The float arithmetic of the search, rounded to float after every operation.
// Where the compiler evaluates float expressions in extended precision (x87
// code of the i386 build) the value is stored to memory to round it, so every
// build computes the same costs and priorities to the bit and so the same
// paths. Double rounding through the 64-bit x87 mantissa is harmless for
// single +, -, * and /.
#pragma once
#include <cfloat>

namespace path_math {

#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD != 0
inline float Round(float v) {
    volatile float stored = v;
    return stored;
}
#else
inline float Round(float v) { return v; }
#endif

constexpr float kSqrt2 = 1.4142137f;

// Cost of entering a cell of (normalised) cost `cell` from a neighbour.
inline float StepCost(float cell, bool diagonal, bool diagonalCost) {
    return (diagonal && diagonalCost) ? Round(cell * kSqrt2) : cell;
}

// f = g + weight * (h - g): 0 orders by cost so far, 1 by the estimate only.
inline float Priority(float g, int h, float weight) {
    float d = Round(static_cast<float>(h) - g);
    float m = Round(weight * d);
    return Round(g + m);
}

}  // namespace path_math
