// Mixing 32 sound effects at once into the 22050 Hz stereo output: CPU time
// per second of audio (medians of 9 interleaved repetitions, then ratios).
// - Brindle's voice mixer (the Linux sound output), each voice with its own
//   volume and pan, from 22050 Hz stereo sounds and from 44100 Hz mono sounds
//   converted while mixing;
// - SDL2_mixer mixing the same 32 sounds on 32 channels (which it converts
//   to the output format when they are loaded), with per-channel volume, and
//   with volume and panning. It mixes in SDL's audio thread (the disk driver
//   writing to /dev/null without pauses); the time from the start of its
//   mixing callback (the music hook) to its end (the post-mix hook) is
//   counted on that thread's CPU clock.
#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "median_reporter.h"
#include "platform/sdl/sdl_voice_mixer.h"

namespace {

constexpr int kVoices = 32;
constexpr int kOutputRate = 22050;
constexpr int kChunkFrames = 1024;  // what the device asks for at a time

double ThreadCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// One second of a different sound per voice: a few partials and some noise.
std::vector<int16_t> Sound(int voice, int rate, int channels) {
    std::vector<int16_t> s(static_cast<size_t>(rate) * channels);
    uint32_t seed = 977u * (voice + 1);
    for (int i = 0; i < rate; ++i) {
        const double t = static_cast<double>(i) / rate;
        for (int c = 0; c < channels; ++c) {
            seed = seed * 1103515245u + 12345u;
            const double v = 0.3 * std::sin(2 * M_PI * (200 + 37 * voice + 5 * c) * t) +
                             0.1 * std::sin(2 * M_PI * (1500 + 11 * voice) * t) + 0.05 * ((seed >> 16) / 32768.0 - 1);
            s[static_cast<size_t>(i) * channels + c] = static_cast<int16_t>(v * 32767);
        }
    }
    return s;
}

// Volumes from 0 to -31 dB and pans across the field, as a game scene has.
int32_t VolumeOf(int voice) { return -100 * voice; }
int32_t PanOf(int voice) { return (voice % 9 - 4) * 1500; }

void BrindleVoices(benchmark::State& state, int rate, int channels) {
    auto mixer = std::make_shared<platform::sdl::VoiceMixer>(kOutputRate);
    std::vector<std::unique_ptr<platform::sdl::MixerVoice>> voices;
    for (int v = 0; v < kVoices; ++v) {
        auto b = std::make_unique<platform::sdl::MixerVoice>();
        std::vector<int16_t> s = Sound(v, rate, channels);
        b->mixer = mixer;
        b->data = std::make_shared<std::vector<uint8_t>>(reinterpret_cast<uint8_t*>(s.data()),
                                                         reinterpret_cast<uint8_t*>(s.data() + s.size()));
        const uint16_t align = static_cast<uint16_t>(2 * channels);
        b->format = {static_cast<uint16_t>(channels), static_cast<uint32_t>(rate),
                     static_cast<uint32_t>(rate * align), align, 16};
        b->frames = static_cast<uint32_t>(rate);
        b->step = (static_cast<uint64_t>(rate) << 32) / kOutputRate;
        b->playing = b->looping = true;
        b->volume = VolumeOf(v);
        b->pan = PanOf(v);
        platform::sdl::VoiceMixer::UpdateGains(*b);
        mixer->Add(b.get());
        voices.push_back(std::move(b));
    }
    std::vector<int16_t> stream(2 * kChunkFrames);
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        for (int done = 0; done < kOutputRate; done += kChunkFrames) {
            std::fill(stream.begin(), stream.end(), 0);  // as SDL2_mixer clears before mixing
            mixer->MixInto(stream.data(), kChunkFrames);
            benchmark::DoNotOptimize(stream.data());
        }
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
    for (auto& b : voices) mixer->Remove(b.get());
}

void Brindle32Voices(benchmark::State& state) { BrindleVoices(state, kOutputRate, 2); }
void Brindle32VoicesConverting(benchmark::State& state) { BrindleVoices(state, 44100, 1); }

// SDL2_mixer's mixing time, measured inside its callback.
std::atomic<double> mixStart{0};
std::atomic<double> mixSeconds{0};
std::atomic<long> mixedFrames{0};
void StartOfMix(void*, Uint8*, int) { mixStart = ThreadCpuSeconds(); }
void EndOfMix(void*, Uint8*, int length) {
    mixSeconds = mixSeconds + (ThreadCpuSeconds() - mixStart);
    mixedFrames += length / 4;
}

void SdlMixer(benchmark::State& state, bool panning) {
    std::vector<std::vector<int16_t>> sounds;
    for (int v = 0; v < kVoices; ++v) sounds.push_back(Sound(v, kOutputRate, 2));
    for (auto _ : state) {
        if (Mix_OpenAudioDevice(kOutputRate, AUDIO_S16SYS, 2, kChunkFrames, nullptr, 0) != 0) {
            state.SkipWithError(Mix_GetError());
            break;
        }
        Mix_AllocateChannels(kVoices);
        std::vector<Mix_Chunk*> chunks;
        Mix_Pause(-1);
        for (int v = 0; v < kVoices; ++v) {
            Mix_Chunk* c = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(sounds[v].data()),
                                             static_cast<Uint32>(sounds[v].size() * 2));
            chunks.push_back(c);
            Mix_PlayChannel(v, c, -1);
            Mix_Volume(v, static_cast<int>(std::lround(128 * std::pow(10.0, VolumeOf(v) / 2000.0))));
            if (panning) {
                const int p = PanOf(v);
                const int left = p > 0 ? static_cast<int>(255 * std::pow(10.0, -p / 2000.0)) : 255;
                const int right = p < 0 ? static_cast<int>(255 * std::pow(10.0, p / 2000.0)) : 255;
                Mix_SetPanning(v, static_cast<Uint8>(left), static_cast<Uint8>(right));
            }
        }
        mixSeconds = 0;
        mixedFrames = 0;
        Mix_HookMusic(StartOfMix, nullptr);
        Mix_SetPostMix(EndOfMix, nullptr);
        Mix_Resume(-1);
        while (mixedFrames < kOutputRate) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Mix_SetPostMix(nullptr, nullptr);
        Mix_HookMusic(nullptr, nullptr);
        // Per second of audio, from the whole chunks counted.
        state.SetIterationTime(mixSeconds.load() * kOutputRate / static_cast<double>(mixedFrames.load()));
        Mix_HaltChannel(-1);
        for (Mix_Chunk* c : chunks) Mix_FreeChunk(c);
        Mix_CloseAudio();
    }
}

