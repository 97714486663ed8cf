// Background buffers, screen grabs and cross-fades on the real window.
#include <brindle.h>
#include <gtest/gtest.h>

#include "core/frame.h"
#include "core/runtime_state.h"
#include "gfx2d/backgrounds.h"
#include "media/bmp_decode.h"
#include "media/bmp_file.h"
#include "pixels.h"
#include "platform/gl.h"
#include "support/test_runtime.h"

namespace {
constexpr uint32_t kBg = 0x302010;
constexpr uint32_t kKey = 0x8000FF;

// 100 x 70 pixels, each different, with key-coloured pixels along the
// column 64 tile edge and a key block, so the tiles' colour repair has work.
std::vector<uint32_t> Image100x70() {
    std::vector<uint32_t> p;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 100; ++x) {
            bool key = (x >= 62 && x <= 65 && y % 2 == 0) || (x >= 10 && x < 20 && y >= 60 && y < 68);
            p.push_back(key ? kKey : static_cast<uint32_t>(x * 2 + 1) | (y * 3 + 2) << 8 | ((x + y) & 0xFF) << 16);
        }
    return p;
}

class Backgrounds : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestRuntime();
        SetFrameRate(0);  // presenting frames costs no waiting here
        SetAlphaMode(0);
        r.ResetViewport();
        ClearBack(kBg);
    }
    void TearDown() override {
        for (int b = 0; b < kBackgroundBuffers; ++b) FreeBackground(r, b);
        SetFrameRate(60);
        SetAlphaMode(0);
        r.ResetViewport();
    }
    OpenGLZadederu& r = runtime.renderer;

    // The picture tile (column, row) must show when drawn 1:1 at its place:
    // the tile's region decoded on its own (alpha ignored: the alpha test is
    // off for backgrounds, so transparent texels show their stored colour).
    static std::vector<uint32_t> ExpectedScreen(const char* file, int columns, int rows) {
        std::vector<uint8_t> bytes;
        EXPECT_EQ(ReadBmpFile(file, bytes), BmpStatus::kOk);
        std::vector<uint32_t> screen(static_cast<size_t>(columns) * 64 * rows * 64);
        const int width = columns * 64;
        for (int c = 0; c < columns; ++c)
            for (int row = 0; row < rows; ++row) {
                DecodeRequest q;
                q.regionX = c * 64;
                q.regionY = row * 64;
                q.regionWidth = q.regionHeight = 64;
                q.keyColour = kKey;
                q.useKey = true;
                q.maxTextureSize = 4096;
                RgbaTexture t;
                EXPECT_EQ(DecodeBmp(bytes.data(), bytes.size(), q, t), BmpStatus::kOk);
                for (int y = 0; y < 64; ++y)
                    for (int x = 0; x < 64; ++x) {
                        const uint8_t* p = t.pixels.get() + ((63 - y) * 64 + x) * 4;
                        screen[(row * 64 + y) * width + c * 64 + x] = p[0] | p[1] << 8 | p[2] << 16;
                    }
            }
        return screen;
    }
};

TEST_F(Backgrounds, LoadedImageIsDrawnTileByTileAsEachTileDecodesAlone) {
    WriteBmp("t_back100x70.bmp", 100, 70, Image100x70());
    LoadBackground("t_back100x70.bmp");  // draws buffer 0 at once
    const BackgroundBuffer& b = r.backgrounds[0];
    EXPECT_EQ(b.columns, 2);
    EXPECT_EQ(b.rows, 2);
    for (int i : {0, 1, 64, 65}) {
        EXPECT_EQ(b.tileWidth[i], 64);
        EXPECT_EQ(b.tileHeight[i], 64);
    }
    const std::vector<uint32_t> expected = ExpectedScreen("t_back100x70.bmp", 2, 2);
    EXPECT_TRUE(Block(0, 0, 128, 128) == expected);
    EXPECT_EQ(Pixel(0, 0), 0x000201u);
    EXPECT_EQ(Pixel(120, 20), 0u);  // beyond the image, far from it: black
    EXPECT_EQ(Pixel(128, 0), kBg);

    // Every frame starts with it, whatever viewport the game left set.
    r.SetViewport2D(300, 200, 50, 50);
    ShowFrame();
    EXPECT_TRUE(Block(0, 0, 128, 128) == expected);
    EXPECT_EQ(Pixel(200, 200), 0u);

    // A missing file changes nothing; ClearScreen empties buffer 0.
    LoadBackground("t_no_such_background.bmp");
    EXPECT_EQ(b.columns, 2);
    const GLuint firstTile = b.tileTexture[0];
    ClearScreen();
    EXPECT_EQ(Pixel(5, 5), 0u);
    EXPECT_EQ(b.columns, 0);
    EXPECT_EQ(b.tileTexture[0], 0u);
    EXPECT_FALSE(glIsTexture(firstTile));
    ShowFrame();
    EXPECT_EQ(Block(0, 0, 64, 64), std::vector<uint32_t>(64 * 64, 0));
}

