// Text object files from untrusted bytes: the tokenizer and section reader,
// the fan expansion into frames (with a small vertex budget, so that a run
// stays fast), packing, and one query of each kind on the result.
#include <cstddef>
#include <cstdint>

#include "gfx3d/object_file.h"
#include "object_queries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TextObject text;
    if (!ReadTextObject(data, size, text)) return 0;
    // Every index the reader accepted names an entry of its list.
    for (const TextObject::Pair& p : text.pairs) {
        for (const TextObject::Frame& f : text.frames)
            if (p.vertex < 0 || p.vertex >= f.vertexCount) __builtin_trap();
        if (!text.texU.empty() && (p.tex < 0 || static_cast<size_t>(p.tex) >= text.texU.size())) __builtin_trap();
    }
    MeshObjectX mesh;
    if (BuildTextMesh(text, mesh, 1 << 16) == ObjectReadResult::kOk) QueryLoadedMesh(mesh);
    return 0;
}
