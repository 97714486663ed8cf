// Points, lines, rectangles, GetPixel and the alpha modes through the
// commands on the real window, read back exactly.
#include <brindle.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/runtime_state.h"
#include "gfx2d/sprites.h"
#include "pixels.h"
#include "platform/gl.h"
#include "support/test_runtime.h"

namespace {
constexpr uint32_t kBg = 0x302010;
constexpr uint32_t kKey = 0x8000FF;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

class Primitives : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestRuntime();
        SetAlphaMode(0);
        runtime.renderer.ResetViewport();
        ClearBack(kBg);
    }
    void TearDown() override {
        SetAlphaMode(0);
        runtime.renderer.ResetViewport();
    }

    // The pixels of the w x h block at (x, y) that differ from the background,
    // as a mask (1 = drawn).
    static std::vector<int> Drawn(int x, int y, int w, int h) {
        std::vector<int> mask;
        for (uint32_t p : Block(x, y, w, h)) mask.push_back(p != kBg);
        return mask;
    }
    // The mask of a filled rectangle [x0, x1] x [y0, y1] inside the block.
    static std::vector<int> Rect(int x, int y, int w, int h, int x0, int y0, int x1, int y1) {
        std::vector<int> mask;
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col)
                mask.push_back(col >= x0 && col <= x1 && row >= y0 && row <= y1);
        return mask;
    }
};

