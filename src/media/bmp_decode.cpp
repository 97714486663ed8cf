#include "media/bmp_decode.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "lang/portable_maths.h"
#include "media/bmp_rows.h"

// The working buffer is written as 32-bit words holding red in the low byte.
static_assert(std::endian::native == std::endian::little, "RGBA words assume little-endian");

namespace {

inline uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr int kNoTextureLimit = 1 << 30;

// Compression field values.
constexpr uint32_t kUncompressed = 0;  // BI_RGB
constexpr uint32_t kBitFields = 3;     // BI_BITFIELDS: channel masks give the layout

// Where a bit-field mask's channel sits in the pixel.
struct ChannelField {
    uint32_t mask;
    int shift;
    uint64_t maximum;  // mask >> shift
};

// A usable mask is one non-empty run of set bits.
bool MakeField(uint32_t mask, ChannelField& field) {
    if (mask == 0) return false;
    field.mask = mask;
    field.shift = std::countr_zero(mask);
    field.maximum = mask >> field.shift;
    return (field.maximum & (field.maximum + 1)) == 0;
}

// Channel value scaled to 0 ... 255, rounded to nearest.
inline uint8_t FieldValue(uint32_t pixel, const ChannelField& f) {
    const uint64_t v = (pixel & f.mask) >> f.shift;
    return static_cast<uint8_t>((v * 255 + f.maximum / 2) / f.maximum);
}

// Reads the masks of a 32-bit bit-field file. Later information headers hold
// them at offsets 40, 44 and 48; the 40-byte header is followed by them, so
// they sit at the same offsets of the header block either way.
BmpStatus ReadChannelMasks(const uint8_t* block, uint32_t blockLength, BmpInfo& info) {
    if (blockLength < 52) return BmpStatus::kBadHeader;
    const uint32_t red = U32(block + 40), green = U32(block + 44), blue = U32(block + 48);
    ChannelField f[3];
    if (!MakeField(red, f[0]) || !MakeField(green, f[1]) || !MakeField(blue, f[2]))
        return BmpStatus::kBadMasks;
    if ((red & green) || (red & blue) || (green & blue)) return BmpStatus::kBadMasks;
    // The classic byte order decodes exactly as an uncompressed file.
    if (red == 0x00FF0000u && green == 0x0000FF00u && blue == 0x000000FFu) return BmpStatus::kOk;
    info.channelMask[0] = red;
    info.channelMask[1] = green;
    info.channelMask[2] = blue;
    return BmpStatus::kOk;
}

// One row of a 32-bit file with its own masks, rewritten as blue, green,
// red, unused bytes for the common conversion.
void UnpackMaskedRow(const uint8_t* src, int count, const uint32_t masks[3], uint8_t* bgrx) {
    ChannelField red, green, blue;
    MakeField(masks[0], red);
    MakeField(masks[1], green);
    MakeField(masks[2], blue);
    for (int i = 0; i < count; ++i) {
        const uint32_t pixel = U32(src + 4 * static_cast<size_t>(i));
        bgrx[4 * i] = FieldValue(pixel, blue);
        bgrx[4 * i + 1] = FieldValue(pixel, green);
        bgrx[4 * i + 2] = FieldValue(pixel, red);
        bgrx[4 * i + 3] = 0;
    }
}

}  // namespace

const char* Describe(BmpStatus status) {
    switch (status) {
        case BmpStatus::kOk: return "ok";
        case BmpStatus::kNotBmp: return "not a BMP file";
        case BmpStatus::kBadHeader: return "impossible BMP header";
        case BmpStatus::kUnsupportedDepth: return "unsupported bit count";
        case BmpStatus::kShortFile: return "pixel rows do not fit in the file";
        case BmpStatus::kBadRegion: return "bad region";
        case BmpStatus::kBadPaletteIndex: return "palette index beyond the colour table";
        case BmpStatus::kNoMemory: return "out of memory";
        case BmpStatus::kUnsupportedCompression: return "unsupported compression";
        case BmpStatus::kBadMasks: return "unusable bit-field masks";
    }
    return "unknown";
}

int TextureSizeFor(int size) {
    int p = 2;
    while (p < size && p < kNoTextureLimit) p <<= 1;
    return p;
}

BmpStatus ParseBmpFileHeader(const uint8_t* header, size_t size, uint32_t& pixelDataOffset) {
    if (size < kBmpFileHeaderSize || U16(header) != 19778) return BmpStatus::kNotBmp;
    pixelDataOffset = U32(header + 10);
    // Below 54 there is no room for the information header the reader needs.
    if (pixelDataOffset < kBmpHeadersSize) return BmpStatus::kBadHeader;
    return BmpStatus::kOk;
}

