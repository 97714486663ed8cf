// The built-in 5 x 6 pixel font: used as font 0 when no font image is found.
#pragma once
#include <cstdint>

constexpr int builtinFontTextureWidth = 128;
constexpr int builtinFontTextureHeight = 64;
constexpr int builtinFontImageWidth = 112;  // 16 cells of 7 pixels
constexpr int builtinFontImageHeight = 64;  // 8 rows of 8 pixels
constexpr int builtinFontFirstCode = 32;
constexpr int builtinFontGlyphCount = 96;   // codes 32 ... 127

// Glyph bitmaps for the codes 32 ... 127: bit (x + 5 * y) set = ink,
// x 0 ... 4 from the left, y 0 ... 5 from the top.
extern const uint32_t builtinGlyphs[builtinFontGlyphCount];

// Fills a 128 x 64 RGBA buffer (row 0 = the texture's bottom row) with the
// glyph grid: white ink, a dark (8, 8, 8) outline next to it, clear elsewhere.
// Grid rows 0 and 1 (codes 0 ... 31) stay clear.
void BuildBuiltinFontPixels(uint8_t* rgba);
