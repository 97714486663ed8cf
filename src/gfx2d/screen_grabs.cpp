// Copies of the back buffer into background tiles and sprite slots. Texels
// that the screen does not cover start transparent black, the same on every
// driver (a copy from outside the window would leave them undefined). A
// sprite slot saved as a BMP file.
#include <brindle/media.h>

#include <algorithm>
#include <vector>

#include "gfx2d/backgrounds.h"
#include "gfx2d/command_args.h"
#include "gfx2d/sprites.h"
#include "media/bmp_texture.h"
#include "platform/gl.h"

namespace {
constexpr int kGrabTileLimit = 1024;

int MaxTextureSize() {
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

// A new linear texture of width x height, holding the back buffer's
// rectangle at window column x, window row y from the bottom (clipped to
// the screen) in its bottom-left corner; the rest transparent black.
unsigned int CopyScreenToTexture(OpenGLZadederu& r, int x, int y, int textureWidth,
                                 int textureHeight, int width, int height,
                                 std::vector<uint8_t>& zeros) {
    unsigned int name = NewTexture(GL_LINEAR, GL_LINEAR);
    const int left = std::max(x, 0), bottom = std::max(y, 0);
    const int right = std::min(x + width, r.screenWidth), top = std::min(y + height, r.screenHeight);
    const bool covered = left == x && bottom == y && right - x == textureWidth && top - y == textureHeight;
    const uint8_t* initial = nullptr;
    if (!covered) {
        zeros.resize(static_cast<size_t>(textureWidth) * textureHeight * 4);
        initial = zeros.data();
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth, textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 initial);
    r.glState.MakePendingClear();
    if (right > left && top > bottom)
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, left - x, bottom - y, left, bottom, right - left, top - bottom);
    return name;
}

int PowerOfTwoFrom32(int size) {
    int p = 32;
    while (p < size) p <<= 1;
    return p;
}
}  // namespace

void GrabScreenToBackground(OpenGLZadederu& r, int buffer) {
    const int limit = std::min(MaxTextureSize(), kGrabTileLimit);
    UnpackTightly();
    FreeBackground(r, buffer);
    if (limit <= 0) return;  // no context
    BackgroundBuffer& b = r.backgrounds[buffer];
    std::vector<uint8_t> zeros;
    int rows = 0;
    for (int y = 0; y < r.screenHeight && rows < kMaxTileRows; ++rows) {
        int h = limit;
        while (h > r.screenHeight - y) h >>= 1;
        int columns = 0;
        for (int x = 0; x < r.screenWidth && columns < kMaxTileColumns; x += limit, ++columns) {
            const int i = columns * kMaxTileRows + rows;
            b.tileTexture[i] = CopyScreenToTexture(r, x, r.screenHeight - y - h, limit, h, limit, h, zeros);
            b.tileWidth[i] = limit;
            b.tileHeight[i] = h;
        }
        b.columns = columns;
        y += h;
    }
    b.rows = rows;
    r.glState.ForgetTextureBinding();  // the copies bound their new textures
}

void GrabScreenToSprite(OpenGLZadederu& r, int slot, int x, int y, int width, int height) {
    const int limit = MaxTextureSize();
    width = std::clamp(width, 0, std::max(limit, 0));
    height = std::clamp(height, 0, std::max(limit, 0));
    const int textureWidth = PowerOfTwoFrom32(width), textureHeight = PowerOfTwoFrom32(height);
    DeleteSprite(r, slot);  // both textures (no mipmapped one from now on) and the alpha mask
    UnpackTightly();
    std::vector<uint8_t> zeros;
    // Window rows count from the bottom; clipping keeps the sums in range.
    const int64_t bottom = static_cast<int64_t>(r.screenHeight) - y - height;
    const int windowY = static_cast<int>(std::clamp<int64_t>(bottom, -(1 << 30), 1 << 30));
    r.spriteTexture[slot][0] = CopyScreenToTexture(r, std::clamp(x, -(1 << 30), 1 << 30), windowY,
                                                   textureWidth, textureHeight, width, height, zeros);
    r.spriteTexture[slot][1] = 0;
    r.textureWidth[slot] = textureWidth;
    r.textureHeight[slot] = textureHeight;
    r.imageWidth[slot] = width;
    r.imageHeight[slot] = height;
    r.glState.ForgetTextureBinding();
}

double SaveSprite(double slot, const RtString& fileName) {
    // Truncated like every slot number; out-of-range slots fail.
    int s;
    if (!SlotArgument(slot, s)) return 0;
    return SaveSpriteBmp(s, fileName.Text()) ? 1 : 0;
}
