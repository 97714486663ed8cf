// The error log: "ErrorLog.txt" in the user's temporary directory. Every entry
// is appended on its own (open, seek to end, write, "\r\n", close).
#pragma once
#include <string>

std::string ErrorLogPath();
void AppendErrorLog(const char* text);  // null is written as "null"
void DeleteErrorLog();
