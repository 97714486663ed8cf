// Opening media files the way the runtime does everywhere: an existing file,
// for reading, shared with other readers.
#pragma once
#include <cstdio>

// Null when the path names no readable file. A directory is not a file here:
// on Linux fopen accepts one, on Windows it does not; both now refuse it.
std::FILE* OpenExistingForRead(const char* path);
