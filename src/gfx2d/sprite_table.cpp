// The sprite table: binding slots as textures, loading and emptying slots,
// and the cached alpha masks used by the collision test.
#include <cstdlib>

#include "gfx2d/backgrounds.h"
#include "gfx2d/sprites.h"
#include "media/bmp_texture.h"
#include "platform/gl.h"
#include "platform/gl_entry_points.h"

namespace {
// Deleted names are cleared: GL hands freed names out again, and a later
// delete of this slot must not take another slot's texture with it.
void DeleteSlotTextures(OpenGLZadederu& r, int slot) {
    if (r.contextReady) r.glState.DeleteTextures(2, r.spriteTexture[slot]);
    r.spriteTexture[slot][0] = r.spriteTexture[slot][1] = 0;
    r.opacity[slot] = kOpacityUnknown;
}

void FreeAlphaMask(OpenGLZadederu& r, int slot) {
    std::free(r.alphaMask[slot]);
    r.alphaMask[slot] = nullptr;
}

bool IsSlot(int slot) { return slot >= 0 && slot < kSpriteSlots; }
}  // namespace

void BindSprite(OpenGLZadederu& r, int slot, int secondSlot, int useMip) {
    r.boundSlot = slot;
    r.boundSecondSlot = secondSlot;
    r.boundUseMip = useMip != 0;
    int mip = r.boundUseMip;
    // Numbers beyond the table bind nothing rather than read past it.
    if (!IsSlot(slot)) slot = -1;
    if (!IsSlot(secondSlot)) secondSlot = -1;
    // Through the record: a sprite drawn after a sprite with the same
    // texture sets no state at all.
    GlStateRecord& gl = r.glState;
    if (!glMultiTexCoord2fARB) {
        if (slot < 0) {
            gl.Texturing(0, false);
            glEnable(GL_COLOR_MATERIAL);
        } else {
            gl.BindTexture(0, r.spriteTexture[slot][mip]);
            gl.Texturing(0, true);
        }
        return;
    }
    if (slot >= 0 && secondSlot >= 0) {
        gl.BindTexture(1, r.spriteTexture[slot][mip]);
        gl.Texturing(1, true);
    } else {
        gl.Texturing(1, false);
    }
    if (slot < 0) {
        gl.Texturing(0, false);
        return;
    }
    gl.BindTexture(0, r.spriteTexture[secondSlot >= 0 ? secondSlot : slot][mip]);
    gl.Texturing(0, true);
}

void DeleteSprite(OpenGLZadederu& r, int slot) {
    DeleteSlotTextures(r, slot);
    r.textureWidth[slot] = -1;
    r.textureHeight[slot] = -1;
    FreeAlphaMask(r, slot);
}

bool LoadSpriteImage(OpenGLZadederu& r, int slot, const char* fileName, int keyColour,
                     bool makeNormalMap) {
    DeleteSprite(r, slot);
    BmpSize size = ReadBmpSize(fileName);
    int width = size.width, height = size.height;
    if (width == 0 || height == 0) return false;
    bool font = slot >= kFirstFontSlot;
    // Fonts are drawn pixel for pixel: no mipmaps, no normal map, nearest.
    // Pixels that cannot be decoded make a failed load: the slot stays empty.
    if (!LoadBmpTexture(fileName, 0, 0, 0, 0, &r.spriteTexture[slot][0],
                        font ? nullptr : &r.spriteTexture[slot][1],
                        static_cast<uint32_t>(keyColour), true, font ? false : makeNormalMap, font,
                        &r.opacity[slot])) {
        r.glState.ForgetTextureBinding();  // the loader bound its new textures
        return false;
    }
    r.glState.ForgetTextureBinding();
    r.textureWidth[slot] = TextureSizeFor(width);
    r.textureHeight[slot] = TextureSizeFor(height);
    r.imageWidth[slot] = width;
    r.imageHeight[slot] = height;
    return true;
}

const uint8_t* MakeAlphaMask(OpenGLZadederu& r, int slot) {
    if (r.alphaMask[slot]) return r.alphaMask[slot];
    if (r.textureWidth[slot] <= 0 || r.textureHeight[slot] <= 0) return nullptr;
    size_t bytes = static_cast<size_t>(r.textureWidth[slot]) * r.textureHeight[slot];
    // Zeroed: a slot whose image failed to decode has no texels to read.
    auto* mask = static_cast<uint8_t*>(std::calloc(bytes, 1));
    if (!mask) return nullptr;
    r.glState.BindTexture(0, r.spriteTexture[slot][0]);
    // Rows of a 2-pixel-wide texture are 2 bytes: without alignment 1 GL
    // would pad them to 4 and write past the mask. The row length keeps
    // the mask's stride even for a texture cropped below the recorded size.
    GLint alignment = 4, rowLength = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, r.textureWidth[slot]);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    // A texture larger than the recorded size (never made by the loaders)
    // would not fit the mask.
    if (w > 0 && h > 0 && w <= r.textureWidth[slot] && h <= r.textureHeight[slot])
        glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, mask);
    glPixelStorei(GL_PACK_ROW_LENGTH, rowLength);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    r.alphaMask[slot] = mask;
    return mask;
}

void ClearAllImages(OpenGLZadederu& r) {
    for (int slot = 0; slot < kSpriteSlots; ++slot) DeleteSprite(r, slot);
    for (int buffer = 0; buffer < kBackgroundBuffers; ++buffer) FreeBackground(r, buffer);
}
