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

const char* ReplaceRefusal(const char* path) {
    if (!path || !*path) return "no name";
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return nullptr;  // nothing there to keep
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "a directory";
    if (attributes & FILE_ATTRIBUTE_READONLY) return "read-only";
    // Opened for writing and closed again: refused while a handle without
    // write sharing is open (a read through OpenFileForRead), or by the ACL.
    HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return "in use";
        return error == ERROR_ACCESS_DENIED ? "read-only" : "not writable";
    }
    CloseHandle(h);
    return nullptr;
}

File CreateFileBeside(const char* target, std::string& tempPath) {
    if (!target || !*target) return nullptr;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, ".~%lu-%u",
                      static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
        std::string candidate = std::string(target) + suffix;
        HANDLE h = CreateFileA(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
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