TEST_F(Backgrounds, OversizedAndUndecodableImages) {
    // Wider than 64 tiles: cut off at 64 columns.
    WriteBmp("t_back_wide.bmp", 4100, 2, std::vector<uint32_t>(4100 * 2, 0x00FF00));
    ASSERT_TRUE(LoadBackgroundImage(r, 2, "t_back_wide.bmp"));
    EXPECT_EQ(r.backgrounds[2].columns, 64);
    EXPECT_EQ(r.backgrounds[2].rows, 1);
    DrawBackground(r, 2);
    EXPECT_EQ(Pixel(639, 1), 0x00FF00u);

    // Size readable, pixels not (16 bits per pixel): false, nothing left.
    WriteBmp("t_back16.bmp", 8, 8, std::vector<uint32_t>(64, 0xFFFFFF));
    {
        std::FILE* f = std::fopen("t_back16.bmp", "r+b");
        std::fseek(f, 28, SEEK_SET);
        std::fputc(16, f);
        std::fclose(f);
    }
    EXPECT_FALSE(LoadBackgroundImage(r, 2, "t_back16.bmp"));
    EXPECT_EQ(r.backgrounds[2].columns, 0);
    EXPECT_FALSE(LoadBackgroundImage(r, 2, "t_no_such_background.bmp"));
}

TEST_F(Backgrounds, GrabbedScreenComesBackPixelForPixel) {
    FillRect(0, 0, 639, 479, 0x204080);
    FillRect(0, 0, 0, 0, 0xFFFFFF);
    FillRect(639, 479, 639, 479, 0x00FFFF);
    for (int i = 0; i < 40; ++i) FillRect(i * 16, i * 11, i * 16 + 7, i * 11 + 30, 0x010101 * (i * 6) + 0x10);
    const std::vector<uint32_t> before = Block(0, 0, 640, 480);
    GrabBackground();
    const BackgroundBuffer& b = r.backgrounds[0];
    GLint max = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
    const int limit = max < 1024 ? max : 1024;
    ASSERT_EQ(b.columns, 1);
    ASSERT_EQ(b.rows, 4);
    const int heights[] = {256, 128, 64, 32};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(b.tileHeight[row], heights[row]);
        EXPECT_EQ(b.tileWidth[row], limit);
    }
    ClearBack(kBg);
    DrawBackground(r, 0);
    EXPECT_TRUE(Block(0, 0, 640, 480) == before);

    // Beyond the right edge of the screen the tiles are transparent black.
    if (limit > 640) {
        std::vector<uint8_t> texels(static_cast<size_t>(limit) * 32 * 4, 0xAA);
        glBindTexture(GL_TEXTURE_2D, b.tileTexture[3]);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        EXPECT_EQ(texels[(5 * limit + 700) * 4 + 3], 0);
        EXPECT_EQ(texels[(5 * limit + 700) * 4 + 0], 0);
        EXPECT_EQ(texels[639 * 4 + 1], 0xFF);  // the bottom-right corner pixel, texture row 0
    }
}

