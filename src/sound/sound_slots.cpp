#include "sound/sound_slots.h"

#include <cstdio>
#include <cstring>
#include <system_error>
#include <thread>

#include "core/runtime_state.h"
#include "media/file_access.h"
#include "sound/wav_reader.h"

using namespace platform;

double InitSound(SoundDevice& device, NativeWindow window) {
    SoundResult r = CreateSoundOutput(device.directSound);
    if (r != kSoundOk || !device.directSound) return r;
    if ((r = SetSoundCooperation(device.directSound, window)) != kSoundOk) return r;
    if ((r = SetPrimaryFormat(device.directSound, kPrimaryFormat)) != kSoundOk) return r;
    device.caps = {};
    device.caps.size = sizeof device.caps;
    if ((r = ReadSoundCaps(device.directSound, device.caps)) != kSoundOk) return r;
    return 1;
}

namespace {

// Stops and rewinds the slot's voices (up to the first failure), then
// releases every voice that is set.
void ClearVoices(SoundSlot& slot) {
    if (slot.device && slot.voiceCount > 0) {
        for (int i = 0; i < slot.voiceCount; ++i) {
            if (!slot.voices[i]) continue;
            if (StopSoundBuffer(slot.voices[i]) != kSoundOk) break;
            if (SetSoundBufferPosition(slot.voices[i], 0) != kSoundOk) break;
        }
    }
    for (SoundBuffer& v : slot.voices) {
        if (v) ReleaseSoundBuffer(v);
        v = nullptr;
    }
    slot.nextVoice = 0;
}

// Reads `bytes` sample bytes from the file into the whole buffer.
bool FillBuffer(SoundBuffer buffer, std::FILE* file, uint32_t bytes) {
    void *part1 = nullptr, *part2 = nullptr;
    uint32_t size1 = 0, size2 = 0;
    if (LockSoundBuffer(buffer, bytes, part1, size1, part2, size2) != kSoundOk) return false;
    bool ok = std::fread(part1, 1, size1, file) == size1;
    if (ok && part2 && size2) ok = std::fread(part2, 1, size2, file) == size2;
    UnlockSoundBuffer(buffer, part1, size1, part2, size2);
    return ok;
}

}  // namespace

bool LoadWave(SoundSlot& slot) {
    std::FILE* file = OpenExistingForRead(slot.fileName);
    if (!file) return false;
    WaveLayout wave;
    if (ReadWaveLayout(file, wave) != WaveStatus::kOk) {
        std::fclose(file);
        return false;
    }
    PcmFormat format;
    format.channels = wave.channels < 2 ? 1 : 2;
    format.samplesPerSecond = wave.samplesPerSecond;
    format.blockAlign = wave.blockAlign;
    format.bitsPerSample = wave.bitsPerSample;
    format.averageBytesPerSecond = wave.blockAlign * wave.samplesPerSecond;
    SoundOutput out = slot.device->directSound;
    SoundBuffer& voice = slot.voices[0];
    if (CreateSoundBuffer(out, kVoiceBufferFlags, wave.dataBytes, format, voice) != kSoundOk &&
        CreateSoundBuffer(out, kVoiceFallbackFlags, wave.dataBytes, format, voice) != kSoundOk) {
        voice = nullptr;
        slot.device = nullptr;
        std::fclose(file);
        return false;
    }
    const bool filled = FillBuffer(voice, file, wave.dataBytes);
    std::fclose(file);
    if (!filled) {
        // A half-filled buffer is never played: the slot stays empty.
        ReleaseSoundBuffer(voice);
        voice = nullptr;
    }
    return filled;
}

bool LoadSlot(SoundSlot& slot, SoundDevice* device, const char* resolvedName, int voices) {
    voices = voices < 1 ? 1 : voices > kMaxVoices ? kMaxVoices : voices;
    ClearVoices(slot);
    slot.device = device;
    if (!device || !device->directSound) {
        slot.voiceCount = 0;
        slot.fileName = nullptr;
        return false;
    }
    slot.voiceCount = voices;
    slot.fileName = resolvedName;
    if (!LoadWave(slot)) {
        slot.voiceCount = 0;
        slot.fileName = nullptr;
        return false;
    }
    slot.fileName = nullptr;  // only used while loading
    for (int j = 1; j < slot.voiceCount; ++j) {
        SoundBuffer copy = nullptr;
        if (DuplicateSoundBuffer(device->directSound, slot.voices[0], copy) == kSoundOk) slot.voices[j] = copy;
    }
    return true;
}

