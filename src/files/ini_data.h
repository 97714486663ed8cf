// The INI file held in memory: sections of key/value pairs in file order,
// looked up without regard to case. Reading follows the format's own rules
// (see IniReadLines); writing gives "[name]" and "key=value" lines.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct IniPair {
    std::string iniKey;
    std::string iniValue;
};

struct IniSection {
    std::string sectionName;
    std::vector<IniPair> pairs;
};

struct IniData {
    std::vector<IniSection> sections;
    std::string iniFileName;  // where the data is written back
    uint8_t iniChanged = 0;
};

// Appends a section with these pairs.
void IniAddSection(IniData& data, const std::string& name, std::vector<IniPair> pairs);
// Reads every line of the file into sections, after those already held.
void IniReadLines(IniData& data, std::FILE* source);
// The text IniSave writes.
std::string IniText(const IniData& data);

// The first section / pair with that name (ASCII case ignored), or -1.
int IniFindSection(const IniData& data, const char* name);
int IniFindPair(const IniSection& section, const char* key);
// Removes an element by moving the last one into its place.
template <typename T>
void IniRemoveAt(std::vector<T>& list, size_t index) {
    if (index + 1 < list.size()) list[index] = std::move(list.back());
    list.pop_back();
}
