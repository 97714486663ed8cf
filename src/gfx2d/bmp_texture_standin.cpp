// STAND-IN: see bmp_texture_standin.h.
#include "gfx2d/bmp_texture_standin.h"

#include <vector>

#include "media/bmp_decode.h"
#include "media/bmp_file.h"
#include "platform/gl.h"

bool StandInLoadBmpTexture(const char* fileName, unsigned int* plainTexture, uint32_t keyColour,
                           bool nearestFiltering) {
    std::vector<uint8_t> bytes;
    if (ReadBmpFile(fileName, bytes) != BmpStatus::kOk) return false;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    DecodeRequest request;
    request.keyColour = keyColour;
    request.useKey = true;
    request.maxTextureSize = maxSize;
    RgbaTexture t;
    if (DecodeBmp(bytes.data(), bytes.size(), request, t) != BmpStatus::kOk) return false;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, plainTexture);
    glBindTexture(GL_TEXTURE_2D, *plainTexture);
    GLint filter = nearestFiltering ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, t.textureWidth, t.textureHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, t.pixels.get());
    return true;
}
