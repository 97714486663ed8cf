// brindle-pack: builds, lists and unpacks the media packs a Brindle game
// reads its media from (usually appended to the game executable itself).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "brindle_version.h"
#include "media/pack_format.h"
#include "pack_archive.h"
#include "pack_compress.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "Usage: brindle-pack add [--from-end] PACK FILE...\n"
    "       brindle-pack list PACK\n"
    "       brindle-pack extract PACK [DIR]\n"
    "\n"
    "Builds and reads the media packs of Brindle games: LZO1X-compressed\n"
    "entries followed by their directory at the end of a file, usually the\n"
    "game executable itself. A game looks a media file up on disk first and\n"
    "then in its pack, by the end of the requested name (without regard to case).\n"
    "\n"
    "  add      append FILEs to PACK under their base names (PACK is created\n"
    "           when missing; an existing executable keeps working). Entries\n"
    "           already in PACK are kept; one with the same name is replaced.\n"
    "           --from-end  count the offsets from the end of the file\n"
    "  list     print one line per entry: name, original size, stored size\n"
    "           (tab-separated)\n"
    "  extract  write every entry of PACK into DIR (default: the current\n"
    "           directory, created when missing)\n"
    "\n"
    "  -h, --help  show this text\n"
    "  --version   show the version of Brindle this tool belongs to\n"
    "\n"
    "Exit status: 0 on success, 1 on a failure, 2 on wrong usage.\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "brindle-pack: %s\n", message.c_str());
    return 1;
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "brindle-pack: %s\nTry 'brindle-pack --help' for more information.\n",
                 message.c_str());
    return 2;
}

std::string SystemReason() { return std::strerror(errno); }

struct File {
    std::FILE* f = nullptr;
    File() = default;
    File(const std::string& path, const char* mode) : f(std::fopen(path.c_str(), mode)) {}
    ~File() {
        if (f) std::fclose(f);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool Close() {
        bool ok = f && std::fclose(f) == 0;
        f = nullptr;
        return ok;
    }
};

// The stored name: the base name, with either separator, so that a pack
// built on either system holds the same names.
std::string BaseName(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// False, with the message, when PATH is missing or not a regular file.
bool IsRegularFile(const std::string& path, std::string& error) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        error = path + ": no such file";
        return false;
    }
    if (!fs::is_regular_file(path, ec)) {
        error = path + ": not a regular file";
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    if (!IsRegularFile(path, error)) return false;
    File in(path, "rb");
    if (!in.f) {
        error = path + ": cannot open: " + SystemReason();
        return false;
    }
    bytes.clear();
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in.f)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (bytes.size() > pack::kMaxOriginalSize) {
            error = path + ": larger than 1 GiB";
            return false;
        }
    }
    if (std::ferror(in.f)) {
        error = path + ": read error";
        return false;
    }
    return true;
}

// Opens PACK and reads its directory; false (with a message) when it holds none.
bool OpenPack(const std::string& path, File& file, std::unique_ptr<pack::FileSource>& source,
              Archive& archive,
              std::string& error) {
    if (!IsRegularFile(path, error)) return false;
    file.f = std::fopen(path.c_str(), "rb");
    if (!file.f) {
        error = path + ": cannot open: " + SystemReason();
        return false;
    }
    source = std::make_unique<pack::FileSource>(file.f);
    if (!ReadArchive(*source, archive)) {
        error = path + ": holds no pack";
        return false;
    }
    return true;
}

