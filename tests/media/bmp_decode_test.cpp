// Decoding BMP files into the RGBA working buffer, without OpenGL.
#include <gtest/gtest.h>

#include <bit>

#include "media/bmp_decode.h"
#include "media/bmp_file.h"
#include "media_test_files.h"

namespace {

constexpr uint32_t kKey = 0x8000FF;  // red 255, green 0, blue 128
constexpr Rgb kKeyRgb{255, 0, 128};

RgbaTexture Decode(const std::vector<uint8_t>& file, DecodeRequest request = {},
                   BmpStatus expected = BmpStatus::kOk) {
    if (request.maxTextureSize == 0) request.maxTextureSize = 4096;
    RgbaTexture t;
    EXPECT_EQ(DecodeBmp(file.data(), file.size(), request, t), expected);
    return t;
}

std::vector<Rgb> Numbered(int width, int height) {
    std::vector<Rgb> p;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.push_back({static_cast<uint8_t>(10 * x + 1), static_cast<uint8_t>(10 * y + 2), 7});
    return p;
}

}  // namespace

TEST(BmpDecode, TextureSizesArePowersOfTwoFromTwo) {
    EXPECT_EQ(TextureSizeFor(1), 2);
    EXPECT_EQ(TextureSizeFor(2), 2);
    EXPECT_EQ(TextureSizeFor(3), 4);
    EXPECT_EQ(TextureSizeFor(64), 64);
    EXPECT_EQ(TextureSizeFor(65), 128);
}

TEST(BmpDecode, OnePixelLandsBottomLeftOfTwoByTwo) {
    RgbaTexture t = Decode(MakeBmp(1, 1, 24, {{9, 8, 7}}));
    ASSERT_TRUE(t.pixels);
    EXPECT_EQ(t.textureWidth, 2);
    EXPECT_EQ(t.textureHeight, 2);
    EXPECT_EQ(PixelAt(t.pixels.get(), 2, 0, 0), Opaque(9, 8, 7));
    EXPECT_EQ(PixelAt(t.pixels.get(), 2, 1, 0), 0u);
    EXPECT_EQ(PixelAt(t.pixels.get(), 2, 0, 1), 0u);
    EXPECT_EQ(PixelAt(t.pixels.get(), 2, 1, 1), 0u);
}

TEST(BmpDecode, RowsAreFlippedIntoGlOrderForEveryDepth) {
    // Width 5 makes each depth's rows padded differently: 24 bit 16 bytes,
    // 32 bit exactly 20 bytes, 8 bit 8 bytes.
    const int w = 5, h = 3;
    std::vector<Rgb> image = Numbered(w, h);
    for (int bits : {24, 32}) {
        SCOPED_TRACE(bits);
        std::vector<uint8_t> file = MakeBmp(w, h, bits, image);
        EXPECT_EQ(file.size(), 54u + (bits == 32 ? 20u : 16u) * h);
        RgbaTexture t = Decode(file);
        ASSERT_TRUE(t.pixels);
        EXPECT_EQ(t.textureWidth, 8);
        EXPECT_EQ(t.textureHeight, 4);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgb& p = image[(h - 1 - y) * w + x];  // buffer row 0 = bottom row
                EXPECT_EQ(PixelAt(t.pixels.get(), 8, x, y), Opaque(p.r, p.g, p.b)) << x << "," << y;
            }
        for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAt(t.pixels.get(), 8, x, 3), 0u);
        for (int y = 0; y < 4; ++y) EXPECT_EQ(PixelAt(t.pixels.get(), 8, 5, y), 0u);
    }
    std::vector<Rgb> palette = {{0, 0, 0}, {200, 100, 50}, {1, 2, 3}};
    std::vector<uint8_t> indices = {1, 2, 0, 1, 2, 0, 0, 0, 0, 1, 2, 2, 2, 2, 2};
    RgbaTexture t = Decode(MakeBmp8(w, h, palette, indices));
    ASSERT_TRUE(t.pixels);
    EXPECT_EQ(PixelAt(t.pixels.get(), 8, 0, 2), Opaque(200, 100, 50));  // top-left
    EXPECT_EQ(PixelAt(t.pixels.get(), 8, 4, 1), Opaque(200, 100, 50));
    EXPECT_EQ(PixelAt(t.pixels.get(), 8, 4, 0), Opaque(1, 2, 3));
    EXPECT_EQ(PixelAt(t.pixels.get(), 8, 2, 2), Opaque(0, 0, 0));
    EXPECT_EQ(PixelAt(t.pixels.get(), 8, 5, 0), 0u);  // row padding is not a pixel
}

