// Names the pack file of both media lookup records.
#pragma once

// For mediaPack and streamPack: deletes the pending extracted file, then
// stores the given path (at most 259 characters; null counts as empty).
void SetPackPaths(const char* mediaPackPath, const char* streamPackPath);

// Where a line or INI file that the media lookup resolved to `resolved` is
// written back: the file found on disk; for one extracted from the media
// pack (a copy that the next lookup deletes), the name the program gave, in
// the working directory.
const char* WriteBackPath(const char* name, const char* resolved);
