// The INI file: the reading rules, lookups, changes and write-back.
#include <brindle/files.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "core/runtime_state.h"
#include "files/ini_data.h"
#include "support/files_test_dir.h"

namespace {
// Sections and pairs as one line of text: "name{key=value,...}" each.
std::string Dump(const IniData& data) {
    std::string out;
    for (const IniSection& s : data.sections) {
        out += s.sectionName + "{";
        for (size_t i = 0; i < s.pairs.size(); ++i)
            out += (i ? "," : "") + s.pairs[i].iniKey + "=" + s.pairs[i].iniValue;
        out += "}";
    }
    return out;
}

class IniTest : public testing::Test {
protected:
    void SetUp() override { runtime.files.ini = IniData(); }
    void TearDown() override { runtime.files.ini = IniData(); }  // nothing left to write back
    ScratchDir scratch;
};
}  // namespace

TEST(IniFormat, ReadingRules) {
    struct Case {
        const char* text;
        const char* sections;
    } cases[] = {
        {"[Game Options]\r\nspeed=3\r\n", "Game{speed=3}"},
        {"[a]\nkey = value\nk2=v2 \t\n", "a{key== value,k2=v2 }"},
        {"top=1\n[s]\nx=2", "{top=1}s{x=2}"},
        {"[empty]\n[full]\nk=v\n", "full{k=v}"},
        {"[r]\na=1\n[R]\na=2\n", "r{a=1}R{a=2}"},
        {"; comment\n  [ indented ]\n\t k\tv\n;k=v\n", "indented{k=v}"},
        {"[s]\na=1\n[]\nb=2\n", "s{a=1}s{b=2}"},
        {"[s]\nnovalue\nempty=\nblank=   \n=anon\n", "s{=anon}"},
        {"[x]]\nk=v\x01\n[a]b]\nk=v", "x]{k=v}a]b{k=v}"},
        {"[s]\nk=a\rb\r\n", "s{k=a\rb}"},
        // A byte-order mark is no part of the first line; bytes above 127
        // are text; lines of any length are read whole.
        {"\xEF\xBB\xBF[Player]\r\nname=Jos\xC3\xA9\xFF\x1F\r\n", "Player{name=Jos\xC3\xA9\xFF}"},
        {"\xEF\xBB[s]\nk=v\n", "{k=v}"},  // not a whole mark: a line without a pair
    };
    for (const Case& c : cases) {
        IniData data;
        IniReadText(data, c.text);
        EXPECT_EQ(Dump(data), c.sections) << "from: " << c.text;
    }
    IniData data;
    IniReadText(data, "[s]\nlong=" + std::string(3000, 'v') + "\nnext=1\n");
    EXPECT_EQ(Dump(data), "s{long=" + std::string(3000, 'v') + ",next=1}");
}

TEST_F(IniTest, LookupsIgnoreCaseAndFindTheFirst) {
    PutFile(scratch.Path("game.ini"), "[Sound]\r\nVolume=80\r\n[sound]\r\nVolume=10\r\nMusic=on\r\n");
    IniOpen(scratch.Path("game.ini").c_str());
    EXPECT_STREQ(IniGet("sound", "volume").Text(), "80");
    EXPECT_STREQ(IniGet("SOUND", "music").Text(), "NO_DATA");
    EXPECT_STREQ(IniGet("Video", "Volume").Text(), "NO_DATA");
}

TEST_F(IniTest, ChangesReachTheFileOnSave) {
    const std::string path = scratch.Path("new.ini");
    IniOpen(path.c_str());  // missing: empty data, no error
    IniPut("Sound", "Volume", "");  // a missing key is added even with an empty value
    IniPut("Sound", "Music", "on");
    IniPut("Sound", "Rate", "44100");
    IniPut("Video", "Width", "640");
    EXPECT_STREQ(IniGet("sound", "volume").Text(), "");
    IniPut("Sound", "Volume", "");  // removes it; the others keep their order
    IniPut("Sound", "music", "off");
    IniOpen(path.c_str());  // saves, then reads back
    EXPECT_EQ(FileBytes(path), "[Sound]\r\nMusic=off\r\nRate=44100\r\n[Video]\r\nWidth=640\r\n");

    IniPut("Sound", "Empty", "");
    IniPut("sound", "", "");  // removes the section, its header too
    IniPut("Missing", "", "");
    IniOpen(path.c_str());
    EXPECT_EQ(FileBytes(path), "[Video]\r\nWidth=640\r\n");
    EXPECT_EQ(Dump(runtime.files.ini), "Video{Width=640}");

    // Only reads: nothing is written back.
    PutFile(path, "[Video]\nWidth=800\n");
    IniGet("Video", "Width");
    IniOpen(path.c_str());
    EXPECT_EQ(FileBytes(path), "[Video]\nWidth=800\n");
}