TEST(BmpDecode, ColourTableFollowsLongerInformationHeaders) {
    std::vector<Rgb> palette = {{10, 20, 30}, {40, 50, 60}};
    for (uint32_t headerSize : {40u, 108u, 124u}) {
        SCOPED_TRACE(headerSize);
        RgbaTexture t = Decode(MakeBmp8(2, 1, palette, {1, 0}, headerSize));
        ASSERT_TRUE(t.pixels);
        EXPECT_EQ(PixelAt(t.pixels.get(), 2, 0, 0), Opaque(40, 50, 60));
        EXPECT_EQ(PixelAt(t.pixels.get(), 2, 1, 0), Opaque(10, 20, 30));
    }
}

TEST(BmpDecode, TopDownFilesDecodeAsTheirBottomUpTwins) {
    // A negative height stores the top row first; the picture is the same.
    const int w = 5, h = 3;
    std::vector<Rgb> image = Numbered(w, h);
    DecodeRequest region;  // also through a region that starts inside the image
    region.regionX = 1;
    region.regionY = 1;
    region.regionWidth = 3;
    region.regionHeight = 3;
    for (int bits : {24, 32})
        for (const DecodeRequest& request : {DecodeRequest{}, region}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, region y " << request.regionY);
            RgbaTexture upright = Decode(MakeBmp(w, h, bits, image), request);
            RgbaTexture topDown = Decode(MakeBmp(w, h, bits, image, /*topDown=*/true), request);
            ASSERT_TRUE(upright.pixels && topDown.pixels);
            const size_t bytes = static_cast<size_t>(upright.textureWidth) * upright.textureHeight * 4;
            EXPECT_EQ(std::vector<uint8_t>(upright.pixels.get(), upright.pixels.get() + bytes),
                      std::vector<uint8_t>(topDown.pixels.get(), topDown.pixels.get() + bytes));
            // Buffer row 0 is the region's bottom row.
            const int bottom = request.regionHeight ? 2 : h - 1;
            const Rgb& p = image[static_cast<size_t>(bottom) * w + request.regionX];
            EXPECT_EQ(PixelAt(topDown.pixels.get(), upright.textureWidth, 0,
                              request.regionHeight ? 1 : 0),
                      Opaque(p.r, p.g, p.b));
        }
}

namespace {
// A 32-bit bit-field file: pixels (top row first) as 32-bit words, masks
// red, green, blue after a 40-byte header or inside a 108-byte one.
std::vector<uint8_t> MakeBitFieldBmp(int width, int height, const std::vector<uint32_t>& words,
                                     uint32_t red, uint32_t green, uint32_t blue,
                                     uint32_t headerSize) {
    const uint32_t maskBytes = headerSize == 40 ? 12 : 0;
    const uint32_t offset = 14 + headerSize + maskBytes;
    const uint32_t imageBytes = static_cast<uint32_t>(width * height * 4);
    std::vector<uint8_t> out;
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    put(19778, 2), put(offset + imageBytes, 4), put(0, 4), put(offset, 4);
    put(headerSize, 4), put(static_cast<uint32_t>(width), 4), put(static_cast<uint32_t>(height), 4);
    put(1, 2), put(32, 2), put(3, 4), put(imageBytes, 4), put(2835, 4), put(2835, 4), put(0, 4),
        put(0, 4);
    put(red, 4), put(green, 4), put(blue, 4);
    out.resize(offset, 0);
    for (int row = height - 1; row >= 0; --row)
        for (int x = 0; x < width; ++x) put(words[static_cast<size_t>(row) * width + x], 4);
    return out;
}
}  // namespace

