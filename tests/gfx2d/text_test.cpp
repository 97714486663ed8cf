// Fonts and text on the real window: the built-in font's glyphs land pixel
// for pixel, font images give their cell grid.
#include <brindle.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "pixels.h"
#include "support/test_runtime.h"

namespace {
constexpr uint32_t kBg = 0x603000;

class Text : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestRuntime();
        OpaqueDrawing();
        runtime.renderer.ResetViewport();
        SetFont(0);
        ClearBack(kBg);
    }
    void TearDown() override { SetFont(0); }
};

// A 7 x 8 block as a picture: '#' white, 'o' the dark outline, '.' untouched.
std::vector<std::string> Picture(int x, int y) {
    auto block = Block(x, y, 7, 8);
    std::vector<std::string> rows;
    for (int r = 0; r < 8; ++r) {
        std::string line;
        for (int c = 0; c < 7; ++c) {
            uint32_t p = block[r * 7 + c];
            line += p == 0xFFFFFF ? '#' : p == 0x080808 ? 'o' : p == kBg ? '.' : '?';
        }
        rows.push_back(line);
    }
    return rows;
}

const std::vector<std::string> kLetterA = {
    "..ooo..",
    ".o###o.",
    ".o#o#o.",
    ".o###o.",
    ".o#o#o.",
    ".o#o#o.",
    "..o.o..",
    ".......",
};
}  // namespace

TEST_F(Text, BuiltinFontIsFontZeroAfterStartUp) {
    double w = 0, h = 0;
    GetFontSize(w, h);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 8);
    EXPECT_EQ(runtime.renderer.textureWidth[65520], 128);
    EXPECT_EQ(runtime.renderer.textureHeight[65520], 64);
}

TEST_F(Text, LetterLightsItsInkAndOutline) {
    PrintText("A", 0, 0);
    EXPECT_EQ(Picture(0, 0), kLetterA);
    EXPECT_EQ(Block(7, 0, 7, 8), std::vector<uint32_t>(56, kBg));
    EXPECT_EQ(Block(0, 8, 7, 8), std::vector<uint32_t>(56, kBg));

    ClearBack(kBg);
    PrintText("\xC1", 20, 30);  // 193 = 'A' + 128 folds onto 'A'
    EXPECT_EQ(Picture(20, 30), kLetterA);

    ClearBack(kBg);
    PrintText("xAA", 99.5, 9.25);  // rounded up to (100, 10); one cell per byte
    EXPECT_EQ(Picture(107, 10), kLetterA);
    EXPECT_EQ(Picture(114, 10), kLetterA);
}

TEST_F(Text, NumbersAndControlCharacters) {
    PrintNumber(1.5, 0, 0);  // "1.5": three cells
    auto drawn = Block(0, 0, 21, 8);
    ClearBack(kBg);
    PrintText("1.5", 0, 0);
    EXPECT_EQ(Block(0, 0, 21, 8), drawn);
    ClearBack(kBg);
    PrintText("\x01\x02 ", 0, 0);  // control codes and space: clear cells
    EXPECT_EQ(Block(0, 0, 21, 8), std::vector<uint32_t>(168, kBg));
}

TEST_F(Text, FontImageGivesItsGrid) {
    // 256 x 512: 16 rows of 16 x 32 cells. Each cell is black (transparent)
    // with one coloured pixel whose colour encodes the glyph.
    std::vector<uint32_t> image(256 * 512, 0);
    for (int g = 0; g < 256; ++g) {
        int x = (g % 16) * 16 + 3, y = (g / 16) * 32 + 5;
        image[y * 256 + x] = 0x000001 * g + 0x004000;
    }
    WriteBmp("t_tallfont.bmp", 256, 512, image);
    LoadFont("t_tallfont.bmp", 20);  // clamped: font 15, selected
    EXPECT_EQ(runtime.currentFont, 15);
    double w = 0, h = 0;
    GetFontSize(w, h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 32);

    PrintText("B\xFF", 0, 0);
    EXPECT_EQ(Pixel(3, 5), 0x004000u + 'B');
    EXPECT_EQ(Pixel(16 + 3, 5), 0x004000u + 255);
    EXPECT_EQ(Pixel(4, 5), kBg);  // black is transparent in fonts

    SetFont(0);
    GetFontSize(w, h);
    EXPECT_EQ(w, 7);
    LoadFont("t_no_such_font.bmp", -3);  // missing: built-in font into font 0
    EXPECT_EQ(runtime.currentFont, 0);
    GetFontSize(w, h);
    EXPECT_EQ(h, 8);
}

TEST_F(Text, MissingFontFileGivesBuiltinFont) {
    LoadFont("t_no_such_font.bmp", 3);
    EXPECT_EQ(runtime.currentFont, 3);
    PrintText("A", 0, 0);
    EXPECT_EQ(Picture(0, 0), kLetterA);
}

TEST(TextDeath, UnloadableFontEndsWithError3) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    StartTestRuntime();
    {
        std::ofstream bad("t_bad_font.bmp", std::ios::binary);
        bad << "not a bitmap";
    }
    EXPECT_EXIT(
        {
            runtime.debugTrace = 1;  // the end trace records the error number
            LoadFont("t_bad_font.bmp", 2);
        },
        ::testing::ExitedWithCode(0), "");
    std::ifstream log(ErrorLogPath(), std::ios::binary);
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find("-End On Line\r\n3\r\n"), std::string::npos) << text.str();
}
