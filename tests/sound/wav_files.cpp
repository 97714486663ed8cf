#include "wav_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/system.h"
#include "support/little_endian.h"

namespace {
void PutTag(std::vector<uint8_t>& b, const std::string& tag) { b.insert(b.end(), tag.begin(), tag.begin() + 4); }
}  // namespace

std::vector<uint8_t> MakeWav(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t dataBytes,
                             const std::vector<WavChunk>& before, const std::vector<uint8_t>& formatExtra,
                             uint16_t formatTag, uint16_t blockAlign) {
    if (!blockAlign) blockAlign = static_cast<uint16_t>(channels * bits / 8);
    std::vector<uint8_t> b;
    PutTag(b, "RIFF");
    Put32(b, 0);  // fixed below
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    Put32(b, 16 + static_cast<uint32_t>(formatExtra.size()));
    Put16(b, formatTag);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * blockAlign);
    Put16(b, blockAlign);
    Put16(b, bits);
    b.insert(b.end(), formatExtra.begin(), formatExtra.end());
    for (const WavChunk& c : before) {
        PutTag(b, c.tag);
        Put32(b, static_cast<uint32_t>(c.content.size()));
        b.insert(b.end(), c.content.begin(), c.content.end());
        if (c.content.size() % 2) b.push_back(0);
    }
    PutTag(b, "data");
    Put32(b, dataBytes);
    for (uint32_t i = 0; i < dataBytes; ++i) b.push_back(static_cast<uint8_t>(i * 7));
    const uint32_t riff = static_cast<uint32_t>(b.size() - 8);
    for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
    return b;
}

std::string ScratchFile(const std::string& name) {
    static const std::string dir = [] {
        namespace fs = std::filesystem;
        fs::path p = fs::temp_directory_path() / "brindle-sound-tests" /
                     ("run" + std::to_string(static_cast<unsigned long long>(platform::QueryCounter())));
        fs::create_directories(p);
        return p.generic_string() + "/";
    }();
    return dir + name;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}
