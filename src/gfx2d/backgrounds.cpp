#include "gfx2d/backgrounds.h"

#include <cstring>

#include "core/frame.h"
#include "platform/gl_entry_points.h"
#include "media/bmp_texture.h"
#include "platform/gl.h"

namespace {
constexpr uint32_t kBackgroundKeyColour = 0x8000FF;

int TileIndex(int column, int row) { return column * kMaxTileRows + row; }

// A quad over screen x ... x + w, y ... y + h showing the whole texture,
// corners counter-clockwise in GL's frame from the bottom left.
void TileQuad(float x, float y, float w, float h) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x, -(y + h));
    glTexCoord2f(1, 0);
    glVertex2f(x + w, -(y + h));
    glTexCoord2f(1, 1);
    glVertex2f(x + w, -y);
    glTexCoord2f(0, 1);
    glVertex2f(x, -y);
    glEnd();
}
}  // namespace

void FreeBackground(OpenGLZadederu& r, int buffer) {
    BackgroundBuffer& b = r.backgrounds[buffer];
    if (r.contextReady) {
        for (int c = 0; c < b.columns && c < kMaxTileColumns; ++c)
            for (int row = 0; row < b.rows && row < kMaxTileRows; ++row)
                r.glState.DeleteTextures(1, &b.tileTexture[TileIndex(c, row)]);
    }
    std::memset(&b, 0, sizeof b);
}

void DrawBackground(OpenGLZadederu& r, int buffer) {
    const BackgroundBuffer& b = r.backgrounds[buffer];
    r.glState.AlphaTest(false);
    if (glMultiTexCoord2fARB) {
        r.glState.Texturing(1, false);
        r.glState.Texturing(0, true);
    }
    r.glState.TextureInCurrentColour();
    float x = 0;
    for (int c = 0; c < b.columns && c < kMaxTileColumns; ++c) {
        float y = 0;
        int width = 0;
        for (int row = 0; row < b.rows && row < kMaxTileRows; ++row) {
            const int i = TileIndex(c, row);
            width = b.tileWidth[i];
            r.glState.BindTexture(0, b.tileTexture[i]);
            r.glState.BeforeDraw();
            TileQuad(x, y, static_cast<float>(width), static_cast<float>(b.tileHeight[i]));
            y += static_cast<float>(b.tileHeight[i]);
        }
        x += static_cast<float>(width);  // the width of the column's last tile
    }
    r.glState.AlphaTest(true);
}

bool LoadBackgroundImage(OpenGLZadederu& r, int buffer, const char* fileName) {
    BmpSize size = ReadBmpSize(fileName);
    if (size.width == 0 || size.height == 0) return false;
    FreeBackground(r, buffer);
    BackgroundBuffer& b = r.backgrounds[buffer];
    BmpTileGrid grid;
    const bool loaded = LoadBmpTileTextures(
        fileName, kBackgroundKeyColour, kMaxTileColumns, kMaxTileRows,
        [&](int column, int row, unsigned int texture) {
            const int i = TileIndex(column, row);
            b.tileTexture[i] = texture;
            b.tileWidth[i] = kBmpTileSize;
            b.tileHeight[i] = kBmpTileSize;
        },
        grid);
    r.glState.ForgetTextureBinding();  // the loader bound each new tile
    // The grid is recorded even on failure, so that tiles already made are
    // deleted with the buffer.
    b.columns = grid.columns;
    b.rows = grid.rows;
    return loaded;
}

void CrossFade(OpenGLZadederu& r, int from, int to) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    r.glState.AlphaTest(false);
    r.glState.ClearColourNow();
    for (float c = 0; c + 0.02f < 1; c += 0.02f) {
        r.glState.Colour(c, c, c, 1);
        DrawBackground(r, to);
        r.glState.Colour(1 - c, 1 - c, 1 - c, 1);
        DrawBackground(r, from);
        PresentAndPace(r);
    }
    r.glState.Colour(1, 1, 1, 1);
    DrawBackground(r, to);
    PresentAndPace(r);
    r.glState.AlphaTest(true);
    glDisable(GL_BLEND);
    r.alphaLevel = 1.0f;
    r.glState.Colour(1, 1, 1, 1);
}
