// Fonts and text on the real window: the built-in font's glyphs land pixel
// for pixel, font images give their cell grid.
#include <brindle.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/runtime_state.h"
#include "font_cells.h"
#include "pixels.h"
#include "platform/gl.h"
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

TEST_F(Text, Text3DOnScreenAndInTheScene) {
    // Screen text at a projected point: centred on it, bottom edge on it. In
    // the 2D view the point (104, -108.5) is window pixel (104, 108.5); the
    // text starts at (104 - 7 / 2, 108.5 - 8), rounded up to (101, 101).
    PrintText3D("A", 104, -108.5, 0, 0);
    EXPECT_EQ(Picture(101, 101), kLetterA);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    // A strip in the scene: cells of size x 7 units both ways, centred on
    // the point, standing on it.
    ClearBack(kBg);
    PrintText3D("AA", 200, -100, 0, 1);
    auto strip = Block(180, 80, 40, 40);
    int left = 999, right = -1, top = 999, bottom = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (strip[y * 40 + x] != kBg) {
                left = std::min(left, x + 180), right = std::max(right, x + 180);
                top = std::min(top, y + 80), bottom = std::max(bottom, y + 80);
            }
    // Cells 193 ... 200 and 200 ... 207; columns map one to one, so the
    // outlines of the two letters end at 194 and 205.
    EXPECT_EQ(left, 194);
    EXPECT_EQ(right, 205);
    EXPECT_GE(top, 93);
    EXPECT_LE(bottom, 99);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    glDisable(GL_CULL_FACE);  // culling that was off stays off
    PrintText3D("A", 50, -50, 0, 1);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    runtime.renderer.ResetViewport();
}
