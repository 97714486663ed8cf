// The scene and object drawing on a real window: projection and camera
// coverage, culling, fog, lights, sphere mapping, frame blending,
// visibility, stencil shadows, cel outlines and the vertex-array paths.
#include <brindle.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "core/runtime_state.h"
#include "platform/gl_entry_points.h"
#include "gfx2d/opengl_zadederu.h"
#include "platform/gl.h"
#include "support/pixel_tolerance.h"
#include "support/test_runtime.h"

namespace {

constexpr int W = 640, H = 480;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    int r, g, b;
};

Rgb Pixel(int x, int y) {
    unsigned char p[3];
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    runtime.renderer.glState.MakePendingClear();  // the frame's clear waits for a draw
    glReadPixels(x, H - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

std::vector<unsigned char> Screen() {
    std::vector<unsigned char> out(W * H * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    runtime.renderer.glState.MakePendingClear();  // the frame's clear waits for a draw
    glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, out.data());
    return out;
}

bool Lit(int x, int y) {
    Rgb p = Pixel(x, y);
    return p.r + p.g + p.b > 300;
}

// Square of side `size` centred on the z axis in the plane z (0 unless
// given), counter-clockwise seen from +z. Lit objects are built at size
// rather than scaled: the 3D state leaves normals unnormalised, so scaling
// would dim them.
void BuildQuad(int object, double size = 1, int colour = 0xFFFFFF, double z = 0) {
    double h = size / 2;
    StartObject(object);
    AddVertex(0, 0, 0, 0, 0, -1);  // a triangle list
    AddVertex(-h, -h, z, 0, 0, colour);
    AddVertex(h, -h, z, 1, 0, colour);
    AddVertex(h, h, z, 1, 1, colour);
    AddVertex(-h, -h, z, 0, 0, colour);
    AddVertex(h, h, z, 1, 1, colour);
    AddVertex(-h, h, z, 0, 1, colour);
    EndObject();
}

// Closed unit cube centred on the origin, outward faces counter-clockwise
// (or clockwise).
void BuildCube(int object, bool clockwise = false) {
    static const float c[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                                  {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    static const int faces[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6},
                                    {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
    StartObject(object);
    AddVertex(0, 0, 0, 0, 0, -1);
    for (const auto& f : faces) {
        for (int i : clockwise ? std::array{0, 2, 1, 0, 3, 2} : std::array{0, 1, 2, 0, 2, 3})
            AddVertex(c[f[i]][0] * 0.5, c[f[i]][1] * 0.5, c[f[i]][2] * 0.5, 0, 0, 0xFFFFFF);
    }
    EndObject();
}

// Sphere of radius 2 in latitude strips, outward faces counter-clockwise,
// with smooth normals (or the given SetBuildNormals mode).
void BuildSphere(int object, int colour, int normals = 2) {
    const int rings = 16, sides = 24;
    SetBuildNormals(normals);
    StartObject(object);
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j <= sides; ++j) {
            for (int k : {i + 1, i}) {
                double lat = kPi * k / rings - kPi / 2, lon = 2 * kPi * j / sides;
                AddVertex(2 * std::cos(lat) * std::cos(lon), 2 * std::sin(lat),
                          -2 * std::cos(lat) * std::sin(lon), 0, 0, colour);
            }
        }
        NewStrip();
    }
    EndObject();
}

void Begin3D(double nearPlane, double farPlane, double fov) {
    OpenGLZadederu& r = runtime.renderer;
    r.SetViewport2D(0, 0, 0, 0);
    glClearColor(0, 0, 0, 1);
    runtime.renderer.glState.MakePendingClear();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    Enter3DMode(nearPlane, farPlane, fov);
}

class Scene : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartTestRuntime(); }
    void TearDown() override {
        SetFog(-1, 0, 0, 0);
        SetEnvironmentMap(0);
        Leave3DMode();
    }
};

}  // namespace

TEST_F(Scene, ProjectionMatchesTheFrustumAndCone) {
    Begin3D(1, 250, 45);
    float m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[5], 1 / 0.41421356, 1e-4);                // 2n / (top - bottom)
    EXPECT_NEAR(m[0], 1 / (0.41421356 * 4 / 3), 1e-4);      // 2n / (right - left)
    EXPECT_NEAR(runtime.scene.viewConeTangent, std::tan(50 * kPi / 180), 1e-5);
    Begin3D(1, 250, -45);  // orthographic, 100 times the near face
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[5], 1 / 41.421356, 1e-6);
    EXPECT_EQ(m[15], 1.0f);
    EXPECT_NEAR(runtime.scene.viewConeTangent, std::tan(1.553343), 1e-3);
}

TEST_F(Scene, QuadCoversThePredictedRegion) {
    BuildQuad(100);
    // Field of view 90 at distance 10: 24 pixels per unit, centre (320, 240).
    Begin3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    SetTranslation(2, 1, 0);
    SetScale(5, 2.5, 1);
    AddRotation(90, 0, 0, 1);  // scaled first, then turned: 2.5 wide, 5 high
    DrawObject(100, 0);
    // x from 2 - 1.25 to 2 + 1.25, y from 1 - 2.5 to 1 + 2.5.
    int left = 320 + 24 * 0.75, right = 320 + 24 * 3.25;  // 338 .. 398
    int top = 240 - 24 * 3.5, bottom = 240 + 24 * 1.5;    // 156 .. 276
    for (int y = top + 1; y < bottom - 1; y += 7) {
        EXPECT_TRUE(Lit(left + 1, y)) << y;
        EXPECT_FALSE(Lit(left - 2, y)) << y;
        EXPECT_TRUE(Lit(right - 2, y)) << y;
        EXPECT_FALSE(Lit(right + 1, y)) << y;
    }
    for (int x = left + 1; x < right - 1; x += 5) {
        EXPECT_TRUE(Lit(x, top + 1)) << x;
        EXPECT_FALSE(Lit(x, top - 2)) << x;
        EXPECT_TRUE(Lit(x, bottom - 2)) << x;
        EXPECT_FALSE(Lit(x, bottom + 1)) << x;
    }
}

