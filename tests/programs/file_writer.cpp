// Writes line-file and INI data, then presents frames until it is ended from
// outside (Escape): the runtime writes both files back at exit. Arguments:
// MODE DIRECTORY. MODE "small" writes a few entries; "big" fills all 256
// line entries and a large INI file, so that writing them back takes many
// disk writes. It reports "ready" on standard output once the data is held.
#include <brindle.h>

#include <cstdio>
#include <string>

const GameSettings gameSettings = {320, 240, 60, 0, 0, 0, "File Writer"};

void GameMain() {
    std::string args = CommandLine().Text();
    size_t space = args.find(' ');
    std::string mode = args.substr(0, space);
    std::string dir = space == std::string::npos ? "." : args.substr(space + 1);
    if (ChangeDirectory(dir.c_str()) != 1) {
        std::printf("no directory %s\n", dir.c_str());
        std::fflush(stdout);
        return;
    }
    IniOpen("game.ini");
    if (mode == "big") {
        std::string filler(1000, 'z');
        for (int n = 0; n < 256; ++n) WriteLineText("scores.txt", n, filler.c_str());
        for (int n = 0; n < 4000; ++n)
            IniPut("Big", ("key" + std::to_string(n)).c_str(), filler.c_str());
    } else {
        WriteLineText("scores.txt", 0, "Glimmerball");
        WriteLineNumber("scores.txt", 1, 1234.5);
        WriteLineNumber("scores.txt", 3, 7);
        IniPut("Player", "Name", "Ada");
        IniPut("Sound", "Volume", "80");
        IniPut("Old", "", "");  // removes the section read from the file
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) ShowFrame();
}
