// Sprites drawn through the commands on the real window, read back exactly.
#include <brindle.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "core/runtime_state.h"
#include "gfx2d/sprites.h"
#include "pixels.h"
#include "platform/gl.h"
#include "support/pixel_tolerance.h"
#include "support/test_runtime.h"

namespace {
constexpr uint32_t kBg = 0x402010;
constexpr uint32_t R = 0x0000FF, G = 0x00FF00, B = 0xFF0000, W = 0xFFFFFF, Y = 0x00FFFF;
constexpr uint32_t K = 0x8000FF;  // key colour

// Slots used here; each test loads what it draws.
constexpr int kSmall = 10, kSquare = 11, kSolid = 12, kDot = 13, kTiny = 14;

class Sprites : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestRuntime();
        OpaqueDrawing();
        runtime.renderer.ResetViewport();
        ClearBack(kBg);
    }
    void TearDown() override { OpaqueDrawing(); }

    // The 3 x 2 image: one key pixel at the top right.
    void LoadSmall() {
        WriteBmp("t_small.bmp", 3, 2, {R, G, K, B, W, Y});
        LoadSprite("t_small.bmp", kSmall);
    }
    // 4 x 4, every pixel different and opaque: pixel i is red 16 i + 15,
    // green and blue 16 i.
    void LoadSquare() {
        std::vector<uint32_t> p;
        for (int i = 0; i < 16; ++i) p.push_back(0x101010 * i + 0x0F);
        WriteBmp("t_square.bmp", 4, 4, p);
        LoadSprite("t_square.bmp", kSquare);
    }
};

std::vector<uint32_t> Expect(std::initializer_list<uint32_t> pixels) { return pixels; }
}  // namespace

TEST_F(Sprites, DrawSpriteCoversExactlyItsPixels) {
    LoadSmall();
    double w = 0, h = 0;
    GetSpriteSize(kSmall, w, h);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);

    DrawSprite(kSmall, 10, 20);
    EXPECT_EQ(Block(9, 19, 5, 4), Expect({kBg, kBg, kBg, kBg, kBg,  //
                                          kBg, R, G, kBg, kBg,      // key pixel untouched
                                          kBg, B, W, Y, kBg,        //
                                          kBg, kBg, kBg, kBg, kBg}));
    // Positions are rounded up.
    ClearBack(kBg);
    DrawSprite(kSmall, 9.2, 19.5);
    EXPECT_EQ(Block(9, 19, 5, 4), Expect({kBg, kBg, kBg, kBg, kBg,  //
                                          kBg, R, G, kBg, kBg,      //
                                          kBg, B, W, Y, kBg,        //
                                          kBg, kBg, kBg, kBg, kBg}));
}

TEST_F(Sprites, StretchWithNegativeSizes) {
    LoadSmall();
    StretchSprite(kSmall, 13, 20, -3, 2);  // mirrored: faces away, culled
    StretchSprite(kSmall, 10, 22, 3, -2);
    EXPECT_EQ(Block(8, 18, 7, 6), std::vector<uint32_t>(42, kBg));

    StretchSprite(kSmall, 13, 22, -3, -2);  // turned by 180 degrees
    EXPECT_EQ(Block(9, 19, 5, 4), Expect({kBg, kBg, kBg, kBg, kBg,  //
                                          kBg, Y, W, B, kBg,        //
                                          kBg, kBg, G, R, kBg,      //
                                          kBg, kBg, kBg, kBg, kBg}));

    ClearBack(kBg);
    StretchSprite(kSmall, 10, 20, 6, 4);  // whole image, twice the size
    EXPECT_NE(Pixel(10, 20), kBg);
    EXPECT_NE(Pixel(15, 23), kBg);
    EXPECT_EQ(Pixel(16, 20), kBg);
    EXPECT_EQ(Pixel(10, 24), kBg);
}

