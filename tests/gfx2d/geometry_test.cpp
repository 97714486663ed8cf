// Data behind the sprite and text commands: collision masks, the polygon
// batch and font cell geometry.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "gfx2d/collision_mask.h"
#include "gfx2d/font_geometry.h"
#include "gfx2d/polygon_batch.h"

namespace {
// A mask for an image given top row first ('#' = 255, '+' = 1, '.' = 0),
// stored bottom row first with the given texture row length.
struct Mask {
    std::vector<uint8_t> bytes;
    PlacedMask placed;
};
Mask MakeMask(std::vector<const char*> rowsFromTop, int rowLength, int x, int y) {
    Mask m;
    int h = static_cast<int>(rowsFromTop.size());
    int w = static_cast<int>(std::string(rowsFromTop[0]).size());
    m.bytes.assign(rowLength * h, 0x55);  // texture padding: never read
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            char ch = rowsFromTop[r][c];
            m.bytes[(h - 1 - r) * rowLength + c] = ch == '#' ? 255 : ch == '+' ? 1 : 0;
        }
    m.placed = {x, y, w, h, m.bytes.data(), rowLength};
    return m;
}
}  // namespace

TEST(CollisionMask, OverlapOfRectangles) {
    Mask a = MakeMask({"##", "##"}, 4, 0, 0);
    Mask touching = MakeMask({"##", "##"}, 4, 2, 0);
    Mask apart = MakeMask({"##", "##"}, 4, 3, 0);
    Mask below = MakeMask({"##", "##"}, 4, 0, 3);
    EXPECT_FALSE(OverlapOf(a.placed, touching.placed).Apart());
    EXPECT_FALSE(OpaquePixelsMeet(a.placed, touching.placed));
    EXPECT_TRUE(OverlapOf(a.placed, apart.placed).Apart());
    EXPECT_TRUE(OverlapOf(a.placed, below.placed).Apart());
    Mask shared = MakeMask({"##", "##"}, 4, 1, 1);
    EXPECT_TRUE(OpaquePixelsMeet(a.placed, shared.placed));
}

TEST(CollisionMask, SingleSharedOpaquePixelCounts) {
    // A's only opaque pixel is its top-right; B's its bottom-left. Placed so
    // that they fall on the same screen pixel (2, 0), and then one off.
    Mask a = MakeMask({"..#", "...", "..."}, 4, 0, 0);
    Mask b = MakeMask({"...", "...", "#.."}, 4, 2, -2);
    EXPECT_TRUE(OpaquePixelsMeet(a.placed, b.placed));
    Mask bLow = MakeMask({"...", "...", "#.."}, 4, 2, -1);
    EXPECT_FALSE(OpaquePixelsMeet(a.placed, bLow.placed));
    Mask bRight = MakeMask({"...", "...", "#.."}, 4, 1, -2);
    EXPECT_FALSE(OpaquePixelsMeet(a.placed, bRight.placed));
}

TEST(CollisionMask, FirstNeedsAnyAlphaSecondFullAlpha) {
    Mask faint = MakeMask({"+"}, 2, 5, 5);
    Mask solid = MakeMask({"#"}, 2, 5, 5);
    EXPECT_TRUE(OpaquePixelsMeet(faint.placed, solid.placed));
    EXPECT_FALSE(OpaquePixelsMeet(solid.placed, faint.placed));
}

TEST(CollisionMask, FarPositionsDoNotWrap) {
    Mask a = MakeMask({"##"}, 2, INT_MAX - 1, 0);
    Mask b = MakeMask({"##"}, 2, INT_MIN, 0);
    EXPECT_TRUE(OverlapOf(a.placed, b.placed).Apart());
    EXPECT_FALSE(OpaquePixelsMeet(a.placed, b.placed));
    Mask c = MakeMask({"##"}, 2, INT_MAX - 1, 0);
    EXPECT_TRUE(OpaquePixelsMeet(a.placed, c.placed));
    PlacedMask noMask = c.placed;
    noMask.alpha = nullptr;
    EXPECT_FALSE(OpaquePixelsMeet(a.placed, noMask));
}

