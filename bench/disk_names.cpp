// Finding a media file on disk by the name a program gives (medians of 9
// interleaved repetitions, then their ratios), in a folder of 300 files:
// - the exact name: ResolveMediaFile beside the floor of the lookup's own
//   open and close of the file by that name (the lookup without the name
//   rule);
// - the name in other letter case with backslashes, which Linux matches
//   part by part against the folders' entries, beside the same floor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "media/file_access.h"
#include "media/media_pack.h"
#include "median_reporter.h"
#include "platform/system.h"

namespace {
namespace fs = std::filesystem;

struct Folder {
    std::string root;  // with trailing '/'
    Folder() {
        root = platform::TempDirectory() + "brindle-bench-names/";
        fs::create_directories(root + "Data/Sprites");
        for (int i = 0; i < 300; ++i) {
            const std::string name = root + "Data/Sprites/sprite" + std::to_string(i) + ".bmp";
            if (std::FILE* f = std::fopen(name.c_str(), "wb")) std::fclose(f);
        }
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};
Folder& TheFolder() {
    static Folder folder;
    return folder;
}

void Lookup(benchmark::State& state, const std::string& name) {
    MediaPack record;  // no pack: a file on disk or nothing
    char resolved[kResolvedNameSize];
    for (auto _ : state) {
        if (!ResolveMediaFile(&record, name.c_str(), resolved)) state.SkipWithError("not found");
        benchmark::DoNotOptimize(resolved);
    }
}

void ResolveExactName(benchmark::State& state) { Lookup(state, TheFolder().root + "Data/Sprites/sprite150.bmp"); }

void ResolveOtherCaseWithBackslashes(benchmark::State& state) {
    Lookup(state, TheFolder().root + "DATA\\SPRITES\\SPRITE150.BMP");
}

void FloorOpenAndClose(benchmark::State& state) {
    const std::string name = TheFolder().root + "Data/Sprites/sprite150.bmp";
    for (auto _ : state) {
        std::FILE* f = OpenExistingForRead(name.c_str());
        if (!f) state.SkipWithError("not found");
        else std::fclose(f);
    }
}

BENCHMARK(ResolveExactName)->Repetitions(9)->Unit(benchmark::kMicrosecond);
BENCHMARK(ResolveOtherCaseWithBackslashes)->Repetitions(9)->Unit(benchmark::kMicrosecond);
BENCHMARK(FloorOpenAndClose)->Repetitions(9)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    InitializeInterleaved(argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& m = reporter.medians;
    const double exact = m["ResolveExactName"], other = m["ResolveOtherCaseWithBackslashes"],
                 floor = m["FloorOpenAndClose"];
    if (exact > 0 && other > 0 && floor > 0) {
        std::printf("medians: exact name %.2f us, other case %.2f us, open+close floor %.2f us\n", exact,
                    other, floor);
        std::printf("  exact / floor = %.2f (goal: at most 1.1), other case / floor = %.2f\n",
                    exact / floor, other / floor);
    }
    benchmark::Shutdown();
    return 0;
}
