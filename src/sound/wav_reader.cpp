#include "sound/wav_reader.h"

#include <cstring>

#include "platform/sound_output.h"

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The tail of KSDATAFORMAT_SUBTYPE_PCM after its first two bytes (0x0001).
constexpr uint8_t kPcmSubtypeTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                         0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The format chunk's first bytes (at most 40, the extensible layout).
WaveStatus CheckFormat(const uint8_t* fmt, uint32_t size, WaveLayout& layout) {
    const uint16_t tag = U16(fmt);
    if (tag == kFormatExtensible) {
        // cbSize at 16, the sub-format GUID at 24.
        if (size < 40 || U16(fmt + 24) != kFormatPcm ||
            std::memcmp(fmt + 26, kPcmSubtypeTail, sizeof kPcmSubtypeTail) != 0)
            return WaveStatus::kNotPcm;
    } else if (tag != kFormatPcm) {
        return WaveStatus::kNotPcm;
    }
    layout.channels = U16(fmt + 2);
    layout.samplesPerSecond = U32(fmt + 4);
    layout.blockAlign = U16(fmt + 12);
    layout.bitsPerSample = U16(fmt + 14);
    if (layout.channels < 1 || layout.channels > 2) return WaveStatus::kBadChannels;
    if (layout.bitsPerSample != 8 && layout.bitsPerSample != 16) return WaveStatus::kBadBits;
    if (layout.blockAlign != layout.channels * (layout.bitsPerSample / 8)) return WaveStatus::kBadBlockAlign;
    // The range both targets play: checked here, not left to the device
    // (DirectSound under Wine takes rates its documentation refuses).
    if (layout.samplesPerSecond < platform::kMinSampleRate || layout.samplesPerSecond > platform::kMaxSampleRate)
        return WaveStatus::kBadRate;
    return WaveStatus::kOk;
}

// The chunk walk over any source that reads `n` bytes at an offset.
template <typename ReadAt>
WaveStatus Walk(uint64_t fileSize, ReadAt readAt, WaveLayout& layout) {
    uint8_t header[12];
    if (fileSize < 12 || !readAt(0, header, 12) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0)
        return WaveStatus::kNotWave;
    // The RIFF size field is often wrong in the wild; the file's own size bounds the walk.
    bool haveFormat = false;
    uint64_t offset = 12;
    while (offset + 8 <= fileSize) {
        uint8_t chunk[8];
        if (!readAt(offset, chunk, 8)) break;
        const uint32_t size = U32(chunk + 4);
        const uint64_t body = offset + 8;
        if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return WaveStatus::kNoFormat;
            if (size > fileSize - body) return WaveStatus::kDataBeyondFile;
            layout.dataOffset = body;
            layout.dataBytes = size;
            return WaveStatus::kOk;
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
            if (size < 16 || size > fileSize - body) return WaveStatus::kNoFormat;
            uint8_t fmt[40] = {};
            const uint32_t n = size < sizeof fmt ? size : sizeof fmt;
            if (!readAt(body, fmt, n)) return WaveStatus::kNoFormat;
            const WaveStatus s = CheckFormat(fmt, size, layout);
            if (s != WaveStatus::kOk) return s;
            haveFormat = true;
        }
        // Chunks are padded to an even size.
        offset = body + size + (size & 1);
    }
    return haveFormat ? WaveStatus::kNoData : WaveStatus::kNoFormat;
}

}  // namespace

WaveStatus ParseWave(const uint8_t* bytes, size_t size, WaveLayout& layout) {
    layout = WaveLayout{};
    auto readAt = [&](uint64_t offset, uint8_t* out, size_t n) {
        if (offset > size || n > size - offset) return false;
        std::memcpy(out, bytes + offset, n);
        return true;
    };
    return Walk(size, readAt, layout);
}

WaveStatus ReadWaveLayout(std::FILE* file, WaveLayout& layout) {
    layout = WaveLayout{};
    // Sound files are far below 2 GB; where ftell cannot measure a longer
    // file (32-bit long), it is refused.
    if (std::fseek(file, 0, SEEK_END) != 0) return WaveStatus::kNotWave;
    const long end = std::ftell(file);
    if (end < 0) return WaveStatus::kNotWave;
    auto readAt = [&](uint64_t offset, uint8_t* out, size_t n) {
        return offset <= 0x7FFFFFFF && std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
               std::fread(out, 1, n, file) == n;
    };
    const WaveStatus s = Walk(static_cast<uint64_t>(end), readAt, layout);
    if (s == WaveStatus::kOk && std::fseek(file, static_cast<long>(layout.dataOffset), SEEK_SET) != 0)
        return WaveStatus::kDataBeyondFile;
    return s;
}

const char* WaveStatusText(WaveStatus status) {
    switch (status) {
    case WaveStatus::kOk: return "ok";
    case WaveStatus::kNotWave: return "not a RIFF WAVE file";
    case WaveStatus::kNoFormat: return "no usable format chunk";
    case WaveStatus::kNotPcm: return "not PCM";
    case WaveStatus::kBadChannels: return "channel count not 1 or 2";
    case WaveStatus::kBadBits: return "bits per sample not 8 or 16";
    case WaveStatus::kBadBlockAlign: return "block alignment does not match";
    case WaveStatus::kBadRate: return "sample rate 0";
    case WaveStatus::kNoData: return "no data chunk";
    case WaveStatus::kDataBeyondFile: return "data chunk beyond the end of the file";
    }
    return "?";
}