TEST(PolygonBatch, CapacityGrowsInSteps) {
    PolygonBatch batch;
    batch.Append({});
    EXPECT_EQ(batch.capacity, polygonInitialCapacity);  // from nothing: 512
    batch.Free();

    batch.Reset(7);
    EXPECT_EQ(batch.slot, 7);
    EXPECT_EQ(batch.count, 0);
    EXPECT_EQ(batch.capacity, 9);
    for (int i = 0; i < 10; ++i) {
        PolygonVertexData v{};
        v.x = static_cast<float>(i);
        batch.Append(v);
    }
    EXPECT_EQ(batch.capacity, 9 + polygonGrowth);
    ASSERT_EQ(batch.count, 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(batch.vertices[i].x, i);  // copied on growth

    batch.Reset(-1);  // a larger array is kept
    EXPECT_EQ(batch.capacity, 9 + polygonGrowth);
    EXPECT_EQ(batch.count, 0);
}

TEST(PolygonBatch, VertexValues) {
    SlotSize size{64, 32, 20};
    PolygonVertexData v = MakePolygonVertex(10, 20, 16.0f, 5.0f, 0x804020, 0.5f, &size);
    EXPECT_EQ(v.x, 10.0f);
    EXPECT_EQ(v.y, -20.0f);
    EXPECT_FLOAT_EQ(v.s, 0.25f);
    EXPECT_FLOAT_EQ(v.t, 15.0f / 32.0f);  // v counts from the image's top
    EXPECT_FLOAT_EQ(v.red, 0x20 / 255.0f * 0.5f);
    EXPECT_FLOAT_EQ(v.green, 0x40 / 255.0f * 0.5f);
    EXPECT_FLOAT_EQ(v.blue, 0x80 / 255.0f * 0.5f);
    EXPECT_EQ(v.alpha, 1.0f);

    PolygonVertexData key = MakePolygonVertex(0, 0, 0, 0, 0x8000FF, 1.0f, nullptr);
    EXPECT_EQ(key.alpha, 0.0f);
    EXPECT_EQ(key.s, 0.0f);
    EXPECT_EQ(key.t, 0.0f);
    EXPECT_EQ(MakePolygonVertex(0, 0, 0, 0, 0x8000FE, 1.0f, nullptr).alpha, 1.0f);
}

TEST(FontGeometry, GridFromImageShape) {
    FontGeometry builtin = FontGeometryOf(112, 64, 128, 64);
    EXPECT_EQ(builtin.rows, 8);
    EXPECT_EQ(builtin.glyphCount, 128);
    EXPECT_EQ(builtin.cellWidth, 7);
    EXPECT_EQ(builtin.cellHeight, 8);
    EXPECT_FLOAT_EQ(builtin.cellS, 7.0f / 128);
    EXPECT_FLOAT_EQ(builtin.cellT, 1.0f / 8);
    GlyphCorner a = GlyphCornerOf(builtin, 'A');  // column 1, row 4 from the top
    EXPECT_FLOAT_EQ(a.s, 7.0f / 128);
    EXPECT_FLOAT_EQ(a.t, 3.0f / 8);
    GlyphCorner high = GlyphCornerOf(builtin, 'A' + 128);  // folds onto 'A'
    EXPECT_EQ(high.s, a.s);
    EXPECT_EQ(high.t, a.t);

    FontGeometry tall = FontGeometryOf(256, 512, 256, 512);
    EXPECT_EQ(tall.rows, 16);
    EXPECT_EQ(tall.glyphCount, 256);
    EXPECT_EQ(tall.cellWidth, 16);
    EXPECT_EQ(tall.cellHeight, 32);
    GlyphCorner last = GlyphCornerOf(tall, 255);
    EXPECT_FLOAT_EQ(last.s, 15.0f / 16);
    EXPECT_FLOAT_EQ(last.t, 0.0f);

    FontGeometry square = FontGeometryOf(100, 100, 128, 128);  // not taller: 8 rows
    EXPECT_EQ(square.rows, 8);
    EXPECT_EQ(square.cellWidth, 6);
    EXPECT_EQ(square.cellHeight, 12);
}
