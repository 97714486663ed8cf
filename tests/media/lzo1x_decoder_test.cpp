// The runtime's LZO1X decoder against liblzo2's lzo1x_decompress_safe, the
// reference: the same bytes from the streams of both of liblzo2's
// compressors over varied data, from hand-made streams that use each
// instruction, and from every entry of the game packs this build made; the
// same refusal of cut, mutated and lying streams.
#include <gtest/gtest.h>
#include <lzo/lzo1x.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "media/lzo1x_decoder.h"
#include "media/pack_format.h"
#include "media_test_files.h"
#include "pack_compress.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Decoded {
    bool ok = false;
    int code = 0;  // liblzo2's result, or ours as a Lzo1xStatus
    Bytes bytes;
};

Decoded Ours(const Bytes& stream, size_t capacity) {
    Decoded d;
    std::unique_ptr<uint8_t[]> out(new uint8_t[capacity + 1]);
    size_t written = 0;
    pack::Lzo1xStatus s = pack::DecodeLzo1x(stream.data(), stream.size(), out.get(), capacity, &written);
    d.ok = s == pack::Lzo1xStatus::kOk;
    d.code = static_cast<int>(s);
    if (d.ok) d.bytes.assign(out.get(), out.get() + written);
    return d;
}

Decoded Reference(const Bytes& stream, size_t capacity) {
    Decoded d;
    std::unique_ptr<uint8_t[]> out(new uint8_t[capacity + 1]);
    lzo_uint written = capacity;
    d.code = lzo1x_decompress_safe(stream.data(), stream.size(), out.get(), &written, nullptr);
    d.ok = d.code == LZO_E_OK;
    if (d.ok) d.bytes.assign(out.get(), out.get() + written);
    return d;
}

// Both accept with the same bytes, or both refuse.
::testing::AssertionResult SameAsReference(const Bytes& stream, size_t capacity) {
    Decoded ours = Ours(stream, capacity), ref = Reference(stream, capacity);
    if (ours.ok != ref.ok)
        return ::testing::AssertionFailure() << "ours " << (ours.ok ? "accepts" : "refuses")
                                             << " (" << ours.code << "), liblzo2 gives " << ref.code;
    if (ours.bytes != ref.bytes)
        return ::testing::AssertionFailure() << ours.bytes.size() << " bytes against liblzo2's "
                                             << ref.bytes.size();
    return ::testing::AssertionSuccess();
}

Bytes Compress1(const Bytes& data) {
    Bytes out(data.size() + data.size() / 16 + 64 + 3);
    std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS);
    lzo_uint n = 0;
    EXPECT_EQ(lzo1x_1_compress(data.data(), data.size(), out.data(), &n, work.data()), LZO_E_OK);
    out.resize(n);
    return out;
}

Bytes Compress999(const Bytes& data) {
    Bytes stored;
    EXPECT_TRUE(pack::CompressContent(data.data(), data.size(), stored));
    return Bytes(stored.begin() + 4, stored.end());
}

uint32_t Next(uint32_t& seed) { return seed = seed * 1664525u + 1013904223u; }

// Data that makes the compressors use every kind of match: runs, short and
// long repeats near and far (past 16 and 48 kB), text, noise, and mixtures.
std::vector<std::pair<std::string, Bytes>> VariedData() {
    std::vector<std::pair<std::string, Bytes>> all;
    auto add = [&](const char* name, Bytes b) { all.emplace_back(name, std::move(b)); };
    add("empty", {});
    add("one byte", {42});
    add("three bytes", {1, 2, 3});
    add("zeros", Bytes(200000, 0));
    uint32_t seed = 7;
    Bytes noise(70000);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(Next(seed) >> 24);
    add("noise", noise);
    std::string text;
    const char* words[] = {"sprite ", "torus ", "background ", "frame ", "the ", "of ", "pack\n",
                           "Glimmerball ", "window ", "sound "};
    while (text.size() < 300000) text += words[(Next(seed) >> 20) % 10];
    add("text", Bytes(text.begin(), text.end()));
    Bytes periods;  // short periods: overlapping copies at distances 1 to 9
    for (int block = 0; block < 400; ++block) {
        const int period = 1 + block % 9, length = 20 + static_cast<int>(Next(seed) >> 22);
        for (int i = 0; i < length; ++i) periods.push_back(static_cast<uint8_t>(block * 31 + i % period));
    }
    add("short periods", periods);
    Bytes far;  // a noise block repeated 20, 40 and 60 kB later
    Bytes block(20000);
    for (uint8_t& b : block) b = static_cast<uint8_t>(Next(seed) >> 24);
    for (int i = 0; i < 4; ++i) {
        far.insert(far.end(), block.begin(), block.end());
        for (int j = 0; j < 300; ++j) far[far.size() - 1 - j * 61] ^= static_cast<uint8_t>(i + 1);
    }
    add("far repeats", far);
    Bytes mixed;  // noise with pieces copied from 1 to 3 kB back, few literals between
    for (int i = 0; i < 60000; ++i) {
        const uint32_t r = Next(seed);
        if (mixed.size() > 3100 && (r & 3) == 0) {
            const size_t back = 1 + (r >> 8) % 3072, length = 2 + (r >> 4) % 9;
            for (size_t k = 0; k < length; ++k) mixed.push_back(mixed[mixed.size() - back]);
        } else {
            mixed.push_back(static_cast<uint8_t>(r >> 24));
        }
    }
    add("mixed", mixed);
    Bytes image;  // 24-bit rows of a smooth picture with flat areas
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool flat = (x / 40 + y / 40) % 3 == 0;
            image.push_back(flat ? 255 : static_cast<uint8_t>(x));
            image.push_back(flat ? 0 : static_cast<uint8_t>(y));
            image.push_back(flat ? 255 : static_cast<uint8_t>((x * y) >> 6));
        }
    add("image", image);
    return all;
}

