// The line file: reading, writing, write-back.
#include <brindle/core.h>
#include <brindle/files.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/runtime_state.h"
#include "files/line_file.h"
#include "support/files_test_dir.h"

namespace {
class LineFileTest : public testing::Test {
protected:
    // Each test starts and ends without a line file, so nothing is written
    // back into another test's directory.
    void SetUp() override { LineFileOpen(runtime.files.lineFile, nullptr); }
    void TearDown() override { LineFileOpen(runtime.files.lineFile, nullptr); }
    RtString Name(const char* name) { return RtString(scratch.Path(name).c_str()); }
    ScratchDir scratch;
};
}  // namespace

TEST_F(LineFileTest, WrittenEntriesAreWrittenBackAsCrLfLines) {
    WriteLineNumber(Name("new.txt"), 3, 2.5);
    EXPECT_EQ(FileBytes(scratch.Path("new.txt")), "<missing>") << "nothing before write-back";
    LineFileOpen(runtime.files.lineFile, nullptr);
    EXPECT_EQ(FileBytes(scratch.Path("new.txt")), "\r\n\r\n\r\n2.5\r\n");

    WriteLineNumber(Name("new.txt"), 0, 5);
    WriteLineText(Name("new.txt"), 1, std::string(2000, 'x').c_str());  // kept whole
    EXPECT_STREQ(ReadLineText(Name("new.txt"), 0).Text(), "5");
    LineFileOpen(runtime.files.lineFile, nullptr);
    EXPECT_EQ(FileBytes(scratch.Path("new.txt")),
              "5\r\n" + std::string(2000, 'x') + "\r\n\r\n2.5\r\n");
}

// A write-back changes the entries written and keeps every other byte: the
// lines after entry 255, long lines, bytes above 127, LF endings, a last
// line without an ending.
TEST_F(LineFileTest, WriteBackChangesOnlyTheWrittenLines) {
    std::string many, manyChanged;
    for (int i = 0; i < 300; ++i) {
        many += std::to_string(i) + "\n";
        manyChanged += (i == 0 ? std::string("changed") : std::to_string(i)) + "\n";
    }
    const std::string longLine(3000, 'L');
    struct Case {
        std::string before;
        uint32_t entry;
        const char* text;
        std::string after;
    } cases[] = {
        {many, 0, "changed", manyChanged},
        {"one\n" + longLine + "\r\nJos\xC3\xA9\x7F\xFF\n", 0, "1",
         "1\n" + longLine + "\r\nJos\xC3\xA9\x7F\xFF\n"},
        {"a\nb", 3, "d", "a\nb\n\nd\n"},
        {"a\r\nb\r\nc", 1, "B", "a\r\nB\r\nc"},
        {"a\nb", 1, "caf\xC3\xA9", "a\ncaf\xC3\xA9\n"},
        {"", 1, "x", "\r\nx\r\n"},
    };
    for (const Case& c : cases) {
        PutFile(scratch.Path("f.txt"), c.before);
        WriteLineText(Name("f.txt"), c.entry, c.text);
        LineFileOpen(runtime.files.lineFile, nullptr);
        EXPECT_EQ(FileBytes(scratch.Path("f.txt")), c.after) << "from: " << c.before.substr(0, 40);
    }
}