TEST_F(IniTest, EmptyValueIsGoneAfterSaveAndReload) {
    const std::string path = scratch.Path("sound.ini");
    IniOpen(path.c_str());
    IniPut("Sound", "Volume", "");
    IniOpen(path.c_str());
    EXPECT_EQ(FileBytes(path), "[Sound]\r\nVolume=\r\n");
    EXPECT_STREQ(IniGet("Sound", "Volume").Text(), "NO_DATA");
}

namespace {
// Files shaped like those other programs write, as they come.
const std::string kDesktopEntry =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Glimmer Ball\n"
    "Name[de]=Glimmerball\n"
    "Exec=glimmerball %U\n"
    "Categories=Game;ArcadeGame;\n"
    "\n"
    "[Desktop Action window]\n"
    "Name=Windowed\n"
    "Exec=glimmerball --window\n";
const std::string kSystemdUnit =
    "# /etc/systemd/system/glimmer.service\n"
    "[Unit]\n"
    "Description=Glimmerball score server\n"
    "After=network.target\n"
    "\n"
    "[Service]\n"
    "Type=simple\n"
    "ExecStart=/usr/bin/glimmer-scores --port 27013\n"
    "Restart=on-failure\n"
    "\n"
    "[Install]\n"
    "WantedBy=multi-user.target\n";
const std::string kPipConfig =
    "[global]\n"
    "timeout = 60\n"
    "index-url = https://pypi.example.org/simple\n"
    "\n"
    "[install]\n"
    "no-compile = true\n";
const std::string kGitConfig =
    "[core]\n"
    "\trepositoryformatversion = 0\n"
    "\tfilemode = true\n"
    "[remote \"origin\"]\n"
    "\turl = https://example.org/glimmer.git\n"
    "\tfetch = +refs/heads/*:refs/remotes/origin/*\n"
    "[branch \"main\"]\n"
    "\tremote = origin\n";
const std::string kConfigParser =
    "[DEFAULT]\n"
    "serveraliveinterval = 45\n"
    "compression = yes\n"
    "\n"
    "[game options]\n"
    "speed = 3\n"
    "player name = Ada\n"
    "\n";
const std::string kHandWritten =
    "; Glimmerball settings\r\n"
    "; written by hand\r\n"
    "\r\n"
    "[Video]\r\n"
    "Width=640\r\n"
    "Fullscreen=\r\n"
    "\r\n"
    "[Empty]\r\n"
    "\r\n"
    "[Player]\r\n"
    "na\xC3\xAFve=caf\xC3\xA9\r\n"
    "Motto=" + std::string(1500, 'm') + "\r\n"
    "Name=Ada";

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}
}  // namespace

// A write-back changes exactly the line of the changed pair; the changed key
// reads back, in sections whose headers hold spaces too.
TEST_F(IniTest, OtherProgramsFilesChangeOnlyInTheEditedLine) {
    struct Case {
        std::string before;
        const char *section, *key, *value, *oldLine, *newLine;
    } cases[] = {
        {kDesktopEntry, "Desktop", "Exec", "glimmerball --fast %U", "Exec=glimmerball %U\n",
         "Exec=glimmerball --fast %U\n"},
        {kSystemdUnit, "service", "Restart", "always", "Restart=on-failure\n", "Restart=always\n"},
        {kPipConfig, "global", "timeout", "120", "timeout = 60\n", "timeout=120\n"},
        {kGitConfig, "remote", "url", "https://example.org/new.git", "\turl = https://example.org/glimmer.git\n",
         "\turl=https://example.org/new.git\n"},
        {kConfigParser, "game", "speed", "5", "speed = 3\n", "speed=5\n"},
        {Crlf(kConfigParser), "DEFAULT", "compression", "no", "compression = yes\r\n", "compression=no\r\n"},
        {"\xEF\xBB\xBF" + kConfigParser, "game", "speed", "4", "speed = 3\n", "speed=4\n"},
        {kHandWritten, "player", "name", "Grace", "Name=Ada", "Name=Grace"},
        {kHandWritten, "Video", "Width", "800", "Width=640\r\n", "Width=800\r\n"},
    };
    const std::string path = scratch.Path("other.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.oldLine);
        PutFile(path, c.before);
        IniOpen(path.c_str());
        IniPut(c.section, c.key, c.value);
        IniOpen(path.c_str());
        std::string expected = c.before;
        const size_t at = expected.find(c.oldLine);
        ASSERT_NE(at, std::string::npos);
        expected.replace(at, std::strlen(c.oldLine), c.newLine);
        EXPECT_EQ(FileBytes(path), expected);
        EXPECT_EQ(IniGet(c.section, c.key).Text(), std::string(c.value));
    }
    // Only read: the same bytes, with or without a save.
    PutFile(path, kHandWritten);
    IniOpen(path.c_str());
    IniPut("Player", "Name", "Ada");
    IniOpen(path.c_str());
    EXPECT_EQ(FileBytes(path), kHandWritten);
}

