// INI files from untrusted bytes: the line reader and the reading rules, then
// the saved text read back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "files/ini_data.h"

namespace {
void Read(IniData& data, const void* bytes, size_t size) {
    std::FILE* f = std::tmpfile();
    if (!f) return;
    std::fwrite(bytes, 1, size, f);
    std::rewind(f);
    IniReadLines(data, f);
    std::fclose(f);
}
bool Plain(const std::string& name) {
    return name.size() <= 1023 && name.find_first_of(" \t\r\n=") == std::string::npos;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniData ini;
    Read(ini, data, size);
    for (const IniSection& s : ini.sections) {
        // Names and keys end at blanks and "="; a section holds pairs.
        if (!Plain(s.sectionName) || s.pairs.empty()) __builtin_trap();
        for (const IniPair& p : s.pairs)
            if (!Plain(p.iniKey) || p.iniValue.size() > 1023 ||
                p.iniValue.find('\n') != std::string::npos)
                __builtin_trap();
        IniFindPair(s, s.pairs.back().iniKey.c_str());
    }
    // What is saved reads back to the same pairs, except where the format
    // cannot say it: a section without a name after the first ("[]" keeps
    // the previous name), and an empty value (a value such as "\xFF" is
    // taken, then stripped to nothing; "key=" is not taken).
    bool sayable = true;
    for (size_t i = 0; i < ini.sections.size(); ++i) {
        sayable = sayable && (i == 0 || !ini.sections[i].sectionName.empty());
        for (const IniPair& p : ini.sections[i].pairs) sayable = sayable && !p.iniValue.empty();
    }
    if (sayable) {
        const std::string text = IniText(ini);
        IniData again;
        Read(again, text.data(), text.size());
        if (IniText(again) != text) __builtin_trap();
    }
    return 0;
}
