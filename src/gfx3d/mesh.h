// The mesh data model: objects are slots of meshes; a mesh holds animation
// frames in a packed form (byte positions inside the frame's box, normal
// table indices, colour table indices) and the expanded triangle lists that
// are drawn. MeshVertex is also the vertex-array layout (stride 88).
#pragma once
#include <cstddef>
#include <cstdint>

#include "gfx3d/collision_cache.h"
#include "gfx3d/grow_array.h"

constexpr int kObjectSlots = 4096;

// Colours above this are strip markers: -1 list, -2 strip, -3 fan.
constexpr uint32_t kMarkerThreshold = 0xFFFFFFFBu;
constexpr uint32_t kListMarker = 0xFFFFFFFFu;
constexpr uint32_t kStripMarker = 0xFFFFFFFEu;
constexpr uint32_t kFanMarker = 0xFFFFFFFDu;
inline bool IsMarker(uint32_t colour) { return colour > kMarkerThreshold; }

struct MeshVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
    float lightVector[3];
    float tangent[3];
    float binormal[3];  // x, y double as cel-shading coordinates in the per-draw copy
    uint32_t colour;
    // The colour-table index. Stored in full (the byte of the classic layout
    // plus its three zero bytes), so meshes with more than 256 colours keep
    // their colours.
    uint32_t colourIndex;
    float rgb[3];
};
static_assert(sizeof(MeshVertex) == 88, "vertex arrays use stride 88");
static_assert(offsetof(MeshVertex, normal) == 12 && offsetof(MeshVertex, texCoord) == 24 &&
                  offsetof(MeshVertex, lightVector) == 32 && offsetof(MeshVertex, tangent) == 44 &&
                  offsetof(MeshVertex, binormal) == 56 && offsetof(MeshVertex, colour) == 68 &&
                  offsetof(MeshVertex, colourIndex) == 72 && offsetof(MeshVertex, rgb) == 76,
              "MeshVertex layout");

struct PackedVertex {
    uint8_t q[3];           // quantised x, y, z
    uint8_t normalIndex;    // into the normal table
    uint8_t tangentIndex;
    uint8_t binormalIndex;
    uint8_t unused[26];
    uint32_t colourIndex;   // into the mesh's colour table
};
static_assert(sizeof(PackedVertex) == 36, "packed vertex is 36 bytes");

struct MeshFrame {
    GrowArray<MeshVertex> vertices;          // builder input, emptied by packing
    GrowArray<MeshVertex> triangleVertices;  // 3 per triangle
    GrowArray<PackedVertex> packed;
    float quantOffset[3] = {0, 0, 0};
    float quantScale[3] = {1, 1, 1};
    float radius = 0;
    float centre[3] = {0, 0, 0};
    CollisionCache collision;  // derived from triangleVertices

    // Unpacked position of a packed vertex.
    void Unpack(const PackedVertex& p, float out[3]) const {
        for (int a = 0; a < 3; ++a) out[a] = (p.q[a] - quantOffset[a]) * quantScale[a];
    }
};

class MeshObject {
public:
    MeshObject() = default;
    // Rebuilds the triangle lists from the packed form; nothing here.
    virtual void Expand() {}

    GrowArray<MeshFrame> frames;
    GrowArray<MeshVertex> drawVertices;
    GrowArray<float> texU;
    GrowArray<float> texV;
    GrowArray<uint32_t> colourTable;
    int normalsDone = 0;

protected:
    // Destroyed only through the concrete type.
    ~MeshObject() = default;
    MeshObject(const MeshObject&) = default;
    MeshObject(MeshObject&&) = default;
    MeshObject& operator=(const MeshObject&) = default;
    MeshObject& operator=(MeshObject&&) = default;
};

struct MeshEdge {
    int neighbour;      // triangle across this edge, -1 none
    uint8_t silhouette;
};

class MeshObjectX final : public MeshObject {
public:
    MeshObjectX() = default;
    ~MeshObjectX() { ReleaseGpu(); }
    // A copy owns lists only: GL names stay with the original.
    MeshObjectX(const MeshObjectX& other)
        : MeshObject(other), usesVertexColours(other.usesVertexColours), rampStep(other.rampStep),
          edges(other.edges), facing(other.facing), textureA(other.textureA), textureB(other.textureB) {}
    MeshObjectX(MeshObjectX&& other) noexcept
        : MeshObject(std::move(other)), staticBuffer(other.staticBuffer),
          dynamicBuffer(other.dynamicBuffer), usesVertexColours(other.usesVertexColours),
          rampTexture(other.rampTexture), rampStep(other.rampStep), edges(std::move(other.edges)),
          facing(std::move(other.facing)), textureA(other.textureA), textureB(other.textureB) {
        other.staticBuffer = other.dynamicBuffer = other.rampTexture = 0;
    }
    MeshObjectX& operator=(const MeshObjectX&) = delete;
    MeshObjectX& operator=(MeshObjectX&&) = delete;

    void Expand() override;

    // Empties every list (storage kept), normalsDone = 0, and releases the
    // buffer objects and the ramp texture: the mesh draws nothing.
    void Clear();
    // Deletes buffer objects and ramp texture (when a context exists).
    void ReleaseGpu();
    // Deletes the static buffer, which holds a copy of frame 0's triangle
    // list: the next fast-path draw uploads the list afresh.
    void DropStaticBuffer();

    unsigned int staticBuffer = 0;
    unsigned int dynamicBuffer = 0;
    int usesVertexColours = 0;
    unsigned int rampTexture = 0;
    float rampStep = 0;
    GrowArray<MeshEdge> edges;
    GrowArray<uint8_t> facing;
    int textureA = -1;
    int textureB = -1;
};

struct ObjectSlot {
    bool ready = false;
    bool ownTextures = false;
    GrowArray<MeshObjectX> meshes;

    ObjectSlot() = default;
    ObjectSlot(const ObjectSlot&) = delete;
    ObjectSlot& operator=(const ObjectSlot&) = delete;
};

// Mesh operations shared by building, loading, drawing and collision.
void PackMesh(MeshObject& mesh);
void ComputeNormals(MeshObject& mesh, bool normals, bool smooth, bool tangents);
void ComputeBounds(MeshObject& mesh);

// The normal table: 162 unit directions, and the nearest-direction search.
constexpr int kNormalDirections = 162;
extern const float kNormalTable[kNormalDirections][3];
int NearestDirection(const float n[3]);
