// The media pack: LZO1X-compressed entries followed by their directory, with
// the last four bytes of the file locating the directory. Shared by the
// runtime's media lookup, the brindle-pack tool and the fuzz targets, so that
// all of them read and write exactly the same bytes. Plain C++: nothing here
// depends on the rest of the runtime, and the entries are decoded by the
// runtime's own LZO1X decoder (writing packs is the tool's business:
// tools/brindle-pack/pack_compress.h).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace pack {

constexpr int kMaxNameLength = 255;  // the name length is one byte
// Largest content we are willing to allocate for one entry. LZO1X expands
// at most about 255:1, so a larger originalSize than that bound for the
// stored bytes cannot be honest either (see OriginalSizePlausible).
constexpr uint32_t kMaxOriginalSize = 1u << 30;

// Random access to the bytes of a pack file (or of memory, for tests).
class Source {
public:
    virtual ~Source() = default;
    virtual int64_t Size() const = 0;  // -1 when unknown
    virtual bool Seek(int64_t position) = 0;
    virtual size_t Read(void* out, size_t n) = 0;  // bytes actually read
};

class FileSource : public Source {
public:
    explicit FileSource(std::FILE* file);  // does not take ownership
    int64_t Size() const override { return size_; }
    bool Seek(int64_t position) override;
    size_t Read(void* out, size_t n) override;

private:
    std::FILE* file_;
    int64_t size_;
};

class MemorySource : public Source {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    int64_t Size() const override { return static_cast<int64_t>(size_); }
    bool Seek(int64_t position) override;
    size_t Read(void* out, size_t n) override;

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// Where the directory is, from the trailing directoryOffset.
struct Layout {
    int64_t fileSize = 0;
    int32_t directoryOffset = 0;
    int64_t directoryStart = 0;  // absolute position
    // The directory never runs into the trailing offset field.
    int64_t DirectoryLimit() const { return fileSize - 4; }
    bool FromEnd() const { return directoryOffset < 0; }
    // An entry's dataOffset as an absolute position: the directory's sign
    // decides whether it counts from the start or from the end of the file.
    int64_t Absolute(int32_t offset) const { return FromEnd() ? fileSize + offset : offset; }
};

enum class LayoutStatus {
    kOk,
    kTooShort,          // fewer than 4 bytes: no directoryOffset
    kDirectoryOutside,  // directoryOffset points outside the file
};
LayoutStatus ReadLayout(Source& source, Layout& layout);

struct Entry {
    std::string name;
    int32_t dataOffset = 0;
    uint32_t storedSize = 0;
    int64_t dataStart = 0;  // absolute position of the entry's data
};

// Reads the directory entries in order.
class DirectoryReader {
public:
    DirectoryReader(Source& source, const Layout& layout);
    // False at the terminating zero, at the end of the directory, or when an
    // entry is cut short by it (then Truncated() is true).
    bool Next(Entry& entry);
    bool Terminated() const { return terminated_; }
    bool Truncated() const { return truncated_; }
    int64_t Position() const { return position_; }

private:
    Source& source_;
    Layout layout_;
    int64_t position_;
    bool done_ = false;
    bool terminated_ = false;
    bool truncated_ = false;
};

// The entry's data (originalSize and compressed bytes) lies inside the file.
bool DataInFile(const Layout& layout, const Entry& entry);
// The name can become part of a file name: not empty, no path separators,
// drive colons or NUL bytes, not "." or "..".
bool UsableName(const std::string& name);
// Case-insensitive (ASCII) suffix test: the entry matches every request that
// ends with its name.
bool NameMatches(const std::string& entryName, const char* requested, size_t requestedLength);
// originalSize is within what stored compressed bytes can decode to.
bool OriginalSizePlausible(uint32_t originalSize, uint32_t storedSize);

struct Content {
    std::unique_ptr<uint8_t[]> bytes;
    size_t length = 0;         // bytes the decompressor produced
    uint32_t originalSize = 0;
};

enum class ExtractStatus {
    kOk,
    kOutsideFile,    // offsets or sizes point outside the file
    kShortRead,      // the file ended early
    kImplausible,    // originalSize beyond what the stored bytes can hold
    kNoMemory,
    kDecompressError,  // content holds what was decoded up to the error
};
const char* Describe(ExtractStatus status);

// Reads the entry's stored bytes and decompresses them (LZO1X, bounded by
// the input and by originalSize).
ExtractStatus ReadContent(Source& source, const Layout& layout, const Entry& entry,
                          Content& content);
// The same from stored bytes already in memory.
ExtractStatus DecompressStored(const uint8_t* stored, size_t storedSize, Content& content);

// Little-endian fields.
inline uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace pack
