// Files and directories on Linux: POSIX calls giving the results of the
// Win32 calls the file commands are defined with.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/files.h"

namespace platform {

namespace {

// What a File handle points to on Linux.
struct OpenFile {
    int fd;
    dev_t device;
    ino_t inode;
};
OpenFile* Native(File file) { return reinterpret_cast<OpenFile*>(file); }
File Handle(OpenFile* file) { return reinterpret_cast<File>(file); }

// Files open for reading. Windows refuses to open a file for writing without
// sharing while a read handle exists; this list gives Linux the same rule
// within the process.
std::mutex openLock;
std::vector<OpenFile*> openForRead;

bool HeldForReading(const struct stat& st) {
    std::lock_guard<std::mutex> hold(openLock);
    for (const OpenFile* f : openForRead)
        if (f->device == st.st_dev && f->inode == st.st_ino) return true;
    return false;
}

File Wrap(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return nullptr;
    }
    return Handle(new OpenFile{fd, st.st_dev, st.st_ino});
}

// The file a write-back replaces: the one the program names as Windows
// finds it (any letter case, either separator). A symbolic link is written
// through, as Windows writes to the file it names: the replacement goes
// beside the file the link points to.
std::string WriteTarget(const char* name) {
    const std::string path = PathOnDisk(name);
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

}  // namespace

File OpenFileForRead(const char* path) {
    if (!path || !*path) return nullptr;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    OpenFile* file = new OpenFile{fd, st.st_dev, st.st_ino};
    std::lock_guard<std::mutex> hold(openLock);
    openForRead.push_back(file);
    return Handle(file);
}

const char* ReplaceRefusal(const char* path) {
    if (!path || !*path) return "no name";
    const std::string target = WriteTarget(path);
    struct stat st;
    if (stat(target.c_str(), &st) != 0) return nullptr;  // nothing there to keep
    if (S_ISDIR(st.st_mode)) return "a directory";
    if (!S_ISREG(st.st_mode)) return "not a plain file";
    // Without any write permission a file is read-only, as Windows' attribute
    // makes it (and as Wine reads such a file), even for root.
    if ((st.st_mode & 0222) == 0) return "read-only";
    if (HeldForReading(st)) return "in use";
    int fd = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno == EACCES || errno == EPERM || errno == EROFS ? "read-only" : "not writable";
    close(fd);
    return nullptr;
}

File CreateFileBeside(const char* target, std::string& tempPath) {
    if (!target || !*target) return nullptr;
    const std::string base = WriteTarget(target);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, ".~%ld-%u", static_cast<long>(getpid()), ++counter);
        std::string candidate = base + suffix;
        int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        // The replacement keeps the permissions of the file it replaces.
        struct stat old;
        if (stat(base.c_str(), &old) == 0) fchmod(fd, old.st_mode & 07777);
        tempPath = candidate;
        return Wrap(fd);
    }
    return nullptr;
}

uint32_t FileSizeLow(File file) {
    struct stat st;
    if (!file || fstat(Native(file)->fd, &st) != 0) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(st.st_size));
}

uint32_t ReadFromFile(File file, void* bytes, uint32_t count) {
    if (!file) return 0;
    uint32_t done = 0;
    while (done < count) {
        ssize_t n = read(Native(file)->fd, static_cast<char*>(bytes) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<uint32_t>(n);
    }
    return done;
}

uint32_t WriteToFile(File file, const void* bytes, uint32_t count) {
    if (!file) return 0;
    uint32_t done = 0;
    while (done < count) {
        ssize_t n = write(Native(file)->fd, static_cast<const char*>(bytes) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<uint32_t>(n);
    }
    return done;
}

bool FlushFileToDisk(File file) { return file && fsync(Native(file)->fd) == 0; }

bool CloseFile(File file) {
    if (!file) return false;
    {
        std::lock_guard<std::mutex> hold(openLock);
        openForRead.erase(std::remove(openForRead.begin(), openForRead.end(), Native(file)),
                          openForRead.end());
    }
    bool closed = close(Native(file)->fd) == 0;
    delete Native(file);
    return closed;
}

bool ReplaceFileWith(const char* source, const char* target) {
    if (!source || !target) return false;
    const std::string destination = WriteTarget(target);
    if (rename(source, destination.c_str()) != 0) return false;
    // The new directory entry on the disk too, as MOVEFILE_WRITE_THROUGH does.
    std::string directory = destination;
    size_t slash = directory.rfind('/');
    directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : directory.substr(0, slash));
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
    return true;
}

std::string CurrentDirectoryPath() {
    std::string path(PATH_MAX, '\0');
    while (!getcwd(path.data(), path.size())) {
        if (errno != ERANGE) return std::string();
        path.resize(path.size() * 2);
    }
    path.resize(std::char_traits<char>::length(path.c_str()));
    return path;
}

namespace {
// The order of Windows listings (NTFS, and Wine likewise): "." and ".." first,
// then by name with letters compared as capitals ("_x" after "Zeta").
int ListingRank(const std::string& name) { return name == "." ? 0 : name == ".." ? 1 : 2; }
bool ListedBefore(const DirectoryEntry& a, const DirectoryEntry& b) {
    int ra = ListingRank(a.name), rb = ListingRank(b.name);
    if (ra != rb) return ra < rb;
    auto upper = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; };
    size_t n = std::min(a.name.size(), b.name.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = upper(static_cast<unsigned char>(a.name[i]));
        int cb = upper(static_cast<unsigned char>(b.name[i]));
        if (ca != cb) return ca < cb;
    }
    if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
    return a.name < b.name;  // names that differ only in case (not possible on Windows)
}
}  // namespace

std::vector<DirectoryEntry> ListCurrentDirectory() {
    std::vector<DirectoryEntry> entries;
    DIR* dir = opendir(".");
    if (!dir) return entries;
    while (dirent* e = readdir(dir)) {
        DirectoryEntry entry;
        entry.name = e->d_name;
        if (e->d_type == DT_DIR) {
            entry.directory = true;
        } else if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            // A link to a directory lists as a directory, as on Windows.
            struct stat st;
            entry.directory = stat(e->d_name, &st) == 0 && S_ISDIR(st.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(), ListedBefore);
    return entries;
}

}  // namespace platform
