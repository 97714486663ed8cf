// WAV files from untrusted bytes: the chunk walk, and the Linux mixer playing
// what the walk accepted (cursors, interpolation, ends and looping at every
// format and rate), so that no accepted layout can make it read outside the
// sample data.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/sdl/sdl_voice_mixer.h"
#include "sound/wav_reader.h"

// The runtime's maths library is not part of this build: the C library's
// pow stands in for it.
extern "C" double musl_pow(double x, double y) { return __builtin_pow(x, y); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WaveLayout w;
    if (ParseWave(data, size, w) != WaveStatus::kOk) return 0;
    if (w.dataOffset + w.dataBytes > size || w.channels < 1 || w.channels > 2) __builtin_trap();
    if (w.dataBytes < w.blockAlign || w.samplesPerSecond < platform::kMinSampleRate ||
        w.samplesPerSecond > platform::kMaxSampleRate)
        return 0;  // the buffer would not be made

    // The first byte of the samples also picks the play settings.
    const uint8_t knobs = data[w.dataOffset];
    auto mixer = std::make_shared<platform::sdl::VoiceMixer>(22050);
    platform::sdl::MixerVoice v;
    v.mixer = mixer;
    v.data = std::make_shared<std::vector<uint8_t>>(data + w.dataOffset, data + w.dataOffset + w.dataBytes);
    v.format = {w.channels, w.samplesPerSecond, w.blockAlign * w.samplesPerSecond, w.blockAlign, w.bitsPerSample};
    v.frames = w.dataBytes / w.blockAlign;
    v.step = (static_cast<uint64_t>(w.samplesPerSecond) << 32) / 22050;
    v.playing = true;
    v.looping = knobs & 1;
    v.position = static_cast<uint64_t>(knobs % v.frames) << 32;
    v.volume = -(knobs * 40);
    v.pan = (knobs & 2) ? -(knobs * 39) : knobs * 39;
    platform::sdl::VoiceMixer::UpdateGains(v);
    mixer->Add(&v);
    int16_t stream[2 * 700] = {};
    mixer->MixInto(stream, 700);
    mixer->MixInto(stream, 333);
    mixer->Remove(&v);
    return 0;
}
