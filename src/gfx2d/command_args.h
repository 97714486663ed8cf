// The sprite commands' rules for slot numbers (lang/number_convert.h holds
// the general conversions).
#pragma once
#include "lang/number_convert.h"

// A sprite slot number: true for 0 ... 65535 after truncation.
bool SlotArgument(double value, int& slot);

// A slot or "none": negative values give -1; false above 65535 (and for NaN).
bool SlotOrNoneArgument(double value, int& slot);

// A coordinate that can be drawn: false for NaN, infinities and values
// beyond the float range (the commands then draw nothing).
bool DrawableCoordinate(double value, float& coordinate);
