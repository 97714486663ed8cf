// The error log: "ErrorLog.txt" in the folder platform::ErrorLogDirectory
// names (the user's temporary directory; on Linux without TMPDIR, the
// user's private runtime folder). Every entry is appended on its own (open,
// append the text and "\r\n", close).
#pragma once
#include <string>

std::string ErrorLogPath();
void AppendErrorLog(const char* text);  // null is written as "null"
void DeleteErrorLog();
