// Skiff's settings block: read by the runtime once, before the game starts.
// Full screen is one of the player's options, so it comes from skiff.ini
// beside the program, read here with the C library because the runtime
// (and its INI commands) is not running yet.
#include <brindle.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
// Only to find the program's folder, where skiff.ini lives.
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {
std::string ProgramFolder() {
    char path[4096] = {};
#ifdef _WIN32
    long n = long(GetModuleFileNameA(nullptr, path, sizeof path - 1));
#else
    long n = long(readlink("/proc/self/exe", path, sizeof path - 1));
#endif
    if (n <= 0) return "";
    std::string p(path, size_t(n));
    size_t cut = p.find_last_of("/\\");
    return cut == std::string::npos ? "" : p.substr(0, cut + 1);
}

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// "Fullscreen=1" in the [Screen] section of skiff.ini.
int StartFullscreen() {
    std::FILE* f = std::fopen((ProgramFolder() + "skiff.ini").c_str(), "r");
    if (!f) return 0;
    char line[256];
    std::string section;
    int on = 0;
    while (std::fgets(line, sizeof line, f)) {
        std::string l = Lower(line);
        while (!l.empty() && std::strchr(" \t\r\n", l.back())) l.pop_back();
        if (!l.empty() && l[0] == '[') section = l.substr(1, l.find(']') - 1);
        else if (section == "screen" && l.rfind("fullscreen=", 0) == 0) on = l.substr(11) == "1";
    }
    std::fclose(f);
    return on;
}
}  // namespace

const GameSettings gameSettings = {
    640, 480, 60,
    StartFullscreen(),
    // Keeps running while another window is active: a network partner's
    // game goes on, so this one must too (it also writes the end trace to
    // the error log).
    1,
    0,
    "Skiff",
};
