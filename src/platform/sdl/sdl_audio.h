// The program's one audio device on Linux, shared by the sound effects, the
// music and the sound of videos: SDL2_mixer's device at the sound effects'
// mixing format (22050 Hz, 16-bit signed, stereo), which SDL converts to
// whatever the driver wants.
#pragma once

namespace platform::sdl {

constexpr int kAudioRate = 22050;
constexpr int kAudioChannels = 2;

// Opens the device on the first call (counted); false when there is none.
bool AcquireAudioDevice();
// Closes it after the last user has released it.
void ReleaseAudioDevice();

}  // namespace platform::sdl
