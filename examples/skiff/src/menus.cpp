// The title screen and its menus: options, high scores, typed text and
// extra levels fetched from a web server. Ten seconds without input on the
// title start the attract mode.
#include <cctype>

#include "skiff.h"

namespace skiff {
namespace {
constexpr double kMenuTop = 236, kRowHeight = 26, kOptionsTop = 104;
constexpr double kAttractAfterMs = 10000;

void DrawItems(const std::vector<std::string>& items, int selected, double top) {
    for (size_t i = 0; i < items.size(); i++) {
        double y = top + double(i) * kRowHeight;
        if (int(i) == selected) {
            SetAlphaMode(-0.55);
            FillRect(100, y - 5, 539, y + 20, 0x301000);
            SetAlphaMode(0);
            DrawSprite(kSkiffA, 104, y - 4);
            DrawSprite(kSkiffA + 8, 512, y - 4);
        }
        CentreText(items[i], y, kFontText);
    }
}

int ItemAt(size_t count, double top) {
    double row = (MouseY() - top + 5) / kRowHeight;
    if (MouseX() < 100 || MouseX() > 539 || row < 0 || row >= double(count)) return -1;
    return int(row);
}

// Moves the selection by keys, joystick or mouse; `chosen` when an item
// was picked (Return, Space, the joystick's button or a click on it).
int Navigate(int selected, size_t count, double top, bool& chosen) {
    int move = MenuMove();
    if (move != 0) {
        selected = (selected + move + int(count)) % int(count);
        Play(kSndClick, kArenaW / 2);
    }
    int under = ItemAt(count, top);
    if (MouseMoved() && under >= 0 && under != selected) {
        selected = under;
        Play(kSndClick, kArenaW / 2);
    }
    chosen = MenuSelect() || (Clicked() && under == selected);
    if (chosen) Play(kSndSelect, kArenaW / 2);
    return selected;
}

// A screen with a message, until a key or click or three seconds.
void Message(const std::string& title, const std::string& line) {
    Log("message " + title + ": " + line);
    double start = ElapsedTime();
    while (ElapsedTime() - start < 3000) {
        ReadInputEdges();
        if (ElapsedTime() - start > 300 && (MenuSelect() || Pressed(kEsc) || Clicked())) break;
        DrawSprite(kTitle, 0, 0);
        Banner(title);
        CentreText(line.substr(0, 38), 300, kFontText);
        ShowFrame();
    }
}

std::string Trimmed(std::string text, size_t most) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    while (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text.substr(0, most);
}

std::string OnOff(bool on) { return on ? "ON" : "OFF"; }

std::string ServerText() {
    return options.levelServer + ":" + std::to_string(options.levelPort) + options.levelPath;
}

void ChangeOption(int item, int direction, bool chosen) {
    switch (item) {
    case 0:
        options.volume += 10 * direction;
        options.volume = options.volume < 0 ? 0 : options.volume > 100 ? 100 : options.volume;
        Play(kSndGem, kArenaW / 2);
        Log("option volume " + std::to_string(options.volume));
        break;
    case 1: options.music = !options.music; Log("option music " + OnOff(options.music)); break;
    case 2: options.wasd = !options.wasd; Log(std::string("option keys ") + (options.wasd ? "WASD" : "Arrows")); break;
    case 3: options.mouse = !options.mouse; Log("option mouse " + OnOff(options.mouse)); break;
    case 4: options.fullscreen = !options.fullscreen; Log("option fullscreen " + OnOff(options.fullscreen)); break;
    case 5: options.intro = !options.intro; Log("option intro " + OnOff(options.intro)); break;
    case 6: options.attract = !options.attract; Log("option attract " + OnOff(options.attract)); break;
    case 7:
        if (chosen) {
            std::string name = AskText("YOUR NAME", options.name);
            if (!name.empty()) options.name = name;
        }
        break;
    case 8:
        if (chosen) {
            // host:port/path
            std::string text = AskText("LEVEL SERVER", ServerText());
            size_t colon = text.find(':'), slash = text.find('/');
            if (colon != std::string::npos && slash != std::string::npos && colon < slash) {
                options.levelServer = text.substr(0, colon);
                options.levelPort = int(TextToNumber(text.substr(colon + 1, slash - colon - 1).c_str()));
                options.levelPath = text.substr(slash);
            }
        }
        break;
    }
}

// A file name from the level list: letters, digits, '.', '-' and '_' only,
// so a list cannot point the download anywhere but beside the list.
bool SafeName(const std::string& name) {
    if (name.empty() || name.size() > 40 || name[0] == '.') return false;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_')) return false;
    return true;
}
}  // namespace

std::string AskText(const std::string& prompt, const std::string& start) {
    RtString text = start.c_str();
    DrawSprite(kTitle, 0, 0);
    Banner(prompt);
    CentreText("TYPE, THEN PRESS RETURN", 300, kFontText);
    SetAlphaMode(-0.7);
    FillRect(160, 336, 479, 363, 0);
    SetAlphaMode(0);
    // ReadTextLine keeps this picture behind the line while it is typed.
    ReadTextLine(text, 168, 342);
    // The key that ended the line is still down: read the keys once more so
    // the next screen does not take it for a new press.
    ReadInputEdges();
    std::string typed = Trimmed(text.Text(), 24);
    Log("typed " + typed);
    return typed;
}

void ScoresScreen(double seconds) {
    std::vector<Score> table = LoadScores();
    Log("scores shown " + std::to_string(table.size()) +
        (table.empty() ? "" : " first " + table[0].name + " " + std::to_string(table[0].score)));
    double start = ElapsedTime();
    for (;;) {
        ReadInputEdges();
        if (MenuSelect() || Pressed(kEsc) || Clicked()) break;
        if (seconds > 0 && ElapsedTime() - start > seconds * 1000) break;
        DrawSprite(kTitle, 0, 0);
        CentreText("HIGH SCORES", 40, kFontBig);
        for (size_t i = 0; i < table.size(); i++) {
            RtString row = FormatNumber(2, 0, double(i + 1)) + ". " + FormatNumber(6, 0, table[i].score) + "  " +
                           table[i].name.c_str();
            PrintText(row, 136, 110 + double(i) * 28);
        }
        if (table.empty()) CentreText("NO SCORES YET", 200, kFontText);
        CentreText("PRESS RETURN", 440, kFontText);
        ShowFrame();
    }
}

void OptionsScreen() {
    int selected = 0;
    Log("options screen");
    for (;;) {
        ReadInputEdges();
        std::vector<std::string> items = {
            "SOUND VOLUME  " + std::to_string(options.volume) + "%",
            "MUSIC  " + OnOff(options.music),
            std::string("KEYS  ") + (options.wasd ? "WASD + CTRL" : "ARROWS + SPACE"),
            "MOUSE STEERS  " + OnOff(options.mouse),
            "FULL SCREEN  " + OnOff(options.fullscreen),
            "INTRO FILM  " + OnOff(options.intro),
            "DEMO WHEN IDLE  " + OnOff(options.attract),
            "NAME  " + (options.name.empty() ? std::string("-") : options.name),
            "LEVELS FROM  " + ServerText().substr(0, 22),
            "BACK",
        };
        bool chosen;
        selected = Navigate(selected, items.size(), kOptionsTop, chosen);
        int adjust = MenuAdjust();
        if (Pressed(kEsc) || (chosen && selected == int(items.size()) - 1)) break;
        if (adjust != 0 || chosen) ChangeOption(selected, adjust != 0 ? adjust : 1, chosen);

        DrawSprite(kTitle, 0, 0);
        CentreText("OPTIONS", 40, kFontBig);
        DrawItems(items, selected, kOptionsTop);
        CentreText(selected == 4 ? "FROM THE NEXT START" : "LEFT/RIGHT CHANGE  ESC BACK", 440, kFontText);
        ShowFrame();
    }
    SaveOptions();
}

void FetchExtraLevels() {
    if (networkUsed) {
        Message("NOT NOW", "Restart Skiff to fetch levels");
        return;
    }
    const char* index = "extra.txt";
    const char* download = "download.txt";
    DrawSprite(kTitle, 0, 0);
    Banner("FETCHING");
    CentreText(ServerText().substr(0, 38), 300, kFontText);
    ShowFrame();
    Log("fetching " + ServerText());
    ReleaseLineFile();  // the list is read from disk, not from memory
    if (HttpGetFile(options.levelServer.c_str(), options.levelPath.c_str(), options.levelPort, index) == 0) {
        Message("NO LEVELS", "The server did not answer");
        return;
    }
    std::string folder = options.levelPath.substr(0, options.levelPath.rfind('/') + 1);
    std::vector<std::string> names;
    for (int i = 0; i < kMaxExtraLevels; i++) {
        RtString line = ReadLineText(index, i);
        if (line == "NO_DATA" || line == "NO_FILE") break;
        if (SafeName(line.Text())) names.push_back(line.Text());
        else Log("extra level name refused: " + std::string(line.Text()));
    }
    ReleaseLineFile();
    int got = 0;
    for (const std::string& name : names) {
        bool ok = HttpGetFile(options.levelServer.c_str(), (folder + name).c_str(), options.levelPort, download) != 0;
        World check;
        ok = ok && check.LoadFile(download, kBuiltInLevels + got + 1, 1);
        ReleaseLineFile();
        if (!ok) {
            Log("extra level " + name + " refused");
            continue;
        }
        got++;
        CopyFileData(download, LevelFile(kBuiltInLevels + got));
        Log("extra level " + std::to_string(kBuiltInLevels + got) + " " + check.name);
    }
    for (int i = got + 1; i <= kMaxExtraLevels; i++) RemoveFile(LevelFile(kBuiltInLevels + i));
    RemoveFile(download);
    RemoveFile(index);
    Log("extra levels fetched " + std::to_string(got));
    Message("EXTRA LEVELS", std::to_string(got) + " new levels after level " + std::to_string(kBuiltInLevels));
}

void TitleScreen() {
    const std::vector<std::string> items = {"PLAY", "HOST CO-OP", "JOIN CO-OP", "EXTRA LEVELS",
                                            "OPTIONS", "HIGH SCORES", "QUIT"};
    const char* letters = "phjeosq";
    int selected = 0;
    double idle = ElapsedTime(), angle = 0;
    std::vector<Score> best = LoadScores();
    Log("title");
    for (;;) {
        ReadInputEdges();
        bool chosen;
        selected = Navigate(selected, items.size(), kMenuTop, chosen);
        RtString typed = LowerCase(TypedChar());
        for (int i = 0; typed != "" && letters[i]; i++) {
            if (typed.Text()[0] != letters[i]) continue;
            selected = i;
            chosen = true;
        }
        if (Pressed(kEsc)) {
            selected = 6;
            chosen = true;
        }
        if (AnyInput() || typed != "") idle = ElapsedTime();
        if (chosen) {
            Log("menu " + items[selected]);
            Partner* partner = nullptr;
            switch (selected) {
            case 0: RunGame(1, nullptr, 0); break;
            case 1:
                if (HostGame(partner)) RunGame(1, partner, 0);
                else Message("NO GAME", "Could not host on port " + std::to_string(options.port));
                break;
            case 2: {
                std::string address = AskText("JOIN WHICH ADDRESS?", options.address);
                if (address.empty()) break;
                options.address = address;
                SaveOptions();
                if (JoinGame(partner, address)) RunGame(1, partner, 1);
                else Message("NO GAME", "No game at " + address);
                break;
            }
            case 3: FetchExtraLevels(); break;
            case 4: OptionsScreen(); break;
            case 5: ScoresScreen(0); break;
            default: Log("quit"); End();
            }
            idle = ElapsedTime();
            best = LoadScores();
            Log("title");
            continue;
        }
        if (options.attract && ElapsedTime() - idle > kAttractAfterMs) {
            RunAttract();
            idle = ElapsedTime();
            Log("title");
            continue;
        }
        angle += FrameDuration() / 25;
        DrawSprite(kTitle, 0, 0);
        DrawLogo(angle);
        CentreText("SKIFF", 180, kFontBig);
        DrawItems(items, selected, kMenuTop);
        if (!best.empty()) CentreText("BEST " + std::to_string(best[0].score) + " " + best[0].name, 430, kFontText);
        SetFont(kFontDefault);
        PrintText(RtString("Brindle ") + BRINDLE_VERSION_STRING, 8, 466);
        SetFont(kFontText);
        ShowFrame();
    }
}

}  // namespace skiff
