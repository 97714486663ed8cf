// The one file writer: a new file beside the target, renamed over it only
// when complete; targets it may not replace are left alone and logged.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/file_writer.h"
#include "platform/files.h"
#include "support/files_test_dir.h"

namespace fs = std::filesystem;

namespace {
// Every name in the directory but the expected ones: temporary files left.
std::vector<std::string> Others(const ScratchDir& scratch, const std::vector<std::string>& expected) {
    std::vector<std::string> others;
    for (const auto& e : fs::directory_iterator(scratch.dir())) {
        const std::string name = e.path().filename().string();
        bool known = false;
        for (const std::string& x : expected) known = known || name == x;
        if (!known) others.push_back(name);
    }
    return others;
}

void MakeReadOnly(const std::string& path, bool readOnly) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
}
}  // namespace

TEST(FileWriter, ReplacesOnlyWhatItMayAndSaysWhyNot) {
    enum Setup { kNone, kOld, kReadOnly, kDirectory, kHeldOpen, kNoFolder };
    struct Case {
        Setup setup;
        bool written;
        const char* reason;  // ends the error-log line; null: no line
    } cases[] = {
        {kNone, true, nullptr},
        {kOld, true, nullptr},
        {kReadOnly, false, " (read-only)"},
        {kDirectory, false, " (a directory)"},
        {kHeldOpen, false, " (in use)"},
        {kNoFolder, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setup);
        ScratchDir scratch;
        std::string target = scratch.Path("target.txt");
        platform::File held = nullptr;
        if (c.setup == kOld || c.setup == kReadOnly || c.setup == kHeldOpen) PutFile(target, "old");
        if (c.setup == kReadOnly) MakeReadOnly(target, true);
        if (c.setup == kDirectory) fs::create_directory(target);
        if (c.setup == kHeldOpen) held = platform::OpenFileForRead(target.c_str());
        if (c.setup == kNoFolder) target = scratch.Path("no/target.txt");
        const std::string before = FileBytes(target), logBefore = ErrorLogText();

        EXPECT_EQ(WriteFileSafely(target.c_str(), std::string(100000, 'n')), c.written);
        if (held) platform::CloseFile(held);
        if (c.setup == kReadOnly) MakeReadOnly(target, false);
        EXPECT_EQ(FileBytes(target), c.written ? std::string(100000, 'n') : before);
        EXPECT_EQ(Others(scratch, {"target.txt"}), std::vector<std::string>{});
        const std::string logged = ErrorLogText().substr(logBefore.size());
        EXPECT_EQ(logged, c.reason ? "File not written: " + target + c.reason + "\r\n" : "");
    }
}

namespace {
// What the target and the directory hold at each step of a write.
std::vector<std::string> seen;
ScratchDir* watched = nullptr;
void Watch(FileWriteStep step, const char* target) {
    std::string beside;
    for (const std::string& name : Others(*watched, {"target.txt"})) beside += FileBytes(watched->Path(name)) + ";";
    seen.push_back(std::to_string(static_cast<int>(step)) + ":" + FileBytes(target) + ":" + beside);
}
}  // namespace

TEST(FileWriter, StreamsChunksAndTheTargetIsOldOrNewAtEveryStep) {
    ScratchDir scratch;
    watched = &scratch;
    const std::string target = scratch.Path("target.txt");
    PutFile(target, "old");
    SetFileWriteObserver(Watch);
    {
        FileWriter out;
        ASSERT_TRUE(out.Open(target.c_str()));
        EXPECT_TRUE(out.Write("ab", 2));
        EXPECT_TRUE(out.Write("cd", 2));
        out.Abandon();  // also what the destructor does with an open writer
        EXPECT_FALSE(out.IsOpen());
        EXPECT_FALSE(out.Commit());
    }
    EXPECT_EQ(FileBytes(target), "old");
    EXPECT_EQ(Others(scratch, {"target.txt"}).size(), 0u);
    {
        FileWriter dropped;
        ASSERT_TRUE(dropped.Open(target.c_str()));
    }
    EXPECT_EQ(Others(scratch, {"target.txt"}).size(), 0u);
    seen.clear();
    FileWriter out;
    ASSERT_TRUE(out.Open(target.c_str()));
    EXPECT_TRUE(out.Write("new ", 4));
    EXPECT_TRUE(out.Write("bytes", 5));
    EXPECT_TRUE(out.Commit());
    SetFileWriteObserver(nullptr);
    // Created, Wrote, Wrote, Flushed (old target, full temporary file beside
    // it), Replaced (new target, nothing beside it).
    EXPECT_EQ(seen, (std::vector<std::string>{"0:old:;", "1:old:new ;", "1:old:new bytes;",
                                              "2:old:new bytes;", "3:new bytes:"}));
    EXPECT_FALSE(out.Write("x", 1)) << "a committed writer is closed";
    EXPECT_EQ(FileBytes(target), "new bytes");
}
