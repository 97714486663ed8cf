#include "media/bmp_tiles.h"

#include <cstring>
#include <vector>

BmpStatus CutBmpIntoTiles(const uint8_t* data, size_t size, uint32_t keyColour, bool useKey,
                          int maxColumns, int maxRows, const BmpTileSink& sink, BmpTileGrid& grid) {
    grid = BmpTileGrid();
    BmpInfo info;
    BmpStatus status = ParseBmpHeaders(data, size, info);
    if (status != BmpStatus::kOk) return status;
    const int columns = (info.width + kBmpTileSize - 1) / kBmpTileSize;
    const int rows = (info.height + kBmpTileSize - 1) / kBmpTileSize;
    const int usedColumns = columns < maxColumns ? columns : maxColumns;
    const int usedRows = rows < maxRows ? rows : maxRows;
    if (usedColumns <= 0 || usedRows <= 0) return BmpStatus::kOk;

    // One strip is a whole row of tiles, converted without the repair.
    DecodeRequest strip;
    strip.regionWidth = usedColumns * kBmpTileSize;
    strip.regionHeight = kBmpTileSize;
    strip.keyColour = keyColour;
    strip.useKey = useKey;
    strip.repairColours = false;
    const bool repair = keyColour != 0;
    std::vector<uint8_t> tile(kBmpTileSize * kBmpTileSize * 4);
    grid.columns = usedColumns;
    grid.rows = usedRows;
    for (int row = 0; row < usedRows; ++row) {
        strip.regionY = row * kBmpTileSize;
        RgbaTexture converted;
        status = DecodeBmp(data, size, strip, converted);
        if (status != BmpStatus::kOk) return status;
        const size_t stride = static_cast<size_t>(converted.textureWidth) * 4;
        for (int column = 0; column < usedColumns; ++column) {
            const uint8_t* from = converted.pixels.get() + static_cast<size_t>(column) * kBmpTileSize * 4;
            for (int y = 0; y < kBmpTileSize; ++y)
                std::memcpy(&tile[static_cast<size_t>(y) * kBmpTileSize * 4], from + y * stride,
                            kBmpTileSize * 4);
            if (repair) RepairKeyedColours(tile.data(), kBmpTileSize, kBmpTileSize, kBmpTileSize);
            sink(column, row, tile.data());
        }
    }
    return BmpStatus::kOk;
}
