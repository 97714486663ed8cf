// Media lookup through packs built by the brindle-pack tool of this build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
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

#ifndef _WIN32
#include <sys/resource.h>
#endif

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

// An extraction path: the temporary directory, "~voz", the random token
// (lower-case letters and digits), the entry's name.
::testing::AssertionResult IsExtractedPath(const std::string& path, const std::string& name) {
    const std::string prefix = platform::TempDirectory() + "~voz";
    if (path.size() != prefix.size() + kExtractTokenLength + name.size() ||
        path.compare(0, prefix.size(), prefix) != 0 ||
        path.compare(path.size() - name.size(), name.size(), name) != 0)
        return ::testing::AssertionFailure() << path << " is no extraction path of " << name;
    for (size_t i = prefix.size(); i < prefix.size() + kExtractTokenLength; ++i)
        if (!std::islower(static_cast<unsigned char>(path[i])) &&
            !std::isdigit(static_cast<unsigned char>(path[i])))
            return ::testing::AssertionFailure() << path << ": token character '" << path[i] << "'";
    return ::testing::AssertionSuccess();
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
    char resolved[kResolvedNameSize] = "unchanged";
    ASSERT_TRUE(ResolveMediaFile(&record, "data/SMALFONT.bmp", resolved));
    const std::string first = resolved;
    EXPECT_TRUE(IsExtractedPath(first, "Smalfont.BMP"));
    EXPECT_STREQ(record.extractedPath, first.c_str());
    EXPECT_EQ(Text(ReadFileBytes(resolved)), std::string(3000, 'f') + "font end");

    // A plain suffix: a longer name ending the same way also matches. Each
    // extraction gets a fresh name; the previous file is gone.
    ASSERT_TRUE(ResolveMediaFile(&record, "bigsmalfont.bmp", resolved));
    const std::string expected = resolved;
    EXPECT_TRUE(IsExtractedPath(expected, "Smalfont.BMP"));
    EXPECT_NE(expected, first);
    EXPECT_FALSE(FileExistsAt(first));
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

TEST_F(PackLookup, ExtractionNeverReusesAFileAlreadyThere) {
    const std::string packPath = Pack("");
    MediaPack record = RecordFor(packPath);
    const RawEntry raw = FindRaw(packPath, "level.txt");
    ASSERT_TRUE(raw.found);
    // Files planted where a name computed from the entry would put it, and
    // one at the runtime's own former name: none is read or overwritten.
    std::string guessed = platform::TempDirectory() + "~voz";
    guessed += static_cast<char>('A' + static_cast<uint32_t>(raw.dataOffset) % 26);
    guessed += static_cast<char>('A' + raw.storedSize % 26);
    guessed += "level.txt";
    WriteFileText(guessed, "planted");
    char resolved[kResolvedNameSize];
    ASSERT_TRUE(ResolveMediaFile(&record, "level.txt", resolved));
    EXPECT_NE(std::string(resolved), guessed);
    EXPECT_EQ(Text(ReadFileBytes(resolved)), "level one\r\nlevel two\r\n");
    EXPECT_EQ(Text(ReadFileBytes(guessed)), "planted");
    DeleteExtractedFile(&record);
    EXPECT_EQ(Text(ReadFileBytes(guessed)), "planted");
    std::remove(guessed.c_str());

    // Creating a file exclusively: an existing name is never opened.
    const std::string taken = dir + "taken.txt";
    WriteFileText(taken, "mine");
    EXPECT_EQ(platform::CreateNewFile(taken.c_str()), nullptr);
    EXPECT_EQ(Text(ReadFileBytes(taken)), "mine");
    std::FILE* fresh = platform::CreateNewFile((dir + "fresh.txt").c_str());
    ASSERT_NE(fresh, nullptr);
    std::fclose(fresh);
    EXPECT_TRUE(FileExistsAt(dir + "fresh.txt"));
    std::error_code ec;
    std::filesystem::create_symlink(taken, dir + "link.txt", ec);
    if (!ec) {  // where links can be made: a link is not followed
        EXPECT_EQ(platform::CreateNewFile((dir + "link.txt").c_str()), nullptr);
        std::filesystem::create_symlink(dir + "nowhere.txt", dir + "dangling.txt", ec);
        EXPECT_EQ(platform::CreateNewFile((dir + "dangling.txt").c_str()), nullptr);
        EXPECT_FALSE(FileExistsAt(dir + "nowhere.txt"));
        EXPECT_EQ(Text(ReadFileBytes(taken)), "mine");
    }
}

TEST_F(PackLookup, AnExtractionThatCannotBeWrittenIsNotFound) {
    const std::string packPath = Pack("");
    MediaPack record = RecordFor(packPath);
    char resolved[kResolvedNameSize] = "unchanged";
    // A temporary directory that does not exist: nothing can be created.
    const std::string missing = dir + "no-such-dir";
    {
        ScopedTempDirectory temp(missing);
        // (Windows gives it back with backslashes.)
        ASSERT_NE(platform::TempDirectory().find("no-such-dir"), std::string::npos);
        EXPECT_FALSE(ResolveMediaFile(&record, "level.txt", resolved));
    }
    EXPECT_STREQ(resolved, "");
    EXPECT_STREQ(record.extractedPath, "");

#ifndef _WIN32  // file size limits (setrlimit) exist on POSIX systems only
    // A write cut short by the file size limit: not found, and the partial
    // file is deleted.
    const std::string temp = dir + "tmp/";
    std::filesystem::create_directories(temp);
    ScopedTempDirectory inTemp(temp);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a signal
    rlimit small{1000, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool found = ResolveMediaFile(&record, "smalfont.bmp", resolved);  // 3008 bytes
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(found);
    EXPECT_STREQ(resolved, "");
    for (const auto& entry : std::filesystem::directory_iterator(temp))
        EXPECT_EQ(entry.path().filename().string().rfind("~voz", 0), std::string::npos)
            << "left behind: " << entry.path();
#endif
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
    EXPECT_TRUE(IsExtractedPath(resolved, "level.txt"));
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
    SetPackPaths(std::string(kMediaPathSize, 'p').c_str(), nullptr);
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
