// Loading a background: a 1600 x 1200 24-bit BMP on disk cut into 475 tiles
// of 64 x 64 by LoadBackgroundImage (the file read and converted once, each
// tile colour-repaired and uploaded), beside one whole-image load of the
// same file into one texture (read, decode with key colour and repair,
// upload: the floor, goal <= 2 x) and beside loading every tile as its own
// region of the file (the tile-by-tile way: the file read 475 times).
// Medians of interleaved repetitions, then their ratios.
#include <benchmark/benchmark.h>
#include <brindle.h>

#include <cstdio>
#include <vector>

#include "core/runtime_state.h"
#include "core/startup.h"
#include "gfx2d/backgrounds.h"
#include "media/bmp_file.h"
#include "media/bmp_texture.h"
#include "platform/gl.h"
#include "bench_runtime.h"
#include "median_reporter.h"

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Brindle bench"};
void GameMain() {}

namespace {

constexpr int kWidth = 1600, kHeight = 1200;
constexpr uint32_t kKey = 0x8000FF;
const char* const kFile = "bench_back1600.bmp";

// Smooth colours with key-coloured discs, so that the key and the repair
// have work in every tile.
void WriteBackground() {
    std::vector<uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int dx = x % 50 - 25, dy = y % 50 - 25;
            if (dx * dx + dy * dy < 90)
                pixels.insert(pixels.end(), {128, 0, 255});  // blue, green, red of the key
            else
                pixels.insert(pixels.end(), {static_cast<uint8_t>(x >> 3), static_cast<uint8_t>(y >> 3),
                                             static_cast<uint8_t>((x ^ y) & 0xFF)});
        }
    WriteBmp24(kFile, pixels.data(), kWidth, kHeight, kWidth, false);
}

void Start() {
    if (!StartRuntimeOnce()) return;
    WriteBackground();
}

void BM_LoadBackground(benchmark::State& state) {
    Start();
    OpenGLZadederu& r = runtime.renderer;
    for (auto _ : state) {
        if (!LoadBackgroundImage(r, 0, kFile)) state.SkipWithError("load failed");
        glFinish();
    }
    FreeBackground(r, 0);
}

void BM_WholeImageDecodeAndUpload(benchmark::State& state) {
    Start();
    for (auto _ : state) {
        unsigned int texture = 0;
        if (!LoadBmpTexture(kFile, 0, 0, 0, 0, &texture, nullptr, kKey, true, false, false))
            state.SkipWithError("load failed");
        glFinish();
        glDeleteTextures(1, &texture);
    }
}

void BM_EveryTileFromTheFile(benchmark::State& state) {
    Start();
    std::vector<unsigned int> textures;
    for (auto _ : state) {
        for (int y = 0; y < kHeight; y += 64)
            for (int x = 0; x < kWidth; x += 64) {
                unsigned int texture = 0;
                LoadBmpTexture(kFile, x, y, 64, 64, &texture, nullptr, kKey, true, false, false);
                textures.push_back(texture);
            }
        glFinish();
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        textures.clear();
    }
}

BENCHMARK(BM_LoadBackground)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WholeImageDecodeAndUpload)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EveryTileFromTheFile)->Repetitions(5)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    InitializeInterleaved(argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& m = reporter.medians;
    std::printf("\nmedians (%s), %d x %d, 24-bit:\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                kWidth, kHeight);
    std::printf("  LoadBackground (475 tiles)        %10.2f ms\n", m["BM_LoadBackground"]);
    std::printf("  one whole-image decode + upload   %10.2f ms\n", m["BM_WholeImageDecodeAndUpload"]);
    std::printf("  every tile from the file          %10.2f ms\n", m["BM_EveryTileFromTheFile"]);
    if (m["BM_WholeImageDecodeAndUpload"] > 0)
        std::printf("  LoadBackground / whole image      %10.2f (goal <= 2)\n",
                    m["BM_LoadBackground"] / m["BM_WholeImageDecodeAndUpload"]);
    if (m["BM_LoadBackground"] > 0)
        std::printf("  tile by tile / LoadBackground     %10.2f\n",
                    m["BM_EveryTileFromTheFile"] / m["BM_LoadBackground"]);
    benchmark::Shutdown();
    return 0;
}
