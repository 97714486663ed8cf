// Sound effects: the one sound device and 128 sound slots. A slot holds a WAV
// file loaded completely into a static sound buffer (voice 0) and up to three
// duplicates sharing its data, so that one effect can overlap itself. Playing
// picks a voice round robin, sets its volume and pan and starts it once.
// Main thread only; the platform mixes in its own threads.
#pragma once
#include <cstdint>

#include "platform/sound_output.h"
#include "platform/native_window.h"

constexpr int kSoundSlotCount = 128;
constexpr int kMaxVoices = 4;

// Secondary buffers: static, volume and pan control, current position 2;
// without the two controls when the device refuses them.
constexpr uint32_t kVoiceBufferFlags = platform::kBufferStatic | platform::kBufferVolumeControl |
                                       platform::kBufferPanControl | platform::kBufferCurrentPosition2;
constexpr uint32_t kVoiceFallbackFlags = platform::kBufferStatic | platform::kBufferCurrentPosition2;

// The device's own mixing format: 22050 Hz, 16 bits, stereo.
constexpr platform::PcmFormat kPrimaryFormat = {2, 22050, 88200, 4, 16};

struct SoundDevice {
    platform::SoundOutput directSound = nullptr;  // null: no device
    platform::SoundCaps caps = {};
};

struct SoundSlot {
    int voiceCount = 0;  // 0 = empty
    int nextVoice = 0;   // the voice tried first on the next play
    const char* fileName = nullptr;  // the resolved name, while loading
    SoundDevice* device = nullptr;
    platform::SoundBuffer voices[kMaxVoices] = {};
};

// Creates the default device, priority cooperation with the window, the
// primary format and the capabilities. 1 on success, else the failing code
// (0 when the device could not be made); `directSound` keeps what was made.
double InitSound(SoundDevice& device, platform::NativeWindow window);
// Loads the resolved file into the slot with 1 ... 4 voices; true on success.
bool LoadSlot(SoundSlot& slot, SoundDevice* device, const char* resolvedName, int voices);
// Reads slot.fileName into a new voice 0; true on success.
bool LoadWave(SoundSlot& slot);
// The voice to play next, or null (see the round-robin rule in the source).
platform::SoundBuffer PickVoice(SoundSlot& slot);
// Volume 0 ... 100 (full level), pan in hundredths of a decibel; 1 when
// playing started, else 0.
int PlayVoice(SoundSlot& slot, int pan, int volume, uint32_t flags);
// Stops every voice and rewinds it; 1, or 0 at the first failure.
int StopSoundSlot(SoundSlot& slot);
// Stops, rewinds and releases every voice: the slot is empty.
void ReleaseSoundSlot(SoundSlot& slot);
void ReleaseSoundDevice(SoundDevice& device);

// Start-up and program end: the device and the slot array in RuntimeState.
void CreateSoundObjects();
// Starts opening the device (InitSound) on a thread of its own and returns.
void StartSound(platform::NativeWindow window);
// Waits until the device StartSound began to open is open (or has failed),
// then returns the program's SoundDevice. Every use of the device or the
// slots goes through this first; main thread only.
SoundDevice* AwaitSoundDevice();
void ReleaseSoundObjects();
