#include "gfx2d/polygon_batch.h"

#include <cstring>

int polygonSlot = -1;
PolygonVertexData* polygonVertices = nullptr;
int polygonCount = 0;
int polygonCapacity = 0;

namespace {
void Reallocate(int capacity) {
    PolygonVertexData* grown = new PolygonVertexData[capacity];
    if (polygonCount > 0) std::memcpy(grown, polygonVertices, polygonCount * sizeof *grown);
    delete[] polygonVertices;
    polygonVertices = grown;
    polygonCapacity = capacity;
}

struct BatchRelease {
    ~BatchRelease() { FreePolygonBatch(); }
} batchRelease;
}  // namespace

void FreePolygonBatch() {
    delete[] polygonVertices;
    polygonVertices = nullptr;
    polygonCapacity = polygonCount = 0;
}

void ResetPolygonBatch(int slot) {
    polygonSlot = slot;
    if (polygonCapacity < 9) Reallocate(9);
    polygonCount = 0;
}

void AppendPolygonVertex(const PolygonVertexData& vertex) {
    if (polygonCount >= polygonCapacity)
        Reallocate(polygonCapacity == 0 ? polygonInitialCapacity : polygonCapacity + polygonGrowth);
    polygonVertices[polygonCount++] = vertex;
}

PolygonVertexData MakePolygonVertex(int x, int y, float u, float v, int colour, float alphaLevel,
                                    const SlotSize* texture) {
    PolygonVertexData p{};
    p.x = static_cast<float>(x);
    p.y = -static_cast<float>(y);
    if (texture) {
        p.s = u / texture->textureWidth;
        p.t = (texture->imageHeight - v) / texture->textureHeight;
    }
    p.red = (colour & 0xFF) / 255.0f * alphaLevel;
    p.green = ((colour >> 8) & 0xFF) / 255.0f * alphaLevel;
    p.blue = ((colour >> 16) & 0xFF) / 255.0f * alphaLevel;
    p.alpha = colour == 0x8000FF ? 0.0f : 1.0f;
    return p;
}
