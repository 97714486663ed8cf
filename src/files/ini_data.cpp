#include "files/ini_data.h"

#include <cstring>

#include "files/name_text.h"

namespace {
bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
// Where a section name or a key ends.
bool NameEnd(char c) { return Blank(c) || c == '='; }

bool SameName(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (FoldLetter(a[i]) != FoldLetter(b[i])) return false;
    return i == a.size() && !b[i];
}

// One line as the reading rules see it (up to a NUL byte, as C code reads).
struct IniLine {
    enum Kind { kOther, kHeader, kPair } kind = kOther;
    size_t nameBegin = 0, nameEnd = 0;    // the section name or the key
    size_t valueBegin = 0, valueEnd = 0;  // a pair's value
};

IniLine ParseLine(const std::string& text) {
    IniLine line;
    const size_t length = CTextLength(text);
    size_t p = 0;
    while (p < length && Blank(text[p])) ++p;
    if (p == length || text[p] == ';') return line;
    if (text[p] == '[') {
        ++p;
        while (p < length && Blank(text[p])) ++p;
        size_t end = p;
        while (end < length && !NameEnd(text[end])) ++end;
        // "[Game Options]" names the section Game; "[]" keeps the name.
        if (end > p && text[end - 1] == ']') --end;
        line.kind = IniLine::kHeader;
        line.nameBegin = p;
        line.nameEnd = end;
        return line;
    }
    size_t keyEnd = p;
    while (keyEnd < length && !NameEnd(text[keyEnd])) ++keyEnd;
    if (keyEnd == length) return line;
    // Only the one character after the key is taken: "key = value" has the
    // value "= value".
    size_t value = keyEnd + 1;
    while (value < length && Blank(text[value])) ++value;
    if (value == length) return line;
    size_t valueEnd = length;
    while (valueEnd > value && IsControlByte(text[valueEnd - 1])) --valueEnd;
    line.kind = IniLine::kPair;
    line.nameBegin = p;
    line.nameEnd = keyEnd;
    line.valueBegin = value;
    line.valueEnd = valueEnd;
    return line;
}

std::string Part(const std::string& text, size_t begin, size_t end) { return text.substr(begin, end - begin); }

// A changed pair's line: the indentation and the key as written, then the
// new value. The separator stays ("key=", "key= ", "key value"), except
// that "key = value", whose value reads as "= value", becomes "key=value":
// so it reads back as the value the program gave, and as the same key and
// value for the program that wrote the file.
std::string ChangedPairLine(const std::string& text, const IniLine& line, const std::string& value) {
    if (text[line.nameEnd] != '=' && text[line.valueBegin] == '=') return text.substr(0, line.nameEnd) + "=" + value;
    return text.substr(0, line.valueBegin) + value;
}

std::string NewPairLine(const IniPair& pair) { return pair.iniKey + "=" + pair.iniValue; }

// Names and keys that a written file gives back as they are.
bool Sayable(const char* name) {
    for (const char* c = name; *c; ++c)
        if (NameEnd(*c)) return false;
    return true;
}
}  // namespace

void IniReadText(IniData& data, const std::string& bytes) {
    data.sections.clear();
    const bool marked = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    data.bom = marked ? bytes.substr(0, 3) : std::string();
    data.lines = SplitLines(marked ? bytes.substr(3) : bytes);
    IniSection pending;
    auto flush = [&] {
        if (pending.pairs.empty()) return;  // a section without pairs is dropped
        pending.lastLine = pending.pairs.back().line;
        data.sections.push_back(pending);
        pending.pairs.clear();
    };
    for (size_t n = 0; n < data.lines.size(); ++n) {
        const std::string& text = data.lines[n].text;
        const IniLine line = ParseLine(text);
        if (line.kind == IniLine::kHeader) {
            flush();
            if (line.nameEnd > line.nameBegin) {
                pending.sectionName = Part(text, line.nameBegin, line.nameEnd);
                pending.header = static_cast<int32_t>(n);
            }
        } else if (line.kind == IniLine::kPair) {
            pending.pairs.push_back(IniPair{Part(text, line.nameBegin, line.nameEnd),
                                            Part(text, line.valueBegin, line.valueEnd),
                                            static_cast<int32_t>(n)});
        }
    }
    flush();
}

