// The renderer's record of the GL state it has set: it must agree with GL
// after every command, whatever 2D, 3D, text, background or loading
// command ran before; and a picture drawn while it skips calls (and uses
// the replace mode for white, opaque drawing) must equal, pixel for pixel,
// the same picture drawn with every call made.
#include <brindle.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/runtime_state.h"
#include "pixels.h"
#include "platform/gl.h"
#include "support/test_runtime.h"

namespace {
constexpr int kSprite = 30, kOther = 31, kKeyed = 32, kGrab = 33;
constexpr uint32_t K = 0x8000FF;

struct Step {
    const char* name;
    std::function<void()> run;
};

void LoadImages() {
    std::vector<uint32_t> a, b, c;
    for (int i = 0; i < 16 * 16; ++i) {
        a.push_back(0x010203 * (i % 97) + 0x102030);
        b.push_back(0x030201 * (i % 89) + 0x203010);
        c.push_back(i % 5 == 0 ? K : 0x00C0FF - 0x000101 * (i % 64));
    }
    WriteBmp("gs_a.bmp", 16, 16, a);
    WriteBmp("gs_b.bmp", 16, 16, b);
    WriteBmp("gs_c.bmp", 16, 16, c);
    LoadSprite("gs_a.bmp", kSprite);
    LoadSprite("gs_b.bmp", kOther);
    LoadSprite("gs_c.bmp", kKeyed);
}

// A small torus-like ring from code: strips with vertex colours, or all
// white (no colour array: drawn in the current colour).
void BuildRing(int object, bool white = false) {
    SetBuildNormals(2);
    StartObject(object);
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j <= 6; ++j) {
            for (int k = i + 1; k >= i; --k) {
                double t = j * 60.0, e = k * 60.0 + j * 10.0;
                double r = Cos(t) * 2 + 6;
                AddVertex(Sin(e) * r, 2 * Sin(t), Cos(e) * r, k / 6.0, j / 6.0,
                          j % 2 && !white ? 0x40C0FF : 0xFFFFFF);
            }
        }
        NewStrip();
    }
    EndObject();
}

void Scene3D(const std::function<void()>& draw) {
    Enter3DMode(1, 250, 45);
    SetCamera(0, 10, 50, 0, 0, 0);
    draw();
    Leave3DMode();
}

// Sprites in every mode, text, primitives and polygons: the 2D picture.
void Draw2D() {
    for (int i = 0; i < 40; ++i) DrawSprite(i % 3 == 0 ? kKeyed : kSprite, (i * 37) % 600, (i * 53) % 440);
    StretchSprite(kOther, 300, 200, 100, 60);
    RotateSprite(kKeyed, 100, 300, 30);
    RotoZoomSprite(kSprite, 200, 100, -30, 2);
    PrintText("Glimmer 123", 20, 20);
    SetAlphaMode(-0.5);
    for (int i = 0; i < 10; ++i) DrawSprite(kSprite, 50 + i * 20, 400);
    PrintText("half", 20, 40);
    SetAlphaMode(0.7);
    DrawSprite(kOther, 400, 50);
    RotoZoomSprite(kKeyed, 420, 60, 45, 1.5);
    SetAlphaMode(0);
    DrawLine(10, 10, 200, 150, 0x00FF00);
    FillRect(500, 300, 540, 340, 0xFF00FF);
    DrawSprite(kSprite, 520, 320);
    StartPolygon(kSprite);
    PolygonVertex(100, 100, 0, 0, 0xFFFFFF);
    PolygonVertex(160, 100, 16, 0, 0x00FF00);
    PolygonVertex(130, 150, 8, 16, 0xFF0000);
    EndPolygon();
    DrawSprite(kKeyed, 140, 120);
    StartPolygon(-1);
    PolygonVertex(300, 400, 0, 0, 0x0000FF);
    PolygonVertex(360, 400, 0, 0, 0x00FFFF);
    PolygonVertex(330, 450, 0, 0, 0xFFFF00);
    EndPolygon();
    DrawSprite(kSprite, 320, 410);
}

class GlState : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestRuntime();
        OpaqueDrawing();
        runtime.renderer.ResetViewport();
        LoadImages();
    }
    void TearDown() override {
        runtime.renderer.glState.SetSkipping(true);
        OpaqueDrawing();
    }
};
}  // namespace

