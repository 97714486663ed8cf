// Packs whose directory or entries lie: the lookup fails cleanly, reads and
// writes nothing outside its buffers, and says why in the error log.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/error_log.h"
#include "media/media_pack.h"
#include "media/pack_format.h"
#include "media_test_files.h"
#include "pack_compress.h"
#include "platform/system.h"

namespace {

struct RawEntry {
    std::string name;
    std::vector<uint8_t> stored;  // as written; may lie about itself
    int32_t dataOffset = 0;       // filled by Layout unless overridden
    uint32_t storedSize = 0;
    bool keepOffset = false, keepSize = false;
};

std::vector<uint8_t> Stored(const std::string& content) {
    std::vector<uint8_t> stored;
    EXPECT_TRUE(pack::CompressContent(reinterpret_cast<const uint8_t*>(content.data()),
                                      content.size(), stored));
    return stored;
}

// Host bytes, entry data, directory (with terminator unless cut), offset.
std::vector<uint8_t> Build(std::vector<RawEntry> entries, bool terminate = true) {
    std::vector<uint8_t> f(16, 'h');
    for (RawEntry& e : entries) {
        if (!e.keepOffset) e.dataOffset = static_cast<int32_t>(f.size());
        if (!e.keepSize) e.storedSize = static_cast<uint32_t>(e.stored.size());
        f.insert(f.end(), e.stored.begin(), e.stored.end());
    }
    const uint32_t directory = static_cast<uint32_t>(f.size());
    for (const RawEntry& e : entries) {
        f.push_back(static_cast<uint8_t>(e.name.size()));
        f.insert(f.end(), e.name.begin(), e.name.end());
        uint8_t field[8];
        pack::PutU32(field, static_cast<uint32_t>(e.dataOffset));
        pack::PutU32(field + 4, e.storedSize);
        f.insert(f.end(), field, field + 8);
    }
    if (terminate) f.push_back(0);
    uint8_t tail[4];
    pack::PutU32(tail, directory);
    f.insert(f.end(), tail, tail + 4);
    return f;
}

class PackBadInput : public testing::Test {
protected:
    // Looks name up in a pack holding bytes; false expected unless said.
    bool Lookup(const std::vector<uint8_t>& bytes, const char* name, std::string* path = nullptr) {
        const std::string packPath = ScratchPath("bad.pack");
        WriteFileBytes(packPath, bytes);
        MediaPack record;
        std::strcpy(record.packPath, packPath.c_str());
        char resolved[kResolvedNameSize] = "unchanged";
        bool found = ResolveMediaFile(&record, name, resolved);
        if (!found) EXPECT_STREQ(resolved, "") << "the pack was opened";
        if (path) *path = resolved;
        if (found) {
            content = ReadFileBytes(resolved);
            DeleteExtractedFile(&record);
        }
        return found;
    }
    std::string LogTail() {
        std::vector<uint8_t> log = ReadFileBytes(ErrorLogPath());
        std::string text(log.begin(), log.end());
        return text.substr(logStart < text.size() ? logStart : text.size());
    }
    void SetUp() override { logStart = ReadFileBytes(ErrorLogPath()).size(); }
    size_t logStart = 0;
    std::vector<uint8_t> content;
};

}  // namespace

TEST_F(PackBadInput, AGoodHandMadePackIsFound) {
    EXPECT_TRUE(Lookup(Build({{"a.txt", Stored("alpha")}, {"b.txt", Stored("beta")}}), "B.TXT"));
    EXPECT_EQ(std::string(content.begin(), content.end()), "beta");
    // No terminator: the directory ends where the offset field begins.
    EXPECT_TRUE(Lookup(Build({{"a.txt", Stored("alpha")}}, false), "a.txt"));
    EXPECT_EQ(std::string(content.begin(), content.end()), "alpha");
    // An empty entry extracts an empty file.
    EXPECT_TRUE(Lookup(Build({{"e.txt", Stored("")}}), "e.txt"));
    EXPECT_TRUE(content.empty());
}

TEST_F(PackBadInput, EntryPointingOutsideTheFile) {
    RawEntry beyond{"a.txt", Stored("alpha")};
    beyond.dataOffset = 100000;
    beyond.keepOffset = true;
    EXPECT_FALSE(Lookup(Build({beyond}), "a.txt"));
    RawEntry negative{"a.txt", Stored("alpha")};
    negative.dataOffset = -5;  // positive directory: from the start, so before it
    negative.keepOffset = true;
    EXPECT_FALSE(Lookup(Build({negative}), "a.txt"));
    RawEntry tooLong{"a.txt", Stored("alpha")};
    tooLong.storedSize = 0xFFFFFFF0u;
    tooLong.keepSize = true;
    EXPECT_FALSE(Lookup(Build({tooLong}), "a.txt"));
    RawEntry tooShort{"a.txt", Stored("alpha")};
    tooShort.storedSize = 3;  // not even the originalSize field
    tooShort.keepSize = true;
    EXPECT_FALSE(Lookup(Build({tooShort}), "a.txt"));
    EXPECT_NE(LogTail().find("Media pack: data lies outside the pack file: a.txt"), std::string::npos);
}

