#include "gfx2d/command_args.h"

#include <cfloat>
#include <limits>

#include "gfx2d/opengl_zadederu.h"

bool SlotArgument(double value, int& slot) {
    if (!(value > -1.0 && value < kSpriteSlots)) return false;
    slot = static_cast<int>(value);
    return true;
}

bool SlotOrNoneArgument(double value, int& slot) {
    if (!(value < kSpriteSlots)) return false;
    slot = value > -1.0 ? static_cast<int>(value) : -1;
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