BmpStatus ParseBmpHeaders(const uint8_t* data, size_t size, BmpInfo& info) {
    info = BmpInfo();
    BmpStatus status = ParseBmpFileHeader(data, size, info.pixelDataOffset);
    if (status != BmpStatus::kOk) return status;
    if (size < info.pixelDataOffset) return BmpStatus::kNotBmp;
    const uint8_t* block = data + kBmpFileHeaderSize;
    const uint32_t blockLength = info.pixelDataOffset - static_cast<uint32_t>(kBmpFileHeaderSize);

    info.bitCount = U16(block + 14);
    if (info.bitCount != 8 && info.bitCount != 24 && info.bitCount != 32)
        return BmpStatus::kUnsupportedDepth;
    info.bytesPerPixel = info.bitCount / 8;
    int32_t width = static_cast<int32_t>(U32(block + 4));
    int32_t height = static_cast<int32_t>(U32(block + 8));
    if (width <= 0 || height == 0 || height == INT32_MIN) return BmpStatus::kBadHeader;
    info.width = width;
    info.height = height < 0 ? -height : height;
    info.topDown = height < 0;
    info.rowLength =
        (static_cast<uint64_t>(info.width) * static_cast<uint64_t>(info.bytesPerPixel) + 3u) & ~3ull;
    info.imageBytes = info.rowLength * static_cast<uint64_t>(info.height);

    // The colour table follows the information header, whose own size field
    // says how long it is (40 for the classic header, 108 / 124 for later ones).
    uint32_t headerSize = U32(block);
    const uint32_t compression = U32(block + 16);
    if (compression == kBitFields && info.bitCount == 32) {
        status = ReadChannelMasks(block, blockLength, info);
        if (status != BmpStatus::kOk) return status;
    } else if (compression != kUncompressed) {
        return BmpStatus::kUnsupportedCompression;
    }
    uint32_t tableStart = (headerSize >= 40 && headerSize <= blockLength) ? headerSize : 40;
    info.paletteOffset = static_cast<uint32_t>(kBmpFileHeaderSize) + tableStart;
    uint32_t entries = (blockLength - tableStart) / 4;
    info.paletteEntries = entries < 256 ? entries : 256;
    return BmpStatus::kOk;
}

