// Media lookup: every loader passes its file name through ResolveMediaFile,
// which finds the file on disk or extracts it from the pack (by default the
// game executable itself, with the media appended by brindle-pack).
#pragma once
#include <brindle/rtstring.h>

#include <cstddef>
#include <cstdint>

constexpr int kMediaPathSize = 260;       // 259 characters plus terminator
constexpr int kResolvedNameSize = 512;    // callers' buffers hold at least this

struct MediaPack {
    char packPath[kMediaPathSize] = {};       // empty = no pack
    char extractedPath[kMediaPathSize] = {};  // the pending extracted file, if any
};

// Finds requestedName on disk, else extracts the pack entry whose name ends
// the request (without regard to case) into the temporary directory.
// resolvedName is a buffer of at least kResolvedNameSize bytes and may be the
// same buffer as requestedName. True when resolvedName holds a path to open.
bool ResolveMediaFile(MediaPack* pack, const char* requestedName, char* resolvedName);
// The same for the runtime's strings: resolved gets room for 512 bytes and
// its length fixed afterwards. requested and resolved may be one string.
bool ResolveMediaFile(MediaPack* pack, const RtString& requested, RtString& resolved);

// Deletes the pending extracted file of the record, if there is one.
void DeleteExtractedFile(MediaPack* pack);
// The name an entry extracts to: temporary directory, "~voz", two letters
// from dataOffset and storedSize, then the entry's name.
bool ExtractedFileName(const char* entryName, int32_t dataOffset, uint32_t storedSize,
                       char* out, size_t outSize);

// Start-up and program end: both records created empty / deleted with their
// pending files.
void CreateMediaPacks();
void ReleaseMediaPacks();
