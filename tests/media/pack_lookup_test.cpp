// Media lookup through packs built by the brindle-pack tool of this build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/runtime_state.h"
#include "files/pack_paths.h"
#include "media/media_pack.h"
#include "media/pack_format.h"
#include "media_test_files.h"
#include "platform/system.h"

namespace {

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// dataOffset and storedSize of a named entry, read straight from the file.
struct RawEntry {
    int32_t dataOffset = 0;
    uint32_t storedSize = 0;
    bool found = false;
};
RawEntry FindRaw(const std::string& packPath, const std::string& name, int32_t* directoryOffset = nullptr) {
    std::vector<uint8_t> f = ReadFileBytes(packPath);
    RawEntry r;
    if (f.size() < 4) return r;
    const int32_t d = static_cast<int32_t>(pack::GetU32(&f[f.size() - 4]));
    if (directoryOffset) *directoryOffset = d;
    size_t at = d < 0 ? f.size() + d : static_cast<size_t>(d);
    while (at < f.size() - 4 && f[at] != 0) {
        const size_t n = f[at];
        std::string entry(reinterpret_cast<const char*>(&f[at + 1]), n);
        if (entry == name) {
            r.dataOffset = static_cast<int32_t>(pack::GetU32(&f[at + 1 + n]));
            r.storedSize = pack::GetU32(&f[at + 5 + n]);
            r.found = true;
        }
        at += 1 + n + 8;
    }
    return r;
}

std::string ExpectedExtractedPath(const RawEntry& e, const std::string& name) {
    std::string path = platform::TempDirectory() + "~voz";
    path += static_cast<char>('A' + static_cast<uint32_t>(e.dataOffset) % 26);
    path += static_cast<char>('A' + e.storedSize % 26);
    return path + name;
}

class PackLookup : public testing::Test {
protected:
    void SetUp() override {
        dir = ScratchPath(testing::UnitTest::GetInstance()->current_test_info()->name()) + "/";
        std::filesystem::create_directories(dir);
        WriteFileText(dir + "Smalfont.BMP", std::string(3000, 'f') + "font end");
        WriteFileText(dir + "level.txt", "level one\r\nlevel two\r\n");
    }
    std::string Pack(const std::string& options, const std::string& name = "game.pack") {
        const std::string path = dir + name;
        EXPECT_EQ(RunPackTool("add " + options + " " + path + " " + dir + "Smalfont.BMP " + dir +
                              "level.txt"),
                  0);
        return path;
    }
    MediaPack RecordFor(const std::string& packPath) {
        MediaPack record;
        std::strncpy(record.packPath, packPath.c_str(), sizeof record.packPath - 1);
        return record;
    }
    std::string dir;
};

}  // namespace

TEST_F(PackLookup, SuffixMatchWithoutCaseExtractsUnderItsName) {
    const std::string packPath = Pack("");
    MediaPack record = RecordFor(packPath);
    const RawEntry raw = FindRaw(packPath, "Smalfont.BMP");
    ASSERT_TRUE(raw.found);

    char resolved[kResolvedNameSize] = "unchanged";
    ASSERT_TRUE(ResolveMediaFile(&record, "data/SMALFONT.bmp", resolved));
    const std::string expected = ExpectedExtractedPath(raw, "Smalfont.BMP");
    EXPECT_EQ(std::string(resolved), expected);
    EXPECT_STREQ(record.extractedPath, expected.c_str());
    EXPECT_EQ(Text(ReadFileBytes(resolved)), std::string(3000, 'f') + "font end");

    // A plain suffix: a longer name ending the same way also matches.
    ASSERT_TRUE(ResolveMediaFile(&record, "bigsmalfont.bmp", resolved));
    EXPECT_EQ(std::string(resolved), expected);
    // An entry name longer than the request never matches.
    std::strcpy(resolved, "unchanged");
    EXPECT_FALSE(ResolveMediaFile(&record, "malfont.bmp", resolved));
    EXPECT_STREQ(resolved, "");
    EXPECT_FALSE(FileExistsAt(expected));  // the failed lookup removed it too
    EXPECT_STREQ(record.extractedPath, "");
}