TEST_F(Scene, CullingKeepsOrDropsTheQuad) {
    BuildQuad(100);
    struct Case {
        int culling;
        float turn;  // degrees about y
        bool drawn;
    };
    const Case cases[] = {{0, 0, true},   {0, 180, true},  {-1, 0, true},
                          {-1, 180, false}, {1, 0, false}, {1, 180, true}};
    for (const Case& c : cases) {
        Begin3D(1, 100, 90);
        SetCamera(0, 0, 10, 0, 0, 0);
        SetCulling(c.culling);
        SetScale(4, 4, 4);
        AddRotation(c.turn, 0, 1, 0);
        DrawObject(100, 0);
        EXPECT_EQ(Lit(320, 240), c.drawn) << "culling " << c.culling << " turn " << c.turn;
        EXPECT_EQ(runtime.cullModeSetting, c.culling);
    }
    SetCulling(7);
    EXPECT_EQ(runtime.scene.cullMode, 1);
}

TEST_F(Scene, TransformStackLevels) {
    Begin3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    SetTranslation(1, 2, 3);
    AddRotation(10, 0, 0, 1);
    PushTransform();
    AddRotation(20, 1, 0, 0);
    EXPECT_EQ(runtime.scene.transformTop, 1);
    EXPECT_EQ(runtime.scene.transformStack[1].scale[0], 1.0f);
    PopTransform();
    PopTransform();  // stays at level 0
    EXPECT_EQ(runtime.scene.transformTop, 0);
    EXPECT_EQ(runtime.scene.transformStack[0].rotationCount, 1);
    EXPECT_EQ(runtime.scene.transformStack[0].translation[1], 2.0f);
    SetScale(2, 2, 2);  // empties the rotations
    EXPECT_EQ(runtime.scene.transformStack[0].rotationCount, 0);
    for (int i = 0; i < 20; ++i) AddRotation(i, 0, 1, 0);
    EXPECT_EQ(runtime.scene.transformStack[0].rotationCount, 16);
    for (int i = 0; i < 20; ++i) PushTransform();
    EXPECT_EQ(runtime.scene.transformTop, 15);
    SetCamera(0, 0, 5, 0, 0, 0);
    EXPECT_EQ(runtime.scene.transformTop, 0);
    EXPECT_EQ(runtime.scene.transformStack[0].rotationCount, 0);
    EXPECT_EQ(runtime.scene.transformStack[0].scale[2], 1.0f);

    // Each level: scaled, then turned by its rotations in the order added,
    // then moved; level 1 acts inside level 0.
    SetTranslation(5, 0, 0);
    PushTransform();
    SetScale(2, 1, 1);
    AddRotation(90, 0, 0, 1);  // x -> y
    AddRotation(90, 1, 0, 0);  // then y -> z
    SetTranslation(0, 0, 0);   // would empty the rotations: set before them
    EXPECT_EQ(runtime.scene.transformStack[1].rotationCount, 0);
    AddRotation(90, 0, 0, 1);
    AddRotation(90, 1, 0, 0);
    float m[16];
    glPushMatrix();
    glLoadIdentity();
    runtime.scene.ApplyTransformStack();
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glPopMatrix();
    // (1, 0, 0) -> (2, 0, 0) -> (0, 2, 0) -> (0, 0, 2) -> (5, 0, 2).
    EXPECT_NEAR(m[0] + m[12], 5, 1e-5);
    EXPECT_NEAR(m[1] + m[13], 0, 1e-5);
    EXPECT_NEAR(m[2] + m[14], 2, 1e-5);
}

