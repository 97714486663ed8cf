// Windowed and fullscreen display, the viewport command and the palette for
// palette-based pixel formats.
#include <gtest/gtest.h>

#include <brindle/gfx2d.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <fstream>
#include <string>
#include <vector>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "platform/gl.h"
#include "support/test_runtime.h"

namespace {

std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::ifstream f(ErrorLogPath(), std::ios::binary);
    std::string line;
    while (std::getline(f, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class DisplayModes : public ::testing::Test {
protected:
    void SetUp() override { StartTestRuntime(); }
    OpenGLZadederu& r = runtime.renderer;
};

TEST_F(DisplayModes, FullscreenWithoutAModeFallsBackToWindowed) {
    size_t before = LogLines().size();
    r.SetViewport2D(5, 5, 10, 10);
    bool ok = r.EnterFullscreen();
    EXPECT_EQ(r.fullscreen, ok);
    std::vector<std::string> lines = LogLines();
    if (!ok) {
        // The display offers no 640 x 480 mode (a virtual X server has one
        // mode, the desktop's): beep, log line, windowed display.
        ASSERT_GT(lines.size(), before);
        EXPECT_EQ(lines.back(), "No Fullscreen Mode available");
    } else {
        EXPECT_EQ(lines.size(), before);
    }
    EXPECT_EQ(r.viewportX, 0);
    EXPECT_EQ(r.viewportWidth, 640);
    EXPECT_EQ(r.viewportHeight, 480);
    EXPECT_EQ(r.screenWidth, 640);
    EXPECT_EQ(r.screenHeight, 480);
    EXPECT_EQ(r.EnterWindowed(), 1);
    EXPECT_FALSE(r.fullscreen);
    EXPECT_TRUE(r.contextReady);
    // Drawing still reaches the window's top-left pixel.
    runtime.renderer.glState.MakePendingClear();
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 1, 0);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(0, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 0);
    glEnd();
    r.ResetViewport();
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    runtime.renderer.glState.MakePendingClear();  // the frame's clear waits for a draw
    glReadPixels(0, 479, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    EXPECT_EQ(rgba[0], 255);
    EXPECT_EQ(rgba[1], 255);
    EXPECT_EQ(rgba[2], 0);
}

TEST_F(DisplayModes, WindowedTwiceLeavesTheDisplayAlone) {
    r.EnterWindowed();
    size_t before = LogLines().size();
    EXPECT_EQ(r.EnterWindowed(), 1);
    EXPECT_FALSE(r.fullscreen);
    EXPECT_EQ(LogLines().size(), before);
}

TEST_F(DisplayModes, ResizeScreenStoresTheSizeAndResetsTheView) {
    r.SetViewport2D(3, 4, 5, 6);
    r.ResizeScreen(320, 200);
    EXPECT_EQ(r.viewportWidth, 320);
    EXPECT_EQ(r.viewportHeight, 200);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 320);
    EXPECT_EQ(vp[3], 200);
    r.ResizeScreen(640, 480);
    EXPECT_EQ(r.viewportWidth, 640);
}

TEST_F(DisplayModes, ViewportCommandTruncates) {
    SetViewport(10.9, 20.5, 100.99, 50.2);
    EXPECT_EQ(r.viewportX, 10);
    EXPECT_EQ(r.viewportY, 20);
    EXPECT_EQ(r.viewportWidth, 100);
    EXPECT_EQ(r.viewportHeight, 50);
    SetViewport(-1.5, 7, 0.5, 30);  // width truncates to 0: whole screen
    EXPECT_EQ(r.viewportX, -1);
    EXPECT_EQ(r.viewportY, 7);
    EXPECT_EQ(r.viewportWidth, 640);
    EXPECT_EQ(r.viewportHeight, 480);
    r.ResetViewport();
}

TEST(RgbPalette, ChannelsSpreadOverFullRange) {
    // An 8-bit 3-3-2 format: red in bits 0..2, green 3..5, blue 6..7.
    platform::PixelFormatDescription f;
    f.colourBits = 8;
    f.redBits = 3;
    f.redShift = 0;
    f.greenBits = 3;
    f.greenShift = 3;
    f.blueBits = 2;
    f.blueShift = 6;
    uint32_t entries[256];
    BuildRgbPaletteEntries(f, entries, 256);
    EXPECT_EQ(entries[0], 0x000000u);
    EXPECT_EQ(entries[255], 0xFFFFFFu);
    EXPECT_EQ(entries[7], 0x0000FFu);    // full red
    EXPECT_EQ(entries[7 << 3], 0x00FF00u);
    EXPECT_EQ(entries[3 << 6], 0xFF0000u);
    EXPECT_EQ(entries[1], 255u / 7);     // one red step: 36
    EXPECT_EQ(entries[1 << 6], (255u / 3) << 16);
    // A channel without bits stays 0 rather than dividing by zero.
    f.blueBits = 0;
    BuildRgbPaletteEntries(f, entries, 256);
    EXPECT_EQ(entries[255] >> 16, 0u);
}

}  // namespace

namespace {

TEST(RendererObject, ConstructedEmpty) {
    StartTestRuntime();
    double before = runtime.renderer.Now();
    auto fresh = std::make_unique<OpenGLZadederu>();
    double after = runtime.renderer.Now();
    EXPECT_FALSE(fresh->contextReady);
    EXPECT_FALSE(fresh->fullscreen);
    EXPECT_EQ(fresh->alphaLevel, 0.0f);
    EXPECT_EQ(fresh->glContext, nullptr);
    EXPECT_EQ(fresh->palette, nullptr);
    for (int i = 0; i < kSpriteSlots; i += 4099) {
        EXPECT_EQ(fresh->textureWidth[i], -1);
        EXPECT_EQ(fresh->textureHeight[i], -1);
        EXPECT_EQ(fresh->imageWidth[i], 0);
        EXPECT_EQ(fresh->spriteTexture[i][0], 0u);
        EXPECT_EQ(fresh->spriteTexture[i][1], 0u);
        EXPECT_EQ(fresh->alphaMask[i], nullptr);
    }
    EXPECT_EQ(fresh->textureWidth[kSpriteSlots - 1], -1);
    EXPECT_EQ(fresh->backgrounds[15].columns, 0);
    EXPECT_EQ(fresh->backgrounds[15].tileTexture[4095], 0u);
    // The same clock as the runtime's: time stamps taken at construction.
    EXPECT_EQ(fresh->hasPerformanceCounter, runtime.renderer.hasPerformanceCounter);
    EXPECT_EQ(fresh->counterFrequency, runtime.renderer.counterFrequency);
    EXPECT_GE(fresh->startTime, before);
    EXPECT_LE(fresh->startTime, after);
    // Owned alpha masks go with it; the runtime's context stays current.
    fresh->alphaMask[7] = static_cast<uint8_t*>(std::malloc(16));
    fresh.reset();
    runtime.renderer.ResetViewport();
    glClearColor(0, 0, 1, 1);
    runtime.renderer.glState.MakePendingClear();
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    runtime.renderer.glState.MakePendingClear();  // the frame's clear waits for a draw
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    EXPECT_EQ(rgba[2], 255);
    runtime.renderer.ResetViewport();
}

}  // namespace