void SdlMixer32Channels(benchmark::State& state) { SdlMixer(state, false); }
void SdlMixer32ChannelsPanned(benchmark::State& state) { SdlMixer(state, true); }

BENCHMARK(Brindle32Voices)->UseManualTime()->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(Brindle32VoicesConverting)->UseManualTime()->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(SdlMixer32Channels)->UseManualTime()->Repetitions(9)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(SdlMixer32ChannelsPanned)->UseManualTime()->Repetitions(9)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // SDL2_mixer's device: the disk driver into /dev/null, as fast as it mixes.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0) return 1;
    InitializeInterleaved(argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& m = reporter.medians;
    const double ours = m["Brindle32Voices"], converting = m["Brindle32VoicesConverting"];
    const double sdl = m["SdlMixer32Channels"], panned = m["SdlMixer32ChannelsPanned"];
    if (ours > 0 && sdl > 0 && panned > 0) {
        std::printf("32 voices, CPU ms per second of audio (medians): Brindle %.3f (converting 44100 Hz mono %.3f), "
                    "SDL2_mixer %.3f (with panning %.3f)\n",
                    ours, converting, sdl, panned);
        std::printf("  Brindle / SDL2_mixer = %.2f, / SDL2_mixer with panning = %.2f (goal: at most 1.0)\n",
                    ours / sdl, ours / panned);
        std::printf("  Brindle converting / SDL2_mixer = %.2f\n", converting / sdl);
    }
    benchmark::Shutdown();
    SDL_Quit();
    return 0;
}