TEST(Lzo1xDecoder, DecodesWhatBothCompressorsMakeAsLiblzo2Does) {
    for (const auto& [name, data] : VariedData()) {
        for (int level : {1, 999}) {
            const Bytes stream = level == 1 ? Compress1(data) : Compress999(data);
            Decoded ours = Ours(stream, data.size());
            EXPECT_TRUE(ours.ok) << name << " at level " << level << ": " << ours.code;
            EXPECT_TRUE(ours.bytes == data) << name << " at level " << level;
            EXPECT_TRUE(SameAsReference(stream, data.size())) << name << " at level " << level;
            // Room to spare changes nothing; one byte too few is refused.
            EXPECT_TRUE(SameAsReference(stream, data.size() + 100)) << name;
            if (!data.empty()) {
                EXPECT_EQ(Ours(stream, data.size() - 1).code,
                          static_cast<int>(pack::Lzo1xStatus::kOutputOverrun))
                    << name;
                EXPECT_TRUE(SameAsReference(stream, data.size() - 1)) << name;
            }
        }
    }
}

// Incompressible content becomes one literal run whose length takes about
// 20 000 zero bytes to write: still a length, not an overflow, on 32 bits.
TEST(Lzo1xDecoder, ALiteralRunOfFiveMegabytes) {
    Bytes noise(5u << 20);
    uint32_t seed = 5;
    for (uint8_t& b : noise) b = static_cast<uint8_t>(Next(seed) >> 24);
    const Bytes stream = Compress1(noise);
    Decoded ours = Ours(stream, noise.size());
    EXPECT_TRUE(ours.ok) << ours.code;
    EXPECT_TRUE(ours.bytes == noise);
}

// Hand-made streams, each with a different instruction or boundary, decoded
// as liblzo2 decodes them (the expected status is ours).
TEST(Lzo1xDecoder, EachInstructionAsLiblzo2ReadsIt) {
    using S = pack::Lzo1xStatus;
    const struct {
        const char* what;
        Bytes stream;
        S status;
    } cases[] = {
        {"empty stream: only the end marker", {0x11, 0, 0}, S::kOk},
        {"first byte 18: one literal, then a 2-byte copy from 1 back",
         {18, 'a', 0x00, 0x00, 0x11, 0, 0}, S::kOk},
        {"first byte 20: three literals, a 2-byte copy from 3 back with one literal",
         {20, 'a', 'b', 'c', 0x09, 0x00, 'd', 0x11, 0, 0}, S::kOk},
        {"first byte 21: four literals count as a run (the next copy is from 2049 on)",
         {21, 'a', 'b', 'c', 'd', 0x00, 0x00, 0x11, 0, 0}, S::kLookbehindOverrun},
        {"a literal run of 3 + L", {0x02, 'a', 'b', 'c', 'd', 'e', 0x11, 0, 0}, S::kOk},
        {"a long literal run (18 + 2)",
         {0x00, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 0x11, 0, 0},
         S::kOk},
        {"a long length over zero bytes (18 + 255 + 1) running out of input",
         {0x00, 0x00, 0x01, 'a'}, S::kInputOverrun},
        {"a 3-4 byte copy (01LDDDSS) with two literals",
         {0x05, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x66, 0x00, 'x', 'y', 0x11, 0, 0}, S::kOk},
        {"a 5-8 byte copy (1LLDDDSS) overlapping itself",
         {0x01, 'a', 'b', 'c', 'd', 0xE0, 0x00, 0x11, 0, 0}, S::kOk},
        {"a near copy (001LLLLL) with a long length",
         {0x01, 'a', 'b', 'c', 'd', 0x20, 0x00, 0x07, 0x04, 0x00, 0x11, 0, 0}, S::kOk},
        {"a near copy from too far back", {0x01, 'a', 'b', 'c', 'd', 0x21, 0x10, 0x00, 0x11, 0, 0},
         S::kLookbehindOverrun},
        {"a far copy (0001HLLL) from beyond the output", {0x01, 'a', 'b', 'c', 'd', 0x19, 0x04, 0x00, 0x11, 0, 0},
         S::kLookbehindOverrun},
        {"the end marker with literal bits set", {0x01, 'a', 'b', 'c', 'd', 0x11, 0x03, 0x00}, S::kOk},
        {"the end marker with a long length", {0x01, 'a', 'b', 'c', 'd', 0x10, 0x00, 0x05, 0, 0}, S::kOk},
        {"a byte after the end marker", {0x11, 0, 0, 0}, S::kInputNotConsumed},
        {"no end marker", {0x01, 'a', 'b', 'c', 'd'}, S::kInputOverrun},
        {"nothing at all", {}, S::kInputOverrun},
        {"first byte 64 is a run of 47 literals, here cut short", {0x40, 0x00, 0x11, 0, 0},
         S::kInputOverrun},
        {"first byte 17 is an ordinary far copy", {0x11, 0x04, 0x00, 0x11, 0, 0}, S::kLookbehindOverrun},
        {"a literal run longer than the input", {0x0F, 'a', 'b'}, S::kInputOverrun},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Ours(c.stream, 4096).code, static_cast<int>(c.status)) << c.what;
        EXPECT_TRUE(SameAsReference(c.stream, 4096)) << c.what;
    }
}

