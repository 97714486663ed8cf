#include "media/bmp_rows.h"

#include <bit>
#include <cstring>

// Vector kernels for x86 (both targets); other processors use the plain
// loops, which give the same results.
#if defined(__SSE2__)
#include <emmintrin.h>
#define BRINDLE_SSE2 1
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <tmmintrin.h>
#define BRINDLE_SSSE3 1
#endif

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

inline void OrBits(uint64_t* mask, int position, uint64_t bits, int count) {
    const int shift = position & 63;
    mask[position >> 6] |= bits << shift;
    if (shift + count > 64) mask[(position >> 6) + 1] |= bits >> (64 - shift);
}

// Plain loop from pixel i on; returns nothing, finishes the row.
void ConvertPlain(const uint8_t* src, int bytes, uint32_t* dst, int i, int count, uint32_t key,
                  bool useKey, uint64_t* transparent, int firstBit) {
    for (; i < count; ++i) {
        const uint8_t* p = src + static_cast<size_t>(i) * bytes;
        const uint32_t rgb = static_cast<uint32_t>(p[2]) | static_cast<uint32_t>(p[1]) << 8 |
                             static_cast<uint32_t>(p[0]) << 16;
        const bool keyed = useKey && rgb == key;
        dst[i] = keyed ? 0u : (rgb | kOpaque);
        if (keyed && transparent) OrBits(transparent, firstBit + i, 1, 1);
    }
}

#if defined(BRINDLE_SSE2) || defined(BRINDLE_SSSE3)
// Stores four pixels in red-green-blue order, opaque, or transparent black
// where they are the key, and marks the keyed ones in the mask.
__attribute__((always_inline)) inline void StoreFour(__m128i rgb, __m128i keys, __m128i alpha,
                                                     uint32_t* dst, uint64_t* transparent,
                                                     int firstBit) {
    const __m128i keyed = _mm_cmpeq_epi32(rgb, keys);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_andnot_si128(keyed, _mm_or_si128(rgb, alpha)));
    const int bits = _mm_movemask_ps(_mm_castsi128_ps(keyed));
    if (bits && transparent) OrBits(transparent, firstBit, static_cast<uint64_t>(bits), 4);
}
#endif

#ifdef BRINDLE_SSSE3
bool HasSsse3() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
}

// Four 24-bit pixels per step with one byte shuffle, which also turns
// blue-green-red into the red-green-blue order of the key value. Returns the
// pixels done; each 16-byte load stays within the row's count pixels.
__attribute__((target("ssse3"))) int Convert24Ssse3(const uint8_t* src, uint32_t* dst, int count,
                                                    uint32_t key, bool useKey,
                                                    uint64_t* transparent, int firstBit) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, -128, 5, 4, 3, -128, 8, 7, 6, -128, 11, 10, 9, -128);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(kOpaque));
    // A value with its top byte set never equals a 24-bit pixel.
    const __m128i keys = _mm_set1_epi32(static_cast<int>(useKey ? key : 0xFFFFFFFFu));
    int i = 0;
    for (; i + 6 <= count; i += 4) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * i));
        const __m128i rgb = _mm_shuffle_epi8(in, order);
        StoreFour(rgb, keys, alpha, dst + i, transparent, firstBit + i);
    }
    return i;
}
#endif

#ifdef BRINDLE_SSE2
// Four 32-bit pixels per step: swap blue and red, drop the fourth byte.
int Convert32Sse2(const uint8_t* src, uint32_t* dst, int count, uint32_t key, bool useKey,
                  uint64_t* transparent, int firstBit) {
    const __m128i green = _mm_set1_epi32(0x0000FF00);
    const __m128i low = _mm_set1_epi32(0x000000FF);
    const __m128i high = _mm_set1_epi32(0x00FF0000);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(kOpaque));
    const __m128i keys = _mm_set1_epi32(static_cast<int>(useKey ? key : 0xFFFFFFFFu));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i));
        const __m128i rgb = _mm_or_si128(
            _mm_and_si128(in, green),
            _mm_or_si128(_mm_and_si128(_mm_srli_epi32(in, 16), low),
                         _mm_and_si128(_mm_slli_epi32(in, 16), high)));
        StoreFour(rgb, keys, alpha, dst + i, transparent, firstBit + i);
    }
    return i;
}
#endif

// Opaque inner pixels of a row's mask word (columns 1 .. innerLast).
inline uint64_t InnerOpaque(const uint64_t* mask, int word, uint64_t inner) {
    return mask ? ~mask[word] & inner : 0;
}