TEST_F(Scene, LinearFogAtTheFarPlaneGivesTheFogColour) {
    BuildQuad(100);
    Begin3D(1, 50, 90);
    SetCamera(0, 0, 0, 0, 0, -1);
    SetFog(0x0000FF, 0, 0, 0);  // red, from the near to the far plane
    float range[2];
    glGetFloatv(GL_FOG_START, &range[0]);
    glGetFloatv(GL_FOG_END, &range[1]);
    EXPECT_EQ(range[0], 1.0f);
    EXPECT_EQ(range[1], 50.0f);
    SetTranslation(0, 0, -49.9);
    SetScale(200, 200, 1);
    DrawObject(100, 0);
    Rgb far = Pixel(320, 240);
    EXPECT_GE(far.r, 253);
    EXPECT_LE(far.g, 2);
    EXPECT_LE(far.b, 2);
    // Near the eye the quad keeps its own colour.
    SetTranslation(0, 0, -2);
    SetScale(1, 1, 1);
    DrawObject(100, 0);
    Rgb near = Pixel(320, 240);
    EXPECT_GE(near.g, 245);
    SetFog(-1, 0, 0, 0);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(Scene, HeadLightDarkensFacesTurnedAway) {
    SetBuildNormals(2);
    BuildQuad(100, 6);
    auto brightness = [](float turn) {
        Begin3D(1, 100, 90);
        SetCamera(0, 0, 10, 0, 0, 0);
        SetHeadLight(0, 0xFFFFFF);
        AddRotation(turn, 0, 1, 0);
        DrawObject(100, 0);
        return Pixel(320, 240).g;
    };
    int facing = brightness(0);
    int turned = brightness(60);
    int away = brightness(180);
    // Colour material latches the ambient colour (1, 1, 1) when the 3D
    // state enables it, so the model's ambient 0.2 adds to every face.
    EXPECT_GE(facing, 250);
    EXPECT_NEAR(turned, (0.5 + 0.2) * 255, 4);  // cos 60 plus ambient
    EXPECT_NEAR(away, 0.2 * 255, 3);            // ambient only
    EXPECT_LT(away, turned);
    float position[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    EXPECT_EQ(position[2], 1.0f);  // along the viewer's axis
    EXPECT_EQ(position[3], 0.0f);
    EXPECT_EQ(runtime.scene.lightMask, 1);
}

TEST_F(Scene, LightKindsAndTheLightingSwitch) {
    Begin3D(1, 100, 45);
    SetCamera(0, 0, 0, 0, 0, -1);  // identity camera
    SetLight(1, 0xFFFFFF, 5, 6, 7, 0, -2, 0, 180);  // directional
    float p[4];
    glGetLightfv(GL_LIGHT1, GL_POSITION, p);
    EXPECT_NEAR(p[1], 1, 1e-6);
    EXPECT_EQ(p[3], 0.0f);
    SetLight(2, 0x0000FF, 5, 6, 7, 0, 0, -3, 30);  // spot
    float cutoff, dir[3], specular[4];
    glGetLightfv(GL_LIGHT2, GL_SPOT_CUTOFF, &cutoff);
    glGetLightfv(GL_LIGHT2, GL_SPOT_DIRECTION, dir);
    glGetLightfv(GL_LIGHT2, GL_SPECULAR, specular);
    EXPECT_EQ(cutoff, 30.0f);
    EXPECT_NEAR(dir[2], -1, 1e-6);
    EXPECT_EQ(specular[0], 1.0f);
    EXPECT_EQ(specular[1], 0.0f);
    glGetLightfv(GL_LIGHT2, GL_POSITION, p);
    EXPECT_EQ(p[3], 1.0f);
    EXPECT_EQ(runtime.scene.lightMask, 6);
    SetLight(1, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));  // one light left
    SetLight(2, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    SetLight(-2, 0xFF8000, 1, 2, 3, 0, 0, 0, 1);  // the effect light
    EXPECT_TRUE(runtime.scene.effectEnabled);
    EXPECT_EQ(runtime.scene.effectKind, 2);
    EXPECT_EQ(runtime.scene.effectLightPosition[2], 3.0f);
    EXPECT_NEAR(runtime.scene.effectLightColour[1], 128 / 255.0, 1e-6);
    Enter3DMode(1, 100, 45);
    EXPECT_FALSE(runtime.scene.effectEnabled);
    EXPECT_EQ(runtime.scene.lightMask, 0);
}

TEST_F(Scene, SphereMapShowsTheEnvironmentAndTurnsWithTheObject) {
    // Environment texture: red follows s, green follows t, blue 0.
    std::vector<unsigned char> texels(64 * 64 * 4);
    for (int t = 0; t < 64; ++t)
        for (int s = 0; s < 64; ++s) {
            unsigned char* p = &texels[(t * 64 + s) * 4];
            p[0] = static_cast<unsigned char>(s * 4 + 2);
            p[1] = static_cast<unsigned char>(t * 4 + 2);
            p[2] = 0;
            p[3] = 255;
        }
    OpenGLZadederu& r = runtime.renderer;
    GLuint tex;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    const int slot = 300;
    r.spriteTexture[slot][0] = tex;

    SetBuildNormals(2);
    BuildQuad(100, 8);
    auto look = [&](float turn) {
        Begin3D(1, 100, 45);
        SetCamera(0, 0, 30, 0, 0, 0);
        SetTexture(slot, -1);
        AddRotation(turn, 0, 1, 0);
        SetEnvironmentMap(1);
        DrawObject(100, 0);
        SetEnvironmentMap(0);
        return Pixel(320, 240);
    };
    Rgb straight = look(0);
    Rgb turned = look(30);
    // Facing the eye the reflection is the texture's centre; turned by 30
    // degrees it moves to s = 0.75.
    EXPECT_NEAR(straight.r, 130, 6);
    EXPECT_NEAR(straight.g, 130, 6);
    EXPECT_CHANNEL(straight.b, 0);
    EXPECT_NEAR(turned.r, 194, 8);
    EXPECT_NEAR(turned.g, 130, 6);
    EXPECT_CHANNEL(turned.b, 0);
    EXPECT_EQ((turned.r - 2) % 4, 0);  // a texel's value, not a blend
    SetTexture(-1, -1);
    r.spriteTexture[slot][0] = 0;
    glDeleteTextures(1, &tex);
}

namespace {

// Object 200: the quad with frames 0..4, frame k moved k units along x.
void BuildFramedQuad() {
    BuildQuad(200);
    MeshObjectX& mesh = runtime.scene.objects[200].meshes[0];
    for (int k = 1; k < 5; ++k) {
        MeshFrame frame = mesh.frames[0];
        frame.quantOffset[0] -= k / frame.quantScale[0];
        mesh.frames.Append(frame);
    }
    mesh.Expand();
    ComputeBounds(mesh);
}

float DrawnX(int vertex) { return runtime.scene.objects[200].meshes[0].drawVertices[vertex].position[0]; }

}  // namespace

TEST_F(Scene, BlendedFramesFollowTheWeight) {
    BuildFramedQuad();
    const MeshObjectX& mesh = runtime.scene.objects[200].meshes[0];
    auto blend = [](double from, double to, double weight) {
        Begin3D(1, 100, 90);
        SetCamera(2, 0, 10, 2, 0, 0);
        DrawObjectBlend(200, from, to, weight, 1);
        return Screen();
    };
    auto frame = [](double f) {
        Begin3D(1, 100, 90);
        SetCamera(2, 0, 10, 2, 0, 0);
        DrawObject(200, f);
        return Screen();
    };
    float x0 = mesh.frames[0].triangleVertices[0].position[0];
    // The per-draw copy holds the blended vertices.
    std::vector<unsigned char> two = blend(0, 4, 0.5);
    EXPECT_EQ(DrawnX(0), mesh.frames[2].triangleVertices[0].position[0]);
    EXPECT_EQ(DrawnX(0), x0 + 2);
    EXPECT_TRUE(two == frame(2));  // frame 2 exactly, as DrawObject draws it
    EXPECT_TRUE(Lit(320, 240));
    blend(0, 4, 0.625);
    EXPECT_FLOAT_EQ(DrawnX(0), x0 + 2.5f);
    blend(4, 0, 0.375);
    EXPECT_FLOAT_EQ(DrawnX(0), x0 + 2.5f);
    blend(0, 4, 1);  // not wrapped: frame 4
    EXPECT_EQ(DrawnX(0), x0 + 4);
    blend(0, 4, 1.25);  // wraps to 0.25: frame 1
    EXPECT_EQ(DrawnX(0), x0 + 1);
    // Backwards, landing on a whole frame draws that frame.
    EXPECT_TRUE(blend(4, 0, 0.5) == two);
    EXPECT_FALSE(frame(3) == two);
    // Negative weights stay negative: before frame 0, clamped to it.
    EXPECT_TRUE(blend(0, 4, -0.25) == frame(0));
    // A frame above the last draws the last.
    EXPECT_TRUE(frame(99) == frame(4));
    EXPECT_FALSE(frame(4) == two);
}

TEST_F(Scene, BlendingWithoutANumberOrWithExtremeFrames) {
    BuildFramedQuad();
    auto blend = [](double from, double to, double weight, double animate = 1) {
        Begin3D(1, 100, 90);
        SetCamera(2, 0, 10, 2, 0, 0);
        DrawObjectBlend(200, from, to, weight, animate);
        return Screen();
    };
    auto frame = [](double f) {
        Begin3D(1, 100, 90);
        SetCamera(2, 0, 10, 2, 0, 0);
        DrawObject(200, f);
        return Screen();
    };
    const double nan = std::nan("");
    const std::vector<unsigned char> first = frame(0), last = frame(4);
    ASSERT_FALSE(first == last);
    // A weight that is no number counts as 0.
    EXPECT_TRUE(blend(0, 4, nan) == first);
    EXPECT_TRUE(blend(4, 0, nan) == last);
    EXPECT_TRUE(blend(0, 4, nan, 0) == first);
    EXPECT_TRUE(blend(0, 4, INFINITY) == first);
    // Frame numbers far beyond the object's frames clamp to its first or last.
    EXPECT_TRUE(blend(1e300, 0, 0) == last);
    EXPECT_TRUE(blend(3e9, 2e9, 0.5) == last);
    EXPECT_TRUE(blend(-1e300, 0, 0.5) == first);
    EXPECT_TRUE(blend(1e300, -1e300, 0.25) == last);
    EXPECT_TRUE(blend(-1e300, 1e300, 0.25) == first);
}

TEST_F(Scene, FastPathRedrawsAfterAnEffectRecomputedTheNormals) {
    // Built without normals: the first fast-path draw keeps frame 0 in the
    // static buffer. Cel shading computes normals; the head light shows them.
    auto lit = [](int object) {
        Begin3D(1, 100, 45);
        SetCamera(0, 0, 12, 0, 0, 0);
        SetHeadLight(0, 0xFFFFFF);
        DrawObject(object, 0);
        SetHeadLight(0, 0);
        return Screen();
    };
    auto celShaded = [](int object) {
        Begin3D(1, 100, 45);
        SetCamera(0, 0, 12, 0, 0, 0);
        SetLight(-2, 0xFFFFFF, 0, 0, 50, 0, 0, 0, 1);
        DrawObject(object, 0);
        SetLight(-2, 0xFFFFFF, 0, 0, 50, 0, 0, 0, 0);
    };
    BuildSphere(140, 0xFFFFFF, 0);
    BuildSphere(141, 0xFFFFFF, 0);
    const std::vector<unsigned char> before = lit(140);
    celShaded(140);
    const std::vector<unsigned char> after = lit(140);
    // The twin never drew before its normals were computed.
    celShaded(141);
    const std::vector<unsigned char> reference = lit(141);
    EXPECT_TRUE(after == reference);
    EXPECT_FALSE(after == before);  // the normals changed the picture
    SetBuildNormals(2);
}

TEST_F(Scene, ShadowPassDarkensTheWholeScreenAtAnySize) {
    // A 4000 x 2500 screen shows its rows 2020 ... 2499 in this 640 x 480
    // window: the darkening must reach them too.
    OpenGLZadederu& r = runtime.renderer;
    for (auto [width, height] : {std::pair{W, H}, std::pair{4000, 2500}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        r.ResizeScreen(width, height);
        glClearColor(1, 1, 1, 1);
        glClearStencil(1);
        runtime.renderer.glState.MakePendingClear();
        glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glClearStencil(0);
        glClearColor(0, 0, 0, 1);
        runtime.scene.SetShadowVolumeMode(true);
        runtime.scene.SetShadowVolumeMode(false);
        for (auto [x, y] : {std::pair{0, 0}, std::pair{W - 1, 0}, std::pair{0, H - 1},
                            std::pair{W - 1, H - 1}, std::pair{W / 2, H / 2}})
            EXPECT_NEAR(Pixel(x, y).r, 128, 2) << x << "," << y;
    }
    r.ResizeScreen(W, H);
}

TEST_F(Scene, ObjectsBehindTheCameraAreSkipped) {
    if (!glBindBufferARB) GTEST_SKIP() << "needs buffer objects to observe the draw";
    auto drawn = [](float z, float scale, int object) {
        BuildQuad(object);
        Begin3D(1, 100, 45);
        SetCamera(0, 0, 0, 0, 0, -1);
        SetTranslation(0, 0, z);
        SetScale(scale, scale, scale);
        DrawObject(object, 0);
        return runtime.scene.objects[object].meshes[0].staticBuffer != 0;
    };
    EXPECT_TRUE(drawn(-10, 1, 101));
    EXPECT_FALSE(drawn(10, 1, 102));   // behind, the camera outside its sphere
    EXPECT_TRUE(drawn(0.5, 4, 103));   // behind, but around the camera
    // Far to the side of the view cone.
    BuildQuad(105);
    Begin3D(1, 100, 45);
    SetCamera(0, 0, 0, 0, 0, -1);
    SetTranslation(40, 0, -10);
    DrawObject(105, 0);
    EXPECT_EQ(runtime.scene.objects[105].meshes[0].staticBuffer, 0u);
    // Numbers outside the table are an empty slot.
    DrawObject(4096, 0);
    DrawObject(-1, 0);
}

// Visibility follows the whole transform stack, as the collision tests
// place the object: what a ray from the eye hits is drawn, and what is out
// of the view is not even handed to GL (no buffer made for it).
TEST_F(Scene, VisibilityUsesTheWholeTransform) {
    if (!glBindBufferARB) GTEST_SKIP() << "needs buffer objects to observe the draw";
    const struct {
        const char* name;
        double builtAtZ;
        void (*place)();
        bool seen;
        bool ray = true;  // the collision tests take no scales
    } cases[] = {
        {"level 1 moves it back to the centre", 0,
         [] { SetTranslation(0, 0, 30); PushTransform(); SetTranslation(0, 0, -30); }, true},
        {"built behind the camera, turned into view", 20, [] { AddRotation(180, 0, 1, 0); }, true},
        {"level 1 turns it into view", 20,
         [] { SetTranslation(0, 0.5, 0); PushTransform(); AddRotation(180, 0, 1, 0); }, true},
        {"level 1 scales it over the centre", 0,
         [] { SetTranslation(15, 0, 0); PushTransform(); SetScale(20, 20, 1); }, true, false},
        {"far to the side", 0, [] { SetTranslation(40, 0, 0); }, false},
        {"level 1 moves it behind the camera", 0,
         [] { SetTranslation(0, 0.5, 0); PushTransform(); SetTranslation(0, 0, 30); }, false},
        {"built behind the camera", 20, [] {}, false},
    };
    int object = 140;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BuildQuad(++object, 2, 0xFFFFFF, c.builtAtZ);
        Begin3D(1, 100, 45);
        SetCamera(0, 0, 10, 0, 0, 0);
        c.place();
        DrawObject(object, 0);
        const double hit = CollideRay(object, 0, 0, 0, 10, 0, 0, -1);
        EXPECT_EQ(runtime.scene.objects[object].meshes[0].staticBuffer != 0, c.seen);
        EXPECT_EQ(Lit(320, 240), c.seen);
        if (c.ray) EXPECT_EQ(hit > 0, c.seen) << hit;
    }
}

TEST_F(Scene, FastPathAndArrayPathsDrawTheSamePixels) {
    SetBuildNormals(2);
    BuildSphere(110, 0x3080F0);
    auto draw = [](bool offset) {
        Begin3D(1, 100, 45);
        SetCamera(0, 0, 12, 0, 0, 0);
        SetHeadLight(0, 0xFFFFFF);
        SetTextureOffset(offset ? 1e-9 : 0, 0);  // any offset forces the per-draw copy
        DrawObject(110, 0);
        SetTextureOffset(0, 0);
        return Screen();
    };
    std::vector<unsigned char> fast = draw(false);
    EXPECT_TRUE(Lit(320, 240) || Pixel(320, 240).b > 100);
    EXPECT_TRUE(draw(true) == fast);
    // Without mapping the dynamic buffer is recreated; without buffer
    // objects client arrays are used. The pixels stay the same.
    auto map = glMapBufferARB;
    gl_entry::glMapBufferARB = nullptr;
    EXPECT_TRUE(draw(true) == fast);
    gl_entry::glMapBufferARB = map;
    auto bind = glBindBufferARB;
    gl_entry::glBindBufferARB = nullptr;
    EXPECT_TRUE(draw(true) == fast);
    EXPECT_TRUE(draw(false) == fast);
    gl_entry::glBindBufferARB = bind;
}

// The same shadow whatever the culling setting and whichever way the
// caster's faces turn; the culling of lit drawing is left as it was.
TEST_F(Scene, StencilShadowDarkensOnlyTheShadowedRegion) {
    BuildQuad(120);
    BuildCube(121);
    BuildCube(122, true);
    for (int culling : {1, 0, -1}) {
        for (int cube : {121, 122}) {
            SCOPED_TRACE(testing::Message() << "culling " << culling << ", cube " << cube);
            // Ground: white quad in z = 0; camera straight above it.
            Begin3D(1, 200, 90);
            SetCamera(0, 0, 20, 0, 0, 0);
            SetScale(40, 40, 1);
            DrawObject(120, 0);
            // A 2-unit cube at (4, 0, 5) and a light high above it.
            SetCulling(culling);
            GLint frontFace = 0;
            glGetIntegerv(GL_FRONT_FACE, &frontFace);
            SetLight(-3, 0xFFFFFF, 4, 0, 105, 0, 0, 0, 1);
            EXPECT_TRUE(runtime.scene.shadowVolumeMode);
            SetTranslation(4, 0, 5);
            SetScale(2, 2, 2);
            DrawObject(cube, 0);
            GLint frontFaceAfter = 0;
            glGetIntegerv(GL_FRONT_FACE, &frontFaceAfter);
            EXPECT_EQ(frontFaceAfter, frontFace);
            SetLight(-3, 0xFFFFFF, 4, 0, 105, 0, 0, 0, 0);  // ends the pass: darkens
            EXPECT_FALSE(runtime.scene.shadowVolumeMode);
            // A 90 degree view at distance 20: 12 pixels per unit. The cube's
            // outline seen from the light falls on the ground about x 2.9 .. 5.1.
            int centreX = 320 + 12 * 4;
            Rgb in = Pixel(centreX, 240);
            EXPECT_NEAR(in.r, 128, 2);  // white under black at alpha 127/255
            EXPECT_EQ(in.r, in.g);
            Rgb out = Pixel(320 - 12 * 4, 240);
            EXPECT_CHANNEL(out.r, 255);
            EXPECT_CHANNEL(Pixel(centreX + 12 * 2, 240).r, 255);  // just beyond the shadow
            EXPECT_CHANNEL(Pixel(centreX, 240 - 12 * 2).r, 255);
            EXPECT_NEAR(Pixel(centreX + 11, 240 + 11).r, 128, 2);
        }
    }
}

TEST_F(Scene, CelShadingDrawsABlackOutline) {
    SetBuildNormals(2);
    BuildSphere(130, 0xFFFFFF);
    OpenGLZadederu& r = runtime.renderer;
    r.SetViewport2D(0, 0, 0, 0);
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    runtime.renderer.glState.MakePendingClear();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Enter3DMode(1, 100, 45);
    SetCamera(0, 0, 20, 0, 0, 0);
    SetCulling(-1);
    SetLight(-2, 0xFFFFFF, 0, 0, 50, 0, 0, 0, 1);
    DrawObject(130, 0);
    SetLight(-2, 0xFFFFFF, 0, 0, 50, 0, 0, 0, 0);
    // Radius 2 at distance 20: about 58 pixels. Walk right from the centre.
    int x = 320;
    while (x < 400 && Pixel(x, 240).r > 60) ++x;
    ASSERT_LT(x, 400) << "no outline";
    EXPECT_NEAR(x, 320 + 58, 3);
    Rgb edge = Pixel(x, 240);
    EXPECT_LE(edge.r + edge.g + edge.b, 30);
    int end = x;
    while (end < 400 && Pixel(end, 240).r < 60) ++end;
    EXPECT_GE(end - x, 1);
    EXPECT_LE(end - x, 4);
    EXPECT_EQ(Pixel(end + 2, 240).r, 128);  // the background beyond
    EXPECT_GT(Pixel(320, 240).r, 150);      // lit by the ramp inside
    EXPECT_NE(runtime.scene.objects[130].meshes[0].rampTexture, 0u);
    EXPECT_EQ(runtime.scene.cullMode, -1);
    glClearColor(0, 0, 0, 1);
}

TEST_F(Scene, LinePointAndAxesHelpers) {
    Begin3D(1, 200, 90);
    SetCamera(0, 0, 10, 0, 0, 0);  // 24 pixels per unit at the origin
    DrawLine3D(-5, 0, 0, 5, 0, 0, 0x00FF00, 3);
    DrawPoint3D(0, 3, 0, 0xFF0000, 9);
    DrawLine3D(0, -4, 0, 4, -4, 0, 0x0000FF, 0);  // width clamped to 1: still drawn
    Rgb line = Pixel(300, 240), point = Pixel(322, 240 - 72), thin = Pixel(340, 240 + 96);
    EXPECT_GT(line.g, 200);
    EXPECT_LT(line.r + line.b, 60);
    EXPECT_GT(point.b, 200);
    EXPECT_LT(point.r + point.g, 60);
    EXPECT_GT(thin.r, 100);
    EXPECT_EQ(Pixel(300, 250).g, 0);  // beyond the line's width
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);  // back to the alpha level
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));

    // Axes: 20 units long; at distance 100 that is 48 pixels.
    Begin3D(1, 200, 90);
    SetCamera(0, 0, 100, 0, 0, 0);
    DrawAxes(0, 0, 0);
    // A one-pixel line along a pixel edge lands on either side of it.
    auto along = [](int x, int y, bool vertical) {
        Rgb a = Pixel(x, y), b = vertical ? Pixel(x - 1, y) : Pixel(x, y + 1);
        return Rgb{std::max(a.r, b.r), std::max(a.g, b.g), std::max(a.b, b.b)};
    };
    Rgb x = along(340, 240, false), y = along(320, 210, true);
    EXPECT_CHANNEL(x.r, 255);
    EXPECT_CHANNEL(x.g, 0);
    EXPECT_CHANNEL(y.g, 255);
    EXPECT_CHANNEL(y.r, 0);
    EXPECT_EQ(along(380, 240, false).r, 0);  // beyond the tip
}