TEST_F(Sprites, ZoomScalesAboutTheCentre) {
    LoadSquare();
    ZoomSprite(kSquare, 100, 100, 2, -2);  // negative zoom does not mirror
    auto zoomed = Block(97, 97, 10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 1 && x <= 8 && y >= 1 && y <= 8;  // 98 ... 105
            EXPECT_EQ(zoomed[y * 10 + x] != kBg, inside) << x << "," << y;
        }
    ClearBack(kBg);
    StretchSprite(kSquare, 98, 98, 8, 8);
    EXPECT_EQ(Block(97, 97, 10, 10), zoomed);
}

TEST_F(Sprites, RotoZoomAnglesAndNaturalSize) {
    LoadSquare();
    DrawSprite(kSquare, 100, 100);
    auto plain = Block(96, 96, 12, 12);

    ClearBack(kBg);
    RotoZoomSprite(kSquare, 100, 100, 0, 0);  // zoom 0: natural size
    EXPECT_EQ(Block(96, 96, 12, 12), plain);
    ClearBack(kBg);
    RotoZoomSprite(kSquare, 100, 100, 360, -1);
    EXPECT_EQ(Block(96, 96, 12, 12), plain);

    ClearBack(kBg);
    RotoZoomSprite(kSquare, 100, 100, 330, 2);
    auto at330 = Block(90, 90, 24, 24);
    ClearBack(kBg);
    RotoZoomSprite(kSquare, 100, 100, -30, 2);
    EXPECT_EQ(Block(90, 90, 24, 24), at330);
    ClearBack(kBg);
    RotoZoomSprite(kSquare, 100, 100, -390, 2);
    EXPECT_EQ(Block(90, 90, 24, 24), at330);
    ClearBack(kBg);
    RotoZoomSprite(kSquare, 100, 100, 30, 2);
    EXPECT_NE(Block(90, 90, 24, 24), at330);

    // The colour is left at the alpha level.
    float c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_EQ(c[0], 1.0f);
    EXPECT_EQ(c[3], 1.0f);
}

TEST_F(Sprites, RotateTurnsAboutTheCentre) {
    LoadSquare();
    RotateSprite(kSquare, 100, 100, 180);
    auto turned = Block(100, 100, 4, 4);
    EXPECT_TRUE(ChannelsNear(turned[0], 0xF0F0FFu));   // last image pixel now top left
    EXPECT_TRUE(ChannelsNear(turned[15], 0x00000Fu));  // first one bottom right
    EXPECT_EQ(Pixel(99, 100), kBg);
    EXPECT_EQ(Pixel(104, 103), kBg);
}

TEST_F(Sprites, CollisionNeedsASharedOpaquePixel) {
    WriteBmp("t_solid.bmp", 2, 2, {W, W, W, W});
    LoadSprite("t_solid.bmp", kSolid);
    EXPECT_EQ(SpriteCollision(kSolid, 0, 0, kSolid, 1, 1), 1);   // one shared pixel
    EXPECT_EQ(SpriteCollision(kSolid, 0, 0, kSolid, 2, 0), 0);   // touching edges
    EXPECT_EQ(SpriteCollision(kSolid, 0, 0, kSolid, 2, 2), 0);   // touching corners
    EXPECT_EQ(SpriteCollision(kSolid, 0, 0, kSolid, 3, 0), 0);   // one pixel apart
    EXPECT_EQ(SpriteCollision(kSolid, 10, 10, kSolid, 9, 9), 1);

    // Only the top-left pixel of the dot is opaque: the mask keeps the
    // image's orientation.
    WriteBmp("t_dot.bmp", 3, 3, {W, K, K, K, K, K, K, K, K});
    LoadSprite("t_dot.bmp", kDot);
    EXPECT_EQ(SpriteCollision(kDot, 0, 0, kSolid, 1, 1), 0);
    EXPECT_EQ(SpriteCollision(kDot, 0, 0, kSolid, -1, -1), 1);
    EXPECT_EQ(SpriteCollision(kDot, 5, 5, kSolid, 4, 6), 0);  // bottom-left would be (5, 7)
    EXPECT_EQ(SpriteCollision(kSolid, 4, 4, kDot, 5, 5), 1);

    // A 2-pixel-wide texture has 2-byte mask rows: the top row is read
    // from the right place.
    WriteBmp("t_corner.bmp", 2, 2, {W, K, K, K});
    LoadSprite("t_corner.bmp", kTiny);
    EXPECT_EQ(SpriteCollision(kTiny, 0, 0, kSolid, -1, -1), 1);
    EXPECT_EQ(SpriteCollision(kTiny, 0, 0, kSolid, 1, 1), 0);

    // The masks are read once and kept until the slot is loaded again;
    // rectangles apart make none.
    const uint8_t* mask = runtime.renderer.alphaMask[kDot];
    ASSERT_NE(mask, nullptr);
    SpriteCollision(kDot, 0, 0, kSolid, 1, 1);
    EXPECT_EQ(runtime.renderer.alphaMask[kDot], mask);
    LoadSprite("t_dot.bmp", kDot);
    EXPECT_EQ(runtime.renderer.alphaMask[kDot], nullptr);
    EXPECT_EQ(SpriteCollision(kDot, 0, 0, kSolid, 5, 0), 0);
    EXPECT_EQ(runtime.renderer.alphaMask[kDot], nullptr);
    EXPECT_EQ(SpriteCollision(kDot, 0, 0, kSolid, 3, 0), 0);  // touching: masks made
    EXPECT_NE(runtime.renderer.alphaMask[kDot], nullptr);
}