TEST(BmpDecode, BitFieldFilesDecodeByTheirMasks) {
    // The same 2 x 2 picture in several layouts; each channel's bits are
    // scaled to 0 ... 255 (5 bits: value * 255 / 31, rounded).
    const Rgb picture[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {16, 128, 200}};
    struct Layout {
        const char* name;
        uint32_t red, green, blue;
    };
    const Layout layouts[] = {
        {"blue green red x (the plain order)", 0x00FF0000, 0x0000FF00, 0x000000FF},
        {"red green blue x", 0x000000FF, 0x0000FF00, 0x00FF0000},
        {"x red green blue from the top byte", 0xFF000000, 0x00FF0000, 0x0000FF00},
        {"5 5 5 in the low bits", 0x7C00, 0x03E0, 0x001F},
    };
    for (const Layout& l : layouts)
        for (uint32_t headerSize : {40u, 108u}) {
            SCOPED_TRACE(testing::Message() << l.name << ", header " << headerSize);
            auto encode = [&](uint32_t mask, uint8_t value) {
                const int shift = std::countr_zero(mask);
                const uint32_t max = mask >> shift;
                return static_cast<uint32_t>((value * max + 127) / 255) << shift;
            };
            std::vector<uint32_t> words;
            for (const Rgb& p : picture)
                words.push_back(encode(l.red, p.r) | encode(l.green, p.g) | encode(l.blue, p.b));
            RgbaTexture t = Decode(MakeBitFieldBmp(2, 2, words, l.red, l.green, l.blue, headerSize));
            ASSERT_TRUE(t.pixels);
            for (int i = 0; i < 4; ++i) {
                auto scaled = [&](uint32_t mask, uint8_t value) {
                    const uint32_t max = mask >> std::countr_zero(mask);
                    const uint32_t v = (value * max + 127) / 255;
                    return static_cast<uint8_t>((v * 255 + max / 2) / max);
                };
                const Rgb& p = picture[i];
                EXPECT_EQ(PixelAt(t.pixels.get(), 2, i % 2, 1 - i / 2),
                          Opaque(scaled(l.red, p.r), scaled(l.green, p.g), scaled(l.blue, p.b)))
                    << "pixel " << i;
            }
        }
    // The key colour applies to the decoded colour, whatever the layout.
    DecodeRequest keyed;
    keyed.keyColour = kKey;
    keyed.useKey = true;
    // Red 255, green 0, blue 128 (the key), then red 0x11, green 0x22, blue 0x33.
    RgbaTexture t = Decode(
        MakeBitFieldBmp(2, 1, {0xFF008000u, 0x11223300u}, 0xFF000000, 0xFF0000, 0xFF00, 40), keyed);
    ASSERT_TRUE(t.pixels);
    EXPECT_EQ(PixelAt(t.pixels.get(), 2, 0, 0), 0u);
    EXPECT_EQ(PixelAt(t.pixels.get(), 2, 1, 0), Opaque(0x11, 0x22, 0x33));
}

TEST(BmpDecode, CompressedFilesAndUnusableMasksAreRefused) {
    // Each file has rows enough for its size, so only its layout refuses it.
    std::vector<Rgb> image = Numbered(4, 4);
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        BmpStatus status;
    };
    auto compressed = [](std::vector<uint8_t> f, uint32_t compression) {
        for (int i = 0; i < 4; ++i) f[30 + i] = static_cast<uint8_t>(compression >> (8 * i));
        return f;
    };
    std::vector<uint8_t> rle8 = compressed(MakeBmp8(4, 4, {{1, 2, 3}, {4, 5, 6}}, std::vector<uint8_t>(16, 1)), 1);
    const Case cases[] = {
        {"8-bit run lengths", rle8, BmpStatus::kUnsupportedCompression},
        {"24-bit run lengths", compressed(MakeBmp(4, 4, 24, image), 1), BmpStatus::kUnsupportedCompression},
        {"24-bit 4-bit runs", compressed(MakeBmp(4, 4, 24, image), 2), BmpStatus::kUnsupportedCompression},
        {"24-bit bit fields", compressed(MakeBmp(4, 4, 24, image), 3), BmpStatus::kUnsupportedCompression},
        {"32-bit JPEG", compressed(MakeBmp(4, 4, 32, image), 4), BmpStatus::kUnsupportedCompression},
        {"32-bit PNG", compressed(MakeBmp(4, 4, 32, image), 5), BmpStatus::kUnsupportedCompression},
        {"32-bit alpha bit fields", compressed(MakeBmp(4, 4, 32, image), 6), BmpStatus::kUnsupportedCompression},
        {"split red mask", MakeBitFieldBmp(1, 1, {0}, 0x00F0F000, 0xF00, 0xF, 40), BmpStatus::kBadMasks},
        {"empty blue mask", MakeBitFieldBmp(1, 1, {0}, 0xFF0000, 0xFF00, 0, 40), BmpStatus::kBadMasks},
        {"overlapping masks", MakeBitFieldBmp(1, 1, {0}, 0xFFFF00, 0xFF00, 0xFF, 40), BmpStatus::kBadMasks},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decode(c.file, {}, c.status);
        const std::string path = ScratchPath("refused.bmp");
        WriteFileBytes(path, c.file);
        std::vector<uint8_t> bytes;
        EXPECT_EQ(ReadBmpFile(path.c_str(), bytes), c.status);
    }
}

