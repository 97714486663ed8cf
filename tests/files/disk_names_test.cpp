// Names written for Windows find their files on both targets: any letter
// case, backslashes between folders. Every command that takes a file name
// reads, writes, copies and removes the file the disk holds, never a second
// file beside it.
#include <brindle/files.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/runtime_state.h"
#include "files/ini_data.h"
#include "files/line_file.h"
#include "support/files_test_dir.h"
#include "media/media_pack.h"
#include "platform/system.h"

namespace {
namespace fs = std::filesystem;

bool OnWindows() { return std::strcmp(platform::PlatformName(), "WIN32") == 0; }

class DiskNames : public testing::Test {
protected:
    void SetUp() override {
        LineFileOpen(runtime.files.lineFile, nullptr);
        runtime.files.ini = IniData();
        home_ = CurrentDirectory().Text();
        fs::create_directories(scratch_.Path("Data/Sprites"));
        PutFile(scratch_.Path("Data/Sprites/ship.txt"), "ship\r\n");
        PutFile(scratch_.Path("config.ini"), "[Game]\r\nLevel=3\r\n");
        PutFile(scratch_.Path("lines.txt"), "first\r\n");
        ASSERT_EQ(ChangeDirectory(scratch_.dir().c_str()), 1);
    }
    void TearDown() override {
        LineFileOpen(runtime.files.lineFile, nullptr);
        runtime.files.ini = IniData();
        ChangeDirectory(home_.c_str());
    }
    // How many entries of the folder have this name without regard to case.
    size_t Spellings(const std::string& folder, const std::string& name) const {
        auto lower = [](std::string s) {
            for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return s;
        };
        size_t n = 0;
        for (const auto& e : fs::directory_iterator(scratch_.Path(folder)))
            n += lower(e.path().filename().string()) == lower(name);
        return n;
    }

    ScratchDir scratch_;
    std::string home_;
};
}  // namespace

TEST_F(DiskNames, ReadingCommandsFindTheFileInAnyCaseWithEitherSeparator) {
    const char* found[] = {"Data/Sprites/ship.txt", "DATA\\SPRITES\\SHIP.TXT", "data/sprites/Ship.Txt",
                           ".\\Data\\.\\sprites\\SHIP.txt", "data\\Sprites\\..\\SPRITES\\ship.txt"};
    for (const char* name : found) {
        EXPECT_EQ(FileExists(name), 1) << name;
        EXPECT_STREQ(ReadLineText(name, 0).Text(), "ship") << name;
        RtString resolved;
        ASSERT_TRUE(ResolveMediaFile(runtime.mediaPack, RtString(name), resolved)) << name;
        EXPECT_EQ(FileBytes(resolved.Text()), "ship\r\n") << name << " as " << resolved.Text();
    }
    for (const char* name : {"Data\\ship.txt", "nothing\\SHIP.TXT", "Data\\Sprites\\ship.txt\\x"}) {
        EXPECT_EQ(FileExists(name), 0) << name;
        EXPECT_STREQ(ReadLineText(name, 0).Text(), "NO_FILE") << name;
    }
    IniOpen("CONFIG.INI");
    EXPECT_STREQ(IniGet("game", "level").Text(), "3");

    EXPECT_EQ(ChangeDirectory("DATA\\sprites"), 1);
    EXPECT_EQ(FileExists("SHIP.TXT"), 1);
    EXPECT_EQ(ChangeDirectory("..\\.."), 1);
    EXPECT_EQ(FileExists("config.ini"), 1);
}

TEST_F(DiskNames, WritingCommandsChangeTheFileTheDiskHolds) {
    WriteLineText("LINES.TXT", 1, "second");
    WriteLineText("DATA\\SPRITES\\NOTES.TXT", 0, "new");  // a new file in a folder that exists
    IniOpen("Config.Ini");
    IniPut("Game", "Level", "4");
    IniOpen("CONFIG.INI");  // written back, then read again
    LineFileOpen(runtime.files.lineFile, nullptr);
    EXPECT_EQ(FileBytes(scratch_.Path("lines.txt")), "first\r\nsecond\r\n");
    EXPECT_EQ(FileBytes(scratch_.Path("Data/Sprites/NOTES.TXT")), "new\r\n");
    EXPECT_EQ(FileBytes(scratch_.Path("config.ini")), "[Game]\r\nLevel=4\r\n");
    EXPECT_EQ(Spellings("", "lines.txt"), 1u);
    EXPECT_EQ(Spellings("", "config.ini"), 1u);

    CopyFileData("data\\SPRITES\\SHIP.TXT", "DATA\\Sprites\\Copy.txt");
    EXPECT_EQ(FileBytes(scratch_.Path("Data/Sprites/Copy.txt")), "ship\r\n");
    CopyFileData("config.ini", "data\\sprites\\SHIP.TXT");  // over the existing file
    EXPECT_EQ(FileBytes(scratch_.Path("Data/Sprites/ship.txt")), "[Game]\r\nLevel=4\r\n");
    EXPECT_EQ(Spellings("Data/Sprites", "ship.txt"), 1u);
    RemoveFile("DATA\\SPRITES\\COPY.TXT");
    EXPECT_EQ(FileBytes(scratch_.Path("Data/Sprites/Copy.txt")), "<missing>");
    for (const auto& e : fs::recursive_directory_iterator(scratch_.dir()))
        EXPECT_EQ(e.path().filename().string().find('\\'), std::string::npos) << e.path();
}

TEST_F(DiskNames, AnExactNameWinsOverOtherSpellingsOnLinux) {
    if (OnWindows()) GTEST_SKIP() << "Windows holds one spelling of a name";
    PutFile(scratch_.Path("Twin.txt"), "upper\r\n");
    PutFile(scratch_.Path("twin.txt"), "lower\r\n");
    struct {
        const char* name;
        const char* text;
    } cases[] = {{"twin.txt", "lower"}, {"Twin.txt", "upper"}, {"TWIN.TXT", "upper"}};
    for (const auto& c : cases) EXPECT_STREQ(ReadLineText(c.name, 0).Text(), c.text) << c.name;
}
