// Frame-rate probe for the 3D engine, the same measurement as
// bench/mesh_draw.cpp as a game program, so that the Windows build can be
// measured under Wine: one object of 10 000 triangles drawn by the fast path
// and by the per-draw copy, 7 alternating runs of 200 frames each, medians
// written to "mesh_fps.txt" beside the program.
#include <brindle.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/gl.h"

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Mesh fps"};

namespace {

void BuildTorus() {
    const int rings = 100, sides = 50;
    const double pi = 3.14159265358979323846;
    SetBuildNormals(2);
    StartObject(1);
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j <= sides; ++j) {
            double f = static_cast<double>(j) / sides;
            for (int k : {i + 1, i}) {
                double t = (j % sides) * 2 * pi / sides;
                double e = ((k % rings) + f) / rings * 2 * pi;
                double r = std::cos(t) * 3 + 10;
                AddVertex(std::sin(e) * r, 3 * std::sin(t), std::cos(e) * r, (k + f) / rings * 2,
                          1 - f * 2, 16777215);
            }
        }
        NewStrip();
    }
    EndObject();
}

double Run(bool copy, int frames) {
    double start = ElapsedTime();
    for (int i = 0; i < frames; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Enter3DMode(1, 250, 45);
        SetCamera(0, 10, 50, 0, 0, 0);
        SetCulling(1);
        SetHeadLight(0, 0xFFFFFF);
        AddRotation(80, 1, 0, 0);
        if (copy) SetTextureOffset(0.001, 0);
        DrawObject(1, 0);
        Leave3DMode();
        glFinish();
    }
    return frames * 1000.0 / (ElapsedTime() - start);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

void GameMain() {
    BuildTorus();
    Run(false, 20);  // warm-up: buffers made, caches filled
    Run(true, 20);
    // Rounds alternate the two paths, so that a busy machine slows both alike.
    std::vector<double> fastRuns, copyRuns;
    for (int i = 0; i < 7; ++i) {
        fastRuns.push_back(Run(false, 200));
        copyRuns.push_back(Run(true, 200));
    }
    double fast = Median(fastRuns), copy = Median(copyRuns);
    if (std::FILE* out = std::fopen("mesh_fps.txt", "w")) {
        std::fprintf(out, "renderer %s\nfast path %.1f fps\nper-draw copy %.1f fps\ncopy / fast %.2f\n",
                     reinterpret_cast<const char*>(glGetString(GL_RENDERER)), fast, copy, copy / fast);
        std::fclose(out);
    }
    End();
}