TEST(Lzo1xDecoder, RefusesCutAndMutatedStreamsAsLiblzo2Does) {
    uint32_t seed = 2024;
    for (const auto& [name, data] : VariedData()) {
        if (data.size() > 80000) continue;  // every cut of each stream below
        const Bytes stream = Compress999(data);
        for (size_t n = 0; n < stream.size(); n += 1 + stream.size() / 700) {
            Decoded ours = Ours(Bytes(stream.begin(), stream.begin() + n), data.size());
            EXPECT_FALSE(ours.ok) << name << " cut to " << n;
        }
        for (int round = 0; round < 300 && !stream.empty(); ++round) {
            Bytes mutated = stream;
            const int flips = 1 + round % 3;
            for (int f = 0; f < flips; ++f)
                mutated[Next(seed) % mutated.size()] ^= static_cast<uint8_t>(1 + (Next(seed) >> 24) % 255);
            const size_t capacity = round % 2 ? data.size() : data.size() * 2 + 64;
            EXPECT_TRUE(SameAsReference(mutated, capacity)) << name << " round " << round;
        }
    }
    for (int round = 0; round < 3000; ++round) {  // noise as a stream
        Bytes noise(1 + Next(seed) % 64);
        for (uint8_t& b : noise) b = static_cast<uint8_t>(Next(seed) >> 24);
        if (round % 4 == 0) noise[0] = static_cast<uint8_t>(Next(seed) % 32);
        EXPECT_TRUE(SameAsReference(noise, 1 + Next(seed) % 512)) << "noise round " << round;
    }
}

// Every entry of the packs appended to the game executables of this build.
TEST(Lzo1xDecoder, EveryEntryOfTheBuiltGamePacks) {
    std::istringstream list(BRINDLE_TEST_PACKS);
    std::string path;
    int entries = 0;
    while (std::getline(list, path, '|')) {
        const Bytes file = ReadFileBytes(path);
        ASSERT_FALSE(file.empty()) << path;
        pack::MemorySource source(file.data(), file.size());
        pack::Layout layout;
        ASSERT_EQ(pack::ReadLayout(source, layout), pack::LayoutStatus::kOk) << path;
        pack::DirectoryReader reader(source, layout);
        pack::Entry entry;
        while (reader.Next(entry)) {
            ASSERT_TRUE(pack::DataInFile(layout, entry)) << path << ": " << entry.name;
            const uint8_t* stored = file.data() + entry.dataStart;
            const uint32_t size = pack::GetU32(stored);
            const Bytes stream(stored + 4, stored + entry.storedSize);
            Decoded ours = Ours(stream, size);
            EXPECT_TRUE(ours.ok && ours.bytes.size() == size) << path << ": " << entry.name;
            EXPECT_TRUE(SameAsReference(stream, size)) << path << ": " << entry.name;
            ++entries;
        }
    }
    EXPECT_GE(entries, 3);  // Glimmerball's back.bmp, reflect.bmp and smalfont.bmp at least
}

}  // namespace
