// Building a 1 MB text from 100 000 appends of 10 bytes, three ways in the
// same process: RtString (512-byte growth steps over realloc), std::string
// (geometric growth) and a plain C string growing in 512-byte steps with
// realloc, the least any string with RtString's capacity rule can cost.
// The heap is warm (every case runs untimed first, so the blocks come from
// the grown heap rather than fresh pages) and the repetitions of all cases
// are interleaved. A second pair appends a string value rather than C text.
// Prints the medians of CPU time and the ratios to both peers.
#include <benchmark/benchmark.h>
#include <brindle/strings.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>
#include <string>

#include "median_reporter.h"

namespace {

constexpr int kAppends = 100000;
constexpr uint32_t kTotal = 10u * kAppends;
const char kPiece[] = "0123456789";

// The floor: RtString's layout and capacity rule with nothing else.
struct PlainString {
    char* text = nullptr;
    uint32_t capacity = 0, length = 0;

    ~PlainString() { std::free(text); }
    void Append(const char* piece, uint32_t n) {
        uint32_t wanted = length + n;
        if (wanted >= capacity) {
            capacity = wanted / 512u * 512u + 512u;
            void* p = std::realloc(text, capacity);
            if (!p) throw std::bad_alloc();
            text = static_cast<char*>(p);
        }
        std::memcpy(text + length, piece, n);
        length = wanted;
        text[length] = '\0';
    }
};

template <typename Build>
void Run(benchmark::State& state, Build build) {
    for (auto _ : state) {
        if (build() != kTotal) state.SkipWithError("wrong length");
    }
}

uint32_t BuildRtString() {
    RtString s;
    for (int i = 0; i < kAppends; ++i) s += kPiece;
    benchmark::DoNotOptimize(s.data());
    return s.length();
}

uint32_t BuildStdString() {
    std::string s;
    for (int i = 0; i < kAppends; ++i) s += kPiece;
    benchmark::DoNotOptimize(s.data());
    return static_cast<uint32_t>(s.size());
}

uint32_t BuildPlainString() {
    PlainString s;
    for (int i = 0; i < kAppends; ++i) s.Append(kPiece, sizeof kPiece - 1);
    benchmark::DoNotOptimize(s.text);
    return s.length;
}

uint32_t BuildRtStringFromValue() {
    static const RtString piece(kPiece);
    RtString s;
    for (int i = 0; i < kAppends; ++i) s += piece;
    benchmark::DoNotOptimize(s.data());
    return s.length();
}

uint32_t BuildStdStringFromValue() {
    static const std::string piece(kPiece);
    std::string s;
    for (int i = 0; i < kAppends; ++i) s += piece;
    benchmark::DoNotOptimize(s.data());
    return static_cast<uint32_t>(s.size());
}

void RtStringAppend(benchmark::State& state) { Run(state, BuildRtString); }
void StdStringAppend(benchmark::State& state) { Run(state, BuildStdString); }
void PlainStringAppend(benchmark::State& state) { Run(state, BuildPlainString); }
void RtStringAppendValue(benchmark::State& state) { Run(state, BuildRtStringFromValue); }
void StdStringAppendValue(benchmark::State& state) { Run(state, BuildStdStringFromValue); }

constexpr int kRepetitions = 9;
BENCHMARK(RtStringAppend)->Repetitions(kRepetitions)->Unit(benchmark::kMicrosecond);
BENCHMARK(StdStringAppend)->Repetitions(kRepetitions)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlainStringAppend)->Repetitions(kRepetitions)->Unit(benchmark::kMicrosecond);
BENCHMARK(RtStringAppendValue)->Repetitions(kRepetitions)->Unit(benchmark::kMicrosecond);
BENCHMARK(StdStringAppendValue)->Repetitions(kRepetitions)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Warm heap: blocks stay in the heap once it has grown (no fresh pages
    // from mmap, no trimming between runs), and each case runs once before
    // anything is timed.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    for (int i = 0; i < 3; ++i) {
        BuildRtString();
        BuildStdString();
        BuildPlainString();
        BuildRtStringFromValue();
        BuildStdStringFromValue();
    }
    InitializeInterleaved(argc, argv);
    MedianReporter reporter({}, MedianReporter::Time::Cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& m = reporter.medians;
    double rt = m["RtStringAppend"], std = m["StdStringAppend"], plain = m["PlainStringAppend"];
    double rtValue = m["RtStringAppendValue"], stdValue = m["StdStringAppendValue"];
    std::printf("\nmedian CPU time of %d interleaved repetitions, warm heap:\n", kRepetitions);
    std::printf("  C text: RtString %.1f us, std::string %.1f us, plain 512-step string %.1f us\n",
                rt, std, plain);
    if (rt > 0 && std > 0 && plain > 0)
        std::printf("  RtString / std::string %.2f (goal <= 1.0), RtString / plain %.2f (goal <= 1.5)\n",
                    rt / std, rt / plain);
    std::printf("  string value: RtString %.1f us, std::string %.1f us", rtValue, stdValue);
    if (rtValue > 0 && stdValue > 0) std::printf(", ratio %.2f", rtValue / stdValue);
    std::printf("\n");
    benchmark::Shutdown();
    return 0;
}
