// The seam: the sound output device and its sound buffers, in DirectSound's
// terms. On Windows these are DirectSound itself; on Linux an equivalent
// mixer in the SDL audio device with the same formats, volume and pan scales,
// buffer states and cursors. The slot and voice model that uses them is
// portable (sound/sound_slots.cpp).
#pragma once
#include <cstdint>

#include "platform/native_window.h"

namespace platform {

struct SoundOutputObject;  // IDirectSound on Windows; the mixer on Linux
using SoundOutput = SoundOutputObject*;
struct SoundBufferObject;  // IDirectSoundBuffer on Windows; a mixer voice on Linux
using SoundBuffer = SoundBufferObject*;

// Results are DirectSound's: 0 = success, negative = a failure code.
using SoundResult = int32_t;
constexpr SoundResult kSoundOk = 0;
constexpr SoundResult kSoundInvalidParam = static_cast<int32_t>(0x80070057);
constexpr SoundResult kSoundControlUnavailable = static_cast<int32_t>(0x8878001E);
constexpr SoundResult kSoundNoDriver = static_cast<int32_t>(0x88780078);
constexpr SoundResult kSoundOutOfMemory = static_cast<int32_t>(0x8007000E);

// PCM format of a buffer (WAVEFORMATEX without the extra bytes).
struct PcmFormat {
    uint16_t channels;
    uint32_t samplesPerSecond;
    uint32_t averageBytesPerSecond;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
};

// Buffer description flags and play flags (DirectSound's values).
constexpr uint32_t kBufferPrimary = 0x1;
constexpr uint32_t kBufferStatic = 0x2;
constexpr uint32_t kBufferPanControl = 0x40;
constexpr uint32_t kBufferVolumeControl = 0x80;
constexpr uint32_t kBufferCurrentPosition2 = 0x10000;
constexpr uint32_t kPlayLooping = 0x1;

// Buffer status bits.
constexpr uint32_t kStatusPlaying = 0x1;
constexpr uint32_t kStatusBufferLost = 0x2;
constexpr uint32_t kStatusLooping = 0x4;

// Limits of buffers (DirectSound's): sizes, sample rates, volume and pan in
// hundredths of a decibel (volume 0 = full level, -10000 = silent; pan
// attenuates the other channel, -10000 = left only, 10000 = right only).
constexpr uint32_t kBufferMinBytes = 4;
constexpr uint32_t kBufferMaxBytes = 0x0FFFFFFF;
constexpr uint32_t kMinSampleRate = 100;
constexpr uint32_t kMaxSampleRate = 200000;
constexpr int32_t kVolumeMin = -10000;
constexpr int32_t kVolumeMax = 0;
constexpr int32_t kPanLeft = -10000;
constexpr int32_t kPanRight = 10000;

// The device capabilities record (DSCAPS, 96 bytes).
struct SoundCaps {
    uint32_t size;
    uint32_t flags;
    uint32_t minSecondarySampleRate;
    uint32_t maxSecondarySampleRate;
    uint32_t other[20];  // buffer counts, memory and transfer figures
};
static_assert(sizeof(SoundCaps) == 96, "the capabilities record has 96 bytes");

// The default output device; kSoundOk and the device, or a failure code and null.
SoundResult CreateSoundOutput(SoundOutput& output);
// Frees what the sound system keeps for the calling thread (SDL's per-thread
// error text, which it frees only on its own threads); called last by a
// thread that opened the device and then ends. Returns nothing.
void EndSoundThread();
// Cooperation with the window at the priority level (the primary format may be set).
SoundResult SetSoundCooperation(SoundOutput output, NativeWindow window);
// Creates the primary buffer, sets its format and releases it again.
SoundResult SetPrimaryFormat(SoundOutput output, const PcmFormat& format);
// Fills caps (whose size field the caller set).
SoundResult ReadSoundCaps(SoundOutput output, SoundCaps& caps);
void ReleaseSoundOutput(SoundOutput output);

// A secondary buffer of `bytes` bytes in the format, with the flags above.
SoundResult CreateSoundBuffer(SoundOutput output, uint32_t flags, uint32_t bytes, const PcmFormat& format,
                              SoundBuffer& buffer);
// A second buffer playing the same data with its own cursor, volume and pan.
SoundResult DuplicateSoundBuffer(SoundOutput output, SoundBuffer original, SoundBuffer& copy);
void ReleaseSoundBuffer(SoundBuffer buffer);

// Locks `bytes` bytes from the write cursor: one or two regions (the second
// when the lock wraps round the end), written by the caller, then unlocked.
SoundResult LockSoundBuffer(SoundBuffer buffer, uint32_t bytes, void*& part1, uint32_t& size1, void*& part2,
                            uint32_t& size2);
SoundResult UnlockSoundBuffer(SoundBuffer buffer, void* part1, uint32_t size1, void* part2, uint32_t size2);

SoundResult GetSoundBufferStatus(SoundBuffer buffer, uint32_t& status);
// Plays from the current position; once, or looping with kPlayLooping. A
// buffer played once stops at its end and its position returns to 0.
SoundResult PlaySoundBuffer(SoundBuffer buffer, uint32_t flags);
// Stops; the position stays where it was.
SoundResult StopSoundBuffer(SoundBuffer buffer);
SoundResult SetSoundBufferPosition(SoundBuffer buffer, uint32_t position);
// The play and write cursors in bytes.
SoundResult GetSoundBufferPosition(SoundBuffer buffer, uint32_t& play, uint32_t& write);
// Gets the memory of a lost buffer back (the data must be written again).
SoundResult RestoreSoundBuffer(SoundBuffer buffer);
SoundResult SetSoundBufferVolume(SoundBuffer buffer, int32_t volume);
SoundResult SetSoundBufferPan(SoundBuffer buffer, int32_t pan);

}  // namespace platform
