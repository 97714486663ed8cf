// Decoding pack entries: the runtime's own LZO1X decoder beside liblzo2's
// lzo1x_decompress_safe, its peer, on the same LZO1X-999 streams (as
// brindle-pack stores them) of four kinds of content, 4 MiB each. Medians of
// 9 interleaved repetitions; the ratio liblzo2 time / ours is the decoder's
// speed relative to liblzo2 (goal: at least 0.9 for every kind).
#include <benchmark/benchmark.h>
#include <lzo/lzo1x.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "media/lzo1x_decoder.h"
#include "median_reporter.h"
#include "pack_compress.h"

namespace {

constexpr size_t kSize = 4u << 20;

uint32_t Next(uint32_t& seed) { return seed = seed * 1103515245u + 12345u; }

// image: 24-bit picture rows, smooth gradients with flat areas and a little
// noise; text: words; sheet: the media benchmark's sprite-sheet-like
// content (repeating ramps, noisy blocks); runs: short periods and runs of
// one byte, which decode as overlapping copies.
std::vector<uint8_t> Content(const std::string& kind) {
    std::vector<uint8_t> c;
    c.reserve(kSize);
    uint32_t seed = 12345;
    if (kind == "image") {
        for (size_t y = 0; c.size() < kSize; ++y)
            for (size_t x = 0; x < 1024; ++x) {
                const bool flat = (x / 96 + y / 64) % 3 == 0;
                const uint8_t grain = static_cast<uint8_t>((Next(seed) >> 28) & 3);
                c.push_back(flat ? 40 : static_cast<uint8_t>(x / 4 + grain));
                c.push_back(flat ? 90 : static_cast<uint8_t>(y / 2));
                c.push_back(flat ? 200 : static_cast<uint8_t>((x ^ y) / 8));
            }
    } else if (kind == "text") {
        const char* words[] = {"sprite ", "torus ", "background ", "frame ", "the ", "of ",
                               "pack\n", "Glimmerball ", "window ", "sound ", "a ", "player "};
        while (c.size() < kSize) {
            const char* w = words[(Next(seed) >> 20) % 12];
            while (*w) c.push_back(static_cast<uint8_t>(*w++));
        }
    } else if (kind == "sheet") {
        for (size_t i = 0; i < kSize; ++i)
            c.push_back(static_cast<uint8_t>((i / 3 % 64) + ((Next(seed) >> 16) & 7) * ((i >> 12) & 1)));
    } else {
        while (c.size() < kSize) {
            const uint32_t r = Next(seed);
            const size_t period = 1 + (r >> 8) % 6, length = 8 + (r >> 16) % 200;
            for (size_t i = 0; i < length; ++i) c.push_back(static_cast<uint8_t>(r + i % period));
        }
    }
    c.resize(kSize);
    return c;
}

struct Stream {
    std::vector<uint8_t> content, compressed;
};
const Stream& StreamOf(const std::string& kind) {
    static std::map<std::string, Stream> streams;
    Stream& s = streams[kind];
    if (s.content.empty()) {
        s.content = Content(kind);
        std::vector<uint8_t> stored;
        pack::CompressContent(s.content.data(), s.content.size(), stored);
        s.compressed.assign(stored.begin() + 4, stored.end());
    }
    return s;
}

void Ours(benchmark::State& state, const std::string& kind) {
    const Stream& s = StreamOf(kind);
    std::vector<uint8_t> out(kSize);
    for (auto _ : state) {
        size_t written = 0;
        if (pack::DecodeLzo1x(s.compressed.data(), s.compressed.size(), out.data(), out.size(),
                              &written) != pack::Lzo1xStatus::kOk ||
            written != kSize)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    if (out != s.content) state.SkipWithError("decoded bytes differ");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}

void Liblzo2(benchmark::State& state, const std::string& kind) {
    const Stream& s = StreamOf(kind);
    std::vector<uint8_t> out(kSize);
    for (auto _ : state) {
        lzo_uint written = out.size();
        if (lzo1x_decompress_safe(s.compressed.data(), s.compressed.size(), out.data(), &written,
                                  nullptr) != LZO_E_OK ||
            written != kSize)
            state.SkipWithError("liblzo2 failed");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}

const char* const kKinds[] = {"image", "text", "sheet", "runs"};

}  // namespace

int main(int argc, char** argv) {
    if (!pack::EnsureLzo()) return 1;
    for (const char* kind : kKinds) {
        benchmark::RegisterBenchmark((std::string("Ours_") + kind).c_str(), Ours, std::string(kind))
            ->Repetitions(9)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Liblzo2_") + kind).c_str(), Liblzo2, std::string(kind))
            ->Repetitions(9)
            ->Unit(benchmark::kMillisecond);
    }
    InitializeInterleaved(argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("4 MiB LZO1X-999 entries, medians of 9 (ms); speed = liblzo2 time / ours (goal: >= 0.9)\n");
    bool met = true;
    for (const char* kind : kKinds) {
        const double ours = reporter.medians[std::string("Ours_") + kind];
        const double lzo = reporter.medians[std::string("Liblzo2_") + kind];
        if (ours <= 0 || lzo <= 0) continue;
        std::printf("  %-6s (%5.1f%% stored): ours %.3f, liblzo2 %.3f, speed %.2f\n", kind,
                    100.0 * StreamOf(kind).compressed.size() / kSize, ours, lzo, lzo / ours);
        met = met && lzo / ours >= 0.9;
    }
    std::printf("%s\n", met ? "goal met for every kind" : "goal NOT met");
    benchmark::Shutdown();
    return 0;
}
