// Media files, each beside a peer or a floor in the same run (medians of 9
// interleaved repetitions, then their ratios):
// - decoding a 2048 x 2048 24-bit BMP held in memory into RGBA: the runtime's
//   decoder (key colour and colour repair on, as for sprites) beside
//   stb_image and beside a plain blue-green-red to RGBA loop;
// - extracting a 4 MiB pack entry with ResolveMediaFile beside the floor of a
//   bare lzo1x_decompress_safe of the same bytes plus writing the file.
#include <benchmark/benchmark.h>
#include <lzo/lzo1x.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb/stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "media/bmp_decode.h"
#include "media/media_pack.h"
#include "media/pack_format.h"
#include "pack_compress.h"
#include "platform/system.h"
#include "median_reporter.h"

namespace {

constexpr int kSide = 2048;
constexpr uint32_t kKey = 0x8000FF;

void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A sprite sheet: smooth colours with key-coloured discs (about a fifth of
// the pixels), so the key and repair passes have real work.
const std::vector<uint8_t>& SpriteSheet() {
    static const std::vector<uint8_t> file = [] {
        std::vector<uint8_t> f;
        const uint32_t row = kSide * 3;
        f.push_back('B');
        f.push_back('M');
        Put(f, 54 + row * kSide, 4);
        Put(f, 0, 4);
        Put(f, 54, 4);
        Put(f, 40, 4);
        Put(f, kSide, 4);
        Put(f, kSide, 4);
        Put(f, 1, 2);
        Put(f, 24, 2);
        for (int i = 0; i < 6; ++i) Put(f, 0, 4);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const int dx = x % 64 - 32, dy = y % 64 - 32;
                if (dx * dx + dy * dy < 260) {
                    f.push_back(128);  // blue, green, red of the key colour
                    f.push_back(0);
                    f.push_back(255);
                } else {
                    f.push_back(static_cast<uint8_t>(x >> 3));
                    f.push_back(static_cast<uint8_t>(y >> 3));
                    f.push_back(static_cast<uint8_t>((x ^ y) & 0xFF));
                }
            }
        return f;
    }();
    return file;
}

void BrindleDecodeBmp(benchmark::State& state) {
    const std::vector<uint8_t>& file = SpriteSheet();
    DecodeRequest request;
    request.keyColour = kKey;
    request.useKey = true;
    request.maxTextureSize = 8192;
    for (auto _ : state) {
        RgbaTexture texture;
        if (DecodeBmp(file.data(), file.size(), request, texture) != BmpStatus::kOk)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(texture.pixels.get());
    }
}

void StbImageBmp(benchmark::State& state) {
    const std::vector<uint8_t>& file = SpriteSheet();
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &n, 4);
        if (!pixels || w != kSide) state.SkipWithError("stb failed");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
}

