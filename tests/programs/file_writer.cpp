// Writes line-file and INI data, then presents frames until it is ended from
// outside (Escape): the runtime writes both files back at exit. Arguments:
// MODE DIRECTORY. MODE "small" writes a few entries; "big" fills all 256
// line entries and a large INI file, so that writing them back takes many
// disk writes. It reports "ready" on standard output once the data is held.
// MODE "stopS-NAME" holds the big data, then writes it back at once and
// stops for good when the write-back of the file NAME (game.ini or
// scores.txt) reaches step S (0 created, 1 written, 2 flushed, 3 renamed),
// reporting "stopped S": the test then kills it there. MODE "copy" reports
// "ready", waits for a file "go", copies big.bin onto dest.bin and ends.
#include <brindle.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "core/file_writer.h"

const GameSettings gameSettings = {320, 240, 60, 0, 0, 0, "File Writer"};

namespace {
int stopStep = -1;
std::string stopName;

void StopThere(FileWriteStep step, const char* target) {
    const std::string t = target;
    if (static_cast<int>(step) != stopStep || t.size() < stopName.size() ||
        t.compare(t.size() - stopName.size(), stopName.size(), stopName) != 0)
        return;
    std::printf("stopped %d\n", stopStep);
    std::fflush(stdout);
    for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(100));  // until killed
}

void Report(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}
}  // namespace

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
    if (mode == "copy") {
        Report("ready");
        while (!FileExists("go")) ShowFrame();
        CopyFileData("big.bin", "dest.bin");
        Report("copied");
        return;
    }
    IniOpen("game.ini");
    if (mode == "small") {
        WriteLineText("scores.txt", 0, "Glimmerball");
        WriteLineNumber("scores.txt", 1, 1234.5);
        WriteLineNumber("scores.txt", 3, 7);
        IniPut("Player", "Name", "Ada");
        IniPut("Sound", "Volume", "80");
        IniPut("Old", "", "");  // removes the section read from the file
    } else {
        std::string filler(1000, 'z');
        for (int n = 0; n < 256; ++n) WriteLineText("scores.txt", n, filler.c_str());
        for (int n = 0; n < 4000; ++n)
            IniPut("Big", ("key" + std::to_string(n)).c_str(), filler.c_str());
    }
    if (mode.compare(0, 4, "stop") == 0 && mode.size() > 6) {
        stopStep = mode[4] - '0';
        stopName = mode.substr(6);
        SetFileWriteObserver(StopThere);
        IniOpen("other.ini");          // writes game.ini back
        ReadLineText("other.txt", 0);  // writes scores.txt back
        Report("not stopped");
        return;
    }
    Report("ready");
    for (;;) ShowFrame();
}