TEST_F(PackLookup, NextLookupDeletesTheRecordsPreviousFile) {
    const std::string packPath = Pack("");
    MediaPack images = RecordFor(packPath), music = RecordFor(packPath);
    char first[kResolvedNameSize], second[kResolvedNameSize], streamed[kResolvedNameSize];
    ASSERT_TRUE(ResolveMediaFile(&images, "smalfont.bmp", first));
    ASSERT_TRUE(FileExistsAt(first));
    ASSERT_TRUE(ResolveMediaFile(&images, "level.txt", second));
    EXPECT_FALSE(FileExistsAt(first));
    EXPECT_TRUE(FileExistsAt(second));
    EXPECT_EQ(Text(ReadFileBytes(second)), "level one\r\nlevel two\r\n");

    // Each record removes only its own file.
    ASSERT_TRUE(ResolveMediaFile(&music, "smalfont.bmp", streamed));
    ASSERT_TRUE(ResolveMediaFile(&images, (dir + "level.txt").c_str(), first));  // on disk
    EXPECT_FALSE(FileExistsAt(second));
    EXPECT_TRUE(FileExistsAt(streamed));

    // An empty request deletes the pending file and gives an empty name.
    ASSERT_TRUE(ResolveMediaFile(&images, "level.txt", second));
    std::strcpy(first, "something");
    EXPECT_FALSE(ResolveMediaFile(&images, "", first));
    EXPECT_STREQ(first, "");
    EXPECT_FALSE(FileExistsAt(second));
    EXPECT_STREQ(images.extractedPath, "");
    EXPECT_FALSE(ResolveMediaFile(&images, nullptr, first));
    EXPECT_TRUE(FileExistsAt(streamed));
    DeleteExtractedFile(&music);
    EXPECT_FALSE(FileExistsAt(streamed));
}

TEST_F(PackLookup, FileOnDiskWinsOverThePack) {
    const std::string packPath = Pack("");
    MediaPack record = RecordFor(packPath);
    const std::string onDisk = dir + "level.txt";
    char resolved[kResolvedNameSize];
    ASSERT_TRUE(ResolveMediaFile(&record, onDisk.c_str(), resolved));
    EXPECT_EQ(std::string(resolved), onDisk);
    EXPECT_STREQ(record.extractedPath, "");

    // requestedName and resolvedName may be the same buffer.
    std::strcpy(resolved, onDisk.c_str());
    ASSERT_TRUE(ResolveMediaFile(&record, resolved, resolved));
    EXPECT_EQ(std::string(resolved), onDisk);
    std::strcpy(resolved, (dir + "gone/smalfont.bmp").c_str());
    ASSERT_TRUE(ResolveMediaFile(&record, resolved, resolved));
    EXPECT_STREQ(resolved, record.extractedPath);

    // A name longer than the caller's buffer is refused, even on disk,
    // instead of being copied past the buffer's end.
    // (Linux creates the file; Windows paths stop at 260 characters.)
    const std::string deep = dir + std::string(200, 'a') + "/" + std::string(200, 'b') + "/";
    std::error_code ec;
    std::filesystem::create_directories(deep, ec);
    const std::string longName = deep + std::string(150, 'c');
    if (std::FILE* f = std::fopen(longName.c_str(), "wb")) std::fclose(f);
    char guarded[kResolvedNameSize + 16];
    std::memset(guarded, '#', sizeof guarded);
    EXPECT_FALSE(ResolveMediaFile(&record, longName.c_str(), guarded));
    EXPECT_EQ(guarded[0], '\0');
    EXPECT_EQ(guarded[kResolvedNameSize], '#');

    // Without a pack only the disk counts, and the buffer is left alone.
    MediaPack none;
    std::strcpy(resolved, "kept");
    EXPECT_FALSE(ResolveMediaFile(&none, "smalfont.bmp", resolved));
    EXPECT_STREQ(resolved, "kept");
    // A pack that cannot be opened (a directory) is the same.
    MediaPack directory = RecordFor(dir);
    EXPECT_FALSE(ResolveMediaFile(&directory, "smalfont.bmp", resolved));
    EXPECT_STREQ(resolved, "kept");
    DeleteExtractedFile(&record);

    // The runtime's strings: resolved gets its length fixed.
    RtString name("LEVEL.txt"), path;
    MediaPack strings = RecordFor(packPath);
    ASSERT_TRUE(ResolveMediaFile(&strings, name, path));
    EXPECT_STREQ(path.Text(), strings.extractedPath);
    EXPECT_EQ(path.length(), std::strlen(strings.extractedPath));
    DeleteExtractedFile(&strings);
}

