// Reading text files line by line, as the line file and the INI file do:
// a line ends at a line feed (a carriage return just before it is dropped),
// the last line may lack its ending, and a line keeps its first 1023
// characters: the rest of a longer line is skipped, so the next line read is
// the next line of the file.
#pragma once
#include <cstdio>

constexpr int kLineTextSize = 1024;  // 1023 characters and the terminator

// Reads the next line into `line`; false when the file has no more bytes.
bool ReadTextLine(std::FILE* file, char line[kLineTextSize]);
