#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace platform::sdl {

namespace {
// The device is opened off the main thread at start-up (the sound effects)
// while music or a video may ask for it on the main thread: one at a time,
// and SDL's subsystem counts change under this lock only.
std::mutex deviceLock;
int users = 0;
// About 46 ms per chunk: short enough for effects, long enough for a busy machine.
constexpr int kChunkFrames = 1024;

struct MixSources {
    std::mutex lock;  // held by the audio thread while it mixes
    std::vector<MixSource*> list;
};
// Never destroyed: a process that exits with the device open still has the
// audio thread mixing while static objects are destroyed.
MixSources& Sources() {
    static MixSources* sources = new MixSources;
    return *sources;
}

void MixAll(void*, Uint8* stream, int length) {
    MixSources& sources = Sources();
    std::lock_guard<std::mutex> guard(sources.lock);
    for (MixSource* s : sources.list) s->MixInto(reinterpret_cast<int16_t*>(stream), length / (2 * kAudioChannels));
}
}  // namespace

bool AcquireAudioDevice() {
    std::lock_guard<std::mutex> guard(deviceLock);
    if (users > 0) {
        ++users;
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    // No format changes allowed: the mixers rely on exactly this format.
    if (Mix_OpenAudioDevice(kAudioRate, AUDIO_S16SYS, kAudioChannels, kChunkFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_SetPostMix(MixAll, nullptr);
    ++users;
    return true;
}

void ReleaseAudioDevice() {
    std::lock_guard<std::mutex> guard(deviceLock);
    if (users <= 0 || --users > 0) return;
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AddMixSource(MixSource* source) {
    MixSources& sources = Sources();
    std::lock_guard<std::mutex> guard(sources.lock);
    sources.list.push_back(source);
}

void RemoveMixSource(MixSource* source) {
    MixSources& sources = Sources();
    std::lock_guard<std::mutex> guard(sources.lock);
    sources.list.erase(std::remove(sources.list.begin(), sources.list.end(), source), sources.list.end());
}

}  // namespace platform::sdl