BmpStatus DecodeBmp(const uint8_t* data, size_t size, const DecodeRequest& request,
                    RgbaTexture& texture) {
    texture = RgbaTexture();
    BmpInfo info;
    BmpStatus status = ParseBmpHeaders(data, size, info);
    if (status != BmpStatus::kOk) return status;
    if (info.imageBytes > size - info.pixelDataOffset) return BmpStatus::kShortFile;

    int regionWidth = request.regionWidth, regionHeight = request.regionHeight;
    if (regionWidth < 0 || regionHeight < 0) return BmpStatus::kBadRegion;
    if (regionWidth == 0 || regionHeight == 0) {
        regionWidth = info.width;
        regionHeight = info.height;
    }
    const int limit = request.maxTextureSize > 0 && request.maxTextureSize < kNoTextureLimit
                          ? request.maxTextureSize
                          : kNoTextureLimit;
    if (regionWidth > limit) regionWidth = limit;
    if (regionHeight > limit) regionHeight = limit;

    const int textureWidth = TextureSizeFor(regionWidth);
    const int textureHeight = TextureSizeFor(regionHeight);
    const uint64_t pixelCount = static_cast<uint64_t>(textureWidth) * textureHeight;
    if (pixelCount > SIZE_MAX / 4) return BmpStatus::kNoMemory;
    PixelBuffer pixels(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(pixelCount) * 4)));
    if (!pixels) return BmpStatus::kNoMemory;

    uint32_t palette[256] = {};
    uint8_t paletteMissing[256];
    std::memset(paletteMissing, 1, sizeof paletteMissing);
    bool paletteKeyed = false;
    if (info.bitCount == 8) {
        for (uint32_t i = 0; i < info.paletteEntries; ++i) {
            const uint8_t* e = data + info.paletteOffset + 4 * i;
            uint32_t rgb = static_cast<uint32_t>(e[2]) | static_cast<uint32_t>(e[1]) << 8 |
                           static_cast<uint32_t>(e[0]) << 16;
            const bool keyed = request.useKey && rgb == request.keyColour;
            palette[i] = keyed ? 0u : (rgb | kOpaque);
            paletteKeyed |= keyed;
            paletteMissing[i] = 0;
        }
    }

    // Every texel is written once: converted, or zero outside the image and
    // the region. The colour repair follows one row behind the conversion,
    // while the rows it reads are still in the cache; per-row masks of the
    // transparent pixels let it visit only pixels next to opaque ones.
    const bool repair = request.keyColour != 0 && request.repairColours;
    const size_t stride = static_cast<size_t>(textureWidth) * 4;
    uint8_t* const base = pixels.get();
    std::memset(base + regionHeight * stride, 0, (textureHeight - regionHeight) * stride);
    const int64_t firstColumn = std::min<int64_t>(
        regionWidth, request.regionX < 0 ? -static_cast<int64_t>(request.regionX) : 0);
    const int64_t endColumn = std::max<int64_t>(
        firstColumn,
        std::min<int64_t>(regionWidth, static_cast<int64_t>(info.width) - request.regionX));
    const int count = static_cast<int>(endColumn - firstColumn);
    const uint8_t* rows = data + info.pixelDataOffset;
    const int words = RowMask::WordsFor(regionWidth);
    std::vector<uint64_t> masks;
    if (repair) {
        try {
            masks.resize(static_cast<size_t>(words) * 3);  // rows r, r + 1, r + 2
        } catch (const std::bad_alloc&) {
            return BmpStatus::kNoMemory;
        }
    }
    auto maskOf = [&](int row) { return &masks[static_cast<size_t>(row % 3) * words]; };
    const bool maskedChannels = info.channelMask[0] != 0;
    std::vector<uint8_t> unpacked;  // one row in byte order, for masked channels
    if (maskedChannels) {
        try {
            unpacked.resize(static_cast<size_t>(count) * 4);
        } catch (const std::bad_alloc&) {
            return BmpStatus::kNoMemory;
        }
    }
    uint8_t missing = 0;
    // Region rows from the top; the file holds rows bottom-up unless its
    // height was negative.
    for (int y = 0; y < regionHeight; ++y) {
        const int row = regionHeight - 1 - y;
        uint8_t* line = base + row * stride;
        uint64_t* mask = repair ? maskOf(row) : nullptr;
        if (mask) std::memset(mask, 0, sizeof(uint64_t) * words);
        std::memset(line + static_cast<size_t>(regionWidth) * 4, 0, stride - regionWidth * 4u);
        const int64_t imageRow = static_cast<int64_t>(y) + request.regionY;  // from the top
        const int64_t fileRow =
            info.topDown ? imageRow : static_cast<int64_t>(info.height) - 1 - imageRow;
        if (fileRow < 0 || fileRow >= info.height || count == 0) {
            std::memset(line, 0, static_cast<size_t>(regionWidth) * 4);
            if (mask) SetMaskBits(mask, 0, regionWidth);
        } else {
            std::memset(line, 0, static_cast<size_t>(firstColumn) * 4);
            std::memset(line + endColumn * 4, 0, static_cast<size_t>(regionWidth - endColumn) * 4);
            const uint8_t* src = rows + static_cast<uint64_t>(fileRow) * info.rowLength +
                                 static_cast<uint64_t>(firstColumn + request.regionX) * info.bytesPerPixel;
            uint32_t* dst = reinterpret_cast<uint32_t*>(line) + firstColumn;
            if (info.bitCount == 8) {
                for (int i = 0; i < count; ++i) {
                    missing |= paletteMissing[src[i]];
                    dst[i] = palette[src[i]];
                }
                if (mask && paletteKeyed) MaskFromAlpha(line, regionWidth, mask);
            } else {
                if (maskedChannels) {
                    UnpackMaskedRow(src, count, info.channelMask, unpacked.data());
                    src = unpacked.data();
                }
                ConvertBgrRow(src, info.bytesPerPixel, dst, count, request.keyColour, request.useKey,
                              mask, static_cast<int>(firstColumn));
            }
            if (mask) {
                SetMaskBits(mask, 0, static_cast<int>(firstColumn));
                SetMaskBits(mask, static_cast<int>(endColumn), regionWidth);
            }
        }
        if (repair && row + 1 < regionHeight) {
            RepairRowFromMasks(base, stride, regionWidth, regionHeight, row + 1, maskOf(row),
                               maskOf(row + 1), row + 2 < regionHeight ? maskOf(row + 2) : nullptr);
        }
    }
    if (missing) return BmpStatus::kBadPaletteIndex;
    if (repair) {
        RepairRowFromMasks(base, stride, regionWidth, regionHeight, 0, nullptr, maskOf(0),
                           regionHeight > 1 ? maskOf(1) : nullptr);
    }

    texture.textureWidth = textureWidth;
    texture.textureHeight = textureHeight;
    texture.regionWidth = regionWidth;
    texture.regionHeight = regionHeight;
    texture.pixels = std::move(pixels);
    return BmpStatus::kOk;
}