TEST_F(Primitives, RectanglesCoverTheirCornersInclusive) {
    FillRect(5, 5, 5, 5, 0xFFFFFF);
    EXPECT_EQ(Drawn(0, 0, 12, 12), Rect(0, 0, 12, 12, 5, 5, 5, 5));

    ClearBack(kBg);
    FillRect(10, 10, 0, 0, 0x00FF00);  // the command sorts the corners
    EXPECT_EQ(Drawn(0, 0, 14, 14), Rect(0, 0, 14, 14, 0, 0, 10, 10));
    EXPECT_EQ(Pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(Pixel(10, 10), 0x00FF00u);

    // Exactly one pair equal: the quad turns clockwise and is culled.
    ClearBack(kBg);
    FillRect(5, 0, 5, 10, 0xFFFFFF);
    FillRect(0, 5, 10, 5, 0xFFFFFF);
    EXPECT_EQ(Drawn(0, 0, 12, 12), std::vector<int>(144, 0));
    // Without culling the same call shows where the quad lies.
    glDisable(GL_CULL_FACE);
    FillRect(5, 0, 5, 10, 0xFFFFFF);
    glEnable(GL_CULL_FACE);
    EXPECT_EQ(Drawn(0, 0, 12, 12), Rect(0, 0, 12, 12, 5, 0, 5, 10));
}

TEST_F(Primitives, PointsAndLinesHitTheirPixels) {
    DrawPoint(3, 4, 0x0000FF);
    DrawLine(7, 7, 7, 7, 0x00FF00);     // from a point to itself: that pixel
    DrawLine(10, 2, 15, 2, 0xFF0000);   // the last pixel too
    DrawLine(20, 9, 20, 4, 0xFFFFFF);   // upwards
    std::vector<int> want(24 * 12, 0);
    want[4 * 24 + 3] = want[7 * 24 + 7] = 1;
    for (int x = 10; x <= 15; ++x) want[2 * 24 + x] = 1;
    for (int y = 4; y <= 9; ++y) want[y * 24 + 20] = 1;
    EXPECT_EQ(Drawn(0, 0, 24, 12), want);
    EXPECT_EQ(Pixel(3, 4), 0x0000FFu);
    EXPECT_EQ(Pixel(15, 2), 0xFF0000u);
    // Coordinates move by 3/8 pixel: up to .625 they stay in their pixel.
    ClearBack(kBg);
    DrawPoint(30.6, 40.2, 0xFFFFFF);
    DrawPoint(40.7, 40.7, 0xFFFFFF);
    EXPECT_EQ(Drawn(29, 39, 3, 3), std::vector<int>({0, 0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(Drawn(40, 40, 3, 3), std::vector<int>({0, 0, 0, 0, 1, 0, 0, 0, 0}));
}

TEST_F(Primitives, GetPixelIgnoresTheViewport) {
    runtime.renderer.SetViewport2D(100, 50, 200, 100);
    DrawPoint(0, 0, 0x123456);
    FillRect(10, 10, 12, 11, 0x654321);
    EXPECT_EQ(GetPixel(100, 50), 0x123456);
    EXPECT_EQ(GetPixel(0, 0), kBg);
    EXPECT_EQ(GetPixel(112, 61), 0x654321);
    EXPECT_EQ(GetPixel(112.9, 61.9), 0x654321);  // truncated
    runtime.renderer.ResetViewport();
    EXPECT_EQ(Drawn(108, 58, 7, 5), Rect(108, 58, 7, 5, 110, 60, 112, 61));
    // Off the screen, or not a number: 0.
    for (double x : {-1.0, 640.0, 1e12, kNaN})
        EXPECT_EQ(GetPixel(x, 0), 0) << x;
    EXPECT_EQ(GetPixel(0, 480), 0);
}

struct AlphaCase {
    double mode;
    uint32_t background, colour;
    uint32_t expected;
    int tolerance;  // blending by source alpha rounds as the driver does
};

TEST_F(Primitives, AlphaModesBlendAsSpecified) {
    const AlphaCase cases[] = {
        // Additive at half level: the colour's channels halved (truncated) and added.
        {0.5, 0x102030, 0x408021, 0x306040, 0},
        // Additive at a level clamped to 1, saturating at 255.
        {3, 0x808080, 0x10A0C0, 0x90FFFF, 0},
        {1, 0x102030, kKey, 0x9020FF, 0},  // additive: the key colour adds
        // Source alpha 127/255: roughly the mean of the two.
        {-0.5, 0x000000, 0xFEFEFE, 0x3F3F3F, 1},  // colour halved, then times 127/255
        {-1, 0x204060, 0xFFFFFF, 0xFFFFFF, 0},
        {-1, 0x204060, kKey, 0x204060, 0},  // alpha 0: invisible
        {0, 0x204060, kKey, kKey, 0},       // blending off: the key colour is written
        {0, 0x204060, 0x0A0B0C, 0x0A0B0C, 0},
    };
    for (const AlphaCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " colour " << std::hex << c.colour);
        ClearBack(c.background);
        SetAlphaMode(c.mode);
        FillRect(1, 1, 3, 3, c.colour);
        uint32_t got = Pixel(2, 2);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((c.expected >> shift) & 0xFF),
                        c.tolerance);
        EXPECT_EQ(Pixel(0, 0), c.background);
    }
}

TEST_F(Primitives, AlphaModeState) {
    struct {
        double mode;
        bool blend;
        GLint source, destination;
        float level;
    } const cases[] = {
        {0.25, true, GL_ONE, GL_ONE, 0.25f},
        {7, true, GL_ONE, GL_ONE, 1.0f},
        {-0.75, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, 0.75f},
        {-kInf, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, 1.0f},
        {kNaN, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, 1.0f},  // as a negative value
        {1e300, true, GL_ONE, GL_ONE, 1.0f},
        {0, false, 0, 0, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        SetAlphaMode(c.mode);
        EXPECT_EQ(glIsEnabled(GL_BLEND) != GL_FALSE, c.blend);
        if (c.blend) {
            GLint source = 0, destination = 0;
            glGetIntegerv(GL_BLEND_SRC, &source);
            glGetIntegerv(GL_BLEND_DST, &destination);
            EXPECT_EQ(source, c.source);
            EXPECT_EQ(destination, c.destination);
        }
        EXPECT_EQ(runtime.renderer.alphaLevel, c.level);
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        for (float v : colour) EXPECT_FLOAT_EQ(v, c.level);
    }
}

TEST_F(Primitives, DrawingRestoresTheSpriteState) {
    WriteBmp("t_prim_sprite.bmp", 2, 2, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF});
    LoadSprite("t_prim_sprite.bmp", 20);
    OpenGLZadederu& r = runtime.renderer;
    SetTexture(20, -1);
    SetAlphaMode(-0.5);
    DrawLine(0, 0, 5, 5, 0x102030);
    EXPECT_EQ(r.boundSlot, 20);
    EXPECT_EQ(r.boundSecondSlot, -1);
    GLint texture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    EXPECT_EQ(static_cast<unsigned>(texture), r.spriteTexture[20][0]);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(r.glState.AlphaTestWanted());  // GL's switch follows at the next draw
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (float v : colour) EXPECT_FLOAT_EQ(v, 0.5f);
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(Primitives, BadCoordinatesDrawNothingAndFarOnesClip) {
    for (double bad : {kNaN, kInf, -kInf, 1e300}) {
        DrawPoint(bad, 5, 0xFFFFFF);
        DrawLine(0, 0, 10, bad, 0xFFFFFF);
        FillRect(bad, 0, 10, 10, 0xFFFFFF);
    }
    EXPECT_EQ(Drawn(0, 0, 20, 20), std::vector<int>(400, 0));
    DrawPoint(-1e9, 1e9, 0xFFFFFF);
    EXPECT_EQ(Block(0, 0, 640, 480), std::vector<uint32_t>(640 * 480, kBg));

    // A rectangle far beyond every edge covers the whole screen; a line from
    // far off crosses its row completely.
    FillRect(-1e9, -1e9, 1e9, 1e9, 0x00FF00);
    EXPECT_EQ(Block(0, 0, 640, 480), std::vector<uint32_t>(640 * 480, 0x00FF00));
    DrawLine(-1e7, 20, 1e7, 20, 0x0000FF);
    EXPECT_EQ(Block(0, 20, 640, 1), std::vector<uint32_t>(640, 0x0000FF));
    EXPECT_EQ(Pixel(5, 19), 0x00FF00u);
    // Colours that are not numbers are truncated like any other: black.
    FillRect(1, 1, 1, 1, kNaN);
    EXPECT_EQ(Pixel(1, 1), 0u);
}

}  // namespace
