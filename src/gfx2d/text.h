// Bitmap fonts: font n lives in sprite slot 65520 + n.
#pragma once
#include <brindle/rtstring.h>

#include "gfx2d/font_geometry.h"
#include "gfx2d/opengl_zadederu.h"

constexpr int kFontCount = 16;

// A font number clamped to 0 ... 15.
int ClampFont(int font);

// Loads the font file into font slot `font` (0 ... 15) and selects it; a
// missing file gives the built-in font, a file that fails to load ends the
// program with error 3.
void LoadFontFile(const RtString& fileName, int font);
// Generates the built-in 5 x 6 font into the slot.
void BuildBuiltinFont(OpenGLZadederu& r, int slot);

FontGeometry FontGeometryOfSlot(const OpenGLZadederu& r, int font);

// One quad per byte from (x, y) rightwards, at depth z.
void DrawText(OpenGLZadederu& r, int font, const char* text, float x, float y, float z);
// size != 0: a camera-facing strip centred on (x, y, z) in the scene;
// size 0: screen text centred above the projected point.
void DrawText3D(OpenGLZadederu& r, int font, const char* text, float x, float y, float z,
                float size);

// The "Loading..." frame's text, centred in the window with the current font.
void DrawLoadingText();
