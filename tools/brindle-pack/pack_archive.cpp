#include "pack_archive.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && pack::NameMatches(a, b.data(), b.size());
}

bool CopyBytes(std::FILE* from, int64_t start, int64_t count, std::FILE* to) {
    if (count == 0) return true;
    if (!from || std::fseek(from, static_cast<long>(start), SEEK_SET) != 0) return false;
    std::vector<uint8_t> chunk(1 << 20);
    while (count > 0) {
        size_t n = static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(chunk.size())));
        if (std::fread(chunk.data(), 1, n, from) != n) return false;
        if (std::fwrite(chunk.data(), 1, n, to) != n) return false;
        count -= static_cast<int64_t>(n);
    }
    return true;
}

}  // namespace

bool ReadArchive(pack::Source& source, Archive& archive) {
    archive = Archive();
    archive.hostEnd = source.Size() < 0 ? 0 : source.Size();
    pack::Layout layout;
    if (pack::ReadLayout(source, layout) != pack::LayoutStatus::kOk) return false;
    pack::DirectoryReader reader(source, layout);
    pack::Entry entry;
    Archive found;
    found.hostEnd = layout.directoryStart;
    while (reader.Next(entry)) {
        if (!pack::UsableName(entry.name) || !pack::DataInFile(layout, entry) ||
            entry.dataStart + entry.storedSize > layout.directoryStart) {
            return false;
        }
        found.hostEnd = std::min(found.hostEnd, entry.dataStart);
        ArchiveEntry kept;
        kept.name = entry.name;
        kept.sourceStart = entry.dataStart;
        kept.storedSize = entry.storedSize;
        found.entries.push_back(std::move(kept));
    }
    if (reader.Truncated() || reader.Position() != layout.DirectoryLimit()) return false;
    archive = std::move(found);
    return true;
}

void PutEntry(Archive& archive, ArchiveEntry entry) {
    for (ArchiveEntry& e : archive.entries) {
        if (SameName(e.name, entry.name)) {
            e = std::move(entry);
            return;
        }
    }
    archive.entries.push_back(std::move(entry));
}

bool WriteArchive(std::FILE* source, const Archive& archive, bool fromEnd, std::FILE* out,
                  std::string& error) {
    // Lay the file out first: the offsets of a pack written from the end
    // depend on the final size.
    std::vector<int64_t> starts;
    int64_t position = archive.hostEnd;
    for (const ArchiveEntry& e : archive.entries) {
        starts.push_back(position);
        position += e.storedSize;
    }
    const int64_t directoryStart = position;
    for (const ArchiveEntry& e : archive.entries) position += 1 + e.name.size() + 8;
    const int64_t fileSize = position + 1 + 4;

    auto offsetOf = [&](int64_t absolute, int32_t& offset) {
        int64_t value = fromEnd ? absolute - fileSize : absolute;
        if (value < INT32_MIN || value > INT32_MAX) return false;
        offset = static_cast<int32_t>(value);
        return true;
    };
    int32_t directoryOffset = 0;
    std::vector<int32_t> offsets(starts.size());
    bool fits = offsetOf(directoryStart, directoryOffset);
    for (size_t i = 0; i < starts.size() && fits; ++i) fits = offsetOf(starts[i], offsets[i]);
    if (!fits) {
        error = fromEnd ? "the pack would be larger than 2 GiB"
                        : "offsets beyond 2 GiB (try --from-end)";
        return false;
    }
    if (!CopyBytes(source, 0, archive.hostEnd, out)) {
        error = "cannot copy the existing file";
        return false;
    }
    for (const ArchiveEntry& e : archive.entries) {
        bool ok = e.sourceStart >= 0
                      ? CopyBytes(source, e.sourceStart, e.storedSize, out)
                      : std::fwrite(e.stored.data(), 1, e.stored.size(), out) == e.stored.size();
        if (!ok) {
            error = "cannot write entry " + e.name;
            return false;
        }
    }
    std::vector<uint8_t> directory;
    for (size_t i = 0; i < archive.entries.size(); ++i) {
        const ArchiveEntry& e = archive.entries[i];
        uint8_t field[8];
        directory.push_back(static_cast<uint8_t>(e.name.size()));
        directory.insert(directory.end(), e.name.begin(), e.name.end());
        pack::PutU32(field, static_cast<uint32_t>(offsets[i]));
        pack::PutU32(field + 4, e.storedSize);
        directory.insert(directory.end(), field, field + 8);
    }
    directory.push_back(0);
    uint8_t tail[4];
    pack::PutU32(tail, static_cast<uint32_t>(directoryOffset));
    directory.insert(directory.end(), tail, tail + 4);
    if (std::fwrite(directory.data(), 1, directory.size(), out) != directory.size()) {
        error = "cannot write the directory";
        return false;
    }
    return true;
}