TEST_F(Scene, LightMarkersOnlyInDebugTraceBuilds) {
    auto marker = [](int trace) {
        Begin3D(1, 200, 90);
        SetCamera(0, 0, 10, 0, 0, 0);
        runtime.debugTrace = trace;
        SetLight(1, 0xFFFFFF, 2, 0, 0, 0, 0, 0, 120);  // a point light
        runtime.debugTrace = 0;
        SetLight(1, 0, 0, 0, 0, 0, 0, 0, 0);
        Rgb p = Pixel(320 + 48, 240);
        return p.r + p.g + p.b;
    };
    EXPECT_EQ(marker(0), 0);
    EXPECT_GT(marker(1), 100);
}

TEST_F(Scene, LeavingThe3DModeEndsAPendingShadowPassOnly) {
    BuildQuad(120, 40);
    BuildCube(121);
    auto ground = [] {
        Begin3D(1, 200, 90);
        SetCamera(0, 0, 20, 0, 0, 0);
        DrawObject(120, 0);
    };
    ground();
    Leave3DMode();
    EXPECT_CHANNEL(Pixel(320, 240).r, 255);  // no shadow pass: nothing darkened
    ground();
    // The volume's faces are wound for clockwise front faces, the culling
    // the demo uses: the cap and sides of this counter-clockwise cube then
    // count up where the eye enters the shadow.
    SetCulling(1);
    SetLight(-3, 0xFFFFFF, 0, 0, 105, 0, 0, 0, 1);
    SetScale(2, 2, 2);
    SetTranslation(0, 0, 5);
    DrawObject(121, 0);
    Leave3DMode();  // ends the pass
    EXPECT_NEAR(Pixel(320, 240).r, 128, 2);
    EXPECT_CHANNEL(Pixel(100, 100).r, 255);
    EXPECT_FALSE(runtime.scene.shadowVolumeMode);
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
}