TEST(BmpDecode, KeyColourAndRepair) {
    // 5 x 4 image, K = key colour. Inner pixels (columns 1..3, rows 1..2
    // of the region) are the only ones that count as neighbours.
    //   row 0 (top):  K   A   K   B   K
    //   row 1:        C   K   D   E   K
    //   row 2:        K   F   G   K   K
    //   row 3:        K   K   K   K   H
    const Rgb A{10, 20, 30}, B{200, 100, 0}, C{1, 1, 1}, D{30, 60, 90}, E{90, 0, 30},
        F{100, 100, 100}, G{50, 7, 250}, H{9, 9, 9}, K = kKeyRgb;
    std::vector<Rgb> image = {K, A, K, B, K, C, K, D, E, K, K, F, G, K, K, K, K, K, K, H};
    DecodeRequest request;
    request.keyColour = kKey;
    request.useKey = true;
    RgbaTexture t = Decode(MakeBmp(5, 4, 24, image), request);
    ASSERT_TRUE(t.pixels);
    const uint8_t* px = t.pixels.get();
    auto at = [&](int x, int top) { return PixelAt(px, 8, x, 3 - top); };  // by image row
    auto rgb0 = [](unsigned r, unsigned g, unsigned b) { return r | g << 8 | b << 16; };

    // Opaque pixels keep their colour.
    EXPECT_EQ(at(1, 0), Opaque(A.r, A.g, A.b));
    EXPECT_EQ(at(4, 3), Opaque(H.r, H.g, H.b));
    // (0,0): (1,0) lies in the outer row, (0,1) in the outer column and
    // (1,1) is keyed: nothing counts, it stays black.
    EXPECT_EQ(at(0, 0), 0u);
    // (2,0): neighbours in rows 1..2 / columns 1..3: (1,1) K, (2,1) D, (3,1) E.
    EXPECT_EQ(at(2, 0), rgb0((D.r + E.r) / 2, (D.g + E.g) / 2, (D.b + E.b) / 2));
    // (1,1): counted (2,1) D, (1,2) F, (2,2) G; A and C are outer.
    EXPECT_EQ(at(1, 1), rgb0((D.r + F.r + G.r) / 3, (D.g + F.g + G.g) / 3, (D.b + F.b + G.b) / 3));
    // (4,1): counted (3,1) E only; (3,2) is keyed, column 4 and row 0 are outer.
    EXPECT_EQ(at(4, 1), rgb0(E.r, E.g, E.b));
    // (3,2): counted (2,1) D, (3,1) E, (2,2) G.
    EXPECT_EQ(at(3, 2), rgb0((D.r + E.r + G.r) / 3, (D.g + E.g + G.g) / 3, (D.b + E.b + G.b) / 3));
    // (0,3): row 3 is outer; counted (1,2) F only.
    EXPECT_EQ(at(0, 3), rgb0(F.r, F.g, F.b));
    // Outside the region the buffer stays transparent black.
    EXPECT_EQ(PixelAt(px, 8, 5, 0), 0u);
    EXPECT_EQ(PixelAt(px, 8, 7, 3), 0u);

    // Without use key the key colour is an ordinary colour.
    request.useKey = false;
    RgbaTexture plain = Decode(MakeBmp(5, 4, 24, image), request);
    EXPECT_EQ(PixelAt(plain.pixels.get(), 8, 0, 3), Opaque(K.r, K.g, K.b));
}

