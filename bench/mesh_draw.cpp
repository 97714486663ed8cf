// Frames per second for one object of 10 000 triangles: the fast path (a
// static buffer object) against the per-draw copy (texture offset set), and
// a floor of plain client-array drawing of the same triangles. Each run
// draws the object into the back buffer and waits for GL to finish.
#include <benchmark/benchmark.h>
#include <brindle.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/runtime_state.h"
#include "core/startup.h"
#include "gfx2d/opengl_zadederu.h"
#include "platform/gl.h"
#include "bench_runtime.h"
#include "median_reporter.h"

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Brindle bench"};
void GameMain() {}

namespace {

constexpr int kObject = 1;

// The demo's torus with 100 rings of 50 sides: 10 000 triangles.
void BuildTorus() {
    const int rings = 100, sides = 50;
    const double tube = 3, ring = 10, pi = 3.14159265358979323846;
    SetBuildNormals(2);
    StartObject(kObject);
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j <= sides; ++j) {
            double f = static_cast<double>(j) / sides;
            for (int k : {i + 1, i}) {
                double t = (j % sides) * 2 * pi / sides;
                double e = ((k % rings) + f) / rings * 2 * pi;
                double r = std::cos(t) * tube + ring;
                AddVertex(std::sin(e) * r, tube * std::sin(t), std::cos(e) * r, (k + f) / rings * 2,
                          1 - f * 2, 16777215);
            }
        }
        NewStrip();
    }
    EndObject();
}

void Start() {
    if (!StartRuntimeOnce()) return;
    BuildTorus();
}

void Scene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Enter3DMode(1, 250, 45);
    SetCamera(0, 10, 50, 0, 0, 0);
    SetCulling(1);
    SetHeadLight(0, 0xFFFFFF);
    AddRotation(80, 1, 0, 0);
}

void BM_FastPath(benchmark::State& state) {
    Start();
    for (auto _ : state) {
        Scene();
        DrawObject(kObject, 0);
        Leave3DMode();
        glFinish();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

void BM_PerDrawCopy(benchmark::State& state) {
    Start();
    for (auto _ : state) {
        Scene();
        SetTextureOffset(0.001, 0);
        DrawObject(kObject, 0);
        Leave3DMode();
        glFinish();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

// Floor: the same triangle list drawn by plain GL client arrays with the
// same state, no engine in between.
void BM_PlainClientArrays(benchmark::State& state) {
    Start();
    const MeshFrame& frame = runtime.scene.objects[kObject].meshes[0].frames[0];
    std::vector<float> positions, normals;
    for (const MeshVertex& v : frame.triangleVertices) {
        positions.insert(positions.end(), v.position, v.position + 3);
        normals.insert(normals.end(), v.normal, v.normal + 3);
    }
    for (auto _ : state) {
        Scene();
        glPushMatrix();
        runtime.scene.ApplyTransformStack();
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, positions.data());
        glNormalPointer(GL_FLOAT, 0, normals.data());
        glDrawArrays(GL_TRIANGLES, 0, frame.triangleVertices.count);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glPopMatrix();
        Leave3DMode();
        glFinish();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

BENCHMARK(BM_FastPath)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PerDrawCopy)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainClientArrays)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    InitializeInterleaved(argc, argv);
    MedianReporter reporter({"fps"});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double fast = reporter.medians["BM_FastPath"], copy = reporter.medians["BM_PerDrawCopy"],
           floor = reporter.medians["BM_PlainClientArrays"];
    std::printf("\nmedian frames per second (10 000 triangles, %s):\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("  fast path          %8.1f\n  per-draw copy      %8.1f\n  plain client array %8.1f\n",
                fast, copy, floor);
    if (floor > 0 && fast > 0)
        std::printf("  fast / floor %.2f   copy / floor %.2f   copy / fast %.2f\n", fast / floor,
                    copy / floor, copy / fast);
    benchmark::Shutdown();
    return 0;
}
