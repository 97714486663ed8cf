// BMP files that lie about themselves fail cleanly, in memory and on disk.
#include <gtest/gtest.h>

#include <cstring>

#include "media/bmp_decode.h"
#include "media/bmp_file.h"
#include "media_test_files.h"

namespace {

void Set32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

BmpStatus DecodeStatus(const std::vector<uint8_t>& file) {
    DecodeRequest request;
    request.maxTextureSize = 4096;
    RgbaTexture t;
    BmpStatus s = DecodeBmp(file.data(), file.size(), request, t);
    EXPECT_EQ(s == BmpStatus::kOk, t.pixels != nullptr);
    return s;
}

BmpStatus FileStatus(const std::vector<uint8_t>& file, const char* name) {
    std::string path = ScratchPath(name);
    WriteFileBytes(path, file);
    std::vector<uint8_t> bytes;
    return ReadBmpFile(path.c_str(), bytes);
}

std::vector<uint8_t> Good() { return MakeBmp(4, 3, 24, std::vector<Rgb>(12, Rgb{1, 2, 3})); }

}  // namespace

TEST(BmpBadInput, HeadersThatDoNotFit) {
    EXPECT_EQ(DecodeStatus(Good()), BmpStatus::kOk);
    EXPECT_EQ(FileStatus(Good(), "good.bmp"), BmpStatus::kOk);

    std::vector<uint8_t> f = Good();
    f[0] = 'B';
    f[1] = 'A';
    EXPECT_EQ(DecodeStatus(f), BmpStatus::kNotBmp);
    EXPECT_EQ(FileStatus(f, "sig.bmp"), BmpStatus::kNotBmp);

    // Rows claimed beyond the end of the file.
    f = Good();
    Set32(f, 22, 4000);
    EXPECT_EQ(DecodeStatus(f), BmpStatus::kShortFile);
    EXPECT_EQ(FileStatus(f, "rows.bmp"), BmpStatus::kShortFile);
    // Sizes that would not fit in memory at all: nothing is allocated for them.
    f = Good();
    Set32(f, 18, 0x7FFFFFFF);
    Set32(f, 22, 0x7FFFFFFF);
    EXPECT_EQ(DecodeStatus(f), BmpStatus::kShortFile);
    EXPECT_EQ(FileStatus(f, "huge.bmp"), BmpStatus::kShortFile);
    // Headers claimed beyond the end of the file.
    f = Good();
    Set32(f, 10, 0xFFFFFFF0u);
    EXPECT_EQ(DecodeStatus(f), BmpStatus::kNotBmp);
    EXPECT_EQ(FileStatus(f, "offset.bmp"), BmpStatus::kNotBmp);
    // Impossible widths and heights.
    for (uint32_t width : {0u, 0xFFFFFFFFu, 0x80000000u}) {
        f = Good();
        Set32(f, 18, width);
        EXPECT_EQ(DecodeStatus(f), BmpStatus::kBadHeader) << width;
    }
    for (uint32_t height : {0u, 0x80000000u}) {
        f = Good();
        Set32(f, 22, height);
        EXPECT_EQ(DecodeStatus(f), BmpStatus::kBadHeader) << height;
    }
    // Unsupported depth.
    f = Good();
    f[28] = 16;
    EXPECT_EQ(DecodeStatus(f), BmpStatus::kUnsupportedDepth);
    // Every cut of a good file fails; none reads past the bytes it has.
    std::vector<uint8_t> good = Good();
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        EXPECT_NE(DecodeStatus(cut), BmpStatus::kOk) << n;
    }
}

TEST(BmpBadInput, PixelDataOffsetBelowHeaders) {
    std::vector<uint8_t> f = Good();
    for (uint32_t offset : {0u, 14u, 40u, 53u}) {
        Set32(f, 10, offset);
        EXPECT_EQ(DecodeStatus(f), BmpStatus::kBadHeader) << offset;
        EXPECT_EQ(FileStatus(f, "low.bmp"), BmpStatus::kBadHeader);
        BmpSize s = ReadBmpSize(ScratchPath("low.bmp").c_str());
        EXPECT_EQ(s.width, 0);
        EXPECT_EQ(s.height, 0);
    }
}

