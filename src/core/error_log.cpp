#include "core/error_log.h"

#include <cstdio>
#include <cstring>

#include "platform/system.h"

std::string ErrorLogPath() {
    std::string dir = platform::TempDirectory();
    // Without a temporary directory there is no log (never one in the
    // working directory instead).
    if (dir.empty()) return std::string();
    return dir + "ErrorLog.txt";
}

void AppendErrorLog(const char* text) {
    if (!text) text = "null";
    const std::string path = ErrorLogPath();
    if (path.empty()) return;
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) return;  // a log that cannot be opened is skipped silently
    std::fwrite(text, 1, std::strlen(text), f);
    std::fwrite("\r\n", 1, 2, f);
    std::fclose(f);
}

void DeleteErrorLog() {
    const std::string path = ErrorLogPath();
    if (!path.empty()) platform::DeleteFileAt(path.c_str());
}
