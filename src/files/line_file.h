// The line file: one text file at a time held as 256 numbered entries of up
// to 1023 characters, written back (when changed) before another file is
// taken and at exit.
#pragma once
#include <brindle/rtstring.h>

#include <cstdint>
#include <cstdio>

#include "files/line_reader.h"

constexpr int kLineEntries = 256;

struct LineFile {
    char lineFileName[kLineTextSize] = {};  // as the program gave it; empty = no file
    char lines[kLineEntries][kLineTextSize] = {};
    int32_t lastLine = 0;  // the highest entry in use
    bool linesChanged = false;
};

// Takes the named file (null: none, which writes the current one back and
// empties the cache). 0, or 3 when the file cannot be found or opened.
int LineFileOpen(LineFile& file, const char* name);
// The entry's text (trailing control bytes dropped; "NO_DATA" when empty,
// "NO_FILE" when the file could not be opened). 0, 7 or 3.
int ReadLineEntry(LineFile& file, const char* name, uint32_t entry, RtString& result);
// Sets the entry (at most 1023 characters are kept). 0, or 7 for entries
// above 255.
int WriteLineEntry(LineFile& file, const char* name, uint32_t entry, const char* text);

// Fills the entries from an open file, at most 256 lines.
void ReadLineEntries(LineFile& file, std::FILE* source);
