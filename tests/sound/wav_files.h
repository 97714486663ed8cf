// WAV files built byte by byte for the sound tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct WavChunk {
    std::string tag;  // four characters
    std::vector<uint8_t> content;
};

// A RIFF WAVE file: the format chunk (format tag, channels, rate, block
// alignment, bits, then `formatExtra` bytes), the chunks `before` the data
// chunk (padded to even sizes), and `dataBytes` bytes of a rising pattern.
std::vector<uint8_t> MakeWav(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t dataBytes,
                             const std::vector<WavChunk>& before = {},
                             const std::vector<uint8_t>& formatExtra = {}, uint16_t formatTag = 1,
                             uint16_t blockAlign = 0);

// A path in this test process's scratch directory, and writing a file there.
std::string ScratchFile(const std::string& name);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
