#include "platform/sdl/sdl_voice_mixer.h"

// The shared maths library (musl's sources), as everywhere in the runtime.
#include "platform/musl_maths.h"

#include <algorithm>
#include <cstring>

namespace platform::sdl {

namespace {

constexpr uint64_t kOne = uint64_t(1) << 32;
constexpr float kFraction = 1.0f / 4294967296.0f;
constexpr int kBlockFrames = 256;

// One source sample as a 16-bit-scaled float; 8-bit data is unsigned.
template <int Bits>
inline float Sample(const uint8_t* p) {
    if constexpr (Bits == 8) {
        return static_cast<float>((static_cast<int>(p[0]) - 128) * 256);
    } else {
        return static_cast<float>(static_cast<int16_t>(p[0] | p[1] << 8));
    }
}

// Frames at the output rate: the source frames one after another.
template <int Channels, int Bits>
void MixDirect(const uint8_t* src, float gl, float gr, float* out, int n) {
    constexpr int bytes = Bits / 8;
    for (int i = 0; i < n; ++i) {
        const uint8_t* f = src + i * Channels * bytes;
        const float l = Sample<Bits>(f);
        const float r = Channels == 2 ? Sample<Bits>(f + bytes) : l;
        out[2 * i] += l * gl;
        out[2 * i + 1] += r * gr;
    }
}

// Other rates: linear interpolation between the frame at the cursor and the
// next one (`last` stands in for the frame after the final one).
template <int Channels, int Bits>
void MixResampled(const uint8_t* data, uint32_t frames, uint32_t next0, uint64_t& pos, uint64_t step,
                  float gl, float gr, float* out, int n) {
    constexpr int frameBytes = Channels * Bits / 8;
    for (int i = 0; i < n; ++i) {
        const uint32_t a = static_cast<uint32_t>(pos >> 32);
        const uint32_t b = a + 1 < frames ? a + 1 : next0;
        const float t = static_cast<float>(static_cast<uint32_t>(pos)) * kFraction;
        const uint8_t* fa = data + static_cast<size_t>(a) * frameBytes;
        const uint8_t* fb = data + static_cast<size_t>(b) * frameBytes;
        float l = Sample<Bits>(fa), l2 = Sample<Bits>(fb);
        l += (l2 - l) * t;
        float r = l;
        if constexpr (Channels == 2) {
            r = Sample<Bits>(fa + Bits / 8);
            r += (Sample<Bits>(fb + Bits / 8) - r) * t;
        }
        out[2 * i] += l * gl;
        out[2 * i + 1] += r * gr;
        pos += step;
    }
}

using DirectKernel = void (*)(const uint8_t*, float, float, float*, int);
using ResampleKernel = void (*)(const uint8_t*, uint32_t, uint32_t, uint64_t&, uint64_t, float, float, float*,
                                int);

DirectKernel DirectFor(const PcmFormat& f) {
    if (f.bitsPerSample == 8) return f.channels == 2 ? MixDirect<2, 8> : MixDirect<1, 8>;
    return f.channels == 2 ? MixDirect<2, 16> : MixDirect<1, 16>;
}
ResampleKernel ResampleFor(const PcmFormat& f) {
    if (f.bitsPerSample == 8) return f.channels == 2 ? MixResampled<2, 8> : MixResampled<1, 8>;
    return f.channels == 2 ? MixResampled<2, 16> : MixResampled<1, 16>;
}

}  // namespace

float GainOf(int32_t level) {
    if (level <= kVolumeMin) return 0.0f;
    if (level >= 0) return 1.0f;
    return static_cast<float>(musl_pow(10.0, level / 2000.0));
}

void VoiceMixer::Add(MixerVoice* voice) { voices_.push_back(voice); }

void VoiceMixer::Remove(MixerVoice* voice) {
    voices_.erase(std::remove(voices_.begin(), voices_.end(), voice), voices_.end());
}

void VoiceMixer::UpdateGains(MixerVoice& v) {
    // The pan attenuates the channel on the other side only.
    v.gainLeft = GainOf(v.volume - (v.pan > 0 ? v.pan : 0));
    v.gainRight = GainOf(v.volume - (v.pan < 0 ? -v.pan : 0));
}

void VoiceMixer::MixVoice(MixerVoice& v, float* out, int frames) {
    const uint8_t* data = v.data->data();
    const int frameBytes = v.format.blockAlign;
    // A silent voice still moves on, and ends, in time.
    const bool audible = v.gainLeft != 0 || v.gainRight != 0;
    const uint64_t end = static_cast<uint64_t>(v.frames) << 32;
    int done = 0;
    while (done < frames && v.playing) {
        if (v.position >= end) {
            // Played once: stopped, and the cursor back at the start.
            if (!v.looping) {
                v.playing = false;
                v.position = 0;
                break;
            }
            v.position %= end;
        }
        // Output frames until the cursor passes the last source frame.
        const uint64_t left = (end - v.position + v.step - 1) / v.step;
        const int n = static_cast<int>(std::min<uint64_t>(left, static_cast<uint64_t>(frames - done)));
        if (!audible) {
            v.position += v.step * static_cast<uint64_t>(n);
        } else if (v.step == kOne && static_cast<uint32_t>(v.position) == 0) {
            DirectFor(v.format)(data + (v.position >> 32) * frameBytes, v.gainLeft, v.gainRight, out + 2 * done, n);
            v.position += static_cast<uint64_t>(n) << 32;
        } else {
            const uint32_t next0 = v.looping ? 0 : v.frames - 1;
            ResampleFor(v.format)(data, v.frames, next0, v.position, v.step, v.gainLeft, v.gainRight,
                                  out + 2 * done, n);
        }
        done += n;
    }
}

void VoiceMixer::MixInto(int16_t* stream, int frames) {
    std::lock_guard<std::mutex> guard(lock);
    bool any = false;
    for (MixerVoice* v : voices_) any = any || v->playing;
    if (!any) return;
    accumulator_.resize(static_cast<size_t>(kBlockFrames) * 2);
    for (int start = 0; start < frames; start += kBlockFrames) {
        const int n = std::min(kBlockFrames, frames - start);
        float* acc = accumulator_.data();
        std::fill(acc, acc + 2 * n, 0.0f);
        for (MixerVoice* v : voices_) {
            if (v->playing) MixVoice(*v, acc, n);
        }
        int16_t* s = stream + 2 * start;
        for (int i = 0; i < 2 * n; ++i) {
            float x = static_cast<float>(s[i]) + acc[i];
            x = x < -32768.0f ? -32768.0f : x > 32767.0f ? 32767.0f : x;
            s[i] = static_cast<int16_t>(x < 0 ? x - 0.5f : x + 0.5f);
        }
    }
}

}  // namespace platform::sdl
