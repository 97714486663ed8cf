#include "media/bmp_file.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "media/file_access.h"
#include "platform/files.h"

namespace {

struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

long FileSize(std::FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(f);
    if (std::fseek(f, 0, SEEK_SET) != 0) return -1;
    return size;
}

void Put16(uint8_t*& p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p += 2;
}
void Put32(uint8_t*& p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p, v >> 16);
}

}  // namespace

BmpSize ReadBmpSize(const char* fileName) {
    FileCloser f{OpenExistingForRead(fileName)};
    if (!f.file) return {};
    const long size = FileSize(f.file);
    uint8_t head[kBmpHeadersSize];
    if (std::fread(head, 1, kBmpFileHeaderSize, f.file) != kBmpFileHeaderSize) return {};
    uint32_t pixelDataOffset = 0;
    if (ParseBmpFileHeader(head, kBmpFileHeaderSize, pixelDataOffset) != BmpStatus::kOk) return {};
    // The headers must all be there; only the information header is needed.
    if (size < 0 || static_cast<unsigned long>(size) < pixelDataOffset) return {};
    const size_t rest = kBmpHeadersSize - kBmpFileHeaderSize;
    if (std::fread(head + kBmpFileHeaderSize, 1, rest, f.file) != rest) return {};
    int32_t width = static_cast<int32_t>(head[18] | head[19] << 8 | head[20] << 16 |
                                         static_cast<uint32_t>(head[21]) << 24);
    int32_t height = static_cast<int32_t>(head[22] | head[23] << 8 | head[24] << 16 |
                                          static_cast<uint32_t>(head[25]) << 24);
    if (width == INT32_MIN || height == INT32_MIN) return {};
    return {width < 0 ? -width : width, height < 0 ? -height : height};
}

BmpStatus ReadBmpFile(const char* fileName, std::vector<uint8_t>& bytes) {
    bytes.clear();
    FileCloser f{OpenExistingForRead(fileName)};
    if (!f.file) return BmpStatus::kNotBmp;
    const long size = FileSize(f.file);
    if (size < 0) return BmpStatus::kNotBmp;
    uint8_t head[kBmpFileHeaderSize];
    if (std::fread(head, 1, sizeof head, f.file) != sizeof head) return BmpStatus::kNotBmp;
    uint32_t pixelDataOffset = 0;
    BmpStatus status = ParseBmpFileHeader(head, sizeof head, pixelDataOffset);
    if (status != BmpStatus::kOk) return status;
    if (static_cast<unsigned long>(size) < pixelDataOffset) return BmpStatus::kNotBmp;

    bytes.resize(pixelDataOffset);
    std::memcpy(bytes.data(), head, sizeof head);
    const size_t block = pixelDataOffset - sizeof head;
    if (std::fread(bytes.data() + sizeof head, 1, block, f.file) != block) return BmpStatus::kNotBmp;
    BmpInfo info;
    status = ParseBmpHeaders(bytes.data(), bytes.size(), info);
    if (status != BmpStatus::kOk) return status;
    if (info.imageBytes > static_cast<unsigned long>(size) - pixelDataOffset)
        return BmpStatus::kShortFile;
    const size_t image = static_cast<size_t>(info.imageBytes);
    try {
        bytes.resize(pixelDataOffset + image);
    } catch (const std::bad_alloc&) {
        bytes.clear();
        return BmpStatus::kNoMemory;
    }
    if (std::fread(bytes.data() + pixelDataOffset, 1, image, f.file) != image)
        return BmpStatus::kShortFile;
    return BmpStatus::kOk;
}

bool WriteBmp24(const char* fileName, const uint8_t* pixels, int width, int height,
                int sourceRowLength, bool flip) {
    if (!fileName || width < 0 || height < 0 || sourceRowLength < width) return false;
    if (width && height && !pixels) return false;
    const uint64_t rowLength = (static_cast<uint64_t>(width) * 3u + 3u) & ~3ull;
    const uint64_t imageBytes = rowLength * static_cast<uint64_t>(height);
    if (imageBytes > UINT32_MAX - kBmpHeadersSize) return false;
    // Into the file the program names, as Windows finds it.
    std::FILE* f = std::fopen(platform::PathOnDisk(fileName).c_str(), "wb");
    if (!f) return false;

    uint8_t header[14], info[40];
    uint8_t* p = header;
    Put16(p, 19778);  // "BM"
    Put32(p, static_cast<uint32_t>(imageBytes) + 54u);
    Put16(p, 0);
    Put16(p, 0);
    Put32(p, 54);
    p = info;
    Put32(p, 40);
    Put32(p, static_cast<uint32_t>(width));
    Put32(p, static_cast<uint32_t>(height));
    Put16(p, 1);   // planes
    Put16(p, 24);  // bit count
    Put32(p, 0);   // compression
    Put32(p, 0);   // image size
    Put32(p, 10000);
    Put32(p, 10000);
    Put32(p, 0);
    Put32(p, 0);

    // Zeroed, so the row padding is always the same bytes.
    std::vector<uint8_t> rows(static_cast<size_t>(imageBytes));
    for (int c = 0; c < height; ++c) {
        const int sourceRow = flip ? height - 1 - c : c;
        const uint8_t* src = pixels + static_cast<size_t>(sourceRow) * sourceRowLength * 3;
        std::memcpy(rows.data() + static_cast<size_t>(c) * rowLength, src,
                    static_cast<size_t>(width) * 3);
    }
    // What stdio still buffers is written by the flush, whose failure (a
    // full disk) not every C runtime's fclose reports (Windows' msvcrt as
    // Wine provides it does not): flushed and checked first.
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header &&
              std::fwrite(info, 1, sizeof info, f) == sizeof info &&
              std::fwrite(rows.data(), 1, rows.size(), f) == rows.size() && std::fflush(f) == 0 &&
              !std::ferror(f);
    return std::fclose(f) == 0 && ok;
}