TEST_F(PackLookup, NegativeDirectoryOffsetCountsFromTheEnd) {
    // A host file in front, as with an executable.
    WriteFileText(dir + "host.exe", std::string(777, 'H'));
    const std::string packPath = dir + "host.exe";
    ASSERT_EQ(RunPackTool("add --from-end " + packPath + " " + dir + "Smalfont.BMP " + dir + "level.txt"), 0);
    int32_t directoryOffset = 0;
    const RawEntry raw = FindRaw(packPath, "level.txt", &directoryOffset);
    ASSERT_TRUE(raw.found);
    EXPECT_LT(directoryOffset, 0);
    EXPECT_LT(raw.dataOffset, 0);
    EXPECT_EQ(Text(ReadFileBytes(packPath)).substr(0, 777), std::string(777, 'H'));

    MediaPack record = RecordFor(packPath);
    char resolved[kResolvedNameSize];
    ASSERT_TRUE(ResolveMediaFile(&record, "Level.Txt", resolved));
    EXPECT_EQ(std::string(resolved), ExpectedExtractedPath(raw, "level.txt"));
    EXPECT_EQ(Text(ReadFileBytes(resolved)), "level one\r\nlevel two\r\n");
    DeleteExtractedFile(&record);
}

TEST_F(PackLookup, SetPackPathsAndReleaseDeletePendingFiles) {
    const std::string packPath = Pack("");
    // The records of a runtime started by other tests come back afterwards.
    MediaPack* const started[2] = {runtime.mediaPack, runtime.streamPack};
    CreateMediaPacks();
    SetPackPaths(packPath.c_str(), packPath.c_str());
    EXPECT_STREQ(runtime.mediaPack->packPath, packPath.c_str());
    char a[kResolvedNameSize], b[kResolvedNameSize];
    ASSERT_TRUE(ResolveMediaFile(runtime.mediaPack, "smalfont.bmp", a));
    ASSERT_TRUE(ResolveMediaFile(runtime.streamPack, "level.txt", b));
    SetPackPaths("", packPath.c_str());
    EXPECT_FALSE(FileExistsAt(a));
    EXPECT_FALSE(FileExistsAt(b));
    EXPECT_STREQ(runtime.mediaPack->packPath, "");
    EXPECT_STREQ(runtime.streamPack->extractedPath, "");
    // A path that does not fit is not cut to some other file's name.
    SetPackPaths(std::string(300, 'p').c_str(), nullptr);
    EXPECT_STREQ(runtime.mediaPack->packPath, "");
    EXPECT_STREQ(runtime.streamPack->packPath, "");

    SetPackPaths(packPath.c_str(), packPath.c_str());
    ASSERT_TRUE(ResolveMediaFile(runtime.streamPack, "level.txt", b));
    ReleaseMediaPacks();
    EXPECT_FALSE(FileExistsAt(b));
    EXPECT_EQ(runtime.mediaPack, nullptr);
    EXPECT_EQ(runtime.streamPack, nullptr);
    runtime.mediaPack = started[0];
    runtime.streamPack = started[1];
}

