#include "gfx2d/command_args.h"

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
