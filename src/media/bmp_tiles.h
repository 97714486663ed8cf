// Cutting a BMP into square tiles, as background buffers hold it. The image
// is converted once, one strip of tile rows at a time, and each tile is then
// colour-repaired on its own: every tile comes out exactly as decoding its
// region alone would give it (the repair never looks past a region's edge).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

#include "media/bmp_decode.h"

constexpr int kBmpTileSize = 64;

// Receives tile (column, row), rows counted from the image's top: 64 x 64
// RGBA pixels, row 0 at the bottom.
using BmpTileSink = std::function<void(int column, int row, const uint8_t* rgba)>;

struct BmpTileGrid {
    int columns = 0;  // tiles per row
    int rows = 0;
};

// Tiles row by row from the top, left to right; parts of tiles beyond the
// image are transparent black (then repaired like any keyed pixel). At most
// maxColumns x maxRows tiles: the rest of a larger image is left out. grid
// gets the grid's size; on failure no tile has been delivered, except for an
// 8-bit image whose pixels index past its colour table further down.
BmpStatus CutBmpIntoTiles(const uint8_t* data, size_t size, uint32_t keyColour, bool useKey,
                          int maxColumns, int maxRows, const BmpTileSink& sink, BmpTileGrid& grid);