SoundBuffer PickVoice(SoundSlot& slot) {
    SoundBuffer v = slot.voices[slot.nextVoice];
    if (!v) return nullptr;
    uint32_t status = 0;
    if (GetSoundBufferStatus(v, status) != kSoundOk) status = 0;
    if (status & kStatusPlaying) {
        // A one-voice sound is not restarted while it plays; with more
        // voices the next one is taken, restarted when it still plays.
        if (slot.voiceCount < 2) return nullptr;
        slot.nextVoice = (slot.nextVoice + 1) % slot.voiceCount;
        v = slot.voices[slot.nextVoice];
        if (!v) return nullptr;  // its duplicate could not be made
        status = 0;
        if (GetSoundBufferStatus(v, status) != kSoundOk) status = 0;
        if (status & kStatusPlaying) {
            StopSoundBuffer(v);
            SetSoundBufferPosition(v, 0);
        }
    }
    if ((status & kStatusBufferLost) && RestoreSoundBuffer(v) != kSoundOk) return nullptr;
    return v;
}

int PlayVoice(SoundSlot& slot, int pan, int volume, uint32_t flags) {
    if (!slot.device || slot.voiceCount <= 0 || !slot.device->directSound) return 0;
    SoundBuffer v = PickVoice(slot);
    if (!v) return 0;
    // Hundredths of a decibel: 100 is full level, 50 is -50 dB, 0 is -100 dB.
    // Out-of-range values (from NaN arguments) are refused by the buffer.
    const int64_t level = static_cast<int64_t>(volume) * 100 - 10000;
    SetSoundBufferVolume(v, level < INT32_MIN ? INT32_MIN : static_cast<int32_t>(level));
    SetSoundBufferPan(v, pan);
    return PlaySoundBuffer(v, flags) == kSoundOk ? 1 : 0;
}

int StopSoundSlot(SoundSlot& slot) {
    if (!slot.device || slot.voiceCount <= 0) return 1;
    for (int i = 0; i < slot.voiceCount; ++i) {
        if (!slot.voices[i]) continue;
        if (StopSoundBuffer(slot.voices[i]) != kSoundOk) return 0;
        if (SetSoundBufferPosition(slot.voices[i], 0) != kSoundOk) return 0;
    }
    return 1;
}

void ReleaseSoundSlot(SoundSlot& slot) {
    ClearVoices(slot);
    slot.device = runtime.soundDevice;
    slot.voiceCount = 0;
    slot.nextVoice = 0;
}

void ReleaseSoundDevice(SoundDevice& device) {
    if (device.directSound) ReleaseSoundOutput(device.directSound);
    device.directSound = nullptr;
}

namespace {
// The device being opened at start-up, off the main thread: a sound server
// that is slow to answer, or a machine without a working device, must not
// hold up the first frame. Joined by the first sound command (or at the
// end), so no command ever sees a device half made.
struct DeviceOpening {
    std::thread thread;
    ~DeviceOpening() {
        if (thread.joinable()) thread.join();
    }
} opening;
}  // namespace

SoundDevice* AwaitSoundDevice() {
    if (opening.thread.joinable()) opening.thread.join();
    return runtime.soundDevice;
}

void CreateSoundObjects() {
    runtime.soundDevice = new SoundDevice();
    runtime.soundSlots = new SoundSlot[kSoundSlotCount]();
}

void StartSound(NativeWindow window) {
    SoundDevice* device = AwaitSoundDevice();
    if (!device) return;
    try {
        opening.thread = std::thread([device, window] {
            InitSound(*device, window);
            platform::EndSoundThread();
        });
    } catch (const std::system_error&) {
        InitSound(*device, window);  // no thread to be had: open it here
    }
}

void ReleaseSoundObjects() {
    AwaitSoundDevice();
    if (runtime.soundSlots) {
        for (int i = kSoundSlotCount - 1; i >= 0; --i) ReleaseSoundSlot(runtime.soundSlots[i]);
        delete[] runtime.soundSlots;
        runtime.soundSlots = nullptr;
    }
    if (runtime.soundDevice) {
        ReleaseSoundDevice(*runtime.soundDevice);
        delete runtime.soundDevice;
        runtime.soundDevice = nullptr;
    }
}
