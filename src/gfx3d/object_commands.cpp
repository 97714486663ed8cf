// Loading objects from files (on disk or in the media pack) and saving
// them in the packed format.
#include <brindle/gfx3d.h>

#include <cstdio>
#include <new>
#include <vector>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "gfx3d/command_args.h"
#include "gfx3d/object_file.h"
#include "media/file_access.h"
#include "media/media_pack.h"
#include "platform/files.h"

namespace {

// The whole file; false when it cannot be read.
bool ReadWholeFile(std::FILE* f, std::vector<uint8_t>& bytes) {
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    return !std::ferror(f);
}

}  // namespace

bool ReadObjectFile(MeshObjectX& mesh, const char* path) {
    mesh.Clear();
    ObjectReadResult result = ObjectReadResult::kReadError;
    if (std::FILE* f = OpenExistingForRead(path)) {
        try {
            std::vector<uint8_t> bytes;
            if (ReadWholeFile(f, bytes)) result = ReadObjectBytes(bytes.data(), bytes.size(), mesh);
        } catch (const std::bad_alloc&) {
            result = ObjectReadResult::kMallocError;
        }
        std::fclose(f);
    }
    if (result == ObjectReadResult::kOk) return true;
    mesh.Clear();
    AppendErrorLog(result == ObjectReadResult::kMallocError ? "# malloc error" : "# read error");
    AppendErrorLog(path);
    return false;
}

bool WriteObjectFile(const MeshObject& mesh, const char* path) {
    // Into the file the program names, as Windows finds it.
    std::FILE* f = path ? std::fopen(platform::PathOnDisk(path).c_str(), "wb") : nullptr;
    if (!f) return false;
    const std::vector<uint8_t> bytes = PackedObjectBytes(mesh);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return true;
}

int Zadederu3D::LoadObjectFile(int object, const char* path) {
    ObjectSlot* slot = Slot(object);
    if (!slot) return 0;
    // The load replaces an object still being built: its vertices would
    // otherwise go to a frame the load may not have made.
    if (buildObject == object) buildObject = -1;
    slot->meshes.Free();
    slot->ready = false;
    slot->ownTextures = false;
    slot->meshes.Reserve(2);
    MeshObjectX& mesh = slot->meshes.Emplace();
    if (!ReadObjectFile(mesh, path)) return 0;
    if (mesh.frames.count == 0 || mesh.frames[0].packed.count == 0) {
        mesh.Clear();  // frames without vertices draw nothing: the slot keeps an empty mesh
        return 0;
    }
    try {
        mesh.Expand();
        ComputeBounds(mesh);
    } catch (const std::bad_alloc&) {
        mesh.Clear();
        AppendErrorLog("# malloc error");
        AppendErrorLog(path);
        return 0;
    }
    slot->ready = true;
    return 1;
}

double LoadObject(const RtString& fileName, double object) {
    const int n = TruncSaturated(object);
    if (!runtime.scene.Slot(n)) return 0;
    RtString resolved;
    resolved.Reserve(kResolvedNameSize);
    if (!ResolveMediaFile(runtime.mediaPack, fileName, resolved)) return 0;
    return runtime.scene.LoadObjectFile(n, resolved.Text());
}

double SaveObject(const RtString& fileName, double object) {
    // A slot without a mesh writes no file.
    const ObjectSlot* slot = runtime.scene.Slot(TruncSaturated(object));
    if (slot && slot->meshes.count > 0) WriteObjectFile(slot->meshes[0], fileName.Text());
    return 1;
}
