// Packed object files from untrusted bytes: the reader, then what loading
// does with what it read (expansion, bounds) and one query of each kind.
// Inputs without the magic number and version get them in front, so that the
// fuzzer spends its time on the counts, frames and vertices.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gfx3d/collision.h"
#include "gfx3d/object_file.h"
#include "object_queries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes;
    if (!IsPackedObject(data, size)) {
        const uint8_t header[12] = {0x17, 0xB3, 0xC6, 0x00, 0x52, 0xB8, 0x1E, 0x85, 0xEB, 0x51, 0xF0, 0x3F};
        bytes.assign(header, header + sizeof header);
    }
    bytes.insert(bytes.end(), data, data + size);
    MeshObjectX mesh;
    if (ReadPackedObject(bytes.data(), bytes.size(), mesh) == ObjectReadResult::kOk) QueryLoadedMesh(mesh);
    return 0;
}
