// Drawing: the media loaded at start, the title's turning 3D skiff, the
// arena picture, the world's sprites and the status bar.
#include <cmath>

#include "skiff.h"

namespace skiff {
namespace {
const char* kLogoFile = "logo.obj";

RtString Numbered(const char* stem, int n) {
    return RtString(stem) + (n < 10 ? "0" : "") + n + ".bmp";
}

// The logo: a rowing skiff with a mast and a sail, built from triangle
// strips. The hull's cross-section is a half ellipse that narrows to a
// point at the bow (+x) and to a blunt stern.
double HullWidth(double x) {
    double t = x / 5.2;
    return x > 0 ? 1.7 * (1 - t * t) : 1.7 * std::sqrt(std::fmax(0.0, 1 - t * t * t * t));
}

void BuildLogo() {
    SetBuildNormals(2);
    StartObject(kLogo);
    const int sections = 16, around = 10;
    for (int i = 0; i < sections; i++) {
        for (int j = 0; j <= around; j++) {
            double a = j * 180.0 / around;
            for (int k = i + 1; k >= i; k--) {
                double x = -5.2 + 10.4 * k / sections, w = HullWidth(x), depth = 0.55 * w + 0.25;
                double colour = j == 0 || j == around ? 0xF0F0F0 : (j == 1 || j == around - 1 ? 0x2040C0 : 0x804010);
                AddVertex(x, -depth * Sin(a), w * Cos(a), 0, 0, colour);
            }
        }
        NewStrip();
    }
    // The deck, seen from above.
    for (int i = 0; i <= sections; i++) {
        double x = -5.2 + 10.4 * i / sections, w = HullWidth(x) * 0.97;
        AddVertex(x, 0.02, -w, 0, 0, 0x3070B0);
        AddVertex(x, 0.02, w, 0, 0, 0x3070B0);
    }
    NewStrip();
    // The mast: a thin four-sided post.
    const double m = 0.12;
    double corners[5][2] = {{m, m}, {m, -m}, {-m, -m}, {-m, m}, {m, m}};
    for (auto& c : corners) {
        AddVertex(0.8 + c[0], 5.5, c[1], 0, 0, 0x204060);
        AddVertex(0.8 + c[0], 0, c[1], 0, 0, 0x204060);
    }
    NewStrip();
    // The sail, once for each side so both are lit.
    for (int side = 0; side < 2; side++) {
        double z = side ? -0.03 : 0.03;
        AddVertex(0.8, 5.3, z, 0, 0, 0xE0F8FF);
        if (side) AddVertex(-3.4, 0.6, z, 0, 0, 0xC0E8FF);
        AddVertex(0.8, 0.7, z, 0, 0, 0xE0F8FF);
        if (!side) AddVertex(-3.4, 0.6, z, 0, 0, 0xC0E8FF);
        NewStrip();
    }
    EndObject();
}
}  // namespace

void LoadMedia() {
    LoadFont("skiffont.bmp", kFontText);
    LoadFont("bigfont.bmp", kFontBig);
    SetFont(kFontText);
    for (int k = 0; k < 16; k++) {
        LoadSprite(Numbered("skiff_a", k), kSkiffA + k);
        LoadSprite(Numbered("skiff_b", k), kSkiffB + k);
    }
    LoadSprite("snapper0.bmp", kSnapper);
    LoadSprite("snapper1.bmp", kSnapper + 1);
    const char* sprites[] = {"shot_a.bmp", "shot_b.bmp", "gem.bmp", "buoy.bmp", "spark.bmp",
                             "water.bmp", "reeds.bmp", "rock.bmp", "title.bmp"};
    for (int i = 0; i < 9; i++) LoadSprite(sprites[i], kShotA + i);
    // Shots and blasts overlap themselves: four voices each.
    const char* sounds[] = {"shot.wav", "boom.wav", "gem.wav", "life.wav", "hurt.wav", "click.wav", "select.wav", "clear.wav"};
    const int voices[] = {4, 4, 2, 1, 1, 2, 1, 1};
    for (int i = 0; i < 8; i++) LoadSound(sounds[i], i, voices[i]);
    SetMouseFree(1);
}

// The logo is built once and kept in a file; later runs load it.
void PrepareLogo() {
    if (LoadObject(kLogoFile, kLogo) != 0) {
        Log("logo loaded");
        return;
    }
    BuildLogo();
    SaveObject(kLogoFile, kLogo);
    Log("logo built and saved");
}

void DrawLogo(double angle) {
    SetViewport(120, 4, 400, 172);
    Enter3DMode(1, 100, 40);
    SetCamera(0, 5, 15, 0, 1.6, 0);
    SetTexture(-1, -1);
    SetHeadLight(0, 0x909090);
    SetLight(1, 0xFFD8B0, 12, 14, 10, 0, 0, 0, 100);
    PushTransform();
    AddRotation(angle, 0, 1, 0);
    AddRotation(6 * Sin(angle * 4), 1, 0, 0);
    DrawObject(kLogo, 0);
    PopTransform();
    Leave3DMode();
}

void BuildArenaPicture(const World& world) {
    for (int r = 0; r < kRows; r++) {
        for (int c = 0; c < kCols; c++) {
            char t = world.tiles[r][c];
            DrawSprite(IsRock(t) ? kRock : t == '%' ? kReeds : kWater, c * kTile, kTop + r * kTile);
        }
    }
    FillRect(0, 0, kArenaW - 1, kTop - 1, 0x301808);
    FillRect(0, kTop - 2, kArenaW - 1, kTop - 1, 0x907050);
}

void DrawWorld(const World& world, int me) {
    int pulse = world.tick / 8 % 4;
    for (const Pickup& p : world.pickups) {
        if (!p.live) continue;
        double x = (p.cell % kCols) * kTile + 8, y = kTop + (p.cell / kCols) * kTile + 8;
        DrawSprite(p.kind == '*' ? kGem : kBuoy, x, y);
        if (p.kind == '*' && pulse == 0) DrawPoint(x + 9, y + 4, 0xFFFFFF);
    }
    for (const Snapper& s : world.snappers)
        DrawSprite(kSnapper + (world.tick / 12 + s.id) % 2, s.x - 12, kTop + s.y - 12);
    for (const Shot& s : world.shots) DrawSprite(s.owner == 0 ? kShotA : kShotB, s.x - 4, kTop + s.y - 4);
    for (int i = 0; i < 2; i++) {
        const Skiff& s = world.skiffs[i];
        double slot = (i == 0 ? kSkiffA : kSkiffB) + s.heading;
        if (s.leaving > 0) {
            // A partner who left fades out, turning and shrinking.
            SetAlphaMode(-s.leaving);
            RotoZoomSprite(slot, s.x - 12, kTop + s.y - 12, (1 - s.leaving) * 360, s.leaving);
            SetAlphaMode(0);
            continue;
        }
        if (!s.present || !s.alive) continue;
        if (s.safeTicks > 0 && world.tick / 4 % 2) continue;  // blinking after a start
        DrawSprite(slot, s.x - 12, kTop + s.y - 12);
        if (world.skiffs[1].present && i != me && !s.name.empty()) {
            SetFont(kFontDefault);
            PrintText(s.name.c_str(), s.x - 4 * double(s.name.size()), kTop + s.y - 30);
            SetFont(kFontText);
        }
    }
    // Blasts: a growing ring, added to what is under it.
    for (const Blast& b : world.blasts) {
        SetAlphaMode(1 - b.age / 31.0);
        RotoZoomSprite(kSpark, b.x - 16, kTop + b.y - 16, b.age * 6, (b.big ? 0.4 : 0.2) + b.age / (b.big ? 15.0 : 40.0));
    }
    SetAlphaMode(0);
}

void DrawStatus(const World& world, int me, const std::string& note) {
    SetFont(kFontText);
    PrintText(RtString("SCORE ") + world.score, 8, 8);
    const Skiff& mine = world.skiffs[me];
    for (int i = 0; i < mine.lives && i < 5; i++) DrawSprite((me == 0 ? kSkiffA : kSkiffB) + 12, 200 + i * 22, 4);
    if (!note.empty()) PrintText(note.c_str(), 320, 8);
    else PrintText(RtString("LEVEL ") + world.level, 520, 8);
}

void CentreText(const std::string& text, double y, int font) {
    SetFont(font);
    double w, h;
    GetFontSize(w, h);
    PrintText(text.c_str(), std::floor((kArenaW - w * double(text.size())) / 2), y);
    SetFont(kFontText);
}

void Banner(const std::string& text) {
    SetAlphaMode(-0.6);
    FillRect(0, 200, kArenaW - 1, 279, 0x100800);
    SetAlphaMode(0);
    CentreText(text, 224, kFontBig);
}

}  // namespace skiff