TEST(BmpBadInput, PaletteIndexBeyondColourTable) {
    std::vector<Rgb> palette = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}};
    EXPECT_EQ(DecodeStatus(MakeBmp8(4, 1, palette, {0, 1, 2, 2})), BmpStatus::kOk);
    EXPECT_EQ(DecodeStatus(MakeBmp8(4, 1, palette, {0, 1, 3, 2})), BmpStatus::kBadPaletteIndex);
    EXPECT_EQ(DecodeStatus(MakeBmp8(4, 1, {}, {0, 0, 0, 0})), BmpStatus::kBadPaletteIndex);
    // An index outside the loaded region does not matter.
    std::vector<uint8_t> f = MakeBmp8(4, 1, palette, {0, 1, 2, 200});
    DecodeRequest request;
    request.maxTextureSize = 4096;
    request.regionWidth = 3;
    request.regionHeight = 1;
    RgbaTexture t;
    EXPECT_EQ(DecodeBmp(f.data(), f.size(), request, t), BmpStatus::kOk);
}

TEST(BmpBadInput, ReadBmpSize) {
    std::vector<uint8_t> f = MakeBmp(7, 5, 24, std::vector<Rgb>(35, Rgb{0, 0, 0}), true);
    WriteFileBytes(ScratchPath("size.bmp"), f);
    BmpSize s = ReadBmpSize(ScratchPath("size.bmp").c_str());
    EXPECT_EQ(s.width, 7);
    EXPECT_EQ(s.height, 5);  // absolute value of the top-down height

    // The size probe needs only the headers, not the pixel rows.
    f.resize(54);
    WriteFileBytes(ScratchPath("headers.bmp"), f);
    s = ReadBmpSize(ScratchPath("headers.bmp").c_str());
    EXPECT_EQ(s.width, 7);
    f.resize(53);
    WriteFileBytes(ScratchPath("short.bmp"), f);
    s = ReadBmpSize(ScratchPath("short.bmp").c_str());
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.height, 0);

    s = ReadBmpSize(ScratchPath("missing.bmp").c_str());
    EXPECT_EQ(s.width, 0);
    s = ReadBmpSize(ScratchDirectory().c_str());  // a directory is no file
    EXPECT_EQ(s.width, 0);
    s = ReadBmpSize(nullptr);
    EXPECT_EQ(s.width, 0);
}

TEST(BmpWrite, HeadersRowsPaddingAndFlip) {
    // 3 x 2 source with a row length of 4 pixels (one unused pixel per row).
    const uint8_t src[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 99, 99, 99,
                           10, 11, 12, 13, 14, 15, 16, 17, 18, 99, 99, 99};
    const std::string path = ScratchPath("out.bmp");
    ASSERT_TRUE(WriteBmp24(path.c_str(), src, 3, 2, 4, false));
    std::vector<uint8_t> f = ReadFileBytes(path);
    ASSERT_EQ(f.size(), 54u + 2 * 12);
    auto u32 = [&](size_t at) { return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | f[at + 3] << 24; };
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(u32(2), 78);
    EXPECT_EQ(u32(6), 0);
    EXPECT_EQ(u32(10), 54);
    EXPECT_EQ(u32(14), 40);
    EXPECT_EQ(u32(18), 3);
    EXPECT_EQ(u32(22), 2);
    EXPECT_EQ(f[26] | f[27] << 8, 1);
    EXPECT_EQ(f[28] | f[29] << 8, 24);
    EXPECT_EQ(u32(30), 0);
    EXPECT_EQ(u32(34), 0);
    EXPECT_EQ(u32(38), 10000);
    EXPECT_EQ(u32(42), 10000);
    EXPECT_EQ(u32(46), 0);
    EXPECT_EQ(u32(50), 0);
    const std::vector<uint8_t> rows(f.begin() + 54, f.end());
    const std::vector<uint8_t> unflipped = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0,
                                            10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    EXPECT_EQ(rows, unflipped);

    ASSERT_TRUE(WriteBmp24(path.c_str(), src, 3, 2, 4, true));
    f = ReadFileBytes(path);
    const std::vector<uint8_t> flipped(f.begin() + 54, f.end());
    const std::vector<uint8_t> expected = {10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0,
                                           1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
    EXPECT_EQ(flipped, expected);

    // What is written reads back through the decoder (pixels are b, g, r).
    RgbaTexture t;
    DecodeRequest request;
    request.maxTextureSize = 64;
    ASSERT_EQ(DecodeBmp(f.data(), f.size(), request, t), BmpStatus::kOk);
    EXPECT_EQ(PixelAt(t.pixels.get(), 4, 0, 0), Opaque(12, 11, 10));
    EXPECT_EQ(PixelAt(t.pixels.get(), 4, 2, 1), Opaque(9, 8, 7));

    EXPECT_FALSE(WriteBmp24((ScratchDirectory() + "no/such/dir.bmp").c_str(), src, 3, 2, 4, false));
    EXPECT_FALSE(WriteBmp24(path.c_str(), src, 3, 2, 2, false));  // rows would overlap
}
