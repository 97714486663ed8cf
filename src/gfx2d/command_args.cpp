#include "gfx2d/command_args.h"

#include <cfloat>

#include "gfx2d/opengl_zadederu.h"

bool SlotArgument(double value, int& slot) { return TruncInRange(value, 0, kSpriteSlots - 1, slot); }

bool SlotOrNoneArgument(double value, int& slot) {
    if (SlotArgument(value, slot)) return true;
    if (!(value < 0)) return false;  // above the table, or NaN
    slot = -1;
    return true;
}

bool DrawableCoordinate(double value, float& coordinate) {
    if (!(value >= -FLT_MAX && value <= FLT_MAX)) return false;
    coordinate = static_cast<float>(value);
    return true;
}
