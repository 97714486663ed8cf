// The runtime's maths library (musl's sources, the same on both targets)
// beside the system's C library (glibc here) on the calls games make: sin,
// cos and tan of angles converted from degrees, atan2 and pow, 4096 ordinary
// arguments per pass. Repetitions interleaved; prints the medians per call
// and the ratio musl / system.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "lang/portable_maths.h"
#include "median_reporter.h"

namespace {

constexpr int kCount = 4096;

struct Arguments {
    std::vector<double> angle, x, y, base, exponent;
    Arguments() {
        std::mt19937_64 random(22);
        std::uniform_real_distribution<double> degrees(-720, 720), unit(-100, 100), positive(0.01, 50),
            power(-8, 8);
        for (int i = 0; i < kCount; ++i) {
            angle.push_back(degrees(random) / 57.2957795);
            x.push_back(unit(random));
            y.push_back(unit(random));
            base.push_back(positive(random));
            exponent.push_back(power(random));
        }
    }
};
const Arguments args;

template <class F>
void Run(benchmark::State& state, F f) {
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < kCount; ++i) sum += f(i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

#define PAIR(name, musl, system)                                                        \
    void name##_musl(benchmark::State& s) { Run(s, [](int i) { return musl; }); }     \
    void name##_system(benchmark::State& s) { Run(s, [](int i) { return system; }); } \
    BENCHMARK(name##_musl)->Repetitions(7);                                           \
    BENCHMARK(name##_system)->Repetitions(7);

PAIR(Sin, maths::sin(args.angle[i]), std::sin(args.angle[i]))
PAIR(Cos, maths::cos(args.angle[i]), std::cos(args.angle[i]))
PAIR(Tan, maths::tan(args.angle[i]), std::tan(args.angle[i]))
PAIR(Atan2, maths::atan2(args.y[i], args.x[i]), std::atan2(args.y[i], args.x[i]))
PAIR(Pow, maths::pow(args.base[i], args.exponent[i]), std::pow(args.base[i], args.exponent[i]))

}  // namespace

int main(int argc, char** argv) {
    InitializeInterleaved(argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* name : {"Sin", "Cos", "Tan", "Atan2", "Pow"}) {
        double musl = reporter.medians[std::string(name) + "_musl"];
        double system = reporter.medians[std::string(name) + "_system"];
        if (musl > 0 && system > 0)
            std::printf("%-6s median per call: musl %.1f ns, system %.1f ns, ratio %.2f\n", name,
                        musl / kCount, system / kCount, musl / system);
    }
    benchmark::Shutdown();
    return 0;
}
