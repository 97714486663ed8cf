// Where the glyphs of a font image sit: a grid of 16 columns and 8 or 16 rows
// of equal cells, derived from the font slot's image and texture sizes.
#pragma once

struct FontGeometry {
    int rows;        // 16 for images taller than wide, else 8
    int glyphCount;  // 16 * rows
    int cellWidth;   // pixels
    int cellHeight;
    float cellS;     // cell size in texture coordinates
    float cellT;
};

FontGeometry FontGeometryOf(int imageWidth, int imageHeight, int textureWidth, int textureHeight);

// Texture rectangle of the glyph for the byte c: left and bottom edges; the
// right and top edges are one cell further.
struct GlyphCorner {
    float s, t;
};
GlyphCorner GlyphCornerOf(const FontGeometry& font, unsigned char c);
