#include "core/error_log.h"

#include <cstring>

#include "platform/system.h"

std::string ErrorLogPath() {
    std::string dir = platform::ErrorLogDirectory();
    // Without a folder for it there is no log (never one in the working
    // directory instead).
    if (dir.empty()) return std::string();
    return dir + "ErrorLog.txt";
}

void AppendErrorLog(const char* text) {
    if (!text) text = "null";
    const std::string path = ErrorLogPath();
    if (path.empty()) return;
    std::string entry = text;
    entry += "\r\n";
    // A log that cannot be opened (or is not the user's own file) is
    // skipped silently.
    platform::AppendToOwnFile(path.c_str(), entry.data(), entry.size());
}

void DeleteErrorLog() {
    const std::string path = ErrorLogPath();
    if (!path.empty()) platform::DeleteFileAt(path.c_str());
}