TEST(BmpDecode, KeyColourZeroMakesBlackTransparentWithoutRepair) {
    const Rgb W{250, 240, 230}, Z{0, 0, 0};
    std::vector<Rgb> image = {W, W, W, W, Z, W, W, W, W};
    DecodeRequest request;
    request.keyColour = 0;
    request.useKey = true;
    RgbaTexture t = Decode(MakeBmp(3, 3, 32, image), request);
    ASSERT_TRUE(t.pixels);
    EXPECT_EQ(PixelAt(t.pixels.get(), 4, 1, 1), 0u);  // not repaired to W
    EXPECT_EQ(PixelAt(t.pixels.get(), 4, 0, 0), Opaque(W.r, W.g, W.b));
}

TEST(BmpDecode, RegionsAndCroppingAtTheTextureLimit) {
    const int w = 10, h = 6;
    std::vector<Rgb> image = Numbered(w, h);
    std::vector<uint8_t> file = MakeBmp(w, h, 24, image);
    auto expectImage = [&](const RgbaTexture& t, int rx, int ry, int rw, int rh) {
        for (int y = 0; y < rh; ++y)
            for (int x = 0; x < rw; ++x) {
                const int sx = x + rx, sy = y + ry;  // image column / row from the top
                const uint32_t want =
                    (sx >= 0 && sx < w && sy >= 0 && sy < h)
                        ? Opaque(image[sy * w + sx].r, image[sy * w + sx].g, image[sy * w + sx].b)
                        : 0u;
                EXPECT_EQ(PixelAt(t.pixels.get(), t.textureWidth, x, rh - 1 - y), want)
                    << "region pixel " << x << "," << y;
            }
    };
    // Larger than the limit: cropped from the region origin, not scaled.
    DecodeRequest request;
    request.maxTextureSize = 4;
    RgbaTexture cropped = Decode(file, request);
    ASSERT_TRUE(cropped.pixels);
    EXPECT_EQ(cropped.textureWidth, 4);
    EXPECT_EQ(cropped.textureHeight, 4);
    EXPECT_EQ(cropped.regionWidth, 4);
    expectImage(cropped, 0, 0, 4, 4);

    request.regionX = 7;
    request.regionY = 4;
    request.regionWidth = 4;
    request.regionHeight = 3;
    RgbaTexture edge = Decode(file, request);  // past the right and bottom edges
    ASSERT_TRUE(edge.pixels);
    expectImage(edge, 7, 4, 4, 3);

    request.regionX = -2;
    request.regionY = -1;
    RgbaTexture before = Decode(file, request);
    ASSERT_TRUE(before.pixels);
    expectImage(before, -2, -1, 4, 3);

    request.regionWidth = -1;
    Decode(file, request, BmpStatus::kBadRegion);
}

TEST(BmpDecode, MipChainOf64By16) {
    // Red grows by 4 per column and green by 16 per row (buffer rows), so
    // each level has a closed form: inner texels (4*s0 + 2*s1 + 2*s2 + s3) / 9,
    // the last column and row take no samples from beyond themselves.
    const int w = 64, h = 16;
    std::vector<uint8_t> buffer(w * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &buffer[(y * w + x) * 4];
            p[0] = static_cast<uint8_t>(4 * x);
            p[1] = static_cast<uint8_t>(16 * y);
            p[2] = 77;
            p[3] = 255;
        }
    int lw = w, lh = h;
    std::vector<std::pair<int, int>> sizes = {{lw, lh}};
    BuildNextMipLevel(buffer.data(), lw, lh);
    sizes.push_back({lw, lh});
    // Level 1 (32 x 8): red (4*8x + 2*(8x+4)*2 + 8x) / 9 = 8x + 1 inside, 8x on the last column.
    for (int x = 0; x < 32; ++x) {
        EXPECT_EQ(PixelAt(buffer.data(), 32, x, 0) & 0xFF, x < 31 ? 8u * x + 1 : 248u) << x;
        EXPECT_EQ(PixelAt(buffer.data(), 32, x, 7) & 0xFF, x < 31 ? (2u * 8 * x + 8 * x + 4) / 3 : 248u);
    }
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(PixelAt(buffer.data(), 32, 0, y) >> 8 & 0xFF, y < 7 ? 32u * y + 5 : 224u) << y;
        EXPECT_EQ(PixelAt(buffer.data(), 32, 31, y) >> 8 & 0xFF, y < 7 ? (2u * 32 * y + 32 * y + 16) / 3 : 224u);
        EXPECT_EQ(PixelAt(buffer.data(), 32, 5, y) >> 16, 0xFFu * 256 + 77);  // flat channels stay
    }
    BuildNextMipLevel(buffer.data(), lw, lh);
    sizes.push_back({lw, lh});
    // Level 2 (16 x 4): from 8x+1 / 248: (144x + 41) / 9 = 16x + 4 inside.
    for (int x = 0; x < 15; ++x) EXPECT_EQ(PixelAt(buffer.data(), 16, x, 0) & 0xFF, 16u * x + 4) << x;
    EXPECT_EQ(PixelAt(buffer.data(), 16, 15, 0) & 0xFF, 241u);
    while (lw > 1 || lh > 1) {
        BuildNextMipLevel(buffer.data(), lw, lh);
        sizes.push_back({lw, lh});
    }
    std::vector<std::pair<int, int>> expected = {{64, 16}, {32, 8}, {16, 4}, {8, 2},
                                                 {4, 1},   {2, 1},  {1, 1}};
    EXPECT_EQ(sizes, expected);
}

