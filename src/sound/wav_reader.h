// The WAV reader of the sound effects: finds the PCM format and the sample
// data of a RIFF WAVE file by walking its chunks. Chunks other than "fmt "
// and "data" ("fact", "LIST", "cue ", ...) are skipped wherever they are.
// Everything is read field by field, little-endian, bounded by the file size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

enum class WaveStatus {
    kOk,
    kNotWave,            // too short for the RIFF header, or not "RIFF" ... "WAVE"
    kNoFormat,           // no usable "fmt " chunk before "data"
    kNotPcm,             // a compressed or floating-point format
    kBadChannels,        // 0, or more than 2
    kBadBits,            // not 8 or 16 bits per sample
    kBadBlockAlign,      // not channels x bytes per sample
    kBadRate,            // outside 100 .. 200000 samples per second
    kNoData,             // the chunks end without "data"
    kDataBeyondFile,     // the "data" chunk claims more bytes than the file has
};

struct WaveLayout {
    uint16_t channels = 0;
    uint32_t samplesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint64_t dataOffset = 0;  // of the first sample byte
    uint32_t dataBytes = 0;
};

// The layout of a WAV file held in memory.
WaveStatus ParseWave(const uint8_t* bytes, size_t size, WaveLayout& layout);
// The layout of an open file (any position; it is left at the first sample byte on success).
WaveStatus ReadWaveLayout(std::FILE* file, WaveLayout& layout);
// A short text naming the status, for logs and test messages.
const char* WaveStatusText(WaveStatus status);
