// The WAV reader against files built byte by byte: the layouts found in the
// wild load with the right format and data place, damaged files are refused
// with their reason, and every truncation of a good file is refused safely.
#include <gtest/gtest.h>

#include <cstdio>

#include "sound/wav_reader.h"
#include "wav_files.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> b) { return b; }

// The extensible format's extra bytes: cbSize 22, valid bits, channel mask,
// then the sub-format GUID (PCM, or IEEE float when `pcm` is false).
std::vector<uint8_t> Extensible(bool pcm) {
    std::vector<uint8_t> e = {22, 0, 16, 0, 3, 0, 0, 0, static_cast<uint8_t>(pcm ? 1 : 3), 0,
                              0,  0, 0,  0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    return e;
}

struct Case {
    const char* name;
    std::vector<uint8_t> file;
    WaveStatus status;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
    uint64_t dataOffset = 0;
};

std::vector<Case> Cases() {
    const std::vector<WavChunk> fact = {{"fact", Bytes({1, 0, 0, 0})}};
    const std::vector<WavChunk> wild = {{"LIST", Bytes({'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 1, 0, 0, 0, 'x'})},
                                        {"cue ", Bytes({0, 0, 0, 0})}};
    std::vector<Case> c = {
        {"canonical stereo 16-bit", MakeWav(2, 22050, 16, 400), WaveStatus::kOk, 2, 22050, 16, 44},
        {"mono 8-bit", MakeWav(1, 11025, 8, 301), WaveStatus::kOk, 1, 11025, 8, 44},
        {"fact chunk", MakeWav(1, 44100, 16, 100, fact), WaveStatus::kOk, 1, 44100, 16, 56},
        {"LIST (odd, padded) and cue", MakeWav(2, 48000, 16, 8, wild), WaveStatus::kOk, 2, 48000, 16, 78},
        {"18-byte format chunk", MakeWav(2, 8000, 8, 8, {}, Bytes({0, 0})), WaveStatus::kOk, 2, 8000, 8, 46},
        {"extensible PCM", MakeWav(2, 22050, 16, 8, {}, Extensible(true), 0xFFFE), WaveStatus::kOk, 2, 22050, 16,
         68},
        {"extensible float", MakeWav(2, 22050, 16, 8, {}, Extensible(false), 0xFFFE), WaveStatus::kNotPcm},
        {"ADPCM", MakeWav(1, 22050, 16, 8, {}, {}, 2), WaveStatus::kNotPcm},
        {"no channels", MakeWav(0, 22050, 16, 8, {}, {}, 1, 2), WaveStatus::kBadChannels},
        {"three channels", MakeWav(3, 22050, 16, 12), WaveStatus::kBadChannels},
        {"24-bit", MakeWav(2, 22050, 24, 12), WaveStatus::kBadBits},
        {"block alignment", MakeWav(2, 22050, 16, 12, {}, {}, 1, 2), WaveStatus::kBadBlockAlign},
        {"rate 0", MakeWav(2, 0, 16, 12), WaveStatus::kBadRate},
        {"rate 50", MakeWav(1, 50, 8, 12), WaveStatus::kBadRate},
        {"rate 250000", MakeWav(1, 250000, 16, 12), WaveStatus::kBadRate},
        {"rate 100", MakeWav(1, 100, 8, 12), WaveStatus::kOk, 1, 100, 8, 44},
        {"rate 200000", MakeWav(2, 200000, 16, 12), WaveStatus::kOk, 2, 200000, 16, 44},
    };
    // Data before the format, a data size beyond the file, no data at all,
    // not RIFF, a format chunk too short.
    std::vector<uint8_t> f = MakeWav(1, 8000, 8, 4);
    std::vector<uint8_t> dataFirst(f.begin(), f.begin() + 12);
    dataFirst.insert(dataFirst.end(), f.begin() + 36, f.end());
    dataFirst.insert(dataFirst.end(), f.begin() + 12, f.begin() + 36);
    c.push_back({"data before format", dataFirst, WaveStatus::kNoFormat});
    std::vector<uint8_t> beyond = f;
    beyond[40] = 5;
    c.push_back({"data beyond the file", beyond, WaveStatus::kDataBeyondFile});
    std::vector<uint8_t> huge = f;
    huge[40] = huge[41] = huge[42] = huge[43] = 0xFF;
    c.push_back({"data size 4 GB", huge, WaveStatus::kDataBeyondFile});
    c.push_back({"no data", std::vector<uint8_t>(f.begin(), f.begin() + 36), WaveStatus::kNoData});
    std::vector<uint8_t> rifx = f;
    rifx[3] = 'X';
    c.push_back({"RIFX", rifx, WaveStatus::kNotWave});
    std::vector<uint8_t> shortFormat = f;
    shortFormat[16] = 14;
    c.push_back({"14-byte format chunk", shortFormat, WaveStatus::kNoFormat});
    std::vector<uint8_t> chunkPastEnd = MakeWav(1, 8000, 8, 4, {{"LIST", Bytes({1, 2})}});
    chunkPastEnd[40] = 0xF0;  // the LIST chunk's size
    c.push_back({"a chunk running past the end", chunkPastEnd, WaveStatus::kNoData});
    return c;
}

TEST(WavReader, LayoutsAndDamagedFiles) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        WaveLayout w;
        ASSERT_EQ(WaveStatusText(ParseWave(c.file.data(), c.file.size(), w)), std::string(WaveStatusText(c.status)));
        if (c.status != WaveStatus::kOk) continue;
        EXPECT_EQ(w.channels, c.channels);
        EXPECT_EQ(w.samplesPerSecond, c.rate);
        EXPECT_EQ(w.bitsPerSample, c.bits);
        EXPECT_EQ(w.blockAlign, c.channels * c.bits / 8);
        EXPECT_EQ(w.dataOffset, c.dataOffset);
        EXPECT_EQ(w.dataOffset + w.dataBytes, c.file.size());  // data is the last chunk
        // The file reader finds the same and stops at the first sample byte.
        const std::string path = ScratchFile("layout.wav");
        WriteBytes(path, c.file);
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        WaveLayout fromFile;
        EXPECT_EQ(ReadWaveLayout(f, fromFile), WaveStatus::kOk);
        EXPECT_EQ(fromFile.dataOffset, w.dataOffset);
        EXPECT_EQ(fromFile.dataBytes, w.dataBytes);
        EXPECT_EQ(std::ftell(f), static_cast<long>(w.dataOffset));
        std::fclose(f);
    }
}

TEST(WavReader, EveryTruncationIsRefused) {
    const std::vector<uint8_t> file =
        MakeWav(2, 22050, 16, 16, {{"fact", Bytes({1, 0, 0, 0})}, {"LIST", Bytes({1, 2, 3})}});
    for (size_t n = 0; n < file.size(); ++n) {
        WaveLayout w;
        EXPECT_NE(ParseWave(file.data(), n, w), WaveStatus::kOk) << n << " bytes";
    }
}

}  // namespace
