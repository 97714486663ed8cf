// Line files from untrusted bytes: at most 256 entries, each a terminated
// text of at most 1023 characters without its line ending.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "files/line_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* f = std::tmpfile();
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::rewind(f);
    auto file = std::make_unique<LineFile>();
    ReadLineEntries(*file, f);
    std::fclose(f);
    if (file->lastLine < 0 || file->lastLine >= kLineEntries) __builtin_trap();
    for (const auto& line : file->lines) {
        size_t n = strnlen(line, kLineTextSize);
        if (n >= static_cast<size_t>(kLineTextSize) || std::memchr(line, '\n', n)) __builtin_trap();
    }
    return 0;
}
