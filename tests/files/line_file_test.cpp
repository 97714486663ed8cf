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
    WriteLineText(Name("new.txt"), 1, std::string(2000, 'x').c_str());  // kept: 1023
    EXPECT_STREQ(ReadLineText(Name("new.txt"), 0).Text(), "5");
    LineFileOpen(runtime.files.lineFile, nullptr);
    EXPECT_EQ(FileBytes(scratch.Path("new.txt")),
              "5\r\n" + std::string(1023, 'x') + "\r\n\r\n2.5\r\n");
}

TEST_F(LineFileTest, ReadsLinesAsTheFormatDefines) {
    const std::string longLine(1500, 'L');
    PutFile(scratch.Path("in.txt"), "one\r\ntwo\n   \n\t\n" + longLine + "\r\nafter long\r\n" +
                                        std::string(1022, 'c') + "\r\n12.5 apples\nlast");
    struct {
        double entry;
        std::string text;
    } expected[] = {{0, "one"},        {1, "two"}, {2, "   "}, {3, "NO_DATA"},
                    {4, std::string(1023, 'L')}, {5, "after long"},
                    {6, std::string(1022, 'c')}, {7, "12.5 apples"}, {8, "last"},
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

TEST_F(LineFileTest, AtMost256LinesAreRead) {
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
