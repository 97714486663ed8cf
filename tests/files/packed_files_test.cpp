// Line and INI files that come from the media pack: changes are written back
// under the name the program gave, in the working directory (the extracted
// copy is deleted by the next lookup).
#include <brindle/files.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/runtime_state.h"
#include "files/ini_file.h"
#include "files/line_file.h"
#include "media/media_pack.h"
#include "support/files_test_dir.h"

namespace {
void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
}

// A pack file: each entry stored as one run of literals (4 to 238 bytes),
// which is a valid LZO1X stream, then the directory and its offset.
std::string MakePack(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string pack, directory;
    for (const auto& [name, content] : entries) {
        std::string stored;
        Put32(stored, static_cast<uint32_t>(content.size()));
        stored += static_cast<char>(17 + content.size());
        stored += content;
        stored += std::string("\x11\0\0", 3);  // end of stream
        directory += static_cast<char>(name.size());
        directory += name;
        Put32(directory, static_cast<uint32_t>(pack.size()));
        Put32(directory, static_cast<uint32_t>(stored.size()));
        pack += stored;
    }
    const uint32_t directoryOffset = static_cast<uint32_t>(pack.size());
    pack += directory;
    pack += '\0';
    Put32(pack, directoryOffset);
    return pack;
}
}  // namespace

TEST(PackedFiles, AreWrittenBackToTheWorkingDirectory) {
    ScratchDir scratch;
    PutFile(scratch.Path("game.pack"),
            MakePack({{"packed.ini", "; from the pack\r\n[Player]\r\nName=Ada\r\n"}, {"packed.txt", "first\r\n"}}));
    MediaPack record;
    std::strcpy(record.packPath, scratch.Path("game.pack").c_str());
    MediaPack* const saved = runtime.mediaPack;
    runtime.mediaPack = &record;
    const RtString previous = CurrentDirectory();
    ASSERT_EQ(ChangeDirectory(scratch.dir().c_str()), 1);

    IniOpen("packed.ini");
    EXPECT_STREQ(IniGet("player", "name").Text(), "Ada");
    IniPut("Player", "Name", "Grace");
    EXPECT_STREQ(ReadLineText("packed.txt", 0).Text(), "first");
    WriteLineText("packed.txt", 1, "second");
    IniOpen("");
    LineFileOpen(runtime.files.lineFile, nullptr);
    EXPECT_EQ(FileBytes(scratch.Path("packed.ini")), "; from the pack\r\n[Player]\r\nName=Grace\r\n");
    EXPECT_EQ(FileBytes(scratch.Path("packed.txt")), "first\r\nsecond\r\n");

    DeleteExtractedFile(&record);
    runtime.mediaPack = saved;
    ChangeDirectory(previous);
}
