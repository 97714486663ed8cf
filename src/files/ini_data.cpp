#include "files/ini_data.h"

#include "files/line_reader.h"

namespace {
bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
// Where a section name or a key ends.
bool NameEnd(char c) { return c == '\0' || Blank(c) || c == '='; }

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool SameName(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return i == a.size() && !b[i];
}
}  // namespace

void IniAddSection(IniData& data, const std::string& name, std::vector<IniPair> pairs) {
    data.sections.push_back(IniSection{name, std::move(pairs)});
}

void IniReadLines(IniData& data, std::FILE* source) {
    std::string pendingName;
    std::vector<IniPair> pending;
    char line[kLineTextSize];
    while (ReadTextLine(source, line)) {
        const char* p = line;
        while (Blank(*p)) ++p;
        if (*p == ';') continue;
        if (*p == '[') {
            if (!pending.empty()) IniAddSection(data, pendingName, std::move(pending));
            pending.clear();
            ++p;
            while (Blank(*p)) ++p;
            const char* end = p;
            while (!NameEnd(*end)) ++end;
            if (end > p && end[-1] == ']') --end;
            // "[Game Options]" names the section Game; "[]" keeps the name.
            if (end > p) pendingName.assign(p, end);
            continue;
        }
        const char* keyEnd = p;
        while (!NameEnd(*keyEnd)) ++keyEnd;
        if (!*keyEnd) continue;
        // Only the one character after the key is taken: "key = value" has
        // the value "= value".
        const char* value = keyEnd + 1;
        while (Blank(*value)) ++value;
        if (!*value) continue;
        const char* valueEnd = value + std::char_traits<char>::length(value);
        while (valueEnd > value && static_cast<signed char>(valueEnd[-1]) <= 31) --valueEnd;
        pending.push_back(IniPair{std::string(p, keyEnd), std::string(value, valueEnd)});
    }
    if (!pending.empty()) IniAddSection(data, pendingName, std::move(pending));
}

std::string IniText(const IniData& data) {
    std::string text;
    for (const IniSection& s : data.sections) {
        text += "[" + s.sectionName + "]\r\n";
        for (const IniPair& pair : s.pairs) text += pair.iniKey + "=" + pair.iniValue + "\r\n";
    }
    return text;
}

int IniFindSection(const IniData& data, const char* name) {
    for (size_t i = 0; i < data.sections.size(); ++i)
        if (SameName(data.sections[i].sectionName, name)) return static_cast<int>(i);
    return -1;
}

int IniFindPair(const IniSection& section, const char* key) {
    for (size_t i = 0; i < section.pairs.size(); ++i)
        if (SameName(section.pairs[i].iniKey, key)) return static_cast<int>(i);
    return -1;
}
