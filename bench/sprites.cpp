// Sprite drawing and collision. Drawing: 5000 sprites of 32 x 32 pixels per
// frame through DrawSprite, against the fastest plain OpenGL drawing of the
// same textured quads (texture bound once, replace mode, alpha test and
// linear filtering as the renderer sets them, all quads in one
// glBegin/glEnd), and against DrawSprite with the renderer's state record
// switched off (every state call made, modulate throughout: the renderer as
// it was). Each case also reports the process's CPU milliseconds per frame
// (all threads: llvmpipe rasterises on threads of its own), a second reading
// beside the frame rate. Collision: an opaque and a fully transparent
// 64 x 64 sprite on top of each other (every pixel of the overlap is tested)
// with the cached alpha masks, against the same test reading both masks back
// from the textures every time.
#include <benchmark/benchmark.h>
#include <brindle.h>

#include <sys/resource.h>

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
#include "bench_runtime.h"
#include "median_reporter.h"

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Brindle bench"};
void GameMain() {}

namespace {

constexpr int kSprite = 1, kBig = 2, kClear = 3;
constexpr int kSpritesPerRun = 5000;

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
    if (!StartRuntimeOnce()) return;
    WriteSolidBmp("bench_sprite32.bmp", 32);
    WriteSolidBmp("bench_sprite64.bmp", 64);
    LoadSprite("bench_sprite32.bmp", kSprite);
    LoadSprite("bench_sprite64.bmp", kBig);
    WriteKeyBmp("bench_clear64.bmp", 64);
    LoadSprite("bench_clear64.bmp", kClear);
}

double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs one frame per iteration; sets the rate and the CPU time per frame.
template <typename Frame>
void Frames(benchmark::State& state, Frame frame) {
    double cpu = ProcessCpuSeconds();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        frame();
        glFinish();
    }
    cpu = ProcessCpuSeconds() - cpu;
    auto frames = static_cast<double>(state.iterations());
    state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["cpu_ms/frame"] = frames > 0 ? cpu * 1000 / frames : 0;
}

void DrawSprites() {
    for (int i = 0; i < kSpritesPerRun; ++i) DrawSprite(kSprite, (i * 37) % 600, (i * 53) % 440);
}

void BM_DrawSprite(benchmark::State& state) {
    Start();
    Frames(state, DrawSprites);
}

// The renderer as it was: every state call made, modulate throughout.
void BM_DrawSpriteEveryCall(benchmark::State& state) {
    Start();
    runtime.renderer.glState.SetSkipping(false);
    Frames(state, DrawSprites);
    runtime.renderer.glState.SetSkipping(true);
}

// The floor: plain OpenGL, state set once, one batch of quads.
void BM_PlainQuads(benchmark::State& state) {
    Start();
    OpenGLZadederu& r = runtime.renderer;
    float s = 32.0f / r.textureWidth[kSprite], t = 32.0f / r.textureHeight[kSprite];
    glBindTexture(GL_TEXTURE_2D, r.spriteTexture[kSprite][0]);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    Frames(state, [&] {
        glBegin(GL_QUADS);
        for (int i = 0; i < kSpritesPerRun; ++i) {
            float x = static_cast<float>((i * 37) % 600), y = static_cast<float>((i * 53) % 440);
            glTexCoord2f(0, 0);
            glVertex2f(x, -(y + 32));
            glTexCoord2f(s, 0);
            glVertex2f(x + 32, -(y + 32));
            glTexCoord2f(s, t);
            glVertex2f(x + 32, -y);
            glTexCoord2f(0, t);
            glVertex2f(x, -y);
        }
        glEnd();
    });
    r.glState.Forget();  // set behind the renderer's back
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
BENCHMARK(BM_DrawSpriteEveryCall)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainQuads)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CollisionCached)->Repetitions(7)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CollisionReadBack)->Repetitions(7)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The medians by rate, and beside them the CPU milliseconds per frame.
class SpriteReporter : public MedianReporter {
public:
    using MedianReporter::MedianReporter;
    void ReportRuns(const std::vector<Run>& runs) override {
        MedianReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("cpu_ms/frame");
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
                it != run.counters.end())
                cpuMs[run.run_name.function_name] = it->second.value;
        }
    }
    std::map<std::string, double> cpuMs;
};

}  // namespace

int main(int argc, char** argv) {
    InitializeInterleaved(argc, argv);
    SpriteReporter rates({"frames/s", "tests/s"});
    benchmark::RunSpecifiedBenchmarks(&rates);
    auto& m = rates.medians;
    auto& c = rates.cpuMs;
    std::printf("\nmedians of 7 interleaved repetitions (%s), %d sprites per frame:\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), kSpritesPerRun);
    for (const char* name : {"BM_DrawSprite", "BM_DrawSpriteEveryCall", "BM_PlainQuads"})
        std::printf("  %-24s %8.1f frames/s %8.2f CPU ms/frame\n", name + 3, m[name], c[name]);
    if (m["BM_PlainQuads"] > 0 && m["BM_DrawSpriteEveryCall"] > 0 && c["BM_DrawSprite"] > 0)
        std::printf("  DrawSprite / floor: fps %.2f (goal >= 0.95), CPU floor / DrawSprite %.2f;"
                    " / every call: fps %.2f\n",
                    m["BM_DrawSprite"] / m["BM_PlainQuads"], c["BM_PlainQuads"] / c["BM_DrawSprite"],
                    m["BM_DrawSprite"] / m["BM_DrawSpriteEveryCall"]);
    std::printf("  collision, cached masks   %12.0f tests/s\n  collision, masks read back %11.0f tests/s\n",
                m["BM_CollisionCached"], m["BM_CollisionReadBack"]);
    if (m["BM_CollisionReadBack"] > 0)
        std::printf("  cached / read back %.2f\n", m["BM_CollisionCached"] / m["BM_CollisionReadBack"]);
    benchmark::Shutdown();
    return 0;
}
