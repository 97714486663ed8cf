// The file and directory commands: they act on the disk directly, without
// the media lookup, on the names as Windows finds them (platform::PathOnDisk).
#include <brindle/files.h>

#include <string>
#include <vector>

#include "files/wildcard.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {
void ForwardSlashes(std::string& text) {
    for (char& c : text)
        if (c == '\\') c = '/';
}

std::string OnDisk(const RtString& path) { return platform::PathOnDisk(path.Text()); }
}  // namespace

void RemoveFile(const RtString& path) { platform::DeleteFileAt(OnDisk(path).c_str()); }

void CopyFileData(const RtString& source, const RtString& destination) {
    platform::File from = platform::OpenFileForRead(OnDisk(source).c_str());
    if (!from) return;
    const std::string target = OnDisk(destination);
    platform::File to = platform::CreateFileForWrite(target.c_str());
    if (!to) {
        platform::CloseFile(from);
        return;
    }
    uint32_t left = platform::FileSizeLow(from);
    char chunk[4096];
    bool complete = true;
    while (left > 0) {
        uint32_t n = left < sizeof chunk ? left : static_cast<uint32_t>(sizeof chunk);
        if (platform::ReadFromFile(from, chunk, n) != n || platform::WriteToFile(to, chunk, n) != n) {
            complete = false;
            break;
        }
        left -= n;
    }
    platform::CloseFile(from);
    // A close that fails has lost written data: the copy is not complete.
    if (!platform::CloseFile(to)) complete = false;
    if (!complete) platform::DeleteFileAt(target.c_str());
}

double FileExists(const RtString& path) {
    platform::File file = platform::OpenFileForRead(OnDisk(path).c_str());
    if (!file) return 0;
    platform::CloseFile(file);
    return 1;
}

RtString CurrentDirectory() {
    std::string path = platform::CurrentDirectoryPath();
    ForwardSlashes(path);
    if (path.empty() || path.back() != '/') path += '/';
    return RtString(path.c_str());
}

double ChangeDirectory(const RtString& path) {
    return platform::ChangeDirectory(OnDisk(path).c_str()) ? 1 : 0;
}

void ToForwardSlashes(RtString& path) {
    char* text = path.data();
    for (uint32_t i = 0; text && i < path.length(); ++i)
        if (text[i] == '\\') text[i] = '/';
}

double ListDirectory(const RtString& pattern, StringArray& names) {
    std::vector<std::string> directories, files;
    for (platform::DirectoryEntry& e : platform::ListCurrentDirectory()) {
        if (e.directory)
            directories.push_back(std::move(e.name));
        else if (WildcardMatch(e.name.c_str(), pattern.Text()))
            files.push_back(std::move(e.name));
    }
    const double count = static_cast<double>(directories.size() + files.size());
    DimStringArray(names, count);
    double i = 0;
    for (const std::string& name : directories) names(i++) = name.c_str();
    for (const std::string& name : files) names(i++) = name.c_str();
    return static_cast<double>(directories.size()) * 65536 + static_cast<double>(files.size());
}