TEST_F(Sprites, PolygonBatchDrawsAgainAndKeysVertices) {
    AdditiveBlending();
    StartPolygon(-1);
    PolygonVertex(50, 50, 0, 0, 0x404040);  // counter-clockwise on screen
    PolygonVertex(50, 60, 0, 0, 0x404040);
    PolygonVertex(60, 60, 0, 0, 0x404040);
    PolygonVertex(60, 50, 0, 0, 0x404040);
    ClearBack(0);
    EndPolygon();
    EXPECT_EQ(Pixel(55, 55), 0x404040u);
    EndPolygon();  // the batch is still there
    EXPECT_EQ(Pixel(55, 55), 0x808080u);
    EXPECT_EQ(Pixel(60, 55), 0u);
    OpaqueDrawing();

    ClearBack(kBg);
    StartPolygon(-1);
    for (int i = 0; i < 4; ++i) PolygonVertex(i < 2 ? 50 : 60, i == 1 || i == 2 ? 60 : 50, 0, 0, K);
    EndPolygon();
    EXPECT_EQ(Pixel(55, 55), kBg);  // alpha 0 everywhere: the alpha test drops it
    StartPolygon(-1);
    for (int i = 0; i < 4; ++i) PolygonVertex(i < 2 ? 50 : 60, i == 1 || i == 2 ? 60 : 50, 0, 0, 0x8000FE);
    EndPolygon();
    EXPECT_EQ(Pixel(55, 55), 0x8000FEu);
}

TEST_F(Sprites, TexturedPolygonMapsImagePixels) {
    LoadSmall();
    DrawSprite(kSmall, 30, 30);
    auto drawn = Block(29, 29, 5, 4);
    ClearBack(kBg);
    StartPolygon(kSmall);
    PolygonVertex(30, 30, 0, 0, 0xFFFFFF);
    PolygonVertex(30, 32, 0, 2, 0xFFFFFF);
    PolygonVertex(33, 32, 3, 2, 0xFFFFFF);
    PolygonVertex(33, 30, 3, 0, 0xFFFFFF);
    EndPolygon();
    EXPECT_EQ(Block(29, 29, 5, 4), drawn);
}

