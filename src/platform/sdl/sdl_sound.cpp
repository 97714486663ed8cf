// Sound output on Linux: the voice mixer in the shared SDL audio device,
// with DirectSound's buffer rules (sizes, formats, controls, cursors and
// result codes), so that the portable slot and voice model behaves the same.
#include <SDL.h>

#include <new>

#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_voice_mixer.h"
#include "platform/sound_output.h"

namespace platform {

namespace {

// The device of the seam: the mixer that its voices share.
struct MixerOutput {
    std::shared_ptr<sdl::VoiceMixer> mixer;
};
MixerOutput* Output(SoundOutput o) { return reinterpret_cast<MixerOutput*>(o); }
using sdl::MixerVoice;
using sdl::Voice;

constexpr uint64_t kOne = uint64_t(1) << 32;
// Software-mixed capabilities: mono and stereo, 8 and 16 bits, any rate.
constexpr uint32_t kCapsFlags = 0xF1F;

bool ValidPcm(const PcmFormat& f) {
    return (f.channels == 1 || f.channels == 2) && (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
           f.blockAlign == f.channels * f.bitsPerSample / 8 && f.samplesPerSecond >= kMinSampleRate &&
           f.samplesPerSecond <= kMaxSampleRate &&
           f.averageBytesPerSecond == f.samplesPerSecond * f.blockAlign;
}

using Guard = std::lock_guard<std::mutex>;

}  // namespace

SoundResult CreateSoundOutput(SoundOutput& output) {
    output = nullptr;
    if (!sdl::AcquireAudioDevice()) return kSoundNoDriver;
    auto* o = new MixerOutput{std::make_shared<sdl::VoiceMixer>(sdl::kAudioRate)};
    sdl::AddMixSource(o->mixer.get());
    output = reinterpret_cast<SoundOutput>(o);
    return kSoundOk;
}

void EndSoundThread() { SDL_TLSCleanup(); }

SoundResult SetSoundCooperation(SoundOutput, NativeWindow) { return kSoundOk; }

// The device mixes at one format, opened with it; that is the format the
// runtime sets.
SoundResult SetPrimaryFormat(SoundOutput, const PcmFormat& f) {
    return f.channels == sdl::kAudioChannels && f.samplesPerSecond == sdl::kAudioRate && f.bitsPerSample == 16 &&
                   ValidPcm(f)
               ? kSoundOk
               : kSoundInvalidParam;
}

SoundResult ReadSoundCaps(SoundOutput, SoundCaps& caps) {
    if (caps.size != sizeof caps) return kSoundInvalidParam;
    caps = {};
    caps.size = sizeof caps;
    caps.flags = kCapsFlags;
    caps.minSecondarySampleRate = kMinSampleRate;
    caps.maxSecondarySampleRate = kMaxSampleRate;
    caps.other[0] = 1;  // primary buffers
    return kSoundOk;
}

void ReleaseSoundOutput(SoundOutput output) {
    sdl::RemoveMixSource(Output(output)->mixer.get());  // no mixing runs any more
    sdl::ReleaseAudioDevice();
    delete Output(output);  // voices still held keep the (silent) mixer alive
}

SoundResult CreateSoundBuffer(SoundOutput output, uint32_t flags, uint32_t bytes, const PcmFormat& format,
                              SoundBuffer& buffer) {
    buffer = nullptr;
    if ((flags & kBufferPrimary) || bytes < kBufferMinBytes || bytes > kBufferMaxBytes || !ValidPcm(format))
        return kSoundInvalidParam;
    auto* v = new (std::nothrow) MixerVoice;
    if (!v) return kSoundOutOfMemory;
    try {
        v->data = std::make_shared<std::vector<uint8_t>>(bytes, format.bitsPerSample == 8 ? 0x80 : 0);
    } catch (const std::bad_alloc&) {
        delete v;
        return kSoundOutOfMemory;
    }
    v->mixer = Output(output)->mixer;
    v->format = format;
    v->flags = flags;
    v->frames = bytes / format.blockAlign;
    v->step = (static_cast<uint64_t>(format.samplesPerSecond) << 32) / static_cast<uint64_t>(sdl::kAudioRate);
    if (v->frames == 0) {
        delete v;
        return kSoundInvalidParam;
    }
    Guard g(v->mixer->lock);
    v->mixer->Add(v);
    buffer = sdl::Handle(v);
    return kSoundOk;
}

SoundResult DuplicateSoundBuffer(SoundOutput output, SoundBuffer originalHandle, SoundBuffer& copy) {
    copy = nullptr;
    if (!originalHandle) return kSoundInvalidParam;
    auto* v = new (std::nothrow) MixerVoice;
    if (!v) return kSoundOutOfMemory;
    const MixerVoice* original = Voice(originalHandle);
    Guard g(Output(output)->mixer->lock);
    v->mixer = Output(output)->mixer;
    v->data = original->data;
    v->format = original->format;
    v->flags = original->flags;
    v->frames = original->frames;
    v->step = original->step;
    v->volume = original->volume;
    v->pan = original->pan;
    sdl::VoiceMixer::UpdateGains(*v);
    v->mixer->Add(v);
    copy = sdl::Handle(v);
    return kSoundOk;
}

void ReleaseSoundBuffer(SoundBuffer handle) {
    MixerVoice* buffer = Voice(handle);
    {
        Guard g(buffer->mixer->lock);
        buffer->mixer->Remove(buffer);
    }
    delete buffer;
}

namespace {
uint32_t PlayCursor(const MixerVoice& v) {
    return static_cast<uint32_t>(v.position >> 32) * v.format.blockAlign;
}
// The write cursor runs 10 ms ahead of a playing buffer's play cursor.
uint32_t WriteCursor(const MixerVoice& v) {
    uint32_t play = PlayCursor(v);
    if (!v.playing) return play;
    const uint32_t size = v.frames * v.format.blockAlign;
    const uint32_t ahead = (v.format.samplesPerSecond / 100) * v.format.blockAlign;
    return static_cast<uint32_t>((static_cast<uint64_t>(play) + ahead) % size);
}
}  // namespace

SoundResult LockSoundBuffer(SoundBuffer handle, uint32_t bytes, void*& part1, uint32_t& size1, void*& part2,
                            uint32_t& size2) {
    MixerVoice* buffer = Voice(handle);
    Guard g(buffer->mixer->lock);
    part1 = part2 = nullptr;
    size1 = size2 = 0;
    const uint32_t size = static_cast<uint32_t>(buffer->data->size());
    if (bytes == 0 || bytes > size) return kSoundInvalidParam;
    const uint32_t start = WriteCursor(*buffer);
    part1 = buffer->data->data() + start;
    size1 = bytes < size - start ? bytes : size - start;
    if (size1 < bytes) {
        part2 = buffer->data->data();
        size2 = bytes - size1;
    }
    return kSoundOk;
}

SoundResult UnlockSoundBuffer(SoundBuffer, void*, uint32_t, void*, uint32_t) { return kSoundOk; }

SoundResult GetSoundBufferStatus(SoundBuffer handle, uint32_t& status) {
    MixerVoice* buffer = Voice(handle);
    Guard g(buffer->mixer->lock);
    status = buffer->playing ? kStatusPlaying | (buffer->looping ? kStatusLooping : 0) : 0;
    return kSoundOk;
}

SoundResult PlaySoundBuffer(SoundBuffer handle, uint32_t flags) {
    MixerVoice* buffer = Voice(handle);
    Guard g(buffer->mixer->lock);
    buffer->playing = true;
    buffer->looping = (flags & kPlayLooping) != 0;
    return kSoundOk;
}

SoundResult StopSoundBuffer(SoundBuffer handle) {
    MixerVoice* buffer = Voice(handle);
    Guard g(buffer->mixer->lock);
    buffer->playing = false;
    return kSoundOk;
}

SoundResult SetSoundBufferPosition(SoundBuffer handle, uint32_t position) {
    MixerVoice* buffer = Voice(handle);
    Guard g(buffer->mixer->lock);
    if (position >= buffer->data->size()) return kSoundInvalidParam;
    buffer->position = static_cast<uint64_t>(position / buffer->format.blockAlign) * kOne;
    return kSoundOk;
}

SoundResult GetSoundBufferPosition(SoundBuffer handle, uint32_t& play, uint32_t& write) {
    MixerVoice* buffer = Voice(handle);
    Guard g(buffer->mixer->lock);
    play = PlayCursor(*buffer);
    write = WriteCursor(*buffer);
    return kSoundOk;
}

SoundResult RestoreSoundBuffer(SoundBuffer) { return kSoundOk; }  // memory is never lost here

SoundResult SetSoundBufferVolume(SoundBuffer handle, int32_t volume) {
    MixerVoice* buffer = Voice(handle);
    if (!(buffer->flags & kBufferVolumeControl)) return kSoundControlUnavailable;
    if (volume < kVolumeMin || volume > kVolumeMax) return kSoundInvalidParam;
    Guard g(buffer->mixer->lock);
    buffer->volume = volume;
    sdl::VoiceMixer::UpdateGains(*buffer);
    return kSoundOk;
}

SoundResult SetSoundBufferPan(SoundBuffer handle, int32_t pan) {
    MixerVoice* buffer = Voice(handle);
    if (!(buffer->flags & kBufferPanControl)) return kSoundControlUnavailable;
    if (pan < kPanLeft || pan > kPanRight) return kSoundInvalidParam;
    Guard g(buffer->mixer->lock);
    buffer->pan = pan;
    sdl::VoiceMixer::UpdateGains(*buffer);
    return kSoundOk;
}

}  // namespace platform
