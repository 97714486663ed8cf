#include "gfx2d/polygon_batch.h"

#include <cstring>

void PolygonBatch::Reallocate(int newCapacity) {
    PolygonVertexData* grown = new PolygonVertexData[newCapacity];
    if (count > 0) std::memcpy(grown, vertices, count * sizeof *grown);
    delete[] vertices;
    vertices = grown;
    capacity = newCapacity;
}

void PolygonBatch::Free() {
    delete[] vertices;
    vertices = nullptr;
    capacity = count = 0;
}

void PolygonBatch::Reset(int newSlot) {
    slot = newSlot;
    if (capacity < 9) Reallocate(9);
    count = 0;
}

void PolygonBatch::Append(const PolygonVertexData& vertex) {
    if (count >= capacity)
        Reallocate(capacity == 0 ? polygonInitialCapacity : capacity + polygonGrowth);
    vertices[count++] = vertex;
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
