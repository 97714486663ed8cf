// The 3D engine's links to 2D drawing: sprite binding, the filled rectangle
// of the shadow pass and billboards forward to the 2D renderer.
#include "gfx3d/scene_links.h"

#include "gfx2d/opengl_zadederu.h"
#include "gfx2d/primitives.h"
#include "gfx2d/sprites.h"

void SceneBindSprite(OpenGLZadederu& r, int slot, int secondSlot, int useMip) {
    BindSprite(r, slot, secondSlot, useMip);
}

void SceneFillRect(OpenGLZadederu& r, float x1, float y1, float x2, float y2, int colour) {
    FillRectangle(r, x1, y1, x2, y2, colour);
}

void SceneDrawBillboardSprite(OpenGLZadederu& r, int slot, float x, float y, float z, float scale) {
    DrawBillboardSprite(r, slot, x, y, z, scale);
}
