// What the 3D engine uses of the 2D renderer's drawing: sprite binding, the
// filled rectangle of the shadow pass and billboard sprites.
#pragma once

class OpenGLZadederu;

void SceneBindSprite(OpenGLZadederu& r, int slot, int secondSlot, int useMip);
void SceneFillRect(OpenGLZadederu& r, float x1, float y1, float x2, float y2, int colour);
void SceneDrawBillboardSprite(OpenGLZadederu& r, int slot, float x, float y, float z, float scale);