int Add(const std::vector<std::string>& args) {
    bool fromEnd = false;
    size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (args[i] == "--from-end") {
            fromEnd = true;
        } else if (args[i] == "--") {
            ++i;
            break;
        } else {
            return Usage("unknown option " + args[i]);
        }
    }
    if (args.size() - i < 2) return Usage("add needs a PACK and at least one FILE");
    const std::string packPath = args[i++];

    // Every input is read and compressed before the pack is touched.
    std::vector<ArchiveEntry> added;
    std::string report;  // name, original size, stored size of each added file
    for (; i < args.size(); ++i) {
        std::string name = BaseName(args[i]);
        if (name.empty()) return Fail(args[i] + ": no file name");
        if (name.size() > static_cast<size_t>(pack::kMaxNameLength))
            return Fail(args[i] + ": name longer than 255 bytes");
        if (!pack::UsableName(name)) return Fail(args[i] + ": name cannot be stored");
        std::vector<uint8_t> bytes;
        std::string error;
        if (!ReadWholeFile(args[i], bytes, error)) return Fail(error);
        ArchiveEntry entry;
        entry.name = name;
        if (!pack::CompressContent(bytes.data(), bytes.size(), entry.stored))
            return Fail(args[i] + ": compression failed");
        entry.storedSize = static_cast<uint32_t>(entry.stored.size());
        report += name + "\t" + std::to_string(bytes.size()) + "\t" +
                  std::to_string(entry.storedSize) + "\n";
        added.push_back(std::move(entry));
    }

    std::error_code ec;
    Archive archive;
    File existing;
    if (fs::exists(packPath, ec)) {
        if (!fs::is_regular_file(packPath, ec)) return Fail(packPath + ": not a regular file");
        existing.f = std::fopen(packPath.c_str(), "rb");
        if (!existing.f) return Fail(packPath + ": cannot open: " + SystemReason());
        pack::FileSource source(existing.f);
        if (source.Size() < 0) return Fail(packPath + ": cannot read its size");
        // A file without a pack (an executable) keeps all its bytes in front.
        ReadArchive(source, archive);
    }
    for (ArchiveEntry& e : added) PutEntry(archive, std::move(e));

    // Written beside the pack and renamed over it: an error leaves it as it was.
    const std::string temporary = packPath + ".brindle-pack-tmp";
    File out(temporary, "wb");
    if (!out.f) return Fail(packPath + ": cannot write: " + SystemReason());
    std::string error;
    bool ok = WriteArchive(existing.f, archive, fromEnd, out.f, error);
    if (!out.Close() && ok) {
        ok = false;
        error = temporary + ": write failed";
    }
    existing.Close();
    if (!ok) {
        fs::remove(temporary, ec);
        return Fail(packPath + ": " + error);
    }
    if (fs::exists(packPath, ec)) {
        // Keep an executable executable.
        fs::permissions(temporary, fs::status(packPath, ec).permissions(), ec);
    }
    fs::rename(temporary, packPath, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return Fail(packPath + ": cannot replace: " + ec.message());
    }
    std::fputs(report.c_str(), stdout);
    return 0;
}

int List(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("list needs exactly one PACK");
    File file;
    std::unique_ptr<pack::FileSource> source;
    Archive archive;
    std::string error;
    if (!OpenPack(args[0], file, source, archive, error)) return Fail(error);
    for (const ArchiveEntry& e : archive.entries) {
        uint8_t head[4];
        if (!source->Seek(e.sourceStart) || source->Read(head, 4) != 4)
            return Fail(args[0] + ": cannot read entry " + e.name);
        std::printf("%s\t%u\t%u\n", e.name.c_str(), pack::GetU32(head), e.storedSize);
    }
    return 0;
}

int Extract(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) return Usage("extract needs a PACK and at most one DIR");
    const fs::path directory = args.size() == 2 ? fs::path(args[1]) : fs::path(".");
    File file;
    std::unique_ptr<pack::FileSource> source;
    Archive archive;
    std::string error;
    if (!OpenPack(args[0], file, source, archive, error)) return Fail(error);

    std::error_code ec;
    fs::create_directories(directory, ec);
    if (!fs::is_directory(directory, ec))
        return Fail(directory.string() + ": cannot create directory");
    pack::Layout layout;
    pack::ReadLayout(*source, layout);
    int status = 0;
    for (const ArchiveEntry& e : archive.entries) {
        pack::Entry entry;
        entry.name = e.name;
        entry.dataStart = e.sourceStart;
        entry.storedSize = e.storedSize;
        pack::Content content;
        pack::ExtractStatus result = pack::ReadContent(*source, layout, entry, content);
        if (result != pack::ExtractStatus::kOk) {
            status = Fail(args[0] + ": entry " + e.name + ": " + pack::Describe(result));
            continue;
        }
        const std::string target = (directory / e.name).string();
        File out(target, "wb");
        bool written = out.f && std::fwrite(content.bytes.get(), 1, content.length, out.f) ==
                                    content.length;
        if (!out.Close() || !written) {
            status = Fail(target + ": cannot write");
            continue;
        }
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage("no command given");
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("brindle-pack %s\n", BRINDLE_VERSION_STRING);
        return 0;
    }
    for (const std::string& a : args) {
        if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (command == "add") return Add(args);
    if (command == "list") return List(args);
    if (command == "extract") return Extract(args);
    return Usage("unknown command " + command);
}
