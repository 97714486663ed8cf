// Shows the open dialog, then the save dialog, from a given directory, and
// reports each result and the current directory afterwards on standard
// output; then presents frames until Escape. Argument: the directory (in
// double quotes when it holds spaces).
#include <brindle.h>

#include <cstdio>
#include <string>

const GameSettings gameSettings = {320, 240, 60, 0, 0, 0, "File Dialog"};

namespace {
void Report(const char* what, const RtString& result) {
    std::printf("%s %s\ncwd %s\n", what, result.Text(), CurrentDirectory().Text());
    std::fflush(stdout);
}
}  // namespace

void GameMain() {
    std::string dir = CommandLine().Text();
    if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"') dir = dir.substr(1, dir.size() - 2);
    if (ChangeDirectory(dir.c_str()) != 1) {
        std::printf("no directory %s\n", dir.c_str());
        std::fflush(stdout);
        return;
    }
    std::printf("opening\n");
    std::fflush(stdout);
    Report("open", FileDialog(1, "Text files|*.txt|All files|*.*"));
    std::printf("saving\n");
    std::fflush(stdout);
    Report("save", FileDialog(0, "Text files|*.txt"));
    for (;;) ShowFrame();
}
