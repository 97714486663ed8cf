// The file and directory commands: they act on the disk directly, without
// the media lookup, on the names as Windows finds them (platform::PathOnDisk).
#include <brindle/files.h>

#include <string>
#include <vector>

#include "core/file_writer.h"
#include "files/name_text.h"
#include "files/wildcard.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {
std::string OnDisk(const RtString& path) { return platform::PathOnDisk(path.Text()); }
}  // namespace

void RemoveFile(const RtString& path) { platform::DeleteFileAt(OnDisk(path).c_str()); }

// The source's size in 4096-byte chunks into a new file that replaces the
// destination only when every chunk arrived: a copy that fails part-way
// leaves the destination as it was.
void CopyFileData(const RtString& source, const RtString& destination) {
    platform::File from = platform::OpenFileForRead(OnDisk(source).c_str());
    if (!from) return;
    FileWriter to;
    if (to.Open(OnDisk(destination).c_str())) {
        uint32_t left = platform::FileSizeLow(from);
        char chunk[4096];
        while (left > 0) {
            uint32_t n = left < sizeof chunk ? left : static_cast<uint32_t>(sizeof chunk);
            if (platform::ReadFromFile(from, chunk, n) != n || !to.Write(chunk, n)) break;
            left -= n;
        }
        if (left == 0) to.Commit();
    }
    platform::CloseFile(from);
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

void ToForwardSlashes(RtString& path) { ForwardSlashes(path.data(), path.length()); }

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
