#include "gfx2d/font_geometry.h"

FontGeometry FontGeometryOf(int imageWidth, int imageHeight, int textureWidth, int textureHeight) {
    FontGeometry g;
    g.rows = imageWidth < imageHeight ? 16 : 8;
    g.glyphCount = 16 * g.rows;
    g.cellWidth = imageWidth / 16;
    g.cellHeight = imageHeight / g.rows;
    // An empty slot has no texture sizes; its cells are then empty too.
    g.cellS = textureWidth > 0 ? static_cast<float>(imageWidth) / textureWidth / 16 : 0.0f;
    g.cellT = textureHeight > 0 ? static_cast<float>(imageHeight) / textureHeight / g.rows : 0.0f;
    return g;
}

GlyphCorner GlyphCornerOf(const FontGeometry& font, unsigned char c) {
    int code = c % font.glyphCount;
    int column = code % 16;
    int row = code / 16;  // from the top; the image's top is stored highest
    return {column * font.cellS, (font.rows - 1 - row) * font.cellT};
}
