#include "files/write_back.h"

#include <algorithm>

#include "core/error_log.h"
#include "platform/files.h"
#include "platform/system.h"

bool WriteFileSafely(const char* path, const std::string& bytes) {
    std::string tempPath;
    platform::File file = platform::CreateFileBeside(path, tempPath);
    bool written = file != nullptr;
    if (file) {
        size_t done = 0;
        while (written && done < bytes.size()) {
            uint32_t n = static_cast<uint32_t>(std::min<size_t>(bytes.size() - done, 1u << 20));
            written = platform::WriteToFile(file, bytes.data() + done, n) == n;
            done += n;
        }
        written = written && platform::FlushFileToDisk(file);
        written = platform::CloseFile(file) && written;
        written = written && platform::ReplaceFileWith(tempPath.c_str(), path);
        if (!written) platform::DeleteFileAt(tempPath.c_str());
    }
    if (!written) AppendErrorLog((std::string("File not written: ") + path).c_str());
    return written;
}