TEST_F(Sprites, SlotsOutsideTheTableAreRejected) {
    LoadSmall();
    DrawSprite(kSmall, 10, 20);
    int bound = runtime.renderer.boundSlot;
    auto before = Block(0, 0, 40, 40);
    DrawSprite(65536, 0, 0);
    DrawSprite(-1, 0, 0);
    StretchSprite(1e12, 0, 0, 10, 10);
    RotoZoomSprite(-5, 0, 0, 0, 1);
    SetTexture(70000, 0);
    EXPECT_EQ(runtime.renderer.boundSlot, bound);
    EXPECT_EQ(Block(0, 0, 40, 40), before);

    double w = -7, h = -7;
    GetSpriteSize(65536, w, h);
    EXPECT_EQ(w, -7);
    EXPECT_EQ(SpriteCollision(-1, 0, 0, kSmall, 0, 0), 0);
    EXPECT_EQ(LoadNormalMapSprite("t_small.bmp", 65536), 0);
    EXPECT_EQ(LoadNormalMapSprite("t_missing.bmp", 20), 0);
    EXPECT_EQ(LoadNormalMapSprite("t_small.bmp", 20), 1);
    GetSpriteSize(20, w, h);
    EXPECT_EQ(w, 3);
}

TEST_F(Sprites, SetTextureBindsBothUnits) {
    LoadSmall();
    LoadSquare();
    SetTexture(kSmall, kSquare);
    EXPECT_EQ(runtime.renderer.boundSlot, kSmall);
    EXPECT_EQ(runtime.renderer.boundSecondSlot, kSquare);
    EXPECT_EQ(runtime.renderer.boundUseMip, 0);
    GLint unit0 = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &unit0);
    EXPECT_EQ(static_cast<GLuint>(unit0), runtime.renderer.spriteTexture[kSquare][0]);
    SetMipmapping(1);
    SetTexture(kSmall, -1);
    EXPECT_EQ(runtime.renderer.boundUseMip, 1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &unit0);
    EXPECT_EQ(static_cast<GLuint>(unit0), runtime.renderer.spriteTexture[kSmall][1]);
    SetMipmapping(0);
    SetTexture(-1, -1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    runtime.renderer.ResetViewport();
}

// Games written for Windows name their files in any letter case, with
// backslashes between folders: the same file loads on both targets.
TEST_F(Sprites, NamesFindTheFileInAnyLetterCaseAndWithBackslashes) {
    std::filesystem::create_directories("t_Case_Dir");
    WriteBmp("t_Case_Dir/t_quad.bmp", 2, 1, {G, B});
    for (const char* name : {"t_Case_Dir/t_quad.bmp", "T_CASE_DIR\\T_QUAD.BMP", "t_case_dir/T_Quad.Bmp",
                             "t_Case_Dir\\t_quad.bmp"}) {
        LoadSmall();
        LoadSprite(name, kSmall);
        double w = 0, h = 0;
        GetSpriteSize(kSmall, w, h);
        EXPECT_EQ(w * 10 + h, 21) << name;
        ClearBack(kBg);
        DrawSprite(kSmall, 10, 20);
        EXPECT_EQ(Block(10, 20, 3, 1), Expect({G, B, kBg})) << name;
    }
}

