// Glimmerball: a textured torus built from code, spinning over a background
// with sphere-mapped reflections, and a smoothed frames-per-second counter.
// Written as translated game code: globals are numbers, texts are RtString
// temporaries, every statement is a runtime command.
#include <brindle.h>

namespace {
double viewWidth, viewHeight;
double angle;
double lastDuration;
double fpsAverage;
double msAccumulated;
double fpsShown;

double CreateTorus(double n, double tube, double ring, double rings, double sides, double repeatU,
                   double repeatV) {
    SetBuildNormals(2);
    StartObject(n);
    for (double i = 0; i <= rings - 1; i = i + 1) {
        for (double j = 0; j <= sides; j = j + 1) {
            double f = j / sides;
            for (double k = i + 1; k >= i; k = k - 1) {
                double t = Mod(j, sides) / sides * 360;
                double e = (Mod(k, rings) + f) / rings * 360;
                double r = Cos(t) * tube + ring;
                AddVertex(Sin(e) * r, tube * Sin(t), Cos(e) * r, (k + f) / rings * repeatU,
                          1 - f * repeatV, 16777215);
            }
        }
        NewStrip();
    }
    EndObject();
    return 0;
}
}  // namespace

void GameMain() {
    CreateTorus(1, 3, 10, 22, 22, 2, 2);
    LoadSprite(RtString("back.bmp"), 1);
    LoadSprite(RtString("reflect.bmp"), 0);
    SetFrameRate(-1);
    for (;;) {
        GetScreenSize(viewWidth, viewHeight);
        StretchSprite(1, 0, 0, viewWidth, viewHeight);
        angle = angle + FrameDuration() / 30;
        Enter3DMode(1, 250, 45);
        SetCamera(0, 10, 50, 0, 0, 0);
        SetCulling(1);
        SetTexture(0, -1);
        AddRotation(80, 1, 0, 0);
        AddRotation(angle, 0, 1, 0.1);
        SetEnvironmentMap(1);
        DrawObject(1, 0);
        SetEnvironmentMap(0);
        double d = FrameDuration();
        lastDuration = d;
        fpsAverage = (1000 / d + fpsAverage) * 0.5;
        msAccumulated = msAccumulated + d;
        if (msAccumulated > 1000) {
            fpsShown = fpsAverage;
            msAccumulated = 0;
        }
        Leave3DMode();
        PrintText(RtString("FPS: ") + FormatNumber(0, 1, fpsShown), 100, 0);
        ShowFrame();
    }
}
