#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace platform::sdl {

namespace {
int users = 0;
// About 46 ms per chunk: short enough for effects, long enough for a busy machine.
constexpr int kChunkFrames = 1024;
}  // namespace

bool AcquireAudioDevice() {
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
    ++users;
    return true;
}

void ReleaseAudioDevice() {
    if (users <= 0 || --users > 0) return;
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace platform::sdl
