// Names the pack file of both media lookup records.
#pragma once

// For mediaPack and streamPack: deletes the pending extracted file, then
// stores the given path (at most 259 characters; null counts as empty).
void SetPackPaths(const char* mediaPackPath, const char* streamPackPath);
