// The INI file: the reading rules, lookups, changes and write-back.
#include <brindle/files.h>
#include <gtest/gtest.h>

#include <cstdio>
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
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        std::FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::rewind(f);
        IniData data;
        IniReadLines(data, f);
        std::fclose(f);
        EXPECT_EQ(Dump(data), c.sections) << "from: " << text;
    }
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
    IniPut("Sound", "Volume", "");  // removes it: the last pair takes its place
    IniPut("Sound", "music", "off");
    IniOpen(path.c_str());  // saves, then reads back
    EXPECT_EQ(FileBytes(path), "[Sound]\r\nRate=44100\r\nMusic=off\r\n[Video]\r\nWidth=640\r\n");

    IniPut("Sound", "Empty", "");
    IniPut("sound", "", "");  // removes the section; Video moves into its place
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
