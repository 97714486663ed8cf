// Pixel-exact collision of two placed sprites.
#include "gfx2d/collision_mask.h"
#include "gfx2d/sprites.h"

namespace {
PlacedMask Placed(const OpenGLZadederu& r, int slot, int x, int y) {
    return {x, y, r.imageWidth[slot], r.imageHeight[slot], nullptr, r.textureWidth[slot]};
}

// The mask covers the texture; an image larger than it cannot be read.
bool FitsTexture(const OpenGLZadederu& r, int slot) {
    return r.imageWidth[slot] <= r.textureWidth[slot] && r.imageHeight[slot] <= r.textureHeight[slot];
}
}  // namespace

bool SpriteCollision(OpenGLZadederu& r, int slotA, int xA, int yA, int slotB, int xB, int yB) {
    PlacedMask a = Placed(r, slotA, xA, yA);
    PlacedMask b = Placed(r, slotB, xB, yB);
    // Apart rectangles need no masks; touching ones go on with an empty overlap.
    if (OverlapOf(a, b).Apart()) return false;
    a.alpha = MakeAlphaMask(r, slotA);
    b.alpha = MakeAlphaMask(r, slotB);
    if (!FitsTexture(r, slotA) || !FitsTexture(r, slotB)) return false;
    return OpaquePixelsMeet(a, b);
}
