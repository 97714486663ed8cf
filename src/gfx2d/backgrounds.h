// Background buffers: grids of tile textures that together cover the screen,
// filled from a BMP file (64 x 64 tiles) or by grabbing the back buffer.
// Buffer 0 is drawn into every fresh frame. Also grabbing a rectangle of the
// back buffer into a sprite slot, and the cross-fade between two buffers.
// Buffers passed here are 0 ... 15; slots 0 ... 65535.
#pragma once
#include "gfx2d/opengl_zadederu.h"

constexpr int kMaxTileColumns = 64;
constexpr int kMaxTileRows = 64;

// Deletes the buffer's tile textures and leaves it empty.
void FreeBackground(OpenGLZadederu& r, int buffer);
// Draws the tiles from the viewport's top-left corner with the current colour
// and blending, the alpha test off; an empty buffer draws nothing.
void DrawBackground(OpenGLZadederu& r, int buffer);
// Replaces the buffer by the BMP cut into 64 x 64 tiles (key colour
// 0x8000FF); false when its size cannot be read or it cannot be decoded.
// Images beyond 64 x 64 tiles (4096 pixels) are cropped there.
bool LoadBackgroundImage(OpenGLZadederu& r, int buffer, const char* fileName);
// Replaces the buffer by a copy of the back buffer: tiles as wide as the
// texture limit (at most 1024) and as high as powers of two, from the top.
void GrabScreenToBackground(OpenGLZadederu& r, int buffer);
// Blends buffer `from` into buffer `to` over about fifty presented frames,
// then leaves blending off at alpha level 1.
void CrossFade(OpenGLZadederu& r, int from, int to);
// Copies the back buffer's rectangle (x, y from the top left of the window,
// width x height) into the slot's plain texture, sized to the smallest power
// of two from 32; the slot gets no mipmapped texture. Sizes are clamped to
// 0 ... the largest texture size; texels the screen does not cover are
// transparent black.
void GrabScreenToSprite(OpenGLZadederu& r, int slot, int x, int y, int width, int height);
