// Row kernels of the BMP decoder: pixel conversion to RGBA words with the
// key colour, and the colour repair of transparent pixels driven by
// per-row bit masks.
#pragma once
#include <cstddef>
#include <cstdint>

// One bit per region column, set for transparent pixels (alpha 0). Holds
// one spare word so that shifts across words need no bounds tests.
struct RowMask {
    static int WordsFor(int width) { return (width + 63) / 64 + 1; }
};

inline void SetMaskBits(uint64_t* mask, int from, int to) {  // [from, to)
    for (int x = from; x < to; ++x) mask[x >> 6] |= 1ull << (x & 63);
}

// Converts count pixels of blue, green, red (bytesPerPixel 3) or blue,
// green, red, ignored (4) to RGBA words; pixels equal to key (blue * 65536 +
// green * 256 + red) become 0 when useKey is set and get their bit set in
// transparent (when given), counted from bit firstBit. Reads only the count
// pixels' bytes.
void ConvertBgrRow(const uint8_t* src, int bytesPerPixel, uint32_t* dst, int count, uint32_t key,
                   bool useKey, uint64_t* transparent, int firstBit);

// Repairs row y of an RGBA buffer (stride in bytes) from the transparency
// masks of rows y - 1, y and y + 1 (null where the row does not exist):
// each transparent pixel with opaque inner neighbours (columns 1 .. width - 2,
// rows 1 .. height - 2) takes the truncated average of their colours.
void RepairRowFromMasks(uint8_t* rgba, size_t stride, int width, int height, int y,
                        const uint64_t* below, const uint64_t* self, const uint64_t* above);

// The transparency mask of a converted row, from its alpha bytes.
void MaskFromAlpha(const uint8_t* row, int width, uint64_t* mask);