void RepairKeyedColours(uint8_t* rgba, int rowPixels, int regionWidth, int regionHeight) {
    if (regionWidth <= 0 || regionHeight <= 0) return;
    const size_t stride = static_cast<size_t>(rowPixels) * 4;
    const int words = RowMask::WordsFor(regionWidth);
    std::vector<uint64_t> masks(static_cast<size_t>(words) * regionHeight);
    for (int y = 0; y < regionHeight; ++y)
        MaskFromAlpha(rgba + y * stride, regionWidth, &masks[static_cast<size_t>(y) * words]);
    for (int y = 0; y < regionHeight; ++y) {
        const uint64_t* self = &masks[static_cast<size_t>(y) * words];
        RepairRowFromMasks(rgba, stride, regionWidth, regionHeight, y, y > 0 ? self - words : nullptr,
                           self, y + 1 < regionHeight ? self + words : nullptr);
    }
}

void MakeNormalMap(uint8_t* rgba, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const size_t count = static_cast<size_t>(width) * height;
    PixelBuffer out(static_cast<uint8_t*>(std::malloc(count * 4)));
    if (!out) return;
    auto b = [&](int c, int r) {
        c = (c + width) % width;
        r = (r + height) % height;
        return rgba[(static_cast<size_t>(r) * width + c) * 4 + 2] / 255.0;
    };
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const double gx = (b(c + 1, r + 1) + 2 * b(c + 1, r) + b(c + 1, r - 1)) -
                              (b(c - 1, r + 1) + 2 * b(c - 1, r) + b(c - 1, r - 1));
            const double gy = (b(c - 1, r - 1) + 2 * b(c, r - 1) + b(c + 1, r - 1)) -
                              (b(c - 1, r + 1) + 2 * b(c, r + 1) + b(c + 1, r + 1));
            const float root = static_cast<float>(maths::sqrt(gx * gx + gy * gy + 1.0));
            const double k = 1.0 / root;
            uint8_t* p = out.get() + (static_cast<size_t>(r) * width + c) * 4;
            p[0] = static_cast<uint8_t>(static_cast<int>((1.0 - gx * k) * 0.5 * 255.0));
            p[1] = static_cast<uint8_t>(static_cast<int>((1.0 - gy * k) * 0.5 * 255.0));
            p[2] = static_cast<uint8_t>(static_cast<int>((1.0 + k) * 0.5 * 255.0));
            p[3] = rgba[(static_cast<size_t>(r) * width + c) * 4 + 3];
        }
    }
    std::memcpy(rgba, out.get(), count * 4);
}

void BuildNextMipLevel(uint8_t* rgba, int& width, int& height) {
    const int previousWidth = width;
    const int newWidth = width / 2 > 0 ? width / 2 : 1;
    const int newHeight = height / 2 > 0 ? height / 2 : 1;
    // Every write lands at or before the samples still to be read.
    for (int y = 0; y < newHeight; ++y) {
        const bool innerRow = y < newHeight - 1;
        for (int x = 0; x < newWidth; ++x) {
            const bool innerColumn = x < newWidth - 1;
            const size_t i0 = (static_cast<size_t>(2 * y) * previousWidth + 2 * x) * 4;
            const size_t below = static_cast<size_t>(previousWidth) * 4;  // row 2y + 1
            uint8_t value[4];
            for (int c = 0; c < 4; ++c) {
                const unsigned s0 = rgba[i0 + c];
                if (innerColumn && innerRow) {
                    const unsigned s1 = rgba[i0 + 4 + c], s2 = rgba[i0 + below + 4 + c],
                                   s3 = rgba[i0 + below + c];
                    value[c] = static_cast<uint8_t>((4 * s0 + 2 * s1 + 2 * s2 + s3) / 9);
                } else if (innerColumn) {
                    value[c] = static_cast<uint8_t>((2 * s0 + rgba[i0 + 4 + c]) / 3);
                } else if (innerRow) {
                    value[c] = static_cast<uint8_t>((2 * s0 + rgba[i0 + below + c]) / 3);
                } else {
                    value[c] = static_cast<uint8_t>(s0);
                }
            }
            std::memcpy(rgba + (static_cast<size_t>(y) * newWidth + x) * 4, value, 4);
        }
    }
    width = newWidth;
    height = newHeight;
}
