// Playing a 640 x 480, 30 fps AVI (MPEG-4 pictures, PCM sound, 4 s; made
// by FFmpeg's tool) on Linux: the CPU time the whole process spends per
// second of video, and the pictures passed over because they came late
// (dropped frames), beside FFmpeg's own tools on the same file:
// - PlayVideoOnce in the runtime's 640 x 480 window (decoding, conversion,
//   drawing into the video window, the sound mixed into the audio device);
// - ffplay playing it in a 640 x 480 window of its own (its process time);
// - ffmpeg decoding it and converting the pictures to RGBA, into its null
//   output as fast as it can (the decoding floor).
// The X server's share of drawing is in neither figure. Medians of
// interleaved repetitions, then their ratios.
#include <benchmark/benchmark.h>
#include <brindle.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/startup.h"
#include "bench_runtime.h"
#include "median_reporter.h"
#include "platform/sdl/sdl_media.h"

extern char** environ;

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Brindle bench"};
void GameMain() {}

namespace {

const char* const kFile = "bench_video640.avi";
constexpr double kSeconds = 4;

double Seconds(const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; }

double ProcessCpuSeconds() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return Seconds(u.ru_utime) + Seconds(u.ru_stime);
}

// Runs a command and returns its CPU seconds (user and system), or -1.
double ChildCpuSeconds(std::vector<const char*> argv) {
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char* const*>(argv.data()), environ) != 0) return -1;
    int status = 0;
    rusage u;
    if (wait4(pid, &status, 0, &u) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return Seconds(u.ru_utime) + Seconds(u.ru_stime);
}

void Start() {
    if (!StartRuntimeOnce()) return;
    char command[512];
    std::snprintf(command, sizeof command,
                  "ffmpeg -v error -y -f lavfi -i testsrc2=s=640x480:r=30:d=%g -f lavfi -i "
                  "sine=frequency=440:duration=%g:sample_rate=22050 -c:v mpeg4 -q:v 4 -c:a pcm_s16le -ac 2 %s",
                  kSeconds, kSeconds, kFile);
    if (std::system(command) != 0) std::fprintf(stderr, "could not make %s\n", kFile);
}

void BM_BrindlePlayVideoOnce(benchmark::State& state) {
    Start();
    double dropped = 0, shown = 0;
    for (auto _ : state) {
        const double before = ProcessCpuSeconds();
        PlayVideoOnce(kFile);
        state.SetIterationTime((ProcessCpuSeconds() - before) / kSeconds);
        const platform::sdl::VideoStatistics s = platform::sdl::LastVideoStatistics();
        dropped += s.passedOver;
        shown += s.shown;
    }
    if (shown < kSeconds * 30 / 2) state.SkipWithError("the video did not play");
    state.counters["dropped"] = dropped / state.iterations();
    state.counters["shown"] = shown / state.iterations();
}

void BM_Ffplay(benchmark::State& state) {
    Start();
    for (auto _ : state) {
        const double cpu = ChildCpuSeconds({"ffplay", "-v", "error", "-autoexit", "-x", "640", "-y", "480", kFile});
        if (cpu < 0) state.SkipWithError("ffplay failed");
        state.SetIterationTime(cpu / kSeconds);
    }
}

void BM_FfmpegDecodeToNull(benchmark::State& state) {
    Start();
    for (auto _ : state) {
        const double cpu =
            ChildCpuSeconds({"ffmpeg", "-v", "error", "-i", kFile, "-pix_fmt", "rgba", "-f", "null", "-"});
        if (cpu < 0) state.SkipWithError("ffmpeg failed");
        state.SetIterationTime(cpu / kSeconds);
    }
}

// Manual time: CPU seconds per second of video.
BENCHMARK(BM_BrindlePlayVideoOnce)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ffplay)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FfmpegDecodeToNull)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The sound goes to a real device that keeps real time unless told
    // otherwise; ffplay inherits it.
    setenv("SDL_AUDIODRIVER", "disk", 0);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
    InitializeInterleaved(argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& m = reporter.medians;  // milliseconds of CPU per second of video
    const double ours = m["BM_BrindlePlayVideoOnce"], ffplay = m["BM_Ffplay"], decode = m["BM_FfmpegDecodeToNull"];
    if (ours > 0 && ffplay > 0 && decode > 0) {
        std::printf("640 x 480 at 30 fps, CPU share per second of video (medians): Brindle %.1f %%, ffplay %.1f %%, "
                    "ffmpeg decoding to null %.1f %%\n",
                    ours / 10, ffplay / 10, decode / 10);
        std::printf("  Brindle / ffplay = %.2f, Brindle / ffmpeg decoding = %.2f\n", ours / ffplay, ours / decode);
    }
    benchmark::Shutdown();
    return 0;
}
