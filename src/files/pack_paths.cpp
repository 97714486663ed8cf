#include "files/pack_paths.h"

#include <cstring>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "media/media_pack.h"

namespace {
void SetPackPath(MediaPack* pack, const char* path) {
    if (!pack) return;
    DeleteExtractedFile(pack);
    std::memset(pack->packPath, 0, sizeof pack->packPath);
    std::memset(pack->extractedPath, 0, sizeof pack->extractedPath);
    if (!path) return;
    size_t n = std::strlen(path);
    // A cut path would name some other file: such a pack is not used.
    if (n >= sizeof pack->packPath) {
        AppendErrorLog("Media pack: path too long");
        return;
    }
    std::memcpy(pack->packPath, path, n + 1);
}
}  // namespace

void SetPackPaths(const char* mediaPackPath, const char* streamPackPath) {
    SetPackPath(runtime.mediaPack, mediaPackPath);
    SetPackPath(runtime.streamPack, streamPackPath);
}

const char* WriteBackPath(const char* name, const char* resolved) {
    const MediaPack* pack = runtime.mediaPack;
    return pack && pack->extractedPath[0] && std::strcmp(pack->extractedPath, resolved) == 0 ? name : resolved;
}
