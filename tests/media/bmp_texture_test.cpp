// BMP files as OpenGL textures and the screen and sprites back as BMP
// files, on the real window and context.
#include <brindle.h>
#include <gtest/gtest.h>

#include <cstring>

#include "core/runtime_state.h"
#include "media/bmp_texture.h"
#include "media_test_files.h"
#include "platform/gl.h"
#include "support/test_runtime.h"

namespace {

class BmpTexture : public testing::Test {
protected:
    void SetUp() override { StartTestRuntime(); }
    void TearDown() override {
        glDeleteTextures(static_cast<GLsizei>(made.size()), made.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    // Texture level as RGBA words (0xAABBGGRR), row 0 at the bottom.
    std::vector<uint32_t> Level(GLuint name, int level, int& width, int& height) {
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        std::vector<uint32_t> texels(static_cast<size_t>(width) * height);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        if (!texels.empty())
            glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }
    GLint Parameter(GLuint name, GLenum which) {
        glBindTexture(GL_TEXTURE_2D, name);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
        return value;
    }
    std::string File(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = ScratchPath(name);
        WriteFileBytes(path, bytes);
        return path;
    }
    std::vector<GLuint> made;
};

}  // namespace

TEST_F(BmpTexture, OnePixelImageGivesTwoByTwoTexture) {
    const std::string path = File("one.bmp", MakeBmp(1, 1, 24, {{200, 100, 50}}));
    GLuint plain = 0, mip = 0;
    ASSERT_TRUE(LoadBmpTexture(path.c_str(), 0, 0, 0, 0, &plain, &mip, 0x8000FF, true, false, false));
    made = {plain, mip};
    int w = 0, h = 0;
    std::vector<uint32_t> t = Level(plain, 0, w, h);
    ASSERT_EQ(w, 2);
    ASSERT_EQ(h, 2);
    EXPECT_EQ(t[0], Opaque(200, 100, 50));
    EXPECT_EQ(t[1], 0u);
    EXPECT_EQ(t[2], 0u);
    EXPECT_EQ(t[3], 0u);
    EXPECT_EQ(Parameter(plain, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(plain, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(plain, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(Parameter(mip, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(Parameter(mip, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    // 2 x 2 -> 1 x 1 takes the first sample only.
    std::vector<uint32_t> last = Level(mip, 1, w, h);
    ASSERT_EQ(w, 1);
    EXPECT_EQ(last[0], Opaque(200, 100, 50));

    GLuint nearest = 0;
    ASSERT_TRUE(LoadBmpTexture(path.c_str(), 0, 0, 0, 0, &nearest, nullptr, 0, false, false, true));
    made.push_back(nearest);
    EXPECT_EQ(Parameter(nearest, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(Parameter(nearest, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
}

TEST_F(BmpTexture, MipLevelsOf64By16) {
    // Red 4 per column, green 16 per row counted from the bottom (see the
    // decoder test for the closed forms of each level).
    const int w = 64, h = 16;
    std::vector<Rgb> image;
    for (int top = 0; top < h; ++top)
        for (int x = 0; x < w; ++x)
            image.push_back({static_cast<uint8_t>(4 * x), static_cast<uint8_t>(16 * (h - 1 - top)), 77});
    const std::string path = File("mip.bmp", MakeBmp(w, h, 24, image));
    GLuint plain = 0, mip = 0;
    ASSERT_TRUE(LoadBmpTexture(path.c_str(), 0, 0, 0, 0, &plain, &mip, 0, false, false, false));
    made = {plain, mip};
    const int sizes[][2] = {{64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}};
    std::vector<std::vector<uint32_t>> levels;
    for (int level = 0; level < 7; ++level) {
        int lw = 0, lh = 0;
        levels.push_back(Level(mip, level, lw, lh));
        EXPECT_EQ(lw, sizes[level][0]) << level;
        EXPECT_EQ(lh, sizes[level][1]) << level;
    }
    for (int x = 0; x < 32; ++x) EXPECT_EQ(levels[1][x] & 0xFF, x < 31 ? 8u * x + 1 : 248u) << x;
    for (int y = 0; y < 8; ++y) EXPECT_EQ(levels[1][y * 32] >> 8 & 0xFF, y < 7 ? 32u * y + 5 : 224u) << y;
    for (int x = 0; x < 15; ++x) EXPECT_EQ(levels[2][x] & 0xFF, 16u * x + 4) << x;
    EXPECT_EQ(levels[2][15] & 0xFF, 241u);
    // Every level stays opaque with the flat blue channel.
    for (const auto& level : levels)
        for (uint32_t t : level) ASSERT_EQ(t >> 16, 0xFF00u + 77);
    // The plain texture is level 0 only.
    int pw = 0, ph = 0;
    EXPECT_EQ(Level(plain, 0, pw, ph), levels[0]);
}

TEST_F(BmpTexture, RegionsNormalMapsAndFailures) {
    std::vector<Rgb> image;
    for (int i = 0; i < 12; ++i) image.push_back({static_cast<uint8_t>(i), 50, 128});
    const std::string path = File("region.bmp", MakeBmp(4, 3, 32, image));
    GLuint plain = 0;
    ASSERT_TRUE(LoadBmpTexture(path.c_str(), 2, 1, 3, 2, &plain, nullptr, 0, false, false, false));
    made = {plain};
    int w = 0, h = 0;
    std::vector<uint32_t> t = Level(plain, 0, w, h);
    ASSERT_EQ(w, 4);
    ASSERT_EQ(h, 2);
    // Region rows from image row 1: bottom texture row = image row 2.
    EXPECT_EQ(t[0], Opaque(10, 50, 128));
    EXPECT_EQ(t[1], Opaque(11, 50, 128));
    EXPECT_EQ(t[2], 0u);  // past the right edge
    EXPECT_EQ(t[4], Opaque(6, 50, 128));

    // A flat blue channel has no slope: the normal points straight out.
    GLuint normal = 0;
    ASSERT_TRUE(LoadBmpTexture(path.c_str(), 0, 0, 0, 0, &normal, nullptr, 0, false, true, false));
    made.push_back(normal);
    t = Level(normal, 0, w, h);
    EXPECT_EQ(t[4 * 1 + 1], 0xFFFF7F7Fu);  // (127, 127, 255), alpha kept
    EXPECT_EQ(t[4 * 3 + 1] >> 24, 0u);     // the empty top row keeps alpha 0

    // Failures create nothing and leave the names alone.
    GLuint untouched = 12345;
    std::vector<uint8_t> bad = MakeBmp(2, 2, 24, std::vector<Rgb>(4, Rgb{1, 2, 3}));
    bad[28] = 16;
    EXPECT_FALSE(LoadBmpTexture(File("bad16.bmp", bad).c_str(), 0, 0, 0, 0, &untouched, &untouched,
                                0, false, false, false));
    EXPECT_FALSE(LoadBmpTexture(ScratchPath("missing.bmp").c_str(), 0, 0, 0, 0, &untouched, nullptr,
                                0, false, false, false));
    bad = MakeBmp(2, 2, 24, std::vector<Rgb>(4, Rgb{1, 2, 3}));
    bad.resize(bad.size() - 1);
    EXPECT_FALSE(LoadBmpTexture(File("short.bmp", bad).c_str(), 0, 0, 0, 0, &untouched, nullptr, 0,
                                false, false, false));
    EXPECT_EQ(untouched, 12345u);
}

TEST_F(BmpTexture, CroppedAtTheLargestTextureSize) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    ASSERT_GT(maxSize, 0);
    // One row wider than the limit: the texture is the limit, not scaled.
    const int w = maxSize + 3;
    std::vector<Rgb> image(static_cast<size_t>(w) * 2);
    for (int x = 0; x < w; ++x) {
        image[x] = {static_cast<uint8_t>(x & 0xFF), static_cast<uint8_t>(x >> 8 & 0xFF), 1};
        image[w + x] = {static_cast<uint8_t>(x & 0xFF), static_cast<uint8_t>(x >> 8 & 0xFF), 2};
    }
    const std::string path = File("wide.bmp", MakeBmp(w, 2, 24, image));
    GLuint plain = 0;
    ASSERT_TRUE(LoadBmpTexture(path.c_str(), 0, 0, 0, 0, &plain, nullptr, 0, false, false, false));
    made = {plain};
    int tw = 0, th = 0;
    std::vector<uint32_t> t = Level(plain, 0, tw, th);
    ASSERT_EQ(tw, maxSize);
    ASSERT_EQ(th, 2);
    EXPECT_EQ(t[0], Opaque(0, 0, 2));
    EXPECT_EQ(t[tw - 1], Opaque((maxSize - 1) & 0xFF, (maxSize - 1) >> 8 & 0xFF, 2));
    EXPECT_EQ(t[tw], Opaque(0, 0, 1));
}

TEST_F(BmpTexture, SaveScreenWritesTheBackBuffer) {
    // A known frame: background and two rectangles, cut by the scissor.
    const int sw = runtime.renderer.screenWidth, sh = runtime.renderer.screenHeight;
    ASSERT_GT(sw, 0);
    glViewport(0, 0, sw, sh);
    glEnable(GL_SCISSOR_TEST);
    auto fill = [](int x, int y, int w, int h, float r, float g, float b) {
        glScissor(x, y, w, h);
        glClearColor(r, g, b, 1);
        runtime.renderer.glState.MakePendingClear();
        glClear(GL_COLOR_BUFFER_BIT);
    };
    fill(0, 0, sw, sh, 0.0f, 0.0f, 1.0f);
    fill(10, 20, 30, 40, 1.0f, 0.0f, 0.0f);                // GL rows from the bottom
    fill(sw - 5, sh - 3, 5, 3, 1.0f, 1.0f, 1.0f);          // top-right corner
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);

    const std::string path = ScratchPath("screen.bmp");
    EXPECT_EQ(SaveScreen(RtString(path.c_str())), 1.0);
    std::vector<uint8_t> file = ReadFileBytes(path);
    ASSERT_EQ(file.size(), 54u + static_cast<size_t>((sw * 3 + 3) & ~3) * sh);
    DecodeRequest request;
    request.maxTextureSize = 8192;
    RgbaTexture t;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), request, t), BmpStatus::kOk);
    ASSERT_EQ(t.regionWidth, sw);
    ASSERT_EQ(t.regionHeight, sh);
    // Texture rows are GL rows: compare with glReadPixels over the frame.
    std::vector<uint8_t> back(static_cast<size_t>(sw) * sh * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    runtime.renderer.glState.MakePendingClear();  // the frame's clear waits for a draw
    glReadPixels(0, 0, sw, sh, GL_RGBA, GL_UNSIGNED_BYTE, back.data());
    int differences = 0;
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) {
            const uint32_t saved = PixelAt(t.pixels.get(), t.textureWidth, x, y) & 0xFFFFFF;
            const uint32_t read = PixelAt(back.data(), sw, x, y) & 0xFFFFFF;
            differences += saved != read;
        }
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(PixelAt(t.pixels.get(), t.textureWidth, 10, 20), Opaque(255, 0, 0));
    EXPECT_EQ(PixelAt(t.pixels.get(), t.textureWidth, 9, 20), Opaque(0, 0, 255));
    EXPECT_EQ(PixelAt(t.pixels.get(), t.textureWidth, 39, 59), Opaque(255, 0, 0));
    EXPECT_EQ(PixelAt(t.pixels.get(), t.textureWidth, sw - 1, sh - 1), Opaque(255, 255, 255));
}

// Both image commands answer 0 when the file was not written completely.
// The full device is /dev/full on Linux and the same device through Wine's
// drive Z:; on each target the other name is a missing folder.
TEST_F(BmpTexture, SavingToWhereNoFileCanBeWrittenGivesZero) {
    LoadSprite(RtString(File("small.bmp", MakeBmp(2, 2, 24, std::vector<Rgb>(4, Rgb{1, 2, 3}))).c_str()), 302);
    const std::string places[] = {ScratchDirectory() + "no/dir/x.bmp", "/dev/full", "Z:/dev/full",
                                  ScratchDirectory()};
    for (const std::string& place : places) {
        EXPECT_EQ(SaveScreen(RtString(place.c_str())), 0.0) << place;
        EXPECT_EQ(SaveSprite(302, RtString(place.c_str())), 0.0) << place;
    }
    EXPECT_EQ(SaveSprite(302, RtString(ScratchPath("small-saved.bmp").c_str())), 1.0);
}

TEST_F(BmpTexture, SaveSpriteWritesTheSlotsImage) {
    // 5 x 3 sprite with a key pixel in the top row; the saved image is the
    // texture's colour: the key pixel repaired to the average of its inner
    // neighbours (the middle row's second and third pixels).
    const Rgb K{255, 0, 128};
    std::vector<Rgb> image = {{10, 20, 30}, K, {50, 60, 70}, {1, 2, 3}, {4, 5, 6},
                              {7, 8, 9}, {11, 12, 13}, {14, 15, 16}, {17, 18, 19}, {20, 21, 22},
                              {23, 24, 25}, {26, 27, 28}, {29, 30, 31}, {32, 33, 34}, {35, 36, 37}};
    const std::string source = File("sprite.bmp", MakeBmp(5, 3, 24, image));
    LoadSprite(RtString(source.c_str()), 300);
    const std::string path = ScratchPath("saved.bmp");
    ASSERT_EQ(SaveSprite(300, RtString(path.c_str())), 1.0);
    std::vector<uint8_t> file = ReadFileBytes(path);
    ASSERT_EQ(file.size(), 54u + 16u * 3);
    DecodeRequest request;
    request.maxTextureSize = 64;
    RgbaTexture t;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), request, t), BmpStatus::kOk);
    ASSERT_EQ(t.regionWidth, 5);
    ASSERT_EQ(t.regionHeight, 3);
    for (int top = 0; top < 3; ++top)
        for (int x = 0; x < 5; ++x) {
            const Rgb& p = image[top * 5 + x];
            const uint32_t want = (top == 0 && x == 1) ? Opaque((11 + 14) / 2, (12 + 15) / 2, (13 + 16) / 2)
                                                        : Opaque(p.r, p.g, p.b);
            EXPECT_EQ(PixelAt(t.pixels.get(), t.textureWidth, x, 2 - top), want) << x << "," << top;
        }
    // Empty and impossible slots fail.
    EXPECT_EQ(SaveSprite(301, RtString(ScratchPath("empty.bmp").c_str())), 0.0);
    EXPECT_EQ(SaveSprite(-1, RtString(ScratchPath("neg.bmp").c_str())), 0.0);
    EXPECT_EQ(SaveSprite(70000, RtString(ScratchPath("big.bmp").c_str())), 0.0);
    EXPECT_FALSE(FileExistsAt(ScratchPath("empty.bmp")));
}
