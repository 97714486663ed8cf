// The rendering context and the 2D view on the real window.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "core/runtime_state.h"
#include "platform/gl_entry_points.h"
#include "platform/gl.h"
#include "support/test_runtime.h"

namespace {

class Display : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestRuntime();
        r.ResetViewport();
        glReadBuffer(GL_BACK);
    }
    OpenGLZadederu& r = runtime.renderer;

    // Pixel in window coordinates (origin top left) of the back buffer, 0x00BBGGRR.
    uint32_t Pixel(int x, int y) {
        GLint vp[4];
        glGetIntegerv(GL_VIEWPORT, vp);
        unsigned char rgba[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        runtime.renderer.glState.MakePendingClear();  // the frame's clear waits for a draw
        glReadPixels(x, r.screenHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return rgba[0] | rgba[1] << 8 | rgba[2] << 16;
    }

    // An untextured square of side n with its top-left corner at (x, y) in 2D coordinates.
    void Square(float x, float y, float n) {
        glDisable(GL_TEXTURE_2D);
        glBegin(GL_QUADS);
        glVertex2f(x, -y);
        glVertex2f(x, -(y + n));
        glVertex2f(x + n, -(y + n));
        glVertex2f(x + n, -y);
        glEnd();
        glEnable(GL_TEXTURE_2D);
    }
};

TEST_F(Display, ContextHasRequestedFormat) {
    ASSERT_TRUE(r.contextReady);
    ASSERT_NE(r.glContext, nullptr);
    EXPECT_EQ(r.screenWidth, 640);
    EXPECT_EQ(r.screenHeight, 480);
    EXPECT_GT(r.colourDepth, 0);
    GLint depth = 0, stencil = 0, red = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_RED_BITS, &red);
    EXPECT_GE(depth, 16);
    EXPECT_GE(stencil, 8);
    EXPECT_GE(red, 5);
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_TRUE(doubleBuffered);
}

TEST_F(Display, ClearedFrameReadsBackAsClearColour) {
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    runtime.renderer.glState.MakePendingClear();
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(Pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(Pixel(639, 479), 0x00FF00u);
    EXPECT_EQ(Pixel(320, 240), 0x00FF00u);
    r.ResetViewport();  // clear colour back to black
    runtime.renderer.glState.MakePendingClear();
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(Pixel(320, 240), 0x000000u);
}

TEST_F(Display, Origin2DIsTopLeftPixel) {
    runtime.renderer.glState.MakePendingClear();
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 0, 0);
    Square(0, 0, 1);
    glColor3f(0, 0, 1);
    Square(639, 479, 1);
    glColor4f(1, 1, 1, 1);
    EXPECT_EQ(Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(Pixel(1, 0), 0u);
    EXPECT_EQ(Pixel(0, 1), 0u);
    EXPECT_EQ(Pixel(639, 479), 0xFF0000u);
    EXPECT_EQ(Pixel(638, 479), 0u);
    EXPECT_EQ(Pixel(639, 478), 0u);
}

TEST_F(Display, ViewportIsPlacedFromTheTopLeft) {
    runtime.renderer.glState.MakePendingClear();
    glClear(GL_COLOR_BUFFER_BIT);
    r.SetViewport2D(100, 50, 200, 120);
    EXPECT_EQ(r.viewportX, 100);
    EXPECT_EQ(r.viewportY, 50);
    EXPECT_EQ(r.viewportWidth, 200);
    EXPECT_EQ(r.viewportHeight, 120);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[0], 100);
    EXPECT_EQ(vp[1], 480 - 120 - 50);
    EXPECT_EQ(vp[2], 200);
    EXPECT_EQ(vp[3], 120);
    glColor3f(1, 1, 1);
    Square(0, 0, 1);
    EXPECT_EQ(Pixel(100, 50), 0xFFFFFFu);
    EXPECT_EQ(Pixel(99, 50), 0u);
    EXPECT_EQ(Pixel(100, 49), 0u);
}

TEST_F(Display, EmptyViewportSizeCoversScreenButKeepsOrigin) {
    r.SetViewport2D(30, 40, 0, 10);
    EXPECT_EQ(r.viewportX, 30);
    EXPECT_EQ(r.viewportY, 40);
    EXPECT_EQ(r.viewportWidth, 640);
    EXPECT_EQ(r.viewportHeight, 480);
    r.SetViewport2D(5, 6, 10, -1);
    EXPECT_EQ(r.viewportX, 5);
    EXPECT_EQ(r.viewportY, 6);
    EXPECT_EQ(r.viewportWidth, 640);
    EXPECT_EQ(r.viewportHeight, 480);
}

TEST_F(Display, Default2DState) {
    r.SetViewport2D(0, 0, 0, 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(r.glState.AlphaTestWanted());  // GL's switch follows at the next draw
    for (GLenum off : {GL_DEPTH_TEST, GL_DITHER, GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH,
                       GL_POLYGON_SMOOTH, GL_STENCIL_TEST, GL_POLYGON_OFFSET_POINT,
                       GL_COLOR_MATERIAL, GL_AUTO_NORMAL, GL_NORMALIZE, GL_LIGHTING})
        EXPECT_FALSE(glIsEnabled(off)) << std::hex << off;
    GLint value = 0;
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CCW);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(value, GL_GREATER);
    GLfloat ref = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_NEAR(ref, 0.15f, 1e-3);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_FLAT);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_FASTEST);
    glGetIntegerv(GL_FOG_HINT, &value);
    EXPECT_EQ(value, GL_FASTEST);
    GLfloat colour[4], clear[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(colour[i], 1.0f);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // Orthographic 0..640 across, 0..-480 down: x' = 2x/640 - 1, y' = 2y/480 + 1.
    EXPECT_NEAR(projection[0], 2.0 / 640, 1e-6);
    EXPECT_NEAR(projection[5], 2.0 / 480, 1e-6);
    EXPECT_NEAR(projection[12], -1.0, 1e-6);
    EXPECT_NEAR(projection[13], 1.0, 1e-6);
}

TEST_F(Display, MultitextureEntryPointsFollowTheExtensionString) {
    const char* ext = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    ASSERT_NE(ext, nullptr);
    bool multitexture = std::string(ext).find("GL_ARB_multitexture") != std::string::npos;
    EXPECT_EQ(glActiveTextureARB != nullptr, multitexture);
    EXPECT_EQ(glMultiTexCoord2fARB != nullptr, multitexture);
    EXPECT_EQ(glGenBuffersARB != nullptr, multitexture);

    gl_entry::LoadEntryPoints("GL_EXT_texture GL_ARB_vertex_buffer_object");
    EXPECT_EQ(glActiveTextureARB, nullptr);
    EXPECT_EQ(glMultiTexCoord2fARB, nullptr);
    EXPECT_EQ(glClientActiveTextureARB, nullptr);
    EXPECT_EQ(glGenBuffersARB, nullptr);
    EXPECT_EQ(glBindBufferARB, nullptr);
    EXPECT_EQ(glBufferDataARB, nullptr);
    EXPECT_EQ(glDeleteBuffersARB, nullptr);
    EXPECT_EQ(glMapBufferARB, nullptr);
    EXPECT_EQ(glUnmapBufferARB, nullptr);
    gl_entry::LoadEntryPoints(ext);
    EXPECT_EQ(glActiveTextureARB != nullptr, multitexture);
}

}  // namespace