inline uint64_t InnerColumns(int word, int innerLast) {
    const int from = word * 64, to = from + 63;  // columns of this word
    if (innerLast < from || to < 1) return 0;
    const int lo = from < 1 ? 1 - from : 0;
    const int hi = innerLast < to ? innerLast - from : 63;
    const uint64_t upToHi = hi == 63 ? ~0ull : ((1ull << (hi + 1)) - 1);
    return upToHi & ~((1ull << lo) - 1);
}

// Truncating division by 1 .. 8 for sums of at most 8 * 255, as a multiply
// and shift (checked for every case at compile time).
constexpr uint32_t kReciprocal[9] = {0, 65536, 32768, 21846, 16384, 13108, 10923, 9363, 8192};
constexpr bool ReciprocalsExact() {
    for (uint32_t c = 1; c <= 8; ++c)
        for (uint32_t v = 0; v <= 8 * 255; ++v)
            if ((v * kReciprocal[c]) >> 16 != v / c) return false;
    return true;
}
static_assert(ReciprocalsExact());

// Red, green and blue of an opaque RGBA word spread into 16-bit lanes of a
// 64-bit sum (eight of them cannot carry across lanes); 0 when transparent.
inline uint64_t Lanes(const uint8_t* p, uint32_t& counted) {
    uint32_t w;
    std::memcpy(&w, p, 4);
    const uint32_t take = 0u - static_cast<uint32_t>((w >> 24) != 0);
    counted += take & 1u;
    const uint64_t c = w & take & 0x00FFFFFFu;
    return (c & 0xFF) | (c & 0xFF00) << 8 | (c & 0xFF0000) << 16;
}

void StoreAverage(uint8_t* p, uint64_t sums, uint32_t counted) {
    if (!counted) return;
    const uint32_t m = kReciprocal[counted];
    p[0] = static_cast<uint8_t>(((sums & 0xFFFF) * m) >> 16);
    p[1] = static_cast<uint8_t>(((sums >> 16 & 0xFFFF) * m) >> 16);
    p[2] = static_cast<uint8_t>(((sums >> 32 & 0xFFFF) * m) >> 16);
}

#ifdef BRINDLE_SSE2
// The eight neighbours as three 4-pixel loads (the fourth pixel of each,
// still inside the region's row, and the pixel itself are masked out);
// channels are summed in 16-bit lanes.
void RepairInteriorSse2(uint8_t* c, size_t stride) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i three = _mm_setr_epi32(-1, -1, -1, 0);
    const __m128i sides = _mm_setr_epi32(-1, 0, -1, 0);
    __m128i sums = zero;
    int counted = 0;
    auto row = [&](const uint8_t* p, __m128i lanes) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i opaque = _mm_andnot_si128(_mm_cmpeq_epi32(_mm_srli_epi32(v, 24), zero), lanes);
        v = _mm_and_si128(v, opaque);
        // Bits set in a 4-bit mask (the baseline processor has no popcnt).
        static constexpr uint8_t kBits[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
        counted += kBits[_mm_movemask_ps(_mm_castsi128_ps(opaque))];
        sums = _mm_add_epi16(sums, _mm_add_epi16(_mm_unpacklo_epi8(v, zero), _mm_unpackhi_epi8(v, zero)));
    };
    row(c - stride - 4, three);
    row(c - 4, sides);
    row(c + stride - 4, three);
    if (!counted) return;
    sums = _mm_add_epi16(sums, _mm_srli_si128(sums, 8));
    const uint32_t m = kReciprocal[counted];
    c[0] = static_cast<uint8_t>((static_cast<uint32_t>(_mm_extract_epi16(sums, 0)) * m) >> 16);
    c[1] = static_cast<uint8_t>((static_cast<uint32_t>(_mm_extract_epi16(sums, 1)) * m) >> 16);
    c[2] = static_cast<uint8_t>((static_cast<uint32_t>(_mm_extract_epi16(sums, 2)) * m) >> 16);
}
#endif