namespace {

GLuint SolidTexture(unsigned char r, unsigned char g, unsigned char b) {
    std::vector<unsigned char> texels(8 * 8 * 4);
    for (size_t i = 0; i < texels.size(); i += 4) {
        texels[i] = r;
        texels[i + 1] = g;
        texels[i + 2] = b;
        texels[i + 3] = 255;
    }
    GLuint tex;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 8, 8, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return tex;
}

}  // namespace

TEST_F(Scene, BumpMappingDotsTheNormalMapWithTheLight) {
    if (!glMultiTexCoord2fARB) GTEST_SKIP() << "needs a second texture unit";
    OpenGLZadederu& r = runtime.renderer;
    const int colourSlot = 310, flatSlot = 311, tiltedSlot = 312;
    r.spriteTexture[colourSlot][0] = SolidTexture(255, 255, 255);
    r.spriteTexture[flatSlot][0] = SolidTexture(128, 128, 255);    // normal (0, 0, 1)
    r.spriteTexture[tiltedSlot][0] = SolidTexture(218, 128, 218);  // leaning towards +u
    BuildQuad(140, 8);
    auto shade = [&](int normalMap, float lightX, float lightZ) {
        Begin3D(1, 200, 45);
        SetCamera(0, 0, 30, 0, 0, 0);
        SetTexture(colourSlot, normalMap);  // unit 0: the normal map, unit 1: the colour
        SetLight(-1, 0xFFFFFF, lightX, 0, lightZ, 0, 0, 0, 1);
        DrawObject(140, 0);
        SetLight(-1, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 0);
        return Pixel(320, 240).g;
    };
    // Light along the normal: full intensity; 60 degrees off: half.
    EXPECT_GE(shade(flatSlot, 0, 1000), 250);
    int side = shade(flatSlot, 866, 500);
    EXPECT_NEAR(side, 128, 10);
    // A normal map leaning towards the light is brighter under the same light.
    EXPECT_GT(shade(tiltedSlot, 866, 500), side + 60);
    // The tangent follows u along +x: leaning away from the light is darker.
    EXPECT_LT(shade(tiltedSlot, -866, 500), side - 60);
    SetTexture(-1, -1);
    for (int slot : {colourSlot, flatSlot, tiltedSlot}) {
        glDeleteTextures(1, &r.spriteTexture[slot][0]);
        r.spriteTexture[slot][0] = 0;
    }
}

