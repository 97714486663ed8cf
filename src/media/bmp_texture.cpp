#include "media/bmp_texture.h"

#include <brindle/media.h>

#include <string>
#include <vector>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "platform/gl.h"

namespace {

void LogImageProblem(const char* fileName, BmpStatus status) {
    std::string line = "Image ";
    line += fileName ? fileName : "null";
    line += ": ";
    line += Describe(status);
    AppendErrorLog(line.c_str());
}

void Upload(GLint level, int width, int height, const uint8_t* pixels) {
    glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels);
}

}  // namespace

void UnpackTightly() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

unsigned int NewTexture(int minFilter, int magFilter) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    return name;
}

uint8_t OpacityOf(const uint8_t* rgba, int textureWidth, int textureHeight, int imageWidth,
                  int imageHeight) {
    if (imageWidth <= 0 || imageHeight <= 0) return kOpacityUnknown;
    if (imageWidth > textureWidth) imageWidth = textureWidth;
    if (imageHeight > textureHeight) imageHeight = textureHeight;
    // The image sits in the bottom rows of the texture.
    for (int y = 0; y < imageHeight; ++y) {
        const uint8_t* row = rgba + static_cast<size_t>(y) * textureWidth * 4;
        for (int x = 0; x < imageWidth; ++x)
            if (row[x * 4 + 3] != 255) return kOpacityUnknown;
    }
    return imageWidth == textureWidth && imageHeight == textureHeight ? kOpaqueTexture
                                                                      : kOpaqueImage;
}

bool LoadBmpTexture(const char* fileName, int regionX, int regionY, int regionWidth,
                    int regionHeight, unsigned int* plainTexture, unsigned int* mipmappedTexture,
                    uint32_t keyColour, bool useKey, bool makeNormalMap, bool nearestFiltering,
                    uint8_t* opacity) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize <= 0 || !plainTexture) return false;  // no context

    std::vector<uint8_t> bytes;
    BmpStatus status = ReadBmpFile(fileName, bytes);
    RgbaTexture texture;
    if (status == BmpStatus::kOk) {
        DecodeRequest request;
        request.regionX = regionX;
        request.regionY = regionY;
        request.regionWidth = regionWidth;
        request.regionHeight = regionHeight;
        request.keyColour = keyColour;
        request.useKey = useKey;
        request.maxTextureSize = maxSize;
        status = DecodeBmp(bytes.data(), bytes.size(), request, texture);
    }
    if (status != BmpStatus::kOk) {
        LogImageProblem(fileName, status);
        return false;
    }
    bytes = std::vector<uint8_t>();  // the file's bytes are no longer needed

    UnpackTightly();
    const GLint filter = nearestFiltering ? GL_NEAREST : GL_LINEAR;
    *plainTexture = NewTexture(filter, filter);
    if (makeNormalMap) MakeNormalMap(texture.pixels.get(), texture.textureWidth, texture.textureHeight);
    if (opacity)
        *opacity = OpacityOf(texture.pixels.get(), texture.textureWidth, texture.textureHeight,
                             texture.regionWidth, texture.regionHeight);
    Upload(0, texture.textureWidth, texture.textureHeight, texture.pixels.get());

    if (mipmappedTexture) {
        UnpackTightly();
        *mipmappedTexture = NewTexture(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
        int width = texture.textureWidth, height = texture.textureHeight;
        Upload(0, width, height, texture.pixels.get());
        for (GLint level = 1; width > 1 || height > 1; ++level) {
            BuildNextMipLevel(texture.pixels.get(), width, height);
            Upload(level, width, height, texture.pixels.get());
        }
    }
    return true;
}

bool LoadBmpTileTextures(const char* fileName, uint32_t keyColour, int maxColumns, int maxRows,
                         const std::function<void(int column, int row, unsigned int texture)>& made,
                         BmpTileGrid& grid) {
    grid = BmpTileGrid();
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize < kBmpTileSize) return false;  // no context
    std::vector<uint8_t> bytes;
    BmpStatus status = ReadBmpFile(fileName, bytes);
    if (status == BmpStatus::kOk) {
        UnpackTightly();
        status = CutBmpIntoTiles(
            bytes.data(), bytes.size(), keyColour, true, maxColumns, maxRows,
            [&](int column, int row, const uint8_t* rgba) {
                unsigned int name = NewTexture(GL_LINEAR, GL_LINEAR);
                Upload(0, kBmpTileSize, kBmpTileSize, rgba);
                made(column, row, name);
            },
            grid);
    }
    if (status != BmpStatus::kOk) {
        LogImageProblem(fileName, status);
        return false;
    }
    return true;
}

bool SaveScreenBmp(const char* fileName) {
    OpenGLZadederu& r = runtime.renderer;
    const int width = r.screenWidth, height = r.screenHeight;
    if (width <= 0 || height <= 0 || !r.contextReady) return false;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    r.glState.MakePendingClear();
    glReadBuffer(GL_BACK_LEFT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels.data());
    return WriteBmp24(fileName, pixels.data(), width, height, width, false);
}

bool SaveSpriteBmp(int slot, const char* fileName) {
    OpenGLZadederu& r = runtime.renderer;
    if (slot < 0 || slot >= kSpriteSlots || !r.contextReady) return false;
    const int textureWidth = r.textureWidth[slot], textureHeight = r.textureHeight[slot];
    const int width = r.imageWidth[slot], height = r.imageHeight[slot];
    // An empty slot has no texture to read; an image larger than its texture
    // (cropped at the size limit) is saved as far as the texture reaches.
    if (textureWidth <= 0 || textureHeight <= 0 || width < 0 || height < 0) return false;
    const int savedWidth = width < textureWidth ? width : textureWidth;
    const int savedHeight = height < textureHeight ? height : textureHeight;
    std::vector<uint8_t> pixels(static_cast<size_t>(textureWidth) * textureHeight * 3);
    // Leave the sprite binding as the renderer believes it to be.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, r.spriteTexture[slot][0]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return WriteBmp24(fileName, pixels.data(), savedWidth, savedHeight, textureWidth, false);
}

// 0 when the file was not written completely (no such folder, a full
// disk), as for SaveSprite: a game must not believe in a screenshot it
// does not have.
double SaveScreen(const RtString& fileName) { return SaveScreenBmp(fileName.Text()) ? 1 : 0; }
