// The polygon batch: one textured or coloured triangle fan built vertex by
// vertex (StartPolygon, PolygonVertex) and drawn by EndPolygon.
#pragma once
#include <cstdint>

struct PolygonVertexData {
    float x, y;           // GL coordinates (y already negated)
    float s, t;           // texture coordinates
    float red, green, blue, alpha;
};
static_assert(sizeof(PolygonVertexData) == 32, "vertex arrays use a 32-byte stride");

constexpr int polygonGrowth = 128;
constexpr int polygonInitialCapacity = 512;

// The vertices of the polygon being built; the renderer owns the one batch.
class PolygonBatch {
public:
    PolygonBatch() = default;
    ~PolygonBatch() { Free(); }
    PolygonBatch(const PolygonBatch&) = delete;
    PolygonBatch& operator=(const PolygonBatch&) = delete;

    // Starts a new batch for the slot, keeping room for at least 9 vertices.
    void Reset(int slot);
    // Frees the array.
    void Free();
    // Appends one vertex, growing the array (512 from nothing, else 128 more).
    void Append(const PolygonVertexData& vertex);

    int slot = -1;  // negative: untextured
    PolygonVertexData* vertices = nullptr;
    int count = 0;
    int capacity = 0;

private:
    void Reallocate(int newCapacity);
};

// The vertex PolygonVertex appends: (x, -y); for a textured batch s, t from
// the pixel position (u, v) in the sprite image (v from the top); the colour
// (red in the low byte) scaled by the alpha level; alpha 0 for the key colour.
struct SlotSize {
    int textureWidth, textureHeight, imageHeight;
};
PolygonVertexData MakePolygonVertex(int x, int y, float u, float v, int colour, float alphaLevel,
                                    const SlotSize* texture);