// The floor: every pixel once from blue-green-red to RGBA into a buffer
// that already exists.
void PlainConversionLoop(benchmark::State& state) {
    const std::vector<uint8_t>& file = SpriteSheet();
    std::vector<uint8_t> out(static_cast<size_t>(kSide) * kSide * 4);
    for (auto _ : state) {
        const uint8_t* s = file.data() + 54;
        uint8_t* d = out.data();
        for (size_t i = 0; i < static_cast<size_t>(kSide) * kSide; ++i, s += 3, d += 4) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = 255;
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

// 4 MiB of content that compresses about as well as game images do.
constexpr size_t kEntrySize = 4u << 20;
struct PackFixture {
    std::vector<uint8_t> content;
    std::vector<uint8_t> stored;  // originalSize + compressed bytes
    std::string packPath;
    std::string floorPath;
    PackFixture() {
        content.resize(kEntrySize);
        uint32_t seed = 12345;
        for (size_t i = 0; i < kEntrySize; ++i) {
            seed = seed * 1103515245u + 12345u;
            content[i] = static_cast<uint8_t>((i / 3 % 64) + ((seed >> 16) & 7) * ((i >> 12) & 1));
        }
        pack::CompressContent(content.data(), content.size(), stored);
        const std::string temp = platform::TempDirectory();
        packPath = temp + "brindle-bench.pack";
        floorPath = temp + "brindle-bench-floor.bin";
        std::vector<uint8_t> f(1000, 'H');
        const uint32_t dataOffset = static_cast<uint32_t>(f.size());
        f.insert(f.end(), stored.begin(), stored.end());
        const uint32_t directory = static_cast<uint32_t>(f.size());
        const std::string name = "level.raw";
        f.push_back(static_cast<uint8_t>(name.size()));
        f.insert(f.end(), name.begin(), name.end());
        Put(f, dataOffset, 4);
        Put(f, static_cast<uint32_t>(stored.size()), 4);
        f.push_back(0);
        Put(f, directory, 4);
        std::FILE* out = std::fopen(packPath.c_str(), "wb");
        if (out) {
            std::fwrite(f.data(), 1, f.size(), out);
            std::fclose(out);
        }
    }
    ~PackFixture() {
        std::remove(packPath.c_str());
        std::remove(floorPath.c_str());
    }
};
PackFixture& Fixture() {
    static PackFixture fixture;
    return fixture;
}

void ResolveExtract4MiB(benchmark::State& state) {
    PackFixture& fx = Fixture();
    MediaPack record;
    std::strcpy(record.packPath, fx.packPath.c_str());
    char resolved[kResolvedNameSize];
    for (auto _ : state) {
        if (!ResolveMediaFile(&record, "data/level.raw", resolved)) state.SkipWithError("not found");
    }
    DeleteExtractedFile(&record);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kEntrySize);
}

void FloorDecompressWrite4MiB(benchmark::State& state) {
    PackFixture& fx = Fixture();
    std::vector<uint8_t> out(kEntrySize);
    for (auto _ : state) {
        lzo_uint written = kEntrySize;
        if (lzo1x_decompress_safe(fx.stored.data() + 4, fx.stored.size() - 4, out.data(), &written,
                                  nullptr) != LZO_E_OK)
            state.SkipWithError("lzo failed");
        // As the lookup does with its previous file: delete, then create.
        std::remove(fx.floorPath.c_str());
        std::FILE* f = std::fopen(fx.floorPath.c_str(), "wb");
        std::fwrite(out.data(), 1, written, f);
        std::fclose(f);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kEntrySize);
}

BENCHMARK(BrindleDecodeBmp)->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(StbImageBmp)->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainConversionLoop)->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(ResolveExtract4MiB)->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(FloorDecompressWrite4MiB)->Repetitions(9)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (lzo_init() != LZO_E_OK) return 1;
    InitializeInterleaved(argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& m = reporter.medians;
    const double ours = m["BrindleDecodeBmp"], stb = m["StbImageBmp"], loop = m["PlainConversionLoop"];
    if (ours > 0 && stb > 0 && loop > 0) {
        std::printf("BMP 2048x2048x24 medians: Brindle %.2f ms, stb_image %.2f ms, plain loop %.2f ms\n",
                    ours, stb, loop);
        std::printf("  stb_image / Brindle = %.2f (goal: at least 2)\n", stb / ours);
        std::printf("  plain loop / Brindle = %.2f, plain loop / stb_image = %.2f\n", loop / ours,
                    loop / stb);
    }
    const double extract = m["ResolveExtract4MiB"], floor = m["FloorDecompressWrite4MiB"];
    if (extract > 0 && floor > 0) {
        std::printf("4 MiB entry medians: ResolveMediaFile %.2f ms, decompress+write floor %.2f ms\n",
                    extract, floor);
        std::printf("  floor / ResolveMediaFile = %.2f (goal: at least 0.8)\n", floor / extract);
    }
    benchmark::Shutdown();
    return 0;
}
