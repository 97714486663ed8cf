// Frame pacing of ShowFrame on the real window: the mean frame period over
// 120 frames at SetFrameRate(60), (30.9) and (0), and the grid after one
// late frame. Beside it in the same run: a peer pacer that sleeps until
// each deadline of the same grid (std::this_thread::sleep_until) and the
// floor, presenting without any pacing. 5 repetitions; prints the medians
// and their ratios to the target period.
// Run inside an X server with scripts/dismiss-warning beside it (the
// software-rendering warning box waits for the user).
#include <benchmark/benchmark.h>
#include <brindle/core.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <thread>

#include "core/clock.h"
#include "core/frame.h"
#include "core/runtime_state.h"
#include "core/startup.h"
#include "platform/gl.h"
#include "platform/gl_context.h"
#include "platform/system.h"
#include "median_reporter.h"

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Frame pacing"};
void GameMain() {}

namespace {

constexpr int kFrames = 120;

// Mean period in ms of kFrames ShowFrames at the given frame rate.
void RuntimeShowFrame(benchmark::State& state, double fps) {
    SetFrameRate(fps);
    ShowFrame();  // onto the grid
    for (auto _ : state) {
        double t0 = Now();
        for (int i = 0; i < kFrames; ++i) ShowFrame();
        double period = (Now() - t0) / kFrames;
        state.SetIterationTime(period / 1000.0);
    }
    SetFrameRate(60);
}

// The peer: present, then sleep until the next deadline of a fixed grid.
void PeerSleepUntil(benchmark::State& state, double fps) {
    using clock = std::chrono::steady_clock;
    auto period = std::chrono::duration_cast<clock::duration>(
        std::chrono::duration<double, std::milli>(fps > 0 ? 1000.0 / static_cast<int>(fps) : 2.0));
    OpenGLZadederu& r = runtime.renderer;
    for (auto _ : state) {
        auto start = clock::now();
        auto deadline = start + period;
        for (int i = 0; i < kFrames; ++i) {
            glFlush();
            platform::SwapWindowBuffers(r.window);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            std::this_thread::sleep_until(deadline);
            deadline += period;
            while (deadline < clock::now()) deadline += period;
        }
        std::chrono::duration<double> total = clock::now() - start;
        state.SetIterationTime(total.count() / kFrames);
    }
}

// The floor: presenting alone, no pacing.
void FloorPresentOnly(benchmark::State& state) {
    OpenGLZadederu& r = runtime.renderer;
    for (auto _ : state) {
        double t0 = Now();
        for (int i = 0; i < kFrames; ++i) {
            glFlush();
            platform::SwapWindowBuffers(r.window);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }
        state.SetIterationTime((Now() - t0) / kFrames / 1000.0);
    }
}

// One 40 ms frame at 60 fps, then 10 frames: how far each release lies
// after its grid point (the counter), and the mean period of those frames.
void RuntimeAfterLateFrame(benchmark::State& state) {
    SetFrameRate(60);
    OpenGLZadederu& r = runtime.renderer;
    double worst = 0;
    for (auto _ : state) {
        ShowFrame();
        double origin = r.startTime;
        platform::SleepMs(40);
        ShowFrame();  // late: shown at once
        double t0 = Now();
        for (int i = 0; i < 10; ++i) {
            double due = r.startTime;
            ShowFrame();
            double released = Now();
            worst = std::max(worst, released - due);
            double steps = (r.startTime - origin) / r.framePeriod;
            if (std::fabs(steps - std::round(steps)) > 1e-6) state.SkipWithError("left the grid");
        }
        state.SetIterationTime((Now() - t0) / 10 / 1000.0);
    }
    state.counters["worst_release_after_deadline_ms"] = worst;
}

void Register() {
    auto add = [](const char* name, auto fn) {
        benchmark::RegisterBenchmark(name, fn)
            ->UseManualTime()
            ->Iterations(1)
            ->Repetitions(5)
            ->Unit(benchmark::kMillisecond);
    };
    add("ShowFrame/60", [](benchmark::State& s) { RuntimeShowFrame(s, 60); });
    add("Peer/60", [](benchmark::State& s) { PeerSleepUntil(s, 60); });
    add("ShowFrame/30.9", [](benchmark::State& s) { RuntimeShowFrame(s, 30.9); });
    add("Peer/30.9", [](benchmark::State& s) { PeerSleepUntil(s, 30.9); });
    add("ShowFrame/0", [](benchmark::State& s) { RuntimeShowFrame(s, 0); });
    add("Peer/0", [](benchmark::State& s) { PeerSleepUntil(s, 0); });
    add("Floor/present-only", [](benchmark::State& s) { FloorPresentOnly(s); });
    add("ShowFrame/60-after-40ms-frame", [](benchmark::State& s) { RuntimeAfterLateFrame(s); });
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    ApplySettings(gameSettings, "");
    InitRuntime(nullptr, nullptr, "", 10, gameSettings.title);
    Register();
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const struct {
        const char* runtimeName;
        const char* peerName;
        double target;
    } rows[] = {{"ShowFrame/60", "Peer/60", 1000.0 / 60},
                {"ShowFrame/30.9", "Peer/30.9", 1000.0 / 30},
                {"ShowFrame/0", "Peer/0", 2.0},
                {"ShowFrame/60-after-40ms-frame", "Peer/60", 1000.0 / 60}};
    std::printf("\nmedian mean frame period (ms) over %d frames, and ratio to the target:\n", kFrames);
    for (const auto& row : rows) {
        double rt = reporter.medians[row.runtimeName], peer = reporter.medians[row.peerName];
        std::printf("  %-30s target %6.2f  ShowFrame %7.3f (%.3f)  peer %7.3f (%.3f)\n",
                    row.runtimeName, row.target, rt, rt / row.target, peer, peer / row.target);
    }
    std::printf("  floor, presenting alone: %.3f ms per frame\n",
                reporter.medians["Floor/present-only"]);
    benchmark::Shutdown();
    return 0;
}
