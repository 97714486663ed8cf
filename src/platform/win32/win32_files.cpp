// Files and directories on Windows: the Win32 file calls.
#include <windows.h>

#include <cstdio>

#include "platform/files.h"
#include "platform/win32/win32_handles.h"

namespace platform {

namespace {
File Wrap(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : win32::FileHandle(h); }
using win32::Native;
}  // namespace

// Windows finds a name in any letter case and with either separator itself.
std::string PathOnDisk(const char* name) { return name ? name : ""; }

File OpenFileForRead(const char* path) {
    if (!path || !*path) return nullptr;
    return Wrap(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

File CreateFileForWrite(const char* path) {
    if (!path || !*path) return nullptr;
    return Wrap(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
}

File CreateFileBeside(const char* target, std::string& tempPath) {
    if (!target || !*target) return nullptr;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, ".~%lu-%u",
                      static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
        std::string candidate = std::string(target) + suffix;
        HANDLE h = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            tempPath = candidate;
            return Wrap(h);
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return nullptr;
    }
    return nullptr;
}

uint32_t FileSizeLow(File file) { return file ? GetFileSize(Native(file), nullptr) : 0; }

uint32_t ReadFromFile(File file, void* bytes, uint32_t count) {
    DWORD done = 0;
    if (!file || !ReadFile(Native(file), bytes, count, &done, nullptr)) return 0;
    return done;
}

uint32_t WriteToFile(File file, const void* bytes, uint32_t count) {
    DWORD done = 0;
    if (!file || !WriteFile(Native(file), bytes, count, &done, nullptr)) return 0;
    return done;
}

bool FlushFileToDisk(File file) { return file && FlushFileBuffers(Native(file)); }

bool CloseFile(File file) { return file && CloseHandle(Native(file)); }

bool ReplaceFileWith(const char* source, const char* target) {
    return source && target &&
           MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

std::string CurrentDirectoryPath() {
    char buf[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    if (n > 0 && n < sizeof buf) return std::string(buf, n);
    if (n == 0) return std::string();
    std::string path(n, '\0');  // n counts the terminator here
    n = GetCurrentDirectoryA(n, path.data());
    path.resize(n);
    return path;
}

std::vector<DirectoryEntry> ListCurrentDirectory() {
    std::vector<DirectoryEntry> entries;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("*.*", &data);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        DirectoryEntry entry;
        entry.name = data.cFileName;
        entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back(std::move(entry));
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return entries;
}

}  // namespace platform
