// Media lookup: every loader passes its file name through ResolveMediaFile,
// which finds the file on disk or extracts it from the pack (by default the
// game executable itself, with the media appended by brindle-pack).
#pragma once
#include <brindle/rtstring.h>

#include <cstddef>
#include <cstdint>

#include "platform/system.h"

constexpr int kMediaPathSize = platform::kPathBufferSize;
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
// A name an entry may extract to: temporary directory, "~voz", a fresh
// unpredictable token of kExtractTokenLength lower-case letters and digits
// (another local user must not be able to plant a file or link there), then
// the entry's name. False when it does not fit outSize or no randomness is
// available.
constexpr int kExtractTokenLength = 16;
bool ExtractedFileName(const char* entryName, char* out, size_t outSize);

// Start-up and program end: both records created empty / deleted with their
// pending files.
void CreateMediaPacks();
void ReleaseMediaPacks();
