// The INI file held in memory: sections of key/value pairs as the reading
// rules find them (IniReadText), looked up without regard to case, and the
// file's own lines. A write-back (IniText) changes only the lines of pairs
// the program changed, added or removed; every other byte stays as it was:
// comments, blank lines, spacing, headers as written, line endings, a
// byte-order mark, long lines, any bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "files/text_lines.h"

struct IniPair {
    std::string iniKey;
    std::string iniValue;
    int32_t line = -1;  // the line it was read from; -1: added by the program
};

struct IniSection {
    std::string sectionName;
    std::vector<IniPair> pairs;
    int32_t header = -1;    // the header line that named it; -1: none
    int32_t lastLine = -1;  // the line of its last pair read, where added
                            // pairs go; -1: a section the program added
};

struct IniData {
    std::vector<IniSection> sections;
    std::string iniFileName;  // where the data is written back
    uint8_t iniChanged = 0;
    std::string bom;                // a UTF-8 byte-order mark the file began with
    std::vector<SourceLine> lines;  // the file as read, after the mark
};

// Replaces the data with what the bytes of a file hold.
void IniReadText(IniData& data, const std::string& bytes);
// The bytes a write-back writes: the file as read, with the program's
// changes. Unchanged data gives the bytes read.
std::string IniText(const IniData& data);
// Adds, replaces or (with an empty value) removes a pair; with an empty key
// removes the section. Null when done (or nothing to do), else why it was
// refused, nothing changed: a new section, a new key or a value that would
// not read back as itself.
const char* IniChange(IniData& data, const char* section, const char* key, const char* value);

// The first section / pair with that name (ASCII case ignored), or -1.
int IniFindSection(const IniData& data, const char* name);
int IniFindPair(const IniSection& section, const char* key);