TEST_F(PackLookup, ToolReplacesKeepsListsAndExtracts) {
    const std::string packPath = Pack("");
    // Same name without regard to case: replaced in place; others kept.
    std::filesystem::create_directories(dir + "v2");
    WriteFileText(dir + "v2/LEVEL.TXT", "level three");
    WriteFileText(dir + "extra.wav", "RIFF");
    ASSERT_EQ(RunPackTool("add " + packPath + " " + dir + "v2/LEVEL.TXT " + dir + "extra.wav"), 0);
    ASSERT_EQ(RunPackTool("list " + packPath + " > " + dir + "list.txt"), 0);
    std::string listing = Text(ReadFileBytes(dir + "list.txt"));
    listing.erase(std::remove(listing.begin(), listing.end(), '\r'), listing.end());
    const RawEntry font = FindRaw(packPath, "Smalfont.BMP");
    const RawEntry level = FindRaw(packPath, "LEVEL.TXT");
    const RawEntry extra = FindRaw(packPath, "extra.wav");
    EXPECT_EQ(listing, "Smalfont.BMP\t3008\t" + std::to_string(font.storedSize) + "\n" +
                           "LEVEL.TXT\t11\t" + std::to_string(level.storedSize) + "\n" +
                           "extra.wav\t4\t" + std::to_string(extra.storedSize) + "\n");
    EXPECT_FALSE(FindRaw(packPath, "level.txt").found);

    ASSERT_EQ(RunPackTool("extract " + packPath + " " + dir + "out"), 0);
    EXPECT_EQ(Text(ReadFileBytes(dir + "out/Smalfont.BMP")), std::string(3000, 'f') + "font end");
    EXPECT_EQ(Text(ReadFileBytes(dir + "out/LEVEL.TXT")), "level three");
    EXPECT_EQ(Text(ReadFileBytes(dir + "out/extra.wav")), "RIFF");

    MediaPack record = RecordFor(packPath);
    char resolved[kResolvedNameSize];
    ASSERT_TRUE(ResolveMediaFile(&record, "level.txt", resolved));
    EXPECT_EQ(Text(ReadFileBytes(resolved)), "level three");
    DeleteExtractedFile(&record);
}

TEST_F(PackLookup, ToolRefusesBadInputAndLeavesThePack) {
    const std::string packPath = Pack("");
    const std::vector<uint8_t> before = ReadFileBytes(packPath);
    EXPECT_EQ(RunPackTool("add " + packPath + " " + dir + "missing.bmp"), 1);
    EXPECT_EQ(RunPackTool("add " + packPath + " " + dir + "level.txt " + dir), 1);  // a directory
    EXPECT_EQ(ReadFileBytes(packPath), before);
    EXPECT_EQ(RunPackTool("add " + dir + "no/such/dir/p.pack " + dir + "level.txt"), 1);
    EXPECT_EQ(RunPackTool("list " + dir + "level.txt"), 1);   // holds no pack
    EXPECT_EQ(RunPackTool("extract " + dir + "missing.pack"), 1);
    EXPECT_EQ(RunPackTool("list"), 2);
    EXPECT_EQ(RunPackTool("frobnicate " + packPath), 2);
    EXPECT_EQ(RunPackTool("add --sideways " + packPath + " " + dir + "level.txt"), 2);
    // A stored name is at most 255 bytes (checked before the file is read).
    EXPECT_EQ(RunPackTool("add " + packPath + " " + dir + std::string(256, 'n') + " 2> " + dir +
                          "long.txt"),
              1);
    EXPECT_NE(Text(ReadFileBytes(dir + "long.txt")).find("longer than 255 bytes"), std::string::npos);
    EXPECT_EQ(RunPackTool("--help > " + dir + "help.txt"), 0);
    EXPECT_NE(Text(ReadFileBytes(dir + "help.txt")).find("brindle-pack add"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(packPath), before);
}