void RepairPixel(uint8_t* rgba, size_t stride, int x, int y, int innerLast, int rowLast) {
    if (x >= 2 && x < innerLast && y >= 2 && y < rowLast) {
        // All eight neighbours are inner pixels: no bounds, no branches.
        uint8_t* c = rgba + y * stride + 4 * x;
#ifdef BRINDLE_SSE2
        RepairInteriorSse2(c, stride);
        return;
#endif
        uint32_t counted = 0;
        const uint64_t sums = Lanes(c - stride - 4, counted) + Lanes(c - stride, counted) +
                              Lanes(c - stride + 4, counted) + Lanes(c - 4, counted) +
                              Lanes(c + 4, counted) + Lanes(c + stride - 4, counted) +
                              Lanes(c + stride, counted) + Lanes(c + stride + 4, counted);
        StoreAverage(c, sums, counted);
        return;
    }
    const int colFrom = x - 1 < 1 ? 1 : x - 1, colTo = x + 1 > innerLast ? innerLast : x + 1;
    const int rowFrom = y - 1 < 1 ? 1 : y - 1, rowTo = y + 1 > rowLast ? rowLast : y + 1;
    uint32_t red = 0, green = 0, blue = 0, counted = 0;
    for (int ny = rowFrom; ny <= rowTo; ++ny) {
        const uint8_t* n = rgba + ny * stride;
        for (int nx = colFrom; nx <= colTo; ++nx) {
            // Without branches: a transparent neighbour (the pixel itself
            // among them) adds nothing.
            const uint8_t* p = n + 4 * nx;
            const uint32_t take = 0u - static_cast<uint32_t>(p[3] != 0);
            red += p[0] & take;
            green += p[1] & take;
            blue += p[2] & take;
            counted += take & 1u;
        }
    }
    if (counted) {
        const uint32_t m = kReciprocal[counted];
        uint8_t* p = rgba + y * stride + 4 * x;
        p[0] = static_cast<uint8_t>((red * m) >> 16);
        p[1] = static_cast<uint8_t>((green * m) >> 16);
        p[2] = static_cast<uint8_t>((blue * m) >> 16);
    }
}

}  // namespace

void ConvertBgrRow(const uint8_t* src, int bytesPerPixel, uint32_t* dst, int count, uint32_t key,
                   bool useKey, uint64_t* transparent, int firstBit) {
    int done = 0;
#ifdef BRINDLE_SSSE3
    if (bytesPerPixel == 3 && HasSsse3())
        done = Convert24Ssse3(src, dst, count, key, useKey, transparent, firstBit);
#endif
#ifdef BRINDLE_SSE2
    if (bytesPerPixel == 4) done = Convert32Sse2(src, dst, count, key, useKey, transparent, firstBit);
#endif
    ConvertPlain(src, bytesPerPixel, dst, done, count, key, useKey, transparent, firstBit);
}

void MaskFromAlpha(const uint8_t* row, int width, uint64_t* mask) {
    std::memset(mask, 0, sizeof(uint64_t) * RowMask::WordsFor(width));
    for (int x = 0; x < width; ++x) OrBits(mask, x, row[4 * x + 3] == 0 ? 1u : 0u, 1);
}

void RepairRowFromMasks(uint8_t* rgba, size_t stride, int width, int height, int y,
                        const uint64_t* below, const uint64_t* self, const uint64_t* above) {
    // Only inner pixels count as neighbours; they are opaque and never
    // changed here, so rows can be repaired in any order.
    const int innerLast = width - 2, rowLast = height - 2;
    if (innerLast < 1 || rowLast < 1 || !self) return;
    if (y - 1 < 1) below = nullptr;
    if (y + 1 > rowLast) above = nullptr;
    const bool selfCounts = y >= 1 && y <= rowLast;
    const int words = RowMask::WordsFor(width) - 1;
    // Opaque neighbours at columns x - 1, x, x + 1 of each column x.
    auto spread = [&](const uint64_t* m, int w) -> uint64_t {
        if (!m) return 0;
        const uint64_t here = InnerOpaque(m, w, InnerColumns(w, innerLast));
        const uint64_t before = w > 0 ? InnerOpaque(m, w - 1, InnerColumns(w - 1, innerLast)) : 0;
        const uint64_t after = InnerOpaque(m, w + 1, InnerColumns(w + 1, innerLast));
        return here | here << 1 | before >> 63 | here >> 1 | after << 63;
    };
    for (int w = 0; w < words; ++w) {
        uint64_t candidates = self[w];
        if (!candidates) continue;
        candidates &= spread(below, w) | spread(above, w) | (selfCounts ? spread(self, w) : 0);
        while (candidates) {
            const int x = w * 64 + std::countr_zero(candidates);
            candidates &= candidates - 1;
            if (x < width) RepairPixel(rgba, stride, x, y, innerLast, rowLast);
        }
    }
}
