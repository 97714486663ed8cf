// The built-in font's pixels, checked cell by cell against drawn pictures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font_cells.h"
#include "gfx2d/builtin_font.h"

namespace {
// One 7 x 8 cell of the generated texture, top row first:
// '#' ink (255,255,255,255), 'o' outline (8,8,8,255), '.' clear (0,0,0,0),
// '?' anything else.
std::vector<std::string> Cell(const std::vector<uint8_t>& rgba, int column, int gridRow) {
    std::vector<std::string> rows;
    for (int m = 0; m < 8; ++m) {
        std::string line;
        int textureRow = 63 - (8 * gridRow + m);  // texture row 0 is the bottom
        for (int l = 0; l < 7; ++l) {
            const uint8_t* p = &rgba[4 * (textureRow * 128 + 7 * column + l)];
            if (p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 255)
                line += '#';
            else if (p[0] == 8 && p[1] == 8 && p[2] == 8 && p[3] == 255)
                line += 'o';
            else if (p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0)
                line += '.';
            else
                line += '?';
        }
        rows.push_back(line);
    }
    return rows;
}

std::vector<uint8_t> Generated() {
    std::vector<uint8_t> rgba(128 * 64 * 4, 0xCD);  // garbage: generation must clear it
    BuildBuiltinFontPixels(rgba.data());
    return rgba;
}
}  // namespace

TEST(BuiltinFont, LetterAWithOutline) {
    auto rgba = Generated();
    // 'A' = 65: column 1, grid row 4.
    EXPECT_EQ(Cell(rgba, 1, 4), kLetterA);
}

TEST(BuiltinFont, AsymmetricGlyphsKeepOrientation) {
    auto rgba = Generated();
    // '1' = 49: column 1, grid row 3; the flag points left.
    std::vector<std::string> one = {
        "...o...",
        "..o#o..",
        ".o##o..",
        "..o#o..",
        "..o#o..",
        "..o#o..",
        "...o...",
        ".......",
    };
    EXPECT_EQ(Cell(rgba, 1, 3), one);
    // '_' = 95: a bar in the fifth bitmap row, outlined above and below.
    std::vector<std::string> underscore = {
        ".......",
        ".......",
        ".......",
        ".......",
        "..ooo..",
        ".o###o.",
        "..ooo..",
        ".......",
    };
    EXPECT_EQ(Cell(rgba, 15, 5), underscore);
}

TEST(BuiltinFont, LastGlyphFillsBottomCornerOfTexture) {
    auto rgba = Generated();
    // 127: a 5 x 6 frame in the last cell (column 15, grid row 7), which
    // reaches down to texture row 0; columns 112 ... 127 stay clear.
    std::vector<std::string> box = {
        ".ooooo.",
        "o#####o",
        "o#ooo#o",
        "o#o.o#o",
        "o#o.o#o",
        "o#ooo#o",
        "o#####o",
        ".ooooo.",
    };
    EXPECT_EQ(Cell(rgba, 15, 7), box);
    for (int row = 0; row < 64; ++row)
        for (int x = 112; x < 128; ++x) ASSERT_EQ(rgba[4 * (row * 128 + x) + 3], 0) << x << "," << row;
}

TEST(BuiltinFont, ControlRowsAndSpaceAreClear) {
    auto rgba = Generated();
    // Grid rows 0 and 1 (codes 0 ... 31) are texture rows 48 ... 63.
    for (int row = 48; row < 64; ++row)
        for (int x = 0; x < 128; ++x) ASSERT_EQ(rgba[4 * (row * 128 + x) + 3], 0) << x << "," << row;
    std::vector<std::string> empty(8, ".......");
    EXPECT_EQ(Cell(rgba, 0, 2), empty);  // ' '
}

TEST(BuiltinFont, EveryInkBitLandsOnce) {
    auto rgba = Generated();
    int inkPixels = 0, inkBits = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] == 255) ++inkPixels;
    for (uint32_t word : builtinGlyphs)
        for (int b = 0; b < 30; ++b) inkBits += (word >> b) & 1;
    EXPECT_EQ(inkPixels, inkBits);
}