TEST_F(IniTest, RemovedAndAddedPairsLeaveTheRestAsItWas) {
    const std::string path = scratch.Path("edit.ini");
    PutFile(path,
            "; settings\n[Video]\nWidth = 640\nHeight=480\n\n; old stuff\n[Old]\nk=v\n; inside old\n"
            "[Player]\nName=Ada");
    IniOpen(path.c_str());
    IniPut("Video", "Height", "");
    IniPut("Video", "Depth", "32");
    IniPut("Old", "", "");
    IniPut("Sound", "Volume", "80");
    IniPut("player", "Team", "Red");
    IniPut("", "Top", "1");  // pairs without a section go before the first header
    IniOpen(path.c_str());
    EXPECT_EQ(FileBytes(path),
              "; settings\nTop=1\n[Video]\nWidth = 640\nDepth=32\n\n; old stuff\n; inside old\n"
              "[Player]\nName=Ada\nTeam=Red\n[Sound]\nVolume=80\n");
    EXPECT_EQ(Dump(runtime.files.ini), "{Top=1}Video{Width== 640,Depth=32}Player{Name=Ada,Team=Red}Sound{Volume=80}");
}

// What IniPut stores reads back as the same section, key and value; what
// could not is refused, logged, and changes nothing.
TEST_F(IniTest, PutsThatWouldNotReadBackAreRefused) {
    struct Case {
        const char *section, *key, *value;
    } cases[] = {
        {"New Sect", "k", "v"}, {"Tab\tSect", "k", "v"}, {"A=B", "k", "v"},  {"Player", "two words", "v"},
        {"Player", ";note", "v"}, {"Player", "[x", "v"},   {"Player", "Name", "a\nb"},
    };
    const std::string path = scratch.Path("refuse.ini");
    PutFile(path, "[Player]\r\nName=Ada\r\n");
    IniOpen(path.c_str());
    for (const Case& c : cases) {
        const std::string logBefore = ErrorLogText();
        IniPut(c.section, c.key, c.value);
        EXPECT_EQ(runtime.files.ini.iniChanged, 0) << c.section << " / " << c.key;
        EXPECT_EQ(ErrorLogText().substr(logBefore.size()).rfind(std::string("IniPut not stored: [") + c.section + "] " + c.key, 0), 0u);
    }
    EXPECT_EQ(Dump(runtime.files.ini), "Player{Name=Ada}");
    IniPut("Player", "a]", "[x]");  // fine: reads back as it is
    IniPut("New]", "k", "v\rw");
    IniOpen(path.c_str());
    EXPECT_EQ(Dump(runtime.files.ini), "Player{Name=Ada,a]=[x]}New]{k=v\rw}");
}

TEST_F(IniTest, ReadOnlyFileIsNotReplaced) {
    namespace fs = std::filesystem;
    const std::string path = scratch.Path("locked.ini");
    PutFile(path, "[Player]\r\nName=Ada\r\n");
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(path, write, fs::perm_options::remove);
    IniOpen(path.c_str());
    IniPut("Player", "Name", "Grace");
    IniOpen(path.c_str());
    fs::permissions(path, write, fs::perm_options::add);
    EXPECT_EQ(FileBytes(path), "[Player]\r\nName=Ada\r\n");
    EXPECT_NE(ErrorLogText().find("File not written: " + path + " (read-only)\r\n"), std::string::npos);
}
