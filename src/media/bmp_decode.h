// BMP decoding without OpenGL: file bytes -> RGBA working buffer, colour
// repair, normal map and mipmap levels. LoadBmpTexture uploads the results;
// keeping this part free of GL makes it testable and fuzzable on its own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

enum class BmpStatus {
    kOk,
    kNotBmp,            // no "BM" signature or the file is shorter than its headers
    kBadHeader,         // pixelDataOffset below 54, or impossible width / height
    kUnsupportedDepth,  // bit count other than 8, 24 and 32
    kShortFile,         // the pixel rows do not fit in the file
    kBadRegion,         // negative region size
    kBadPaletteIndex,   // a pixel indexes beyond the colour table
    kNoMemory,
    kUnsupportedCompression,  // anything but uncompressed rows or 32-bit bit fields
    kBadMasks,                // bit-field masks that are empty, split or overlapping
};
const char* Describe(BmpStatus status);

constexpr size_t kBmpFileHeaderSize = 14;
constexpr size_t kBmpHeadersSize = 54;  // file header + 40-byte information header

// What the headers say, with the sizes already checked against each other.
struct BmpInfo {
    uint32_t pixelDataOffset = 0;
    int width = 0;
    int height = 0;  // absolute value
    bool topDown = false;  // negative height: the first stored row is the top one
    int bitCount = 0;
    int bytesPerPixel = 0;
    uint64_t rowLength = 0;  // bytes, a multiple of 4
    uint64_t imageBytes = 0;
    uint32_t paletteOffset = 0;   // in the file
    uint32_t paletteEntries = 0;  // complete 4-byte entries available, at most 256
    // Red, green and blue masks of a 32-bit bit-field file whose masks are
    // not the plain blue, green, red, unused byte order; all 0 otherwise.
    uint32_t channelMask[3] = {};
};

// The 14-byte file header: signature and pixelDataOffset.
BmpStatus ParseBmpFileHeader(const uint8_t* header, size_t size, uint32_t& pixelDataOffset);
// Headers and colour table: the first pixelDataOffset bytes of the file.
// Checks everything that does not need the pixel rows themselves.
BmpStatus ParseBmpHeaders(const uint8_t* data, size_t size, BmpInfo& info);

// Pixel buffers from malloc, released with free.
struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
};
using PixelBuffer = std::unique_ptr<uint8_t[], FreeDeleter>;

struct DecodeRequest {
    int regionX = 0, regionY = 0;
    int regionWidth = 0, regionHeight = 0;  // 0 = the whole image
    uint32_t keyColour = 0;  // blue * 65536 + green * 256 + red
    bool useKey = false;
    int maxTextureSize = 0;
    // With a non-zero key colour, transparent pixels take the colour of their
    // opaque neighbours; the background tiler turns this off and repairs each
    // tile on its own.
    bool repairColours = true;
};

// The working buffer: textureWidth x textureHeight RGBA pixels, row 0 at the
// bottom, the region in its bottom-left corner.
struct RgbaTexture {
    int textureWidth = 0, textureHeight = 0;
    int regionWidth = 0, regionHeight = 0;
    PixelBuffer pixels;
};

// Smallest power of two that is at least 2 and not below size.
int TextureSizeFor(int size);

// Decodes a whole BMP held in memory (headers, colour table and rows).
BmpStatus DecodeBmp(const uint8_t* data, size_t size, const DecodeRequest& request,
                    RgbaTexture& texture);

// Gives transparent pixels the average colour of their opaque inner
// neighbours, so linear filtering does not pull dark fringes into sprites.
void RepairKeyedColours(uint8_t* rgba, int rowPixels, int regionWidth, int regionHeight);

// Replaces an RGBA buffer by a normal map of its blue channel; alpha stays.
void MakeNormalMap(uint8_t* rgba, int width, int height);

// Builds the next mipmap level in place over the start of the buffer;
// width and height become the new level's (halved, at least 1).
void BuildNextMipLevel(uint8_t* rgba, int& width, int& height);
