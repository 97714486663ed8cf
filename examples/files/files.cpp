// Files and INI settings: the example counts its runs and keeps a high
// score in example.ini (written back when the program ends), keeps a small
// log in a line file, and lists the files of its directory. Space adds
// points to the score; Escape ends the example, and the next run shows the
// new count and score.
#include <brindle.h>

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Example: Files"};

namespace {
const double kSpace = 57;

// A number stored in the INI file, or the default when the key is missing
// (IniGet gives "NO_DATA").
double IniNumber(const char* section, const char* key, double otherwise) {
    RtString value = IniGet(section, key);
    return value == "NO_DATA" ? otherwise : TextToNumber(value);
}
}  // namespace

void GameMain() {
    double width, height;
    GetScreenSize(width, height);

    // One INI file at a time is held in memory; IniPut changes it there.
    IniOpen("example.ini");
    double runs = IniNumber("stats", "runs", 0) + 1;
    double best = IniNumber("stats", "best", 0);
    IniPut("stats", "runs", RtString(runs));
    RtString player = IniGet("player", "name");
    if (player == "NO_DATA") {
        player = "Player One";
        IniPut("player", "name", player);
    }

    // A line file: entries 0 ... 255, one line each. Entry 0 holds this
    // run's number, entry `runs` (up to 255) a line about it.
    WriteLineNumber("runs.txt", 0, runs);
    if (runs <= 255) WriteLineText("runs.txt", runs, RtString("run ") + runs + " by " + player);

    // The current directory: its subdirectories first, then its files.
    StringArray names;
    double counts = ListDirectory("*.*", names);
    double directories = Mod(counts / 65536, 65536), files = Mod(counts, 65536);

    double score = 0;
    bool spaceWasDown = false;
    for (;;) {
        bool spaceDown = KeyDown(kSpace) != 0;
        if (spaceDown && !spaceWasDown) score = score + 10;
        spaceWasDown = spaceDown;
        if (score > best) {
            best = score;
            IniPut("stats", "best", RtString(best));
        }

        FillRect(0, 0, width - 1, height - 1, 0x202830);
        PrintText("Files and INI settings", 8, 8);
        PrintText(RtString("Run number ") + runs + " for " + player, 8, 40);
        PrintText(RtString("Score ") + score + ", best " + best + " (Space scores)", 8, 60);
        PrintText(RtString("In ") + CurrentDirectory(), 8, 100);
        PrintText(RtString("") + directories + " directories, " + files + " files:", 8, 120);
        for (double i = 0; i < directories + files && i < 15; i = i + 1) {
            PrintText(names(i), 24, 140 + i * 20);
        }
        ShowFrame();
    }
}
