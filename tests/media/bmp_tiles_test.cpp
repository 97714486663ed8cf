// Cutting BMP images into background tiles: every tile must equal the
// decode of its own 64 x 64 region, the way the tiles were first made.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <utility>

#include "media/bmp_tiles.h"
#include "media_test_files.h"

namespace {

constexpr uint32_t kKey = 0x8000FF;
constexpr Rgb kKeyRgb{255, 0, 128};

// Smooth colours with key-coloured bands across the tile edges (columns
// 62 ... 66 and rows 60 ... 65) and a key-coloured block in the middle of tiles.
std::vector<Rgb> Picture(int width, int height) {
    std::vector<Rgb> p;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool band = (x % 64 >= 62 || x % 64 <= 2) && x >= 62;
            const bool stripe = (y % 64 >= 60 || y % 64 <= 1) && y >= 60;
            const bool block = x % 64 >= 20 && x % 64 < 30 && y % 64 >= 20 && y % 64 < 25;
            if ((band && y % 3 != 0) || (stripe && x % 4 != 1) || block)
                p.push_back(kKeyRgb);
            else
                p.push_back({static_cast<uint8_t>(x * 3 + y), static_cast<uint8_t>(y * 5),
                             static_cast<uint8_t>(x ^ y)});
        }
    return p;
}

using Tiles = std::map<std::pair<int, int>, std::vector<uint8_t>>;

Tiles Cut(const std::vector<uint8_t>& file, BmpTileGrid& grid, int maxColumns = 64, int maxRows = 64) {
    Tiles tiles;
    EXPECT_EQ(CutBmpIntoTiles(file.data(), file.size(), kKey, true, maxColumns, maxRows,
                              [&](int column, int row, const uint8_t* rgba) {
                                  EXPECT_EQ(tiles.count({column, row}), 0u);
                                  tiles[{column, row}].assign(rgba, rgba + 64 * 64 * 4);
                              },
                              grid),
              BmpStatus::kOk);
    return tiles;
}

// The reference: the region decoded alone, as the first loader did per tile.
std::vector<uint8_t> RegionDecode(const std::vector<uint8_t>& file, int column, int row) {
    DecodeRequest request;
    request.regionX = column * 64;
    request.regionY = row * 64;
    request.regionWidth = request.regionHeight = 64;
    request.keyColour = kKey;
    request.useKey = true;
    request.maxTextureSize = 4096;
    RgbaTexture t;
    EXPECT_EQ(DecodeBmp(file.data(), file.size(), request, t), BmpStatus::kOk);
    EXPECT_EQ(t.textureWidth, 64);
    return std::vector<uint8_t>(t.pixels.get(), t.pixels.get() + 64 * 64 * 4);
}

}  // namespace

TEST(BmpTiles, EveryTileEqualsItsRegionDecodedAlone) {
    struct Image {
        const char* name;
        std::vector<uint8_t> file;
        int columns, rows;
    };
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices;
    for (int i = 0; i < 256; ++i) palette.push_back(i == 7 ? kKeyRgb : Rgb{static_cast<uint8_t>(i), 40, 200});
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 131; ++x) indices.push_back(static_cast<uint8_t>((x % 64 > 61 || y == 63) ? 7 : x + y));
    const Image images[] = {
        {"24-bit 130 x 129", MakeBmp(130, 129, 24, Picture(130, 129)), 3, 3},
        {"32-bit 64 x 64", MakeBmp(64, 64, 32, Picture(64, 64)), 1, 1},
        {"24-bit top-down 100 x 70", MakeBmp(100, 70, 24, Picture(100, 70), true), 2, 2},
        {"8-bit 131 x 70", MakeBmp8(131, 70, palette, indices), 3, 2},
        {"24-bit 1 x 1", MakeBmp(1, 1, 24, {kKeyRgb}), 1, 1},
    };
    for (const Image& image : images) {
        SCOPED_TRACE(image.name);
        BmpTileGrid grid;
        Tiles tiles = Cut(image.file, grid);
        EXPECT_EQ(grid.columns, image.columns);
        EXPECT_EQ(grid.rows, image.rows);
        ASSERT_EQ(tiles.size(), static_cast<size_t>(image.columns * image.rows));
        for (const auto& [where, pixels] : tiles) {
            SCOPED_TRACE(testing::Message() << "tile " << where.first << ", " << where.second);
            EXPECT_TRUE(pixels == RegionDecode(image.file, where.first, where.second));
        }
    }
}

TEST(BmpTiles, GridIsCappedAndBadFilesFail) {
    std::vector<uint8_t> wide = MakeBmp(300, 2, 24, Picture(300, 2));
    BmpTileGrid grid;
    Tiles tiles = Cut(wide, grid, 3, 64);
    EXPECT_EQ(grid.columns, 3);
    EXPECT_EQ(grid.rows, 1);
    EXPECT_EQ(tiles.size(), 3u);
    EXPECT_TRUE(tiles[std::make_pair(2, 0)] == RegionDecode(wide, 2, 0));

    std::vector<uint8_t> truncated = MakeBmp(70, 70, 24, Picture(70, 70));
    truncated.resize(truncated.size() - 10);
    int delivered = 0;
    EXPECT_EQ(CutBmpIntoTiles(truncated.data(), truncated.size(), kKey, true, 64, 64,
                              [&](int, int, const uint8_t*) { ++delivered; }, grid),
              BmpStatus::kShortFile);
    EXPECT_EQ(delivered, 0);
    std::vector<uint8_t> sixteen = MakeBmp(4, 4, 24, Picture(4, 4));
    sixteen[28] = 16;
    EXPECT_EQ(CutBmpIntoTiles(sixteen.data(), sixteen.size(), kKey, true, 64, 64,
                              [&](int, int, const uint8_t*) { ++delivered; }, grid),
              BmpStatus::kUnsupportedDepth);
    EXPECT_EQ(delivered, 0);
}