TEST_F(Scene, TheViewportOfThe2DViewFramesThe3DView) {
    OpenGLZadederu& r = runtime.renderer;
    r.SetViewport2D(100, 50, 200, 100);
    Enter3DMode(1, 100, 60);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[0], 100);
    EXPECT_EQ(vp[1], 480 - 50 - 100);
    EXPECT_EQ(vp[2], 200);
    EXPECT_EQ(vp[3], 100);
    float m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[0] / m[5], 0.5, 1e-5);  // aspect 2
    Leave3DMode();
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 640);  // back to the whole screen
}

TEST_F(Scene, ShowFrameEndsAShadowPass) {
    Begin3D(1, 100, 45);
    SetCamera(0, 0, 10, 0, 0, 0);
    SetLight(-3, 0xFFFFFF, 0, 10, 0, 0, 0, 0, 1);
    EXPECT_TRUE(runtime.scene.shadowVolumeMode);
    GLboolean writes[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, writes);
    EXPECT_FALSE(writes[0]);
    SetMipmapping(1);
    ShowFrame();
    EXPECT_FALSE(runtime.scene.shadowVolumeMode);
    glGetBooleanv(GL_COLOR_WRITEMASK, writes);
    EXPECT_TRUE(writes[0]);
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_EQ(runtime.renderer.alphaLevel, 1.0f);
    EXPECT_EQ(runtime.mipmapSetting, 0);
}

