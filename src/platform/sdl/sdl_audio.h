// The program's one audio device on Linux, shared by the sound effects, the
// music and the sound of videos: SDL2_mixer's device at the sound effects'
// mixing format (22050 Hz, 16-bit signed, stereo), which SDL converts to
// whatever the driver wants. SDL2_mixer mixes the music into each chunk;
// the mix sources (the effects mixer, playing videos) add theirs after it.
#pragma once
#include <cstdint>

namespace platform::sdl {

constexpr int kAudioRate = 22050;
constexpr int kAudioChannels = 2;

// Opens the device on the first call (counted); false when there is none.
// Any thread; a call while another opens the device waits for it.
bool AcquireAudioDevice();
// Closes it after the last user has released it (any thread).
void ReleaseAudioDevice();

// Adds its sound to each chunk, on the audio thread.
class MixSource {
public:
    // `stream` holds `frames` interleaved stereo frames; add, saturating.
    virtual void MixInto(int16_t* stream, int frames) = 0;

protected:
    ~MixSource() = default;
};
// Once RemoveMixSource returns, the source is not called any more.
void AddMixSource(MixSource* source);
void RemoveMixSource(MixSource* source);

}  // namespace platform::sdl
