#include "media/pack_format.h"

#include <climits>
#include <cstring>
#include <new>

#include "media/lzo1x_decoder.h"

namespace pack {

FileSource::FileSource(std::FILE* file) : file_(file), size_(-1) {
    // Offsets in a pack are 32-bit, so a long (32-bit on Windows) is enough;
    // a larger file reports an unknown size and is not read as a pack.
    if (file_ && std::fseek(file_, 0, SEEK_END) == 0) {
        long end = std::ftell(file_);
        if (end >= 0) size_ = end;
    }
}

bool FileSource::Seek(int64_t position) {
    if (position < 0 || position > size_ || position > LONG_MAX) return false;
    return std::fseek(file_, static_cast<long>(position), SEEK_SET) == 0;
}

size_t FileSource::Read(void* out, size_t n) { return std::fread(out, 1, n, file_); }

bool MemorySource::Seek(int64_t position) {
    if (position < 0 || static_cast<uint64_t>(position) > size_) return false;
    position_ = static_cast<size_t>(position);
    return true;
}

size_t MemorySource::Read(void* out, size_t n) {
    size_t left = size_ - position_;
    if (n > left) n = left;
    if (n) std::memcpy(out, data_ + position_, n);
    position_ += n;
    return n;
}

LayoutStatus ReadLayout(Source& source, Layout& layout) {
    layout = Layout();
    layout.fileSize = source.Size();
    uint8_t field[4];
    if (layout.fileSize < 4 || !source.Seek(layout.fileSize - 4) ||
        source.Read(field, 4) != 4) {
        return LayoutStatus::kTooShort;
    }
    layout.directoryOffset = static_cast<int32_t>(GetU32(field));
    layout.directoryStart = layout.Absolute(layout.directoryOffset);
    if (layout.directoryStart < 0 || layout.directoryStart > layout.DirectoryLimit())
        return LayoutStatus::kDirectoryOutside;
    return LayoutStatus::kOk;
}

DirectoryReader::DirectoryReader(Source& source, const Layout& layout)
    : source_(source), layout_(layout), position_(layout.directoryStart) {}

bool DirectoryReader::Next(Entry& entry) {
    if (done_) return false;
    done_ = true;  // until an entry has been read completely
    const int64_t limit = layout_.DirectoryLimit();
    if (position_ >= limit) return false;  // the directory ends with the file
    uint8_t nameLength = 0;
    if (!source_.Seek(position_) || source_.Read(&nameLength, 1) != 1) {
        truncated_ = true;
        return false;
    }
    if (nameLength == 0) {
        terminated_ = true;
        ++position_;
        return false;
    }
    // name, dataOffset, storedSize must all lie before the offset field.
    if (limit - position_ < 1 + nameLength + 8) {
        truncated_ = true;
        return false;
    }
    uint8_t buffer[kMaxNameLength + 8];
    if (source_.Read(buffer, nameLength + 8u) != nameLength + 8u) {
        truncated_ = true;
        return false;
    }
    entry.name.assign(reinterpret_cast<const char*>(buffer), nameLength);
    entry.dataOffset = static_cast<int32_t>(GetU32(buffer + nameLength));
    entry.storedSize = GetU32(buffer + nameLength + 4);
    entry.dataStart = layout_.Absolute(entry.dataOffset);
    position_ += 1 + nameLength + 8;
    done_ = false;
    return true;
}

bool DataInFile(const Layout& layout, const Entry& entry) {
    return entry.storedSize >= 4 && entry.dataStart >= 0 &&
           entry.dataStart <= layout.fileSize &&
           static_cast<int64_t>(entry.storedSize) <= layout.fileSize - entry.dataStart;
}

bool UsableName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        if (c == '/' || c == '\\' || c == ':' || c == '\0') return false;
    }
    return true;
}

namespace {
inline unsigned char Lower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}
}  // namespace

bool NameMatches(const std::string& entryName, const char* requested, size_t requestedLength) {
    size_t n = entryName.size();
    if (n == 0 || n > requestedLength) return false;
    const char* tail = requested + (requestedLength - n);
    for (size_t i = 0; i < n; ++i) {
        if (Lower(static_cast<unsigned char>(entryName[i])) !=
            Lower(static_cast<unsigned char>(tail[i])))
            return false;
    }
    return true;
}

bool OriginalSizePlausible(uint32_t originalSize, uint32_t storedSize) {
    if (originalSize > kMaxOriginalSize) return false;
    // One LZO1X length byte stands for at most 255 more bytes of output.
    uint64_t compressed = storedSize >= 4 ? storedSize - 4u : 0u;
    return originalSize <= compressed * 256u + 256u;
}

const char* Describe(ExtractStatus status) {
    switch (status) {
        case ExtractStatus::kOk: return "ok";
        case ExtractStatus::kOutsideFile: return "data lies outside the pack file";
        case ExtractStatus::kShortRead: return "pack file ends inside the entry";
        case ExtractStatus::kImplausible: return "original size is not plausible";
        case ExtractStatus::kNoMemory: return "out of memory";
        case ExtractStatus::kDecompressError: return "compressed data is damaged";
    }
    return "unknown";
}

ExtractStatus DecompressStored(const uint8_t* stored, size_t storedSize, Content& content) {
    content = Content();
    if (storedSize < 4 || storedSize > UINT32_MAX) return ExtractStatus::kOutsideFile;
    uint32_t originalSize = GetU32(stored);
    if (!OriginalSizePlausible(originalSize, static_cast<uint32_t>(storedSize)))
        return ExtractStatus::kImplausible;
    content.originalSize = originalSize;
    // One spare byte so that an empty content still has a buffer.
    content.bytes.reset(new (std::nothrow) uint8_t[originalSize + 1u]);
    if (!content.bytes) return ExtractStatus::kNoMemory;
    size_t written = 0;
    Lzo1xStatus decoded =
        DecodeLzo1x(stored + 4, storedSize - 4, content.bytes.get(), originalSize, &written);
    content.length = written;
    return decoded == Lzo1xStatus::kOk ? ExtractStatus::kOk : ExtractStatus::kDecompressError;
}

ExtractStatus ReadContent(Source& source, const Layout& layout, const Entry& entry,
                          Content& content) {
    content = Content();
    if (!DataInFile(layout, entry)) return ExtractStatus::kOutsideFile;
    uint8_t head[4];
    if (!source.Seek(entry.dataStart) || source.Read(head, 4) != 4)
        return ExtractStatus::kShortRead;
    // Check the claimed size before allocating anything for the stored bytes.
    if (!OriginalSizePlausible(GetU32(head), entry.storedSize)) return ExtractStatus::kImplausible;
    std::unique_ptr<uint8_t[]> stored(new (std::nothrow) uint8_t[entry.storedSize]);
    if (!stored) return ExtractStatus::kNoMemory;
    std::memcpy(stored.get(), head, 4);
    size_t rest = entry.storedSize - 4u;
    if (source.Read(stored.get() + 4, rest) != rest) return ExtractStatus::kShortRead;
    return DecompressStored(stored.get(), entry.storedSize, content);
}

}  // namespace pack