TEST_F(GlState, RecordAgreesWithGlAfterEveryCommand) {
    BuildRing(5);
    const std::vector<Step> steps = {
        {"start", [] {}},
        {"2D picture", [] { Draw2D(); }},
        {"frame", [] { ShowFrame(); }},
        {"sprite after frame", [] { DrawSprite(kSprite, 1, 1); }},
        {"3D textured, vertex colours",
         [] { Scene3D([] { SetTexture(kSprite, -1); DrawObject(5, 0); }); }},
        {"3D two textures, sphere map",
         [] {
             Scene3D([] {
                 SetTexture(kSprite, kOther);
                 SetEnvironmentMap(1);
                 DrawObject(5, 0);
                 SetEnvironmentMap(0);
             });
         }},
        {"sprite after 3D", [] { DrawSprite(kOther, 5, 5); }},
        {"3D lights, markers, axes, billboard",
         [] {
             Scene3D([] {
                 SetLight(1, 0xFFFFFF, 5, 6, 7, 0, -2, 0, 180);
                 SetTexture(kSprite, -1);
                 DrawObject(5, 0);
                 DrawLine3D(0, 0, 0, 10, 10, 10, 0x00FF00, 2);
                 DrawPoint3D(1, 2, 3, 0xFF0000, 4);
                 DrawAxes(0, 0, 0);
                 DrawBillboard(kKeyed, 0, 0, 0, 1);
                 PrintText3D("3D", 0, 5, 0, 0.1);
                 PrintText3D("flat", 0, -5, 0, 0);
             });
         }},
        {"sprite after lit 3D", [] { DrawSprite(kSprite, 9, 9); }},
        {"cel shading", [] {
             Scene3D([] {
                 SetCulling(1);
                 SetLight(-2, 0xFFFFFF, 0, 0, 50, 0, 0, 0, 1);
                 SetTexture(kSprite, -1);
                 DrawObject(5, 0);
                 SetLight(-2, 0xFFFFFF, 0, 0, 50, 0, 0, 0, 0);
             });
         }},
        {"bump mapping", [] {
             Scene3D([] {
                 SetLight(-1, 0xFFFFFF, 0, 0, 50, 0, 0, 0, 1);
                 SetTexture(kSprite, kOther);
                 DrawObject(5, 0);
                 SetLight(-1, 0xFFFFFF, 0, 0, 50, 0, 0, 0, 0);
             });
         }},
        {"shadow pass", [] {
             Scene3D([] {
                 SetLight(-3, 0xFFFFFF, 4, 0, 105, 0, 0, 0, 1);
                 DrawObject(5, 0);
                 SetLight(-3, 0xFFFFFF, 4, 0, 105, 0, 0, 0, 0);
             });
         }},
        {"sprite after effects", [] { DrawSprite(kSprite, 30, 30); }},
        {"bound sprite deleted and reloaded",
         [] {
             DrawSprite(kOther, 0, 0);
             LoadSprite("gs_c.bmp", kOther);
             DrawSprite(kOther, 0, 0);
         }},
        {"rebuilt object", [] { BuildRing(5); }},
        {"background and fade",
         [] {
             LoadBackground("gs_a.bmp");
             DrawSprite(kSprite, 3, 3);
             FadeToBackground("gs_b.bmp");
             DrawSprite(kSprite, 3, 3);
         }},
        {"grabs", [] {
             GrabBackground();
             GrabSprite(kGrab, 10, 10, 40, 30);
             DrawSprite(kGrab, 100, 100);
         }},
        {"collision masks", [] { SpriteCollision(kSprite, 0, 0, kKeyed, 4, 4); }},
        {"font load", [] { LoadFont("", 1); PrintText("x", 0, 0); SetFont(0); }},
        {"clear", [] { ClearScreen(); ShowFrame(); }},
    };
    for (const Step& step : steps) {
        step.run();
        EXPECT_EQ(runtime.renderer.glState.Mismatches(), "") << "after: " << step.name;
    }
}

// The same picture (2D, then a billboard, a mesh with vertex colours and a
// white one, sphere-mapped, in full and in half alpha) with the record
// skipping and choosing replace, and
// with every call made and modulate throughout, over a background in
// which every pixel differs.
TEST_F(GlState, SkippingLeavesThePictureAsItWas) {
    BuildRing(5);
    BuildRing(6, true);
    std::vector<std::vector<uint32_t>> pictures;
    for (bool skipping : {false, true}) {
        runtime.renderer.glState.SetSkipping(skipping);
        OpaqueDrawing();
        ClearBack(0x203040);
        glClear(GL_DEPTH_BUFFER_BIT);  // the billboard is depth-tested
        Draw2D();
        Scene3D([] {
            DrawBillboard(kKeyed, 0, 0, 0, 2);
            // Vertex colours after white 2D drawing: modulated again.
            SetTexture(kSprite, -1);
            DrawObject(5, 0);
            // A white mesh in white light replaces; in half alpha it modulates.
            SetTexture(kOther, -1);
            AddRotation(60, 1, 0, 0);
            SetEnvironmentMap(1);
            DrawObject(6, 0);
            SetEnvironmentMap(0);
            SetTranslation(10, 0, 0);
            DrawObject(6, 0);
        });
        SetAlphaMode(-0.5);
        Scene3D([] {
            SetTexture(kKeyed, -1);
            SetTranslation(-12, 0, 0);
            DrawObject(6, 0);
        });
        SetAlphaMode(0);
        DrawSprite(kSprite, 600, 10);
        pictures.push_back(Block(0, 0, 640, 480));
    }
    size_t differ = 0;
    for (size_t i = 0; i < pictures[0].size(); ++i) differ += pictures[0][i] != pictures[1][i];
    EXPECT_EQ(differ, 0u);
    // The picture is not empty: sprites and text landed.
    EXPECT_NE(pictures[1][(400 + 4) * 640 + 54], 0x203040u);
}

