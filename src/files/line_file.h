// The line file: one text file at a time, its lines 0..255 read and written
// by entry number, written back (when changed) before another file is taken
// and at exit. Lines are kept whole, whatever their length and bytes, and so
// are the lines after entry 255: a write-back changes only the entries the
// program wrote (new lines get the file's own line ending, CR LF in a new
// file) and keeps every other byte of the file.
#pragma once
#include <brindle/rtstring.h>

#include <cstdint>
#include <string>
#include <vector>

#include "files/text_lines.h"

constexpr int kLineEntries = 256;
constexpr size_t kLineNameLimit = 1023;  // characters of a file name

struct LineFile {
    std::string lineFileName;       // as the program gave it; empty = no file
    std::string writeBackPath;      // the file read on disk, else lineFileName
    std::vector<SourceLine> lines;  // every line of the file, then new entries
    std::vector<uint8_t> written;   // per line: set by the program
    int32_t lastLine = 0;           // the highest entry in use
    bool linesChanged = false;
};

// Takes the named file (null: none, which writes the current one back and
// empties the cache). 0, or 3 when the file cannot be found or opened.
int LineFileOpen(LineFile& file, const char* name);
// The entry's text (trailing control bytes 0..31 dropped; "NO_DATA" when
// empty, "NO_FILE" when the file could not be opened). 0, 7 or 3.
int ReadLineEntry(LineFile& file, const char* name, uint32_t entry, RtString& result);
// Sets the entry. 0, or 7 for entries above 255.
int WriteLineEntry(LineFile& file, const char* name, uint32_t entry, const char* text);

// The parts without files or the runtime (line_entries.cpp):
// Fills the cache from a file's bytes.
void ReadLineEntries(LineFile& file, const std::string& bytes);
// The entry's text as C code sees it (up to a NUL byte), without trailing
// control bytes; "" for an entry beyond the file.
std::string LineEntryText(const LineFile& file, uint32_t entry);
// Sets an entry below kLineEntries, adding empty lines up to it.
void SetLineEntry(LineFile& file, uint32_t entry, const char* text);
// The bytes a write-back writes.
std::string LineFileText(const LineFile& file);