TEST_F(Sprites, FailedLoadsAndDeletedSlots) {
    LoadSmall();
    LoadSprite("t_missing.bmp", kSmall);  // not found: the slot keeps its image
    DrawSprite(kSmall, 10, 20);
    EXPECT_EQ(Pixel(10, 20), R);

    // Found but not a bitmap: the slot is emptied, the old size stays.
    {
        FILE* f = std::fopen("t_garbage.bmp", "wb");
        std::fputs("this is no bitmap", f);
        std::fclose(f);
    }
    ClearBack(kBg);
    EXPECT_EQ(LoadNormalMapSprite("t_garbage.bmp", kSmall), 0);
    EXPECT_EQ(runtime.renderer.textureWidth[kSmall], -1);
    double w = 0, h = 0;
    GetSpriteSize(kSmall, w, h);
    EXPECT_EQ(w, 3);
    DrawSprite(kSmall, 10, 20);
    EXPECT_EQ(Block(9, 19, 5, 4), std::vector<uint32_t>(20, kBg));

    // Headers that read but pixels that do not decode (16 bits per pixel, a
    // compressed file): a failed load, the slot emptied as for a file that
    // is no bitmap, the old size kept.
    for (int variant = 0; variant < 2; ++variant) {
        SCOPED_TRACE(variant);
        LoadSmall();
        WriteBmp("t_undecodable.bmp", 4, 2, {R, G, B, W, Y, R, G, B}, 24);
        FILE* f = std::fopen("t_undecodable.bmp", "r+b");
        std::fseek(f, variant == 0 ? 28 : 30, SEEK_SET);
        std::fputc(variant == 0 ? 16 : 1, f);  // bit count 16; compression 1 (run lengths)
        std::fclose(f);
        EXPECT_EQ(LoadNormalMapSprite("t_undecodable.bmp", kSmall), 0);
        EXPECT_EQ(runtime.renderer.textureWidth[kSmall], -1);
        EXPECT_EQ(runtime.renderer.spriteTexture[kSmall][0], 0u);
        GetSpriteSize(kSmall, w, h);
        EXPECT_EQ(w, 3);
    }
    DrawSprite(kSmall, 10, 20);
    RotoZoomSprite(kSmall, 10, 20, 45, 3);
    EXPECT_EQ(Block(0, 10, 30, 20), std::vector<uint32_t>(600, kBg));
    EXPECT_EQ(SpriteCollision(kSmall, 0, 0, kSmall, 1, 1), 0);

    // A deleted slot keeps its image size and draws nothing.
    LoadSmall();
    DeleteSprite(runtime.renderer, kSmall);
    DrawSprite(kSmall, 10, 20);
    EXPECT_EQ(Block(0, 10, 30, 20), std::vector<uint32_t>(600, kBg));
    GetSpriteSize(kSmall, w, h);
    EXPECT_EQ(h, 2);
}

TEST_F(Sprites, BillboardFacesTheViewer) {
    LoadSquare();
    LoadSmall();
    DrawSprite(kSquare, 100, 100);
    auto plain = Block(96, 96, 12, 12);
    ClearBack(kBg);
    BindSprite(runtime.renderer, kSmall, -1, 0);
    // Identity model-view in the 2D view: right is x, up is GL's y. Scale 2
    // gives half-widths of 2 x (4 / 4) and a height of 2 x (4 / 2): the
    // 4 x 4 image standing on (102, -104).
    DrawBillboardSprite(runtime.renderer, kSquare, 102, -104, 0, 2);
    EXPECT_EQ(Block(96, 96, 12, 12), plain);
    EXPECT_EQ(runtime.renderer.boundSlot, kSmall);  // the binding is restored
}

TEST_F(Sprites, SpriteAndFontSlotsLoadDifferently) {
    GLint filter = 0;
    LoadSmall();
    EXPECT_NE(runtime.renderer.spriteTexture[kSmall][1], 0u);  // a mipmapped texture
    glBindTexture(GL_TEXTURE_2D, runtime.renderer.spriteTexture[kSmall][0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);

    // A uniform image as a normal map: flat, so every pixel is (127, 127, 255).
    WriteBmp("t_flat.bmp", 4, 4, std::vector<uint32_t>(16, 0x806040));
    EXPECT_EQ(LoadNormalMapSprite("t_flat.bmp", kSquare), 1);
    DrawSprite(kSquare, 40, 40);
    EXPECT_EQ(Block(40, 40, 4, 4), std::vector<uint32_t>(16, 0xFF7F7F));

    // Slots from 65520 on are font slots: no mipmaps, no normal map, nearest.
    constexpr int kFontSlot = 65530;
    EXPECT_EQ(LoadNormalMapSprite("t_flat.bmp", kFontSlot), 1);
    EXPECT_EQ(runtime.renderer.spriteTexture[kFontSlot][1], 0u);
    glBindTexture(GL_TEXTURE_2D, runtime.renderer.spriteTexture[kFontSlot][0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    DrawSprite(kFontSlot, 50, 40);
    EXPECT_EQ(Block(50, 40, 4, 4), std::vector<uint32_t>(16, 0x806040));
}
