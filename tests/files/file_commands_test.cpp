// File and directory commands on the real file system.
#include <brindle/files.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "files/wildcard.h"
#include "support/files_test_dir.h"

namespace {
// Runs a test body inside a directory and goes back afterwards.
struct InDirectory {
    explicit InDirectory(const std::string& dir) : previous(CurrentDirectory()) {
        EXPECT_EQ(ChangeDirectory(RtString(dir.c_str())), 1);
    }
    ~InDirectory() { ChangeDirectory(previous); }
    RtString previous;
};
}  // namespace

TEST(Wildcard, MatchesLeftToRightWithOneBacktrackingPoint) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.bmp", "BACK.BMP", true}, {"a?c", "a.c", false},      {"a?c", "abc", true},
        {"*", "anything.x", true},   {"???", "a.b", false},      {"?????", "a.b", false},
        {"*.txt", "a.txt.bak", false}, {"*.txt", "a.b.txt", true}, {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},  {"**x", "abx", true},       {"x*", "X", true},
        {"*a", "aaa", true},         {"ab", "a", false},         {"a", "ab", false},
        {"*.*", "README", false},    {"*?", ".", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMatch(c.name, c.pattern), c.match) << c.pattern << " / " << c.name;
}

TEST(FileCommands, ListDirectoryPutsDirectoriesFirstAndFiltersFiles) {
    ScratchDir scratch;
    std::filesystem::create_directories(scratch.Path("sub1"));
    std::filesystem::create_directories(scratch.Path("sub2.txt"));  // directories skip the pattern
    for (const char* name : {"c.txt", "_x.txt", "B.TXT", "d.bmp", "9.txt", "a.txt", "10.txt"})
        PutFile(scratch.Path(name), "x");
    InDirectory in(scratch.dir());
    StringArray names;
    EXPECT_EQ(ListDirectory("*.txt", names), 4 * 65536 + 6);
    // Windows lists "." and ".." first, then by name compared in capitals.
    std::string listed;
    for (int i = 0; i < ArraySize(names, 0); ++i) listed += std::string(names(i).Text()) + " ";
    EXPECT_EQ(listed, ". .. sub1 sub2.txt 10.txt 9.txt a.txt B.TXT c.txt _x.txt ");
    EXPECT_EQ(ListDirectory("*.wav", names), 4 * 65536);
    EXPECT_EQ(ArraySize(names, 0), 4);
}

TEST(FileCommands, FileExistsCopyAndRemove) {
    ScratchDir scratch;
    std::string big;
    for (int i = 0; i < 10000; ++i) big += static_cast<char>(i * 7);  // three chunks and a rest
    const std::string src = scratch.Path("src.bin"), dst = scratch.Path("dst.bin");
    PutFile(src, big);
    PutFile(dst, "old destination");
    EXPECT_EQ(FileExists(src.c_str()), 1);
    EXPECT_EQ(FileExists(scratch.dir().c_str()), 0);  // a directory is no file
    EXPECT_EQ(FileExists(scratch.Path("missing").c_str()), 0);

    CopyFileData(src.c_str(), dst.c_str());
    EXPECT_EQ(FileBytes(dst), big);
    CopyFileData(scratch.Path("missing").c_str(), dst.c_str());
    EXPECT_EQ(FileBytes(dst), big) << "a missing source leaves the destination alone";
    CopyFileData(src.c_str(), src.c_str());
    EXPECT_EQ(FileBytes(src), big) << "copying a file onto itself must not empty it";
    CopyFileData(src.c_str(), scratch.Path("no/such/dir.bin").c_str());
    EXPECT_EQ(FileBytes(scratch.Path("no/such/dir.bin")), "<missing>");
    // A read-only destination is left alone, as Windows leaves it.
    const std::string locked = scratch.Path("locked.bin");
    PutFile(locked, "mine");
    namespace fs = std::filesystem;
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(locked, write, fs::perm_options::remove);
    CopyFileData(src.c_str(), locked.c_str());
    fs::permissions(locked, write, fs::perm_options::add);
    EXPECT_EQ(FileBytes(locked), "mine");

    RemoveFile(dst.c_str());
    EXPECT_EQ(FileExists(dst.c_str()), 0);
}

TEST(FileCommands, CurrentDirectoryHasForwardSlashesAndOneTrailingSlash) {
    ScratchDir scratch;
    std::filesystem::create_directories(scratch.Path("inner"));
    InDirectory in(scratch.dir());
    EXPECT_EQ(ChangeDirectory("inner"), 1);
    std::string here = CurrentDirectory().Text();
    EXPECT_EQ(here.find('\\'), std::string::npos) << here;
    EXPECT_EQ(here.substr(here.size() - 7), "/inner/");
    EXPECT_EQ(ChangeDirectory("no such directory"), 0);
    EXPECT_EQ(CurrentDirectory().Text(), here);
    // At the root the text already ends with its separator.
    ASSERT_EQ(ChangeDirectory(here.substr(0, here.find('/') + 1).c_str()), 1);
    here = CurrentDirectory().Text();
    EXPECT_TRUE(here == "/" || (here.size() == 3 && here.substr(1) == ":/")) << here;

    RtString path = "a\\b\\c.txt";
    ToForwardSlashes(path);
    EXPECT_STREQ(path.Text(), "a/b/c.txt");
}