TEST_F(PackBadInput, OriginalSizeBeyondWhatTheDataCanHold) {
    for (uint32_t claimed : {0x7FFFFFFFu, 0xFFFFFFFFu, 1000000u}) {
        std::vector<uint8_t> stored = Stored("alpha");
        pack::PutU32(stored.data(), claimed);
        EXPECT_FALSE(Lookup(Build({{"a.txt", stored}}), "a.txt")) << claimed;
    }
    EXPECT_NE(LogTail().find("original size is not plausible"), std::string::npos);
}

TEST_F(PackBadInput, DirectoryCutShortOrOutside) {
    std::vector<uint8_t> good = Build({{"first.txt", Stored("one")}, {"second.txt", Stored("two")}});
    // Move the offset field so the second entry is cut by it: the entry's
    // fields would otherwise be read from the offset bytes themselves.
    std::vector<uint8_t> cut(good.begin(), good.end() - 4 - 1 - 6);  // drop terminator and 6 bytes
    const uint32_t directory = pack::GetU32(&good[good.size() - 4]);
    uint8_t tail[4];
    pack::PutU32(tail, directory);
    cut.insert(cut.end(), tail, tail + 4);
    EXPECT_TRUE(Lookup(cut, "first.txt"));
    EXPECT_FALSE(Lookup(cut, "second.txt"));

    // Directory offsets outside the file, from either end.
    for (int32_t offset : {1 << 30, -(1 << 30), -1, -4}) {
        std::vector<uint8_t> f = good;
        pack::PutU32(&f[f.size() - 4], static_cast<uint32_t>(offset));
        EXPECT_FALSE(Lookup(f, "first.txt")) << offset;
    }
    // Too short to hold an offset at all.
    EXPECT_FALSE(Lookup({1, 2, 3}, "first.txt"));
    EXPECT_FALSE(Lookup({}, "first.txt"));
    // Every cut of a good pack either finds the entry intact or nothing.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> f(good.begin(), good.begin() + n);
        if (Lookup(f, "second.txt")) EXPECT_EQ(std::string(content.begin(), content.end()), "two");
    }
}

TEST_F(PackBadInput, NamesThatLeaveTheTemporaryDirectory) {
    const std::string dir = platform::TempDirectory();
    for (const char* name : {"../evil.txt", "sub/evil.txt", "sub\\evil.txt", "C:evil.txt", ".."}) {
        EXPECT_FALSE(Lookup(Build({{name, Stored("evil")}}), (std::string("x/") + name).c_str()))
            << name;
    }
    std::string nul("a\0b.txt", 7);
    EXPECT_FALSE(Lookup(Build({{nul, Stored("evil")}}), "b.txt"));
    EXPECT_FALSE(FileExistsAt(dir + "evil.txt"));
    // A long name whose extracted path would not fit the record.
    std::string longName(250, 'n');
    if (dir.size() + 6 + longName.size() >= kMediaPathSize) {
        EXPECT_FALSE(Lookup(Build({{longName, Stored("long")}}), longName.c_str()));
    }
}

TEST_F(PackBadInput, DamagedDataStillExtractsWhatDecoded) {
    std::string text(5000, 'z');
    for (size_t i = 0; i < text.size(); i += 7) text[i] = static_cast<char>('a' + i % 13);
    std::vector<uint8_t> stored = Stored(text);
    stored.resize(stored.size() / 2);  // the compressed stream ends early
    std::string path;
    EXPECT_TRUE(Lookup(Build({{"half.txt", stored}}), "half.txt", &path));
    EXPECT_LT(content.size(), text.size());
    EXPECT_EQ(std::string(content.begin(), content.end()), text.substr(0, content.size()));
    EXPECT_NE(LogTail().find("compressed data is damaged: half.txt"), std::string::npos);
}

TEST_F(PackBadInput, FilesWithoutAPackAreQuiet) {
    // The runtime names its own executable as the pack; without appended
    // media a lookup there finds nothing and has nothing to complain about.
    const std::vector<uint8_t> self = ReadFileBytes(platform::ExecutablePath());
    ASSERT_GT(self.size(), 1000u);
    EXPECT_FALSE(Lookup(self, "smalfont.bmp"));
    std::vector<uint8_t> noise(4096);
    uint32_t seed = 99;
    for (uint8_t& b : noise) b = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    EXPECT_FALSE(Lookup(noise, "smalfont.bmp"));
    EXPECT_EQ(LogTail(), "");
}
