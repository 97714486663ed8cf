#include "gfx2d/collision_mask.h"

#include <algorithm>

Overlap OverlapOf(const PlacedMask& a, const PlacedMask& b) {
    // 64-bit edges: positions near the int range must not wrap around.
    Overlap o;
    o.left = std::max<int64_t>(a.x, b.x);
    o.right = std::min<int64_t>(int64_t{a.x} + a.width, int64_t{b.x} + b.width);
    o.top = std::max<int64_t>(a.y, b.y);
    o.bottom = std::min<int64_t>(int64_t{a.y} + a.height, int64_t{b.y} + b.height);
    return o;
}

bool OpaquePixelsMeet(const PlacedMask& a, const PlacedMask& b) {
    if (!a.alpha || !b.alpha) return false;
    Overlap o = OverlapOf(a, b);
    for (int64_t y = o.top; y < o.bottom; ++y) {
        // Mask row 0 is the image's bottom row.
        const uint8_t* rowA = a.alpha + (a.height - 1 - (y - a.y)) * int64_t{a.rowLength};
        const uint8_t* rowB = b.alpha + (b.height - 1 - (y - b.y)) * int64_t{b.rowLength};
        for (int64_t x = o.left; x < o.right; ++x) {
            if (rowA[x - a.x] != 0 && rowB[x - b.x] == 255) return true;
        }
    }
    return false;
}