TEST_F(Scene, BillboardsFaceTheCameraWhateverTheCulling) {
    OpenGLZadederu& r = runtime.renderer;
    const int slot = 320;
    r.spriteTexture[slot][0] = SolidTexture(0, 255, 0);
    r.textureWidth[slot] = r.textureHeight[slot] = 8;
    r.imageWidth[slot] = r.imageHeight[slot] = 8;
    for (int culling : {1, -1}) {
        Begin3D(1, 100, 90);
        SetCamera(0, 0, 10, 0, 0, 0);
        SetCulling(culling);
        // 8 x 8 pixels at scale 1: 4 units wide (2 each side), 4 units high.
        DrawBillboard(slot, 0, 0, 0, 1);
        EXPECT_CHANNEL(Pixel(320 + 24, 240 - 48).g, 255) << culling;
        EXPECT_CHANNEL(Pixel(320 - 24, 240 - 48).g, 255) << culling;
        EXPECT_EQ(Pixel(320 + 24, 240 + 24).g, 0) << culling;  // it stands on the point
        EXPECT_EQ(runtime.scene.cullMode, culling);
    }
    glDeleteTextures(1, &r.spriteTexture[slot][0]);
    r.spriteTexture[slot][0] = 0;
    r.textureWidth[slot] = r.textureHeight[slot] = -1;
}

