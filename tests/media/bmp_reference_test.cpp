// The decoder's vector kernels and row-by-row colour repair against a
// straightforward model of the documented steps, on random images and
// regions whose sizes sit around the kernels' block and mask-word edges.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "media/bmp_decode.h"
#include "media_test_files.h"

namespace {

constexpr uint32_t kKey = 0x8000FF;
constexpr Rgb kKeyRgb{255, 0, 128};

// Steps 6 to 8 written plainly: one texel at a time, then the repair from a
// copy of the alpha channel.
std::vector<uint32_t> Model(const std::vector<Rgb>& topFirst, int w, int h, const DecodeRequest& q,
                            int& textureWidth) {
    int rw = q.regionWidth ? q.regionWidth : w, rh = q.regionHeight ? q.regionHeight : h;
    textureWidth = TextureSizeFor(rw);
    const int textureHeight = TextureSizeFor(rh);
    std::vector<uint32_t> t(static_cast<size_t>(textureWidth) * textureHeight, 0);
    for (int y = 0; y < rh; ++y)
        for (int x = 0; x < rw; ++x) {
            const int sx = x + q.regionX, sy = y + q.regionY;
            if (sx < 0 || sx >= w || sy < 0 || sy >= h) continue;
            const Rgb& p = topFirst[static_cast<size_t>(sy) * w + sx];
            const uint32_t value = p.b * 65536u + p.g * 256u + p.r;
            t[static_cast<size_t>(rh - 1 - y) * textureWidth + x] =
                (q.useKey && value == q.keyColour) ? 0u : Opaque(p.r, p.g, p.b);
        }
    if (q.keyColour == 0) return t;
    const std::vector<uint32_t> before = t;
    auto at = [&](int x, int y) { return before[static_cast<size_t>(y) * textureWidth + x]; };
    for (int y = 0; y < rh; ++y)
        for (int x = 0; x < rw; ++x) {
            if (at(x, y) >> 24) continue;
            unsigned r = 0, g = 0, b = 0, n = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx == 0 && dy == 0) || nx < 1 || nx > rw - 2 || ny < 1 || ny > rh - 2) continue;
                    const uint32_t v = at(nx, ny);
                    if (!(v >> 24)) continue;
                    r += v & 0xFF;
                    g += v >> 8 & 0xFF;
                    b += v >> 16 & 0xFF;
                    ++n;
                }
            if (n) t[static_cast<size_t>(y) * textureWidth + x] = (r / n) | (g / n) << 8 | (b / n) << 16;
        }
    return t;
}

std::vector<Rgb> RandomImage(std::mt19937& rng, int w, int h) {
    std::vector<Rgb> p(static_cast<size_t>(w) * h);
    // Key-coloured blobs on random colours, so both long runs and single
    // pixels of each kind occur.
    std::uniform_int_distribution<int> byte(0, 255), coin(0, 99);
    bool keyed = false;
    for (Rgb& c : p) {
        if (coin(rng) < 12) keyed = !keyed;
        c = keyed ? kKeyRgb : Rgb{static_cast<uint8_t>(byte(rng)), static_cast<uint8_t>(byte(rng)),
                                  static_cast<uint8_t>(byte(rng))};
    }
    return p;
}

}  // namespace

TEST(BmpReference, RandomImagesRegionsAndDepths) {
    std::mt19937 rng(20261207);
    const int widths[] = {1, 2, 3, 4, 5, 6, 7, 9, 63, 64, 65, 66, 130};
    const int heights[] = {1, 2, 3, 4, 7, 66};
    int compared = 0;
    for (int w : widths)
        for (int h : heights)
            for (int bits : {24, 32}) {
                std::vector<Rgb> image = RandomImage(rng, w, h);
                std::vector<uint8_t> file = MakeBmp(w, h, bits, image);
                for (int variant = 0; variant < 4; ++variant) {
                    DecodeRequest q;
                    q.maxTextureSize = 4096;
                    q.useKey = variant != 1;
                    q.keyColour = variant == 2 ? 0 : kKey;
                    if (variant == 3) {
                        std::uniform_int_distribution<int> shift(-3, 3), size(1, 70);
                        q.regionX = shift(rng);
                        q.regionY = shift(rng);
                        q.regionWidth = size(rng);
                        q.regionHeight = size(rng);
                    }
                    int textureWidth = 0;
                    const std::vector<uint32_t> want = Model(image, w, h, q, textureWidth);
                    RgbaTexture got;
                    ASSERT_EQ(DecodeBmp(file.data(), file.size(), q, got), BmpStatus::kOk);
                    ASSERT_EQ(got.textureWidth, textureWidth);
                    ASSERT_EQ(static_cast<size_t>(got.textureWidth) * got.textureHeight, want.size());
                    for (size_t i = 0; i < want.size(); ++i) {
                        const uint32_t v = PixelAt(got.pixels.get(), got.textureWidth,
                                                   static_cast<int>(i % textureWidth),
                                                   static_cast<int>(i / textureWidth));
                        ASSERT_EQ(v, want[i]) << w << "x" << h << " " << bits << " bit, variant "
                                              << variant << ", texel " << i;
                    }
                    ++compared;
                }
            }
    EXPECT_EQ(compared, 13 * 6 * 2 * 4);
}

TEST(BmpReference, PaletteImagesAndTheStandaloneRepair) {
    std::mt19937 rng(7);
    std::vector<Rgb> palette = {kKeyRgb, {1, 2, 3}, {250, 128, 7}, {0, 0, 0}, {90, 91, 92}};
    for (int w : {3, 8, 65, 129}) {
        const int h = 9;
        std::vector<uint8_t> indices(static_cast<size_t>(w) * h);
        std::vector<Rgb> image(indices.size());
        std::uniform_int_distribution<int> pick(0, 4);
        for (size_t i = 0; i < indices.size(); ++i) {
            indices[i] = static_cast<uint8_t>(pick(rng) < 2 ? 0 : pick(rng));
            image[i] = palette[indices[i]];
        }
        DecodeRequest q;
        q.maxTextureSize = 4096;
        q.useKey = true;
        q.keyColour = kKey;
        int textureWidth = 0;
        const std::vector<uint32_t> want = Model(image, w, h, q, textureWidth);
        std::vector<uint8_t> file = MakeBmp8(w, h, palette, indices);
        RgbaTexture got;
        ASSERT_EQ(DecodeBmp(file.data(), file.size(), q, got), BmpStatus::kOk);
        for (size_t i = 0; i < want.size(); ++i)
            ASSERT_EQ(PixelAt(got.pixels.get(), textureWidth, static_cast<int>(i % textureWidth),
                              static_cast<int>(i / textureWidth)),
                      want[i])
                << w << " wide, texel " << i;

        // The same repair applied on its own to the keyed but unrepaired buffer.
        std::vector<uint8_t> unrepaired(want.size() * 4);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgb& p = image[static_cast<size_t>(h - 1 - y) * w + x];
                const uint32_t v = indices[static_cast<size_t>(h - 1 - y) * w + x] == 0
                                       ? 0u
                                       : Opaque(p.r, p.g, p.b);
                std::memcpy(&unrepaired[(static_cast<size_t>(y) * textureWidth + x) * 4], &v, 4);
            }
        RepairKeyedColours(unrepaired.data(), textureWidth, w, h);
        for (size_t i = 0; i < want.size(); ++i)
            ASSERT_EQ(PixelAt(unrepaired.data(), textureWidth, static_cast<int>(i % textureWidth),
                              static_cast<int>(i / textureWidth)),
                      want[i])
                << w << " wide, standalone repair, texel " << i;
    }
}
