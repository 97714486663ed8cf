// Building a 1 MB text from 100 000 appends of 10 bytes: RtString (512-byte
// growth steps over realloc) beside std::string (geometric growth) in the
// same run. Prints the medians of 7 repetitions and their ratio.
#include <benchmark/benchmark.h>
#include <brindle/strings.h>

#include <cstdio>
#include <map>
#include <string>
#include "median_reporter.h"

namespace {

constexpr int kAppends = 100000;
const char kPiece[] = "0123456789";

void RtStringAppend(benchmark::State& state) {
    for (auto _ : state) {
        RtString s;
        for (int i = 0; i < kAppends; ++i) s += kPiece;
        benchmark::DoNotOptimize(s.data());
        if (s.length() != 10u * kAppends) state.SkipWithError("wrong length");
    }
}

void StdStringAppend(benchmark::State& state) {
    for (auto _ : state) {
        std::string s;
        for (int i = 0; i < kAppends; ++i) s += kPiece;
        benchmark::DoNotOptimize(s.data());
        if (s.size() != 10u * kAppends) state.SkipWithError("wrong length");
    }
}

BENCHMARK(RtStringAppend)->Repetitions(7)->Unit(benchmark::kMicrosecond);
BENCHMARK(StdStringAppend)->Repetitions(7)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double rt = reporter.medians["RtStringAppend"], std = reporter.medians["StdStringAppend"];
    if (rt > 0 && std > 0)
        std::printf("median RtString %.1f us, std::string %.1f us, ratio %.2f (goal: at most 2)\n",
                    rt, std, rt / std);
    benchmark::Shutdown();
    return 0;
}