// A new frame's colour clear waits for the frame's first draw and is left
// out when that draw is an opaque image over the whole window; opaque
// images are drawn without the alpha test. Each case starts a frame after
// a white one and must give the picture drawn with every call made (the
// clear at the swap, the alpha test always on).
TEST_F(GlState, FramesLookAsIfClearedAtTheSwap) {
    std::vector<uint32_t> wide;  // 20 x 12, opaque, held in a 32 x 16 texture
    for (int i = 0; i < 20 * 12; ++i) wide.push_back(0x050709 * (i % 31) + 0x104020);
    WriteBmp("gs_wide.bmp", 20, 12, wide);
    constexpr int kWide = 34;
    LoadSprite("gs_wide.bmp", kWide);
    BuildRing(6, true);
    const std::vector<Step> cases = {
        {"nothing drawn", [] {}},
        {"a small sprite", [] { DrawSprite(kSprite, 100, 100); }},
        {"opaque image over the window", [] { StretchSprite(kSprite, 0, 0, 640, 480); DrawSprite(kKeyed, 9, 9); }},
        {"image with transparent edges over the window", [] { StretchSprite(kWide, -1, 0, 642, 480); }},
        {"keyed image over the window", [] { StretchSprite(kKeyed, 0, 0, 640, 480); }},
        {"opaque image over all but a column", [] { StretchSprite(kSprite, 1, 0, 640, 480); }},
        {"opaque image in half alpha", [] {
             SetAlphaMode(-0.5);
             StretchSprite(kSprite, 0, 0, 640, 480);
             SetAlphaMode(0);
         }},
        {"opaque image rotated", [] { RotoZoomSprite(kSprite, 300, 200, 30, 40); }},
        {"grab first", [] { GrabSprite(kGrab, 0, 0, 64, 64); DrawSprite(kGrab, 200, 200); }},
        {"3D first, opaque sphere-mapped mesh", [] {
             Scene3D([] {
                 SetTexture(kOther, -1);
                 SetEnvironmentMap(1);
                 DrawObject(6, 0);
                 SetEnvironmentMap(0);
             });
             StretchSprite(kSprite, 0, 0, 640, 480);
         }},
        {"3D, a frame without it, 3D again at the same depths", [] {
             auto billboard = [] { Scene3D([] { DrawBillboard(kSprite, 0, 0, 0, 3); }); };
             billboard();
             ShowFrame();  // the depth buffer was written: cleared
             ShowFrame();  // nothing wrote it: left as it is
             billboard();
         }},
    };
    for (const Step& c : cases) {
        std::vector<std::vector<uint32_t>> pictures;
        for (bool skipping : {false, true}) {
            runtime.renderer.glState.SetSkipping(skipping);
            FillRect(0, 0, 639, 479, 0xFFFFFF);
            ShowFrame();
            c.run();
            pictures.push_back(Block(0, 0, 640, 480));
            EXPECT_EQ(runtime.renderer.glState.Mismatches(), "") << c.name;
        }
        size_t differ = 0;
        for (size_t i = 0; i < pictures[0].size(); ++i) differ += pictures[0][i] != pictures[1][i];
        EXPECT_EQ(differ, 0u) << c.name;
        EXPECT_NE(pictures[1][5 * 640 + 630], 0xFFFFFFu) << c.name << ": the white frame is still there";
    }
}

// Unturned sprites are drawn as GL quads, turned ones as triangle fans: at
// angle 0 and zoom 1 a turned sprite lands on the same corners, so both
// must give the same pixels.
TEST_F(GlState, SpriteQuadsMatchFans) {
    for (int slot : {kSprite, kKeyed}) {
        std::vector<std::vector<uint32_t>> pictures;
        for (bool fans : {false, true}) {
            ClearBack(0x203040);
            for (int i = 0; i < 60; ++i) {
                const double x = (i * 37) % 600, y = (i * 53) % 440;
                if (fans) RotoZoomSprite(slot, x, y, 0, 1);
                else DrawSprite(slot, x, y);
            }
            pictures.push_back(Block(0, 0, 640, 480));
        }
        EXPECT_TRUE(pictures[0] == pictures[1]) << "slot " << slot;
        EXPECT_NE(pictures[0][(53 + 8) * 640 + 37 + 8], 0x203040u);
    }
}