TEST_F(Backgrounds, GrabSpriteCopiesARectangleIntoASlot) {
    constexpr int kSlot = 30;
    // A transparent sprite with an alpha mask: no collision with itself.
    WriteBmp("t_grab_key.bmp", 10, 10, std::vector<uint32_t>(100, kKey));
    LoadSprite("t_grab_key.bmp", kSlot);
    EXPECT_EQ(SpriteCollision(kSlot, 0, 0, kSlot, 0, 0), 0);
    ASSERT_NE(r.alphaMask[kSlot], nullptr);

    for (int i = 0; i < 10; ++i) FillRect(50 + i, 60, 50 + i, 69, 0x0A0B00 + i * 20);
    EXPECT_EQ(GrabSprite(kSlot, 50, 60, 10, 10), 1);
    EXPECT_EQ(r.textureWidth[kSlot], 32);
    EXPECT_EQ(r.textureHeight[kSlot], 32);
    EXPECT_EQ(r.imageWidth[kSlot], 10);
    EXPECT_EQ(r.imageHeight[kSlot], 10);
    EXPECT_EQ(r.spriteTexture[kSlot][1], 0u);
    EXPECT_EQ(r.alphaMask[kSlot], nullptr);
    const std::vector<uint32_t> grabbed = Block(50, 60, 10, 10);
    ClearBack(kBg);
    DrawSprite(kSlot, 200, 100);
    EXPECT_TRUE(Block(200, 100, 10, 10) == grabbed);
    EXPECT_EQ(Pixel(210, 100), kBg);
    // A fresh mask: the grabbed pixels are opaque.
    EXPECT_EQ(SpriteCollision(kSlot, 0, 0, kSlot, 0, 0), 1);

    // Partly off the screen: only what the screen covers is drawn.
    FillRect(630, 470, 639, 479, 0xFFFFFF);
    GrabSprite(kSlot, 635, 475, 10, 10);
    ClearBack(kBg);
    DrawSprite(kSlot, 100, 100);
    std::vector<uint32_t> want(12 * 12, kBg);
    for (int y = 1; y <= 5; ++y)
        for (int x = 1; x <= 5; ++x) want[y * 12 + x] = 0xFFFFFF;
    EXPECT_EQ(Block(99, 99, 12, 12), want);

    // Sizes are clamped, other slots refused.
    GLint max = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
    EXPECT_EQ(GrabSprite(kSlot, 0, 0, -5, 1e9), 1);
    EXPECT_EQ(r.imageWidth[kSlot], 0);
    EXPECT_EQ(r.textureWidth[kSlot], 32);
    EXPECT_EQ(r.imageHeight[kSlot], max);
    EXPECT_EQ(GrabSprite(65536, 0, 0, 10, 10), 0);
    EXPECT_EQ(GrabSprite(-1, 0, 0, 10, 10), 0);
}

TEST_F(Backgrounds, FadeToBackgroundPresentsFiftyOneFramesAndKeepsTheNewImage) {
    WriteBmp("t_fade_from.bmp", 64, 64, std::vector<uint32_t>(64 * 64, 0x0000FF));
    WriteBmp("t_fade_to.bmp", 100, 70, Image100x70());
    LoadBackground("t_fade_from.bmp");
    long long before = PresentedFrames();
    FadeToBackground("t_no_such_background.bmp");
    EXPECT_EQ(PresentedFrames(), before);
    EXPECT_EQ(Pixel(10, 10), 0x0000FFu);

    SetAlphaMode(-0.5);
    FadeToBackground("t_fade_to.bmp");
    // Fifty steps of 0.02 (the single-precision sum stays below 0.98 + 0.02
    // until then) and the final frame.
    EXPECT_EQ(PresentedFrames() - before, 51);
    EXPECT_EQ(r.backgrounds[1].columns, 0);
    EXPECT_EQ(r.backgrounds[1].tileTexture[0], 0u);
    EXPECT_EQ(r.backgrounds[0].columns, 2);
    EXPECT_EQ(r.backgrounds[0].rows, 2);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(r.glState.AlphaTestWanted());  // GL's switch follows at the next draw
    EXPECT_EQ(r.alphaLevel, 1.0f);
    EXPECT_TRUE(Block(0, 0, 128, 128) == ExpectedScreen("t_fade_to.bmp", 2, 2));
    ShowFrame();
    EXPECT_TRUE(Block(0, 0, 128, 128) == ExpectedScreen("t_fade_to.bmp", 2, 2));
}

}  // namespace
