#include "media/file_access.h"

std::FILE* OpenExistingForRead(const char* path) {
    if (!path || !*path) return nullptr;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    // Reading a directory stream fails at once (EISDIR); an empty file just
    // reaches its end without an error.
    std::fgetc(f);
    if (std::ferror(f)) {
        std::fclose(f);
        return nullptr;
    }
    std::rewind(f);
    return f;
}
