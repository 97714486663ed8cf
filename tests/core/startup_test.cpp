#include <gtest/gtest.h>

#include "core/startup.h"

TEST(CommandLine, SkipsProgramNameAndBlanks) {
    EXPECT_STREQ(SkipProgramName("game.exe -level 3"), "-level 3");
    EXPECT_STREQ(SkipProgramName(" \t game.exe \t  -x"), "-x");
    EXPECT_STREQ(SkipProgramName("\"C:\\My Games\\game.exe\" a b"), "a b");
    EXPECT_STREQ(SkipProgramName("\"C:\\My Games\\game.exe\""), "");
    EXPECT_STREQ(SkipProgramName("\"unterminated name"), "");
    EXPECT_STREQ(SkipProgramName("game.exe"), "");
    EXPECT_STREQ(SkipProgramName(""), "");
    EXPECT_STREQ(SkipProgramName(nullptr), "");
    // Only the blanks after the name go; trailing blanks of the rest stay.
    EXPECT_STREQ(SkipProgramName("g  x  "), "x  ");
}

TEST(WorkingDirectory, CutAtLastSeparator) {
    EXPECT_STREQ(ProgramDirectory("C:\\Games\\Glimmer\\game.exe").Text(), "C:\\Games\\Glimmer");
    EXPECT_STREQ(ProgramDirectory("/home/player/games/glimmerball").Text(), "/home/player/games");
    EXPECT_STREQ(ProgramDirectory("C:/mixed\\sep/game.exe").Text(), "C:/mixed\\sep");
    EXPECT_STREQ(ProgramDirectory("game.exe").Text(), "game.exe");  // no separator: stays whole
    EXPECT_STREQ(ProgramDirectory("/game").Text(), "");
}
