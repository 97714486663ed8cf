// Writing a file back so that it is never left half-written: the new text
// goes to a new file beside it, which replaces the old file only once it is
// complete on the disk. A crash, a full disk or a killed process leaves the
// old file as it was.
#pragma once
#include <string>

// True when `path` now holds `bytes`. On failure the old file (if any) is
// kept, the partial new file removed, and a line goes to the error log.
bool WriteFileSafely(const char* path, const std::string& bytes);
