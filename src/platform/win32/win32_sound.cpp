// Sound output on Windows: DirectSound itself. The seam's handles are the
// IDirectSound and IDirectSoundBuffer interfaces.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include "platform/sound_output.h"
#include "platform/win32/win32_handles.h"

namespace platform {

namespace {
IDirectSound* Device(SoundOutput o) { return win32::DirectSound(o); }
IDirectSoundBuffer* Buffer(SoundBuffer b) { return win32::DirectSoundBuffer(b); }
using win32::Handle;

WAVEFORMATEX WaveFormat(const PcmFormat& f) {
    WAVEFORMATEX w = {};
    w.wFormatTag = WAVE_FORMAT_PCM;
    w.nChannels = f.channels;
    w.nSamplesPerSec = f.samplesPerSecond;
    w.nAvgBytesPerSec = f.averageBytesPerSecond;
    w.nBlockAlign = f.blockAlign;
    w.wBitsPerSample = f.bitsPerSample;
    return w;
}
static_assert(sizeof(DSCAPS) == sizeof(SoundCaps), "DSCAPS is the capabilities record");
static_assert(sizeof(DSBUFFERDESC) == 36, "the buffer description has 36 bytes");
}  // namespace

// DirectSound keeps nothing per thread for a caller to free.
void EndSoundThread() {}

SoundResult CreateSoundOutput(SoundOutput& output) {
    IDirectSound* ds = nullptr;
    const HRESULT r = DirectSoundCreate(nullptr, &ds, nullptr);
    output = Handle(ds);
    return r;
}

SoundResult SetSoundCooperation(SoundOutput output, NativeWindow window) {
    return Device(output)->SetCooperativeLevel(win32::Hwnd(window), DSSCL_PRIORITY);
}

SoundResult SetPrimaryFormat(SoundOutput output, const PcmFormat& format) {
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    HRESULT r = Device(output)->CreateSoundBuffer(&desc, &primary, nullptr);
    if (FAILED(r)) return r;
    WAVEFORMATEX w = WaveFormat(format);
    r = primary->SetFormat(&w);
    primary->Release();
    return r;
}

SoundResult ReadSoundCaps(SoundOutput output, SoundCaps& caps) {
    return Device(output)->GetCaps(reinterpret_cast<DSCAPS*>(&caps));
}

void ReleaseSoundOutput(SoundOutput output) { Device(output)->Release(); }

SoundResult CreateSoundBuffer(SoundOutput output, uint32_t flags, uint32_t bytes, const PcmFormat& format,
                              SoundBuffer& buffer) {
    WAVEFORMATEX w = WaveFormat(format);
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &w;
    IDirectSoundBuffer* b = nullptr;
    const HRESULT r = Device(output)->CreateSoundBuffer(&desc, &b, nullptr);
    buffer = SUCCEEDED(r) ? Handle(b) : nullptr;
    return r;
}

SoundResult DuplicateSoundBuffer(SoundOutput output, SoundBuffer original, SoundBuffer& copy) {
    IDirectSoundBuffer* b = nullptr;
    const HRESULT r = Device(output)->DuplicateSoundBuffer(Buffer(original), &b);
    copy = SUCCEEDED(r) ? Handle(b) : nullptr;
    return r;
}

void ReleaseSoundBuffer(SoundBuffer buffer) { Buffer(buffer)->Release(); }

SoundResult LockSoundBuffer(SoundBuffer buffer, uint32_t bytes, void*& part1, uint32_t& size1, void*& part2,
                            uint32_t& size2) {
    DWORD n1 = 0, n2 = 0;
    const HRESULT r = Buffer(buffer)->Lock(0, bytes, &part1, &n1, &part2, &n2, DSBLOCK_FROMWRITECURSOR);
    size1 = n1;
    size2 = n2;
    return r;
}

SoundResult UnlockSoundBuffer(SoundBuffer buffer, void* part1, uint32_t size1, void* part2, uint32_t size2) {
    return Buffer(buffer)->Unlock(part1, size1, part2, size2);
}

SoundResult GetSoundBufferStatus(SoundBuffer buffer, uint32_t& status) {
    DWORD s = 0;
    const HRESULT r = Buffer(buffer)->GetStatus(&s);
    status = s;
    return r;
}

SoundResult PlaySoundBuffer(SoundBuffer buffer, uint32_t flags) { return Buffer(buffer)->Play(0, 0, flags); }
SoundResult StopSoundBuffer(SoundBuffer buffer) { return Buffer(buffer)->Stop(); }
SoundResult SetSoundBufferPosition(SoundBuffer buffer, uint32_t position) {
    return Buffer(buffer)->SetCurrentPosition(position);
}

SoundResult GetSoundBufferPosition(SoundBuffer buffer, uint32_t& play, uint32_t& write) {
    DWORD p = 0, w = 0;
    const HRESULT r = Buffer(buffer)->GetCurrentPosition(&p, &w);
    play = p;
    write = w;
    return r;
}

SoundResult RestoreSoundBuffer(SoundBuffer buffer) { return Buffer(buffer)->Restore(); }
SoundResult SetSoundBufferVolume(SoundBuffer buffer, int32_t volume) { return Buffer(buffer)->SetVolume(volume); }
SoundResult SetSoundBufferPan(SoundBuffer buffer, int32_t pan) { return Buffer(buffer)->SetPan(pan); }

}  // namespace platform
