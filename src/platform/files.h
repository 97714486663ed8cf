// The seam: files and directories as the file commands see them. Windows
// uses the Win32 file calls (CreateFileA, FindFirstFileA, MoveFileExA);
// Linux the POSIX calls, with the same results.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The spelling under which the disk holds a file name a program gave, as
// Windows finds it. Windows: the name itself (its file system ignores letter
// case and takes backslashes and '/' alike). Linux: the name itself when a
// file has it; else backslashes become '/' and each part of the path that
// no entry has exactly is matched to an entry of its folder without regard
// to letter case (A-Z, a-z); parts that match nothing (a file yet to be
// created) stay as given.
std::string PathOnDisk(const char* name);

struct FileObject;  // HANDLE on Windows; a file descriptor on Linux
using File = FileObject*;

// An existing file opened for reading, shared with other readers; null when
// it is missing, a directory, or refused.
File OpenFileForRead(const char* path);
// Why no file may be put in the place of `path`, or null when one may (no
// file is there, or a file this process may write): "read-only" (no write
// permission; on Windows the read-only attribute), "a directory", "not a
// plain file", "in use" (this process has it open for reading: Windows'
// sharing rule, which Linux follows within the process, so copying a file
// onto itself cannot replace it), "not writable".
const char* ReplaceRefusal(const char* path);
// A new file beside `target` (same directory, so it can replace the target
// by a rename) whose name does not exist yet; tempPath gets its name. It
// has the permissions of the file it is to replace.
File CreateFileBeside(const char* target, std::string& tempPath);
// The file's size, low 32 bits.
uint32_t FileSizeLow(File file);
// Bytes moved; fewer than asked at the end of the file or on an error.
uint32_t ReadFromFile(File file, void* bytes, uint32_t count);
uint32_t WriteToFile(File file, const void* bytes, uint32_t count);
// Pushes written data to the disk; false when it could not be stored.
bool FlushFileToDisk(File file);
// False when the close reported an error (data not stored).
bool CloseFile(File file);
// Puts `source` in the place of `target` in one step: a reader sees either
// the old or the new file, never a mixture. False when it did not happen.
bool ReplaceFileWith(const char* source, const char* target);

// The current directory with the platform's separators ("" on failure).
std::string CurrentDirectoryPath();

struct DirectoryEntry {
    std::string name;
    bool directory = false;
};
// Every entry of the current directory, "." and ".." included, in the order
// the platform lists them; empty when it cannot be read.
std::vector<DirectoryEntry> ListCurrentDirectory();

}  // namespace platform
