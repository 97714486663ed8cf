// Picking and the collision markers on a real window: window coordinates of
// 3D points and back, and what each test draws with the debug trace on.
#include <brindle.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/runtime_state.h"
#include "platform/gl.h"
#include "support/test_runtime.h"

namespace {

constexpr int W = 640, H = 480;

struct Colours {
    int red = 0, green = 0, white = 0, other = 0;
};

Colours CountColours() {
    std::vector<unsigned char> p(W * H * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    runtime.renderer.glState.MakePendingClear();  // the frame's clear waits for a draw
    glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, p.data());
    Colours c;
    for (size_t i = 0; i < p.size(); i += 3) {
        const int r = p[i], g = p[i + 1], b = p[i + 2];
        if (r + g + b < 30) continue;
        if (r > 200 && g < 40 && b < 40) ++c.red;
        else if (g > 200 && r < 40 && b < 40) ++c.green;
        else if (r > 200 && g > 200 && b > 200) ++c.white;
        else if (r > 60 || g > 60 || b > 60) ++c.other;  // not the edge of a smooth line
    }
    return c;
}

class Picking : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestRuntime(); }
    void SetUp() override { Begin3D(); }
    void TearDown() override {
        runtime.debugTrace = 0;
        Leave3DMode();
        SetViewport(0, 0, 0, 0);
    }
    static void Begin3D() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Enter3DMode(1, 1000, 90);
        SetCamera(0, 0, 10, 0, 0, 0);
    }
};

}  // namespace

TEST_F(Picking, WorldToScreenAndBack) {
    // A viewport off the corner: its centre is the camera target.
    SetViewport(100, 50, 320, 240);
    Enter3DMode(1, 1000, 45);
    SetCamera(3, 4, -10, 1, 2, 3);
    double x = -1, y = -1, depth = -1;
    WorldToScreen(1, 2, 3, x, y, depth);
    EXPECT_NEAR(x, 100 + 160, 1e-3);
    EXPECT_NEAR(y, 50 + 120, 1e-3);
    EXPECT_GT(depth, 0);
    EXPECT_LT(depth, 1);

    // Back from the window: ScreenToWorld reads y against the screen's last
    // row, one pixel lower than WorldToScreen's y, so y - 1 returns the point
    // and y itself a point one pixel away at the same depth.
    const double points[][3] = {{1, 2, 3}, {0, 0, 0}, {2.5, 3, 1}, {-1, 4, 8}};
    for (const auto& p : points) {
        WorldToScreen(p[0], p[1], p[2], x, y, depth);
        double back[3], below[3];
        ScreenToWorld(x, y - 1, depth, back[0], back[1], back[2]);
        ScreenToWorld(x, y, depth, below[0], below[1], below[2]);
        double moved = 0, distance = 0;
        const double eye[3] = {3, 4, -10};
        for (int a = 0; a < 3; ++a) {
            EXPECT_NEAR(back[a], p[a], 1e-3) << a;
            moved += (below[a] - back[a]) * (below[a] - back[a]);
            distance += (p[a] - eye[a]) * (p[a] - eye[a]);
        }
        // One pixel of 240 spans 2 tan(22.5 degrees) / 240 of the distance
        // (near the view axis).
        const double pixel = 2 * std::tan(22.5 * 3.14159265358979 / 180) / 240 * std::sqrt(distance);
        EXPECT_NEAR(std::sqrt(moved), pixel, 0.15 * pixel);
    }

    // A point in the eye's plane cannot be projected: the outputs stay.
    SetCamera(0, 0, 0, 0, 0, -1);  // the identity view
    x = 7, y = 8, depth = 9;
    WorldToScreen(5, 3, 0, x, y, depth);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    EXPECT_EQ(depth, 9);
}

TEST_F(Picking, DebugTraceDrawsTheTests) {
    StartObject(60);  // a unit square in z = 0
    AddVertex(0, 0, 0, 0, 0, -1);
    const double corners[6][2] = {{-0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}, {-0.5, -0.5}, {0.5, 0.5}, {-0.5, 0.5}};
    for (const auto& v : corners) AddVertex(v[0], v[1], 0, 0, 0, 0xFFFFFF);
    EndObject();

    enum Expect { kGreen, kRed, kWhite, kNothing };
    struct Case {
        const char* name;
        double (*test)();
        Expect colour;
        double result;
    };
    const Case cases[] = {
        {"sphere miss", [] { return CollideSphere(60, 0, 1, 3, 0, 0); }, kGreen, 0},
        {"sphere hit", [] { return CollideSphere(60, 0, 1, 0, 0, 0.5); }, kRed, 1},
        {"box miss", [] { return CollideBox(60, 0, -3, 0, 0, 2, 2); }, kGreen, 0},
        {"box hit", [] { return CollideBox(60, 0, 0, 0, 0, 2, 2); }, kRed, 1},
        {"ray hit in front", [] { return CollideRay(60, 0, -3, 0, 3, 3, 0, -3); }, kGreen, std::sqrt(18.0)},
        {"ray hit behind", [] { return CollideRay(60, 0, -3, 0, 3, -1, 0, 1); }, kWhite, -std::sqrt(18.0)},
        {"ray miss", [] { return CollideRay(60, 0, -3, 2, 0, 1, 0, 0); }, kRed, 0},
    };
    for (int trace : {1, 0}) {
        for (const Case& c : cases) {
            runtime.debugTrace = trace;
            Begin3D();
            EXPECT_NEAR(c.test(), c.result, 1e-4) << c.name;
            const Colours seen = CountColours();
            const Expect want = trace ? c.colour : kNothing;
            EXPECT_EQ(seen.green > 20, want == kGreen) << c.name << " " << seen.green;
            EXPECT_EQ(seen.red > 20, want == kRed) << c.name << " " << seen.red;
            EXPECT_EQ(seen.white > 20, want == kWhite) << c.name << " " << seen.white;
            EXPECT_EQ(seen.other, 0) << c.name;
            float width = 0, colour[4] = {0, 0, 0, 0};
            glGetFloatv(GL_LINE_WIDTH, &width);
            glGetFloatv(GL_CURRENT_COLOR, colour);
            EXPECT_EQ(width, 1.0f) << c.name;
            EXPECT_EQ(colour[0] + colour[1] + colour[2], 3.0f) << c.name;
        }
    }
}
