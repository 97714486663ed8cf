#include "gfx2d/command_args.h"

#include <cfloat>
#include <limits>

#include "gfx2d/opengl_zadederu.h"

bool SlotArgument(double value, int& slot) { return TruncInRange(value, 0, kSpriteSlots - 1, slot); }

bool SlotOrNoneArgument(double value, int& slot) {
    if (SlotArgument(value, slot)) return true;
    if (!(value < 0)) return false;  // above the table, or NaN
    slot = -1;
    return true;
}

float ToFloat(double value) {
    if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
    if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

bool DrawableCoordinate(double value, float& coordinate) {
    if (!(value >= -FLT_MAX && value <= FLT_MAX)) return false;
    coordinate = static_cast<float>(value);
    return true;
}
