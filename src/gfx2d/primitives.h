// Untextured 2D primitives (point, line, filled rectangle), the screen
// clear, reading one pixel back, and the alpha mode that decides how
// everything drawn afterwards is blended. Coordinates are viewport pixels,
// y downwards; colours 0x00BBGGRR, where 0x8000FF (the sprite key colour)
// draws with alpha 0.
#pragma once
#include "gfx2d/opengl_zadederu.h"

// level > 0: additive blending; level < 0 (or not a number): blending by
// source alpha with the level negated; 0: blending off at level 1. The level
// is clamped to at most 1 and becomes alphaLevel and the current colour.
void ApplyAlphaMode(OpenGLZadederu& r, float level);

// Clears the back buffer's colour and empties background buffer 0, so frames
// stop showing a background.
void ClearScreenAndBackground(OpenGLZadederu& r);

// One pixel; a line including both end pixels.
void PlotPoint(OpenGLZadederu& r, float x, float y, int colour);
void PlotLine(OpenGLZadederu& r, float x1, float y1, float x2, float y2, int colour);
// The pixels x1 ... x2 and y1 ... y2 inclusive, for x1 <= x2 and y1 <= y2.
// With exactly one pair equal the quad comes out clockwise and face culling
// (on in the 2D state) removes it.
void FillRectangle(OpenGLZadederu& r, float x1, float y1, float x2, float y2, int colour);

// The back buffer's pixel at window column x, row y from the top (the
// viewport plays no part): red + 256 green + 65536 blue; 0 off the screen.
int ReadPixel(OpenGLZadederu& r, int x, int y);
