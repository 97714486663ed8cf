// BMP decoding from untrusted bytes: headers, colour table, rows, regions,
// colour repair, normal map and the mipmap chain.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "media/bmp_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The last 5 bytes, when present, also choose a region and options;
    // the whole input is still the file.
    DecodeRequest request;
    request.maxTextureSize = 256;
    if (size >= 60) {
        const uint8_t* o = data + size - 5;
        request.regionX = static_cast<int8_t>(o[0]);
        request.regionY = static_cast<int8_t>(o[1]);
        request.regionWidth = o[2] % 80;
        request.regionHeight = o[3] % 80;
        request.useKey = o[4] & 1;
        request.keyColour = (o[4] & 2) ? 0x8000FF : 0;
    }
    RgbaTexture texture;
    if (DecodeBmp(data, size, request, texture) != BmpStatus::kOk) return 0;
    if (texture.textureWidth * texture.textureHeight <= 64 * 64)
        MakeNormalMap(texture.pixels.get(), texture.textureWidth, texture.textureHeight);
    int w = texture.textureWidth, h = texture.textureHeight;
    while (w > 1 || h > 1) BuildNextMipLevel(texture.pixels.get(), w, h);
    return 0;
}
