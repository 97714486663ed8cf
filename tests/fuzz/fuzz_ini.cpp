// INI files from untrusted bytes: the reading rules; an unchanged file is
// written back byte for byte; after changes, what is written reads back as
// the data changed (where the format can say it).
#include <cstddef>
#include <cstdint>
#include <string>

#include "files/ini_data.h"

namespace {
bool Plain(const std::string& name) { return name.find_first_of(" \t\r\n=") == std::string::npos; }

// The pairs a file can give back: values that are not empty; sections that
// keep a pair. A section the program added without a name goes first (its
// pairs are written before the first header).
std::string Readable(const IniData& data) {
    std::string out, top;
    for (const IniSection& s : data.sections) {
        std::string pairs;
        for (const IniPair& p : s.pairs)
            if (!p.iniValue.empty()) pairs += p.iniKey + "=" + p.iniValue + "\n";
        if (pairs.empty()) continue;
        (s.sectionName.empty() && s.lastLine < 0 ? top : out) += "[" + s.sectionName + "]\n" + pairs;
    }
    return top + out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string file(reinterpret_cast<const char*>(bytes), size);
    IniData ini;
    IniReadText(ini, file);
    for (const IniSection& s : ini.sections) {
        // Names and keys end at blanks and "="; a section holds pairs.
        if (!Plain(s.sectionName) || s.pairs.empty()) __builtin_trap();
        for (const IniPair& p : s.pairs)
            if (!Plain(p.iniKey) || p.iniValue.find('\n') != std::string::npos) __builtin_trap();
        IniFindPair(s, s.pairs.back().iniKey.c_str());
    }
    if (IniText(ini) != file) __builtin_trap();

    // Changes chosen by the file's own first byte: change, remove and add
    // pairs, remove sections, add a section and pairs without a section.
    const unsigned seed = size ? bytes[0] : 0;
    const size_t sections = ini.sections.size();
    for (size_t i = 0; i < sections && i < ini.sections.size(); ++i) {
        const IniSection s = ini.sections[i];
        const std::string& key = s.pairs.empty() ? std::string() : s.pairs.front().iniKey;
        switch ((i + seed) % 4) {
            case 0:
                if (!key.empty()) IniChange(ini, s.sectionName.c_str(), key.c_str(), ("c" + std::to_string(i)).c_str());
                break;
            case 1: IniChange(ini, s.sectionName.c_str(), "", ""); break;
            case 2:
                if (!key.empty()) IniChange(ini, s.sectionName.c_str(), key.c_str(), "");
                IniChange(ini, s.sectionName.c_str(), ("n" + std::to_string(i)).c_str(), "added");
                break;
            default: break;
        }
    }
    IniChange(ini, "Added", "k", "v");
    if (seed & 1) IniChange(ini, "", "top", "1");
    const std::string written = IniText(ini);
    IniData again;
    IniReadText(again, written);
    // A line that begins with the bytes of a byte-order mark and becomes the
    // first line (the lines before it removed) reads as marking the file.
    if (again.bom == ini.bom && Readable(again) != Readable(ini)) __builtin_trap();
    return 0;
}