// Points and lines switch colour tracking on for their colour: a lit object
// drawn after them keeps its own colour (a magenta point once left a lit
// orange billboard red).
TEST_F(Scene, PointsAndLinesLeaveTheLightingColourAlone) {
    OpenGLZadederu& r = runtime.renderer;
    const int slot = 321;
    r.spriteTexture[slot][0] = SolidTexture(255, 165, 0);
    r.textureWidth[slot] = r.textureHeight[slot] = 8;
    r.imageWidth[slot] = r.imageHeight[slot] = 8;
    auto billboard = [&](int marker) {
        Begin3D(1, 100, 90);
        SetCamera(0, 0, 10, 0, 0, 0);
        SetHeadLight(1, 0xFFFFFF);
        if (marker == 1) DrawPoint3D(6, -6, 0, 0xFF00FF, 4);
        if (marker == 2) DrawLine3D(6, -6, 0, 7, -6, 0, 0xFF00FF, 2);
        DrawBillboard(slot, 0, 0, 0, 1);
        SetLight(1, 0, 0, 0, 0, 0, 0, 0, 0);
        return Pixel(320, 240 - 24);
    };
    Rgb plain = billboard(0);
    EXPECT_CHANNEL(plain.r, 255);
    EXPECT_GT(plain.g, 150);
    for (int marker : {1, 2}) {
        Rgb after = billboard(marker);
        EXPECT_EQ(after.r, plain.r) << marker;
        EXPECT_EQ(after.g, plain.g) << marker;
        EXPECT_EQ(after.b, plain.b) << marker;
    }
    glDeleteTextures(1, &r.spriteTexture[slot][0]);
    r.spriteTexture[slot][0] = 0;
    r.textureWidth[slot] = r.textureHeight[slot] = -1;
}

TEST_F(Scene, ClearDepthLetsLaterObjectsDrawOver) {
    BuildQuad(100, 4);
    BuildQuad(101, 2, 0x0000FF);  // red
    auto scene = [](bool clear) {
        Begin3D(1, 100, 90);
        SetCamera(0, 0, 10, 0, 0, 0);
        DrawObject(100, 0);  // near and white
        if (clear) ClearDepth();
        SetTranslation(0, 0, -5);
        DrawObject(101, 0);  // behind the first
        return Pixel(320, 240);
    };
    Rgb hidden = scene(false), over = scene(true);
    EXPECT_CHANNEL(hidden.g, 255);
    EXPECT_CHANNEL(over.r, 255);
    EXPECT_CHANNEL(over.g, 0);
    EXPECT_CHANNEL(Pixel(320 + 36, 240).g, 255);  // the white quad outside the red one stays
}

TEST_F(Scene, ObjectsWithTheirOwnTexturesRestoreTheSelection) {
    OpenGLZadederu& r = runtime.renderer;
    const int own = 330, selected = 331;
    r.spriteTexture[own][0] = SolidTexture(0, 0, 255);
    r.spriteTexture[selected][0] = SolidTexture(0, 255, 0);
    BuildQuad(150, 4);
    BuildQuad(151, 4);
    ObjectSlot& slot = runtime.scene.objects[150];
    slot.ownTextures = true;
    slot.meshes[0].textureA = own;
    Begin3D(1, 100, 90);
    SetCamera(0, 0, 10, 0, 0, 0);
    SetTexture(selected, -1);
    SetTranslation(-3, 0, 0);
    DrawObject(150, 0);  // its own texture: blue
    EXPECT_EQ(r.boundSlot, selected);
    SetTranslation(3, 0, 0);
    DrawObject(151, 0);  // the selection again: green
    Rgb left = Pixel(320 - 72, 240), right = Pixel(320 + 72, 240);
    EXPECT_CHANNEL(left.b, 255);
    EXPECT_CHANNEL(left.g, 0);
    EXPECT_CHANNEL(right.g, 255);
    EXPECT_CHANNEL(right.b, 0);
    slot.ownTextures = false;
    SetTexture(-1, -1);
    for (int s : {own, selected}) {
        glDeleteTextures(1, &r.spriteTexture[s][0]);
        r.spriteTexture[s][0] = 0;
    }
}
