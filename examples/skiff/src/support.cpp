// Settings (skiff.ini), the high-score table (scores.txt), the game's log,
// sound, and reading the player's input.
#include <cmath>
#include <cstdio>

#include "skiff.h"

namespace skiff {

Options options;

namespace {
const char* kIni = "skiff.ini";
const char* kScores = "scores.txt";
constexpr int kTableSize = 10;

std::string IniText(const char* section, const char* key, const std::string& otherwise) {
    RtString value = IniGet(section, key);
    return value == "NO_DATA" ? otherwise : std::string(value.Text());
}
int IniNumber(const char* section, const char* key, int otherwise) {
    RtString value = IniGet(section, key);
    return value == "NO_DATA" ? otherwise : int(TextToNumber(value));
}

std::FILE* logFile = nullptr;
}  // namespace

// The line-file commands keep one file in memory and write it back only
// when another file is taken (or at exit), and a file read again under the
// same name comes from memory. Taking a level file, which never changes,
// writes the scores now and makes the next read of any file come from disk.
void ReleaseLineFile() { ReadLineText(LevelFile(1), 0); }

void LoadOptions() {
    IniOpen(kIni);
    options.volume = IniNumber("Sound", "Volume", options.volume);
    if (options.volume < 0 || options.volume > 100) options.volume = 80;
    options.music = IniNumber("Sound", "Music", options.music) != 0;
    options.wasd = IniText("Controls", "Keys", "Arrows") == "WASD";
    options.mouse = IniNumber("Controls", "Mouse", options.mouse) != 0;
    options.fullscreen = IniNumber("Screen", "Fullscreen", 0) != 0;
    options.intro = IniNumber("Screen", "Intro", options.intro) != 0;
    options.attract = IniNumber("Screen", "Attract", options.attract) != 0;
    options.name = IniText("Player", "Name", "");
    options.address = IniText("Network", "Address", options.address);
    options.port = IniNumber("Network", "Port", options.port);
    options.levelServer = IniText("Levels", "Server", options.levelServer);
    options.levelPort = IniNumber("Levels", "Port", options.levelPort);
    options.levelPath = IniText("Levels", "Path", options.levelPath);
    Log("options volume=" + std::to_string(options.volume) + " music=" + std::to_string(options.music) +
        " keys=" + (options.wasd ? "WASD" : "Arrows") + " mouse=" + std::to_string(options.mouse) +
        " fullscreen=" + std::to_string(options.fullscreen) + " intro=" + std::to_string(options.intro) + " attract=" + std::to_string(options.attract) +
        " name=" + options.name);
}

void SaveOptions() {
    IniPut("Sound", "Volume", RtString(options.volume));
    IniPut("Sound", "Music", RtString(int(options.music)));
    IniPut("Controls", "Keys", options.wasd ? "WASD" : "Arrows");
    IniPut("Controls", "Mouse", RtString(int(options.mouse)));
    IniPut("Screen", "Fullscreen", RtString(int(options.fullscreen)));
    IniPut("Screen", "Intro", RtString(int(options.intro)));
    IniPut("Screen", "Attract", RtString(int(options.attract)));
    // An empty value would remove the key; a name is only kept once typed.
    if (!options.name.empty()) IniPut("Player", "Name", options.name.c_str());
    IniPut("Network", "Address", options.address.c_str());
    IniPut("Network", "Port", RtString(options.port));
    IniPut("Levels", "Server", options.levelServer.c_str());
    IniPut("Levels", "Port", RtString(options.levelPort));
    IniPut("Levels", "Path", options.levelPath.c_str());
    IniOpen(kIni);  // writes the changes back now, then reads the file again
    Log("options saved");
}

std::vector<Score> LoadScores() {
    std::vector<Score> table;
    for (int i = 0; i < kTableSize; i++) {
        RtString line = ReadLineText(kScores, i);
        if (line == "NO_FILE" || line == "NO_DATA") break;
        double space = FindText(line, " ");
        if (space < 1) break;
        table.push_back({int(TextToNumber(MidText(line, 0, space))), MidText(line, space + 1, 64).Text()});
    }
    return table;
}

bool Qualifies(const std::vector<Score>& table, int score) {
    return int(table.size()) < kTableSize || score > table.back().score;
}

void AddScore(int score, const std::string& name) {
    std::vector<Score> table = LoadScores();
    size_t at = 0;
    while (at < table.size() && table[at].score >= score) at++;
    table.insert(table.begin() + at, {score, name});
    if (table.size() > kTableSize) table.resize(kTableSize);
    for (size_t i = 0; i < table.size(); i++)
        WriteLineText(kScores, double(i), RtString(table[i].score) + " " + table[i].name.c_str());
    ReleaseLineFile();
    Log("score " + std::to_string(score) + " " + name + " written at " + std::to_string(at + 1));
}

void OpenLog(const std::string& path) {
    // Binary: the same bytes on both targets ("\n", not "\r\n" on Windows).
    logFile = std::fopen(path.c_str(), "ab");
}
bool Logging() { return logFile != nullptr; }
void Log(const std::string& line) {
    if (!logFile) return;
    std::fprintf(logFile, "%s\n", line.c_str());
    std::fflush(logFile);
}
std::string Fmt(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

void Play(Sound sound, double x) {
    if (options.volume <= 0) return;
    double pan = (x - kArenaW / 2) / (kArenaW / 2);
    PlaySound(sound, pan < -1 ? -1 : pan > 1 ? 1 : pan, options.volume / 100.0);
}

void StartMusic() {
    if (options.music) PlayMusic("music.wav");
    else StopMusic();
}

// Input ----------------------------------------------------------------------

namespace {
const int kWatched[] = {kEsc, kReturn, kPadEnter, kSpace, kUp, kDown, kLeft, kRight, kW, kA, kS, kD, kCtrl, kTab};
bool down[256], before[256];
double mouseX = 0, mouseY = 0, mouseButton = 0, mouseBefore = 0;
bool mouseMoved = false, joystickMoved = false;
double stickY = 0, stickBefore = 0, stickButton = 0, stickButtonBefore = 0;
}  // namespace

void ReadInputEdges() {
    for (int key : kWatched) {
        before[key] = down[key];
        down[key] = KeyDown(key) != 0;
    }
    double right, lastX = mouseX, lastY = mouseY;
    mouseBefore = mouseButton;
    // Motion is a change of the position ReadMouse keeps inside the window:
    // MouseAxis reports a move every frame while the pointer rests outside
    // it (its position is brought back inside each time).
    ReadMouse(mouseX, mouseY, mouseButton, right);
    mouseMoved = mouseX != lastX || mouseY != lastY || mouseButton != 0 || right != 0;
    joystickMoved = JoystickCount() > 0 &&
                    (JoystickX(0) != 0 || JoystickY(0) != 0 || JoystickButton(0, 0) != 0 ||
                     JoystickHatX(0) != 0 || JoystickHatY(0) != 0);
}

bool Pressed(int key) { return down[key] && !before[key]; }

bool Clicked() { return mouseButton != 0 && mouseBefore == 0; }
bool MouseMoved() { return mouseMoved; }
double MouseX() { return mouseX; }
double MouseY() { return mouseY; }

int MenuMove() {
    stickBefore = stickY;
    stickY = JoystickCount() > 0 ? JoystickY(0) + JoystickHatY(0) : 0;
    double wheel = MouseAxis(2);
    if (Pressed(kUp) || (stickY < 0 && stickBefore >= 0) || wheel > 0) return -1;
    if (Pressed(kDown) || (stickY > 0 && stickBefore <= 0) || wheel < 0) return 1;
    return 0;
}

int MenuAdjust() { return Pressed(kLeft) ? -1 : Pressed(kRight) ? 1 : 0; }

bool MenuSelect() {
    stickButtonBefore = stickButton;
    stickButton = JoystickCount() > 0 ? JoystickButton(0, 0) : 0;
    return Pressed(kReturn) || Pressed(kPadEnter) || Pressed(kSpace) || (stickButton != 0 && stickButtonBefore == 0);
}

bool AnyInput() {
    for (int key : kWatched)
        if (down[key]) return true;
    return mouseMoved || joystickMoved;
}

Steer ReadSteer(const World& world, int me, Device& device) {
    Steer keys;
    int up = options.wasd ? kW : kUp, downKey = options.wasd ? kS : kDown;
    int left = options.wasd ? kA : kLeft, right = options.wasd ? kD : kRight;
    keys.dx = double(down[right]) - double(down[left]);
    keys.dy = double(down[downKey]) - double(down[up]);
    keys.fire = options.wasd ? down[kCtrl] : down[kSpace];
    // Whichever moved last steers: the keys, the mouse or the joystick.
    if (keys.dx != 0 || keys.dy != 0 || keys.fire) device = kKeyboard;
    else if (mouseMoved && options.mouse) device = kMouse;
    else if (joystickMoved) device = kJoystick;

    if (device == kMouse) {
        const Skiff& s = world.skiffs[me];
        Steer steer;
        double dx = mouseX - s.x, dy = mouseY - kTop - s.y, d = std::sqrt(dx * dx + dy * dy);
        // The pointer over the water pulls the skiff; on the status bar it rests.
        if (mouseY >= kTop && d > 12) {
            double pull = d > 48 ? 1 : d / 48;
            steer.dx = dx / d * pull;
            steer.dy = dy / d * pull;
        }
        steer.fire = mouseButton != 0;
        return steer;
    }
    if (device == kJoystick) {
        Steer steer;
        steer.dx = JoystickX(0) + JoystickHatX(0);
        steer.dy = JoystickY(0) + JoystickHatY(0);
        steer.fire = JoystickButton(0, 0) != 0;
        return steer;
    }
    return keys;
}

}  // namespace skiff
