// Sprite drawing and collision. Drawing: 2000 sprites of 32 x 32 pixels per
// run through DrawSprite, against a floor of the same textured quads drawn
// with the texture bound once and no engine in between. Collision: an
// opaque and a fully transparent 64 x 64 sprite on top of each other (every
// pixel of the overlap is tested) with the cached alpha masks, against the
// same test reading both masks back from the textures every time.
#include <benchmark/benchmark.h>
#include <brindle.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/runtime_state.h"
#include "core/startup.h"
#include "gfx2d/sprites.h"
#include "media/bmp_file.h"
#include "platform/gl.h"
#include "median_reporter.h"

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Brindle bench"};
void GameMain() {}

namespace {

constexpr int kSprite = 1, kBig = 2, kClear = 3;
constexpr int kSpritesPerRun = 2000;

void WriteSolidBmp(const char* name, int size) {
    std::vector<uint8_t> pixels(size * size * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
    WriteBmp24(name, pixels.data(), size, size, size, false);
}

void WriteKeyBmp(const char* name, int size) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < size * size; ++i) pixels.insert(pixels.end(), {0x80, 0x00, 0xFF});  // blue, green, red
    WriteBmp24(name, pixels.data(), size, size, size, false);
}

void Start() {
    static bool started = false;
    if (started) return;
    started = true;
    ApplySettings(gameSettings, "");
    InitRuntime(nullptr, nullptr, "", 10, gameSettings.title);
    WriteSolidBmp("bench_sprite32.bmp", 32);
    WriteSolidBmp("bench_sprite64.bmp", 64);
    LoadSprite("bench_sprite32.bmp", kSprite);
    LoadSprite("bench_sprite64.bmp", kBig);
    WriteKeyBmp("bench_clear64.bmp", 64);
    LoadSprite("bench_clear64.bmp", kClear);
}

void BM_DrawSprite(benchmark::State& state) {
    Start();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        for (int i = 0; i < kSpritesPerRun; ++i) DrawSprite(kSprite, (i * 37) % 600, (i * 53) % 440);
        glFinish();
    }
    state.counters["sprites/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSpritesPerRun, benchmark::Counter::kIsRate);
}

// Floor: the same quads, texture bound once.
void BM_PlainQuads(benchmark::State& state) {
    Start();
    OpenGLZadederu& r = runtime.renderer;
    float s = 32.0f / r.textureWidth[kSprite], t = 32.0f / r.textureHeight[kSprite];
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        BindSprite(r, kSprite, -1, 0);
        for (int i = 0; i < kSpritesPerRun; ++i) {
            float x = static_cast<float>((i * 37) % 600), y = static_cast<float>((i * 53) % 440);
            glBegin(GL_TRIANGLE_FAN);
            glTexCoord2f(0, 0);
            glVertex2f(x, -(y + 32));
            glTexCoord2f(s, 0);
            glVertex2f(x + 32, -(y + 32));
            glTexCoord2f(s, t);
            glVertex2f(x + 32, -y);
            glTexCoord2f(0, t);
            glVertex2f(x, -y);
            glEnd();
        }
        glFinish();
    }
    state.counters["sprites/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSpritesPerRun, benchmark::Counter::kIsRate);
}

void BM_CollisionCached(benchmark::State& state) {
    Start();
    for (auto _ : state) benchmark::DoNotOptimize(SpriteCollision(kBig, 0, 0, kClear, 0, 0));
    state.counters["tests/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_CollisionReadBack(benchmark::State& state) {
    Start();
    OpenGLZadederu& r = runtime.renderer;
    for (auto _ : state) {
        for (int slot : {kBig, kClear}) {
            std::free(r.alphaMask[slot]);
            r.alphaMask[slot] = nullptr;
        }
        benchmark::DoNotOptimize(SpriteCollision(kBig, 0, 0, kClear, 0, 0));
    }
    state.counters["tests/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_DrawSprite)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainQuads)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CollisionCached)->Repetitions(7)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CollisionReadBack)->Repetitions(7)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    InitializeInterleaved(argc, argv);
    MedianReporter reporter({"sprites/s", "tests/s"});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& m = reporter.medians;
    std::printf("\nmedians (%s):\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("  DrawSprite        %12.0f sprites/s\n  plain quads       %12.0f sprites/s\n",
                m["BM_DrawSprite"], m["BM_PlainQuads"]);
    if (m["BM_PlainQuads"] > 0)
        std::printf("  DrawSprite / floor %.2f\n", m["BM_DrawSprite"] / m["BM_PlainQuads"]);
    std::printf("  collision, cached masks   %12.0f tests/s\n  collision, masks read back %11.0f tests/s\n",
                m["BM_CollisionCached"], m["BM_CollisionReadBack"]);
    if (m["BM_CollisionReadBack"] > 0)
        std::printf("  cached / read back %.2f\n", m["BM_CollisionCached"] / m["BM_CollisionReadBack"]);
    benchmark::Shutdown();
    return 0;
}
