#include "core/error_log.h"

#include <cstdio>
#include <cstring>

#include "platform/system.h"

std::string ErrorLogPath() {
    std::string dir = platform::TempDirectory();
    if (dir.size() > 260) dir.resize(260);
    return dir + "ErrorLog.txt";
}

void AppendErrorLog(const char* text) {
    if (!text) text = "null";
    std::FILE* f = std::fopen(ErrorLogPath().c_str(), "ab");
    if (!f) return;  // a log that cannot be opened is skipped silently
    std::fwrite(text, 1, std::strlen(text), f);
    std::fwrite("\r\n", 1, 2, f);
    std::fclose(f);
}

void DeleteErrorLog() { platform::DeleteFileAt(ErrorLogPath().c_str()); }
