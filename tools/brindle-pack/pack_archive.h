// A whole pack as the tool sees it: the host bytes in front (an executable
// or nothing), the entries and the directory at the end.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "media/pack_format.h"

struct ArchiveEntry {
    std::string name;
    // Either still in the source pack (sourceStart >= 0) or new bytes.
    int64_t sourceStart = -1;
    std::vector<uint8_t> stored;
    uint32_t storedSize = 0;
};

struct Archive {
    int64_t hostEnd = 0;  // bytes of the file that are not part of the pack
    std::vector<ArchiveEntry> entries;
};

// True when the open file ends with a complete, consistent pack: every entry
// named, inside the file and before the directory, and the directory ending
// just before the trailing offset. Fills the archive (entries still in the
// file). False leaves hostEnd = the whole file and no entries.
bool ReadArchive(pack::Source& source, Archive& archive);

// Adds or replaces (same name without regard to case, in place) an entry.
void PutEntry(Archive& archive, ArchiveEntry entry);

// Writes host bytes, entries and directory to out. fromEnd: offsets count
// from the end of the file. False with a message when the offsets would not
// fit in 32 bits or a read or write fails.
bool WriteArchive(std::FILE* source, const Archive& archive, bool fromEnd, std::FILE* out,
                  std::string& error);