TEST_F(LineFileTest, ReadsLinesAsTheFormatDefines) {
    const std::string longLine(1500, 'L');
    PutFile(scratch.Path("in.txt"), "one\r\ntwo\n   \n\t\n" + longLine + "\r\nafter long\r\n" +
                                        "Jos\xC3\xA9\x01\r\n12.5 apples\nlast");
    struct {
        double entry;
        std::string text;
    } expected[] = {{0, "one"},        {1, "two"}, {2, "   "}, {3, "NO_DATA"},
                    {4, longLine},     {5, "after long"},
                    {6, "Jos\xC3\xA9"},  {7, "12.5 apples"}, {8, "last"},
                    {9, "NO_DATA"},    {255, "NO_DATA"}};
    for (const auto& e : expected)
        EXPECT_EQ(ReadLineText(Name("in.txt"), e.entry).Text(), e.text) << "entry " << e.entry;
    EXPECT_EQ(runtime.files.lineFile.lastLine, 8);
    EXPECT_EQ(ReadLineNumber(Name("in.txt"), 7), 12.5);
    EXPECT_EQ(ReadLineNumber(Name("in.txt"), 9), 0);

    RecordError(0);
    EXPECT_STREQ(ReadLineText(Name("in.txt"), 256).Text(), "NO_DATA");
    EXPECT_EQ(runtime.errorCode, 7);
    RecordError(0);
    EXPECT_STREQ(ReadLineText(Name("in.txt"), -1).Text(), "NO_DATA");
    EXPECT_EQ(runtime.errorCode, 7);
    WriteLineText(Name("in.txt"), 300, "ignored");
    EXPECT_FALSE(runtime.files.lineFile.linesChanged);
}

TEST_F(LineFileTest, MissingFileGivesNoFileOnceThenNoData) {
    RecordError(0);
    EXPECT_STREQ(ReadLineText(Name("missing.txt"), 0).Text(), "NO_FILE");
    EXPECT_EQ(runtime.errorCode, 3);
    EXPECT_STREQ(ReadLineText(Name("missing.txt"), 0).Text(), "NO_DATA");
}

TEST_F(LineFileTest, EntriesStopAt255) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += std::to_string(i) + "\n";
    PutFile(scratch.Path("many.txt"), text);
    EXPECT_STREQ(ReadLineText(Name("many.txt"), 255).Text(), "255");
    EXPECT_EQ(runtime.files.lineFile.lastLine, 255);
}

TEST_F(LineFileTest, AnotherNameWritesTheChangedFileBackFirst) {
    PutFile(scratch.Path("a.txt"), "first\r\n");
    WriteLineText(Name("a.txt"), 0, "changed");
    // Names compare with case: A.txt is another file name (on Windows the
    // same file, which then reads back the written text).
    const std::string other = ReadLineText(Name("A.txt"), 0).Text();
    EXPECT_EQ(FileBytes(scratch.Path("a.txt")), "changed\r\n");
    EXPECT_TRUE(other == "changed" || other == "NO_FILE") << other;
}

TEST_F(LineFileTest, ReadOnlyFileIsNotReplaced) {
    const std::string path = scratch.Path("locked.txt");
    PutFile(path, "mine\r\n");
    namespace fs = std::filesystem;
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(path, write, fs::perm_options::remove);
    WriteLineText(Name("locked.txt"), 0, "theirs");
    LineFileOpen(runtime.files.lineFile, nullptr);
    fs::permissions(path, write, fs::perm_options::add);
    EXPECT_EQ(FileBytes(path), "mine\r\n");
    EXPECT_NE(ErrorLogText().find("File not written: " + path + " (read-only)\r\n"), std::string::npos);
}

TEST_F(LineFileTest, FailedWriteBackKeepsTheOldFileAndLogsIt) {
    std::filesystem::create_directories(scratch.Path("dir.txt"));
    PutFile(scratch.Path("dir.txt/inside"), "kept");
    WriteLineText(Name("dir.txt"), 0, "cannot replace a directory");
    LineFileOpen(runtime.files.lineFile, nullptr);
    EXPECT_EQ(FileBytes(scratch.Path("dir.txt/inside")), "kept");
    EXPECT_NE(ErrorLogText().find("File not written: " + scratch.Path("dir.txt")), std::string::npos);
    size_t leftovers = 0;
    for (auto& e : std::filesystem::directory_iterator(scratch.dir())) leftovers += e.path() != scratch.Path("dir.txt");
    EXPECT_EQ(leftovers, 0u) << "the temporary file is removed";
}
