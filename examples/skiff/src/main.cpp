// Skiff's main routine: the command line, the media, the intro film, then
// the title screen (or straight into a game).
//
//   skiff [--play [LEVEL]] [--host [PORT]] [--join ADDRESS [PORT]]
//         [--demo] [--name NAME] [--no-intro] [--fps] [--log FILE]
#include "skiff.h"

namespace skiff {
namespace {
// The command line split into words as Windows splits it: blanks separate
// words, double quotes group them.
std::vector<std::string> Words() {
    RtString line = CommandLine();
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (const char* p = line.Text(); *p; p++) {
        if (*p == '"') {
            quoted = !quoted;
            any = true;
        } else if ((*p == ' ' || *p == '\t') && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += *p;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

bool IsNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}
}  // namespace
}  // namespace skiff

void GameMain() {
    using namespace skiff;
    // Escape leaves a game or a screen; on the title it ends the program.
    SetEscapeEnds(0);
    std::vector<std::string> args = Words();
    enum { kTitleScreen, kPlay, kDemo, kHost, kJoin } start = kTitleScreen;
    int level = 1;
    std::string address, name;
    bool intro = true;
    for (size_t i = 0; i < args.size(); i++) {
        const std::string& a = args[i];
        bool more = i + 1 < args.size();
        if (a == "--log" && more) OpenLog(args[++i]);
        else if (a == "--name" && more) name = args[++i];
        else if (a == "--no-intro") intro = false;
        else if (a == "--fps") showFps = true;
        else if (a == "--demo") start = kDemo;
        else if (a == "--play") {
            start = kPlay;
            if (more && IsNumber(args[i + 1])) level = std::stoi(args[++i]);
        } else if (a == "--host") {
            start = kHost;
            if (more && IsNumber(args[i + 1])) options.port = std::stoi(args[++i]);
        } else if (a == "--join" && more) {
            start = kJoin;
            address = args[++i];
            if (i + 1 < args.size() && IsNumber(args[i + 1])) options.port = std::stoi(args[++i]);
        }
    }
    RtString platform = "";
    Log("start " + std::string(PlatformInfo(platform).Text()));
    int port = options.port;
    LoadOptions();
    if (start == kHost || start == kJoin) options.port = port;  // the command line's port wins
    if (!name.empty()) options.name = name;
    LoadMedia();
    PrepareLogo();
    std::vector<Score> table = LoadScores();
    Log("scores " + std::to_string(table.size()) +
        (table.empty() ? "" : " first " + table[0].name + " " + std::to_string(table[0].score)));
    if (intro && options.intro) {
        // Plays only when the film is there (packed in or beside the program).
        double start = ElapsedTime();
        PlayVideoOnce("intro.avi");
        Log("intro " + std::to_string(int(ElapsedTime() - start)) + " ms");
    }
    Partner* partner = nullptr;
    if (start == kPlay) RunGame(level, nullptr, 0);
    if (start == kDemo) RunAttract();
    if (start == kHost && HostGame(partner)) RunGame(1, partner, 0);
    if (start == kJoin && JoinGame(partner, address)) RunGame(1, partner, 1);
    TitleScreen();
}