std::string IniText(const IniData& data) {
    const std::vector<SourceLine>& lines = data.lines;
    const size_t count = lines.size();
    std::vector<IniLine> parsed(count);
    // Pair lines go unless a pair still holds them; headers that named pairs
    // go with their sections, unless a section they name is still there.
    enum Action : uint8_t { kKeep, kDrop, kChange };
    std::vector<uint8_t> action(count, kKeep);
    std::vector<uint8_t> namesPairs(count, 0), headerUsed(count, 0);
    std::vector<const IniPair*> pairAt(count, nullptr);
    std::vector<const IniSection*> addAfter(count, nullptr);
    size_t firstHeader = count;
    int32_t header = -1;
    for (size_t n = 0; n < count; ++n) {
        parsed[n] = ParseLine(lines[n].text);
        if (parsed[n].kind == IniLine::kHeader) {
            if (firstHeader == count) firstHeader = n;
            if (parsed[n].nameEnd > parsed[n].nameBegin) header = static_cast<int32_t>(n);
        } else if (parsed[n].kind == IniLine::kPair) {
            action[n] = kDrop;
            if (header >= 0) namesPairs[header] = 1;
        }
    }
    const IniSection* top = nullptr;  // a section without a name the program added
    std::vector<const IniSection*> added;
    for (const IniSection& s : data.sections) {
        if (s.header >= 0 && static_cast<size_t>(s.header) < count) headerUsed[s.header] = 1;
        bool adds = false;
        for (const IniPair& p : s.pairs) {
            if (p.line < 0 || static_cast<size_t>(p.line) >= count) {
                adds = true;
                continue;
            }
            const IniLine& line = parsed[p.line];
            const std::string& text = lines[p.line].text;
            const bool same = text.compare(line.valueBegin, line.valueEnd - line.valueBegin, p.iniValue) == 0;
            action[p.line] = same ? kKeep : kChange;
            pairAt[p.line] = &p;
        }
        if (!adds) continue;
        if (s.lastLine >= 0 && static_cast<size_t>(s.lastLine) < count)
            addAfter[s.lastLine] = &s;
        else if (s.sectionName.empty())
            top = &s;
        else
            added.push_back(&s);
    }
    for (size_t n = 0; n < count; ++n)
        if (namesPairs[n] && !headerUsed[n]) action[n] = kDrop;

    LineWriter out(LineEndOf(lines));
    out.bytes() = data.bom;
    auto addPairs = [&](const IniSection& s) {
        for (const IniPair& p : s.pairs)
            if (p.line < 0) out.NewLine(NewPairLine(p));
    };
    // Pairs before any header belong to the section without a name.
    const size_t topAt = top ? firstHeader : count + 1;
    for (size_t n = 0; n < count; ++n) {
        if (n == topAt) addPairs(*top);
        if (action[n] == kKeep)
            out.Line(lines[n].text, lines[n].end);
        else if (action[n] == kChange)
            out.Line(ChangedPairLine(lines[n].text, parsed[n], pairAt[n]->iniValue), lines[n].end);
        if (addAfter[n]) addPairs(*addAfter[n]);
    }
    if (topAt == count) addPairs(*top);
    for (const IniSection* s : added) {
        out.NewLine("[" + s->sectionName + "]");
        addPairs(*s);
    }
    return std::move(out.bytes());
}

const char* IniChange(IniData& data, const char* section, const char* key, const char* value) {
    int s = IniFindSection(data, section);
    if (!*key) {
        if (s < 0) return nullptr;
        data.sections.erase(data.sections.begin() + s);
        data.iniChanged = 1;
        return nullptr;
    }
    if (std::strchr(value, '\n')) return "a value with a line feed";
    if (s < 0 && !Sayable(section)) return "a new section name with a space, tab, line break or \"=\"";
    int p = s < 0 ? -1 : IniFindPair(data.sections[s], key);
    if (p < 0 && (!Sayable(key) || *key == ';' || *key == '['))
        return "a new key with a space, tab, line break or \"=\", or starting with \";\" or \"[\"";
    if (s < 0) {
        data.sections.push_back(IniSection{section, {}, -1, -1});
        s = static_cast<int>(data.sections.size()) - 1;
    }
    std::vector<IniPair>& pairs = data.sections[s].pairs;
    data.iniChanged = 1;
    if (p < 0)
        pairs.push_back(IniPair{key, value, -1});  // even with an empty value
    else if (!*value)
        pairs.erase(pairs.begin() + p);
    else
        pairs[p].iniValue = value;
    return nullptr;
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