TEST(BmpDecode, SmallMipChainExactTexels) {
    // 4 x 4 buffer, red = 10x + 50y, alpha 255 except texel (1, 0).
    std::vector<uint8_t> b(4 * 4 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            uint8_t* p = &b[(y * 4 + x) * 4];
            p[0] = static_cast<uint8_t>(10 * x + 50 * y);
            p[3] = (x == 1 && y == 0) ? 0 : 255;
        }
    int w = 4, h = 4;
    BuildNextMipLevel(b.data(), w, h);
    ASSERT_EQ(w, 2);
    ASSERT_EQ(h, 2);
    EXPECT_EQ(b[0], (4 * 0 + 2 * 10 + 2 * 60 + 50) / 9);
    EXPECT_EQ(b[3], (4 * 255 + 2 * 0 + 2 * 255 + 255) / 9);
    EXPECT_EQ(b[4], (2 * 20 + 70) / 3);       // (1, 0): last column
    EXPECT_EQ(b[8], (2 * 100 + 110) / 3);     // (0, 1): last row
    EXPECT_EQ(b[12], 120);                    // (1, 1): s0 only
    BuildNextMipLevel(b.data(), w, h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(b[0], (4 * 0 + 2 * 10 + 2 * 60 + 50) / 9);
}

TEST(BmpDecode, NormalMapFromBlueChannel) {
    // Blue 255 on three texels of a 4 x 4 buffer (rows bottom-up), wrapping
    // at the edges. Reference values from the Sobel formula evaluated
    // independently in double precision with a single-precision root.
    const int blue[4][4] = {{0, 0, 0, 0}, {0, 255, 255, 0}, {0, 255, 0, 0}, {0, 0, 0, 0}};
    std::vector<uint8_t> b(4 * 4 * 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            b[(r * 4 + c) * 4 + 2] = static_cast<uint8_t>(blue[r][c]);
            b[(r * 4 + c) * 4 + 3] = static_cast<uint8_t>(r * 4 + c);
        }
    MakeNormalMap(b.data(), 4, 4);
    struct Want {
        int c, r;
        uint8_t red, green, blue;
    };
    const Want wants[] = {{0, 0, 53, 201, 201},  {1, 0, 89, 242, 165},  {3, 0, 201, 201, 201},
                          {0, 1, 12, 165, 165},  {1, 1, 42, 212, 170},  {3, 1, 241, 127, 184},
                          {2, 2, 215, 39, 156},  {1, 3, 127, 13, 184},  {3, 3, 127, 127, 255}};
    for (const Want& w : wants) {
        const uint8_t* p = &b[(w.r * 4 + w.c) * 4];
        EXPECT_EQ(p[0], w.red) << w.c << "," << w.r;
        EXPECT_EQ(p[1], w.green) << w.c << "," << w.r;
        EXPECT_EQ(p[2], w.blue) << w.c << "," << w.r;
        EXPECT_EQ(p[3], w.r * 4 + w.c);  // alpha unchanged
    }
}
