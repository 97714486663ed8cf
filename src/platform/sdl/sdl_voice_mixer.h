// The sound effects mixer of the Linux backend: what DirectSound's software
// mixer does for static secondary buffers. Each voice (a sound buffer) plays
// PCM data (8/16-bit, mono/stereo, any rate from 100 to 200000 Hz) into the
// 22050 Hz stereo output with a volume and a pan in hundredths of a decibel:
// volume attenuates both channels, a positive pan the left one and a negative
// pan the right one; -10000 and below is silence. Rates other than the
// output's are converted by linear interpolation.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sdl/sdl_audio.h"
#include "platform/sound_output.h"

namespace platform::sdl {

class VoiceMixer;

// A voice (a sound buffer of the seam): its data (shared with its
// duplicates), cursor and levels.
struct MixerVoice {
    std::shared_ptr<VoiceMixer> mixer;
    std::shared_ptr<std::vector<uint8_t>> data;
    PcmFormat format{};
    uint32_t flags = 0;
    uint32_t frames = 0;  // whole frames in data
    uint64_t step = 0;    // source frames per output frame, 32.32 fixed point
    // Guarded by the mixer's lock: the audio thread reads and advances them.
    bool playing = false;
    bool looping = false;
    uint64_t position = 0;  // source frame, 32.32 fixed point
    int32_t volume = 0;
    int32_t pan = 0;
    float gainLeft = 1, gainRight = 1;
};

// The seam's handle of a voice.
inline MixerVoice* Voice(SoundBuffer buffer) { return reinterpret_cast<MixerVoice*>(buffer); }
inline SoundBuffer Handle(MixerVoice* voice) { return reinterpret_cast<SoundBuffer>(voice); }

// The linear gain of an attenuation in hundredths of a decibel (<= 0);
// -10000 and below give exactly 0.
float GainOf(int32_t hundredthsOfDecibel);

class VoiceMixer final : public MixSource {
public:
    explicit VoiceMixer(int outputRate) : outputRate_(outputRate) {}
    int outputRate() const { return outputRate_; }

    std::mutex lock;  // guards the voice list and every voice's play state

    // Under the lock.
    void Add(MixerVoice* voice);
    void Remove(MixerVoice* voice);
    static void UpdateGains(MixerVoice& voice);

    // Adds the playing voices' next `frames` frames to the interleaved
    // stereo stream, saturating. Takes the lock itself.
    void MixInto(int16_t* stream, int frames) override;

private:
    void MixVoice(MixerVoice& voice, float* out, int frames);
    int outputRate_;
    std::vector<MixerVoice*> voices_;
    std::vector<float> accumulator_;
};

}  // namespace platform::sdl
