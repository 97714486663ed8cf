// File names as Windows finds them, on a Linux file system that keeps letter
// case and takes only '/' between folders. Games written for Windows name
// their files "Data\\Sprites\\SHIP.BMP" for a file saved as
// data/sprites/ship.bmp.
#include <dirent.h>
#include <sys/stat.h>

#include <string>

#include "platform/files.h"

namespace platform {

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return i == a.size() && !b[i];
}

// The entry of `folder` whose name is `part` without regard to letter case;
// "" when there is none. Linux may hold several (Read.me and README.ME):
// the first in byte order is taken, so the choice does not depend on the
// order the folder lists them in.
std::string EntryIgnoringCase(const std::string& folder, const std::string& part) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return std::string();
    std::string found;
    while (dirent* e = readdir(dir)) {
        if (SameIgnoringCase(part, e->d_name) && (found.empty() || found > e->d_name))
            found = e->d_name;
    }
    closedir(dir);
    return found;
}

}  // namespace

std::string PathOnDisk(const char* name) {
    if (!name) return std::string();
    // The common case costs one look-up: the name is on the disk as given.
    if (!*name || Exists(name)) return name;
    std::string path(name);
    for (char& c : path)
        if (c == '\\') c = '/';
    if (Exists(path)) return path;

    std::string result;
    size_t start = 0;
    if (path[0] == '/') {
        result = "/";
        start = 1;
    }
    bool matching = true;  // until a part matches nothing
    for (;;) {
        size_t end = path.find('/', start);
        std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (matching && !part.empty() && part != "." && part != ".." && !Exists(result + part)) {
            std::string entry = EntryIgnoringCase(result, part);
            if (entry.empty())
                matching = false;
            else
                part = entry;
        }
        result += part;
        if (end == std::string::npos) return result;
        result += '/';
        start = end + 1;
    }
}

}  // namespace platform
