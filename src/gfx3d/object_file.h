// Object files. The packed format is the stored mesh form (quantised
// positions, normal indices, colour table, texture pairs, frames), read and
// written byte by byte in little-endian order; the text format ("DDDA") holds
// polygons over indexed vertices, one vertex list per animation frame, and is
// only read. The parsers work on bytes in memory and touch neither files nor
// GL; ReadObjectFile and WriteObjectFile add the files and the error log.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx3d/mesh.h"

constexpr uint32_t kPackedObjectMagic = 13021975;  // bytes 17 B3 C6 00
constexpr double kPackedObjectVersion = 1.02;

enum class ObjectReadResult { kOk, kReadError, kMallocError };

// The largest object read: this many packed vertices over all its frames
// (their triangle lists take up to 264 bytes per vertex). Every frame of a
// text object repeats every polygon, so a small file could otherwise ask for
// gigabytes. Larger objects are refused as allocation failures.
constexpr int kMaxObjectVertices = 1 << 21;

// True when the bytes start with the packed format's magic number.
bool IsPackedObject(const uint8_t* data, size_t size);

// Reads a packed object into an empty mesh: kReadError for a wrong version,
// a count that is negative or larger than the bytes left, or a normal index
// outside the normal table; kMallocError above kMaxObjectVertices.
ObjectReadResult ReadPackedObject(const uint8_t* data, size_t size, MeshObject& mesh);

// What the text format holds, in file order.
struct TextObject {
    struct Pair {
        int vertex;  // into the vertex list of each frame
        int tex;     // into the texture pairs (ignored when there are none)
    };
    struct Polygon {
        uint32_t colour;  // red | green << 8 | blue << 16
        int firstPair;
        int pairCount;
    };
    struct Frame {
        int firstVertex;  // into positions, 3 floats per vertex
        int vertexCount;
    };
    std::vector<float> texU, texV;
    std::vector<Polygon> polygons;
    std::vector<Pair> pairs;
    std::vector<Frame> frames;
    std::vector<float> positions;
};

// Reads the text format. False unless the first token is "DDDA", the version
// is at most 1, every counted list is complete and every index refers to an
// entry of its list (vertex indices to the vertices of every frame).
bool ReadTextObject(const uint8_t* data, size_t size, TextObject& result);

// Builds the frames of a text object into an empty mesh (each polygon a
// triangle fan in its colour) and packs them. kMallocError when the object
// would expand to more than vertexBudget vertices.
ObjectReadResult BuildTextMesh(const TextObject& text, MeshObject& mesh,
                               int64_t vertexBudget = kMaxObjectVertices);

// Either format into an empty mesh, as the loader reads a file's bytes.
ObjectReadResult ReadObjectBytes(const uint8_t* data, size_t size, MeshObject& mesh,
                                 int64_t textVertexBudget = kMaxObjectVertices);

// The packed file of a mesh: texture pairs from texU (v 0 where texV is
// shorter), per frame its packed vertices; colour indices keep their low byte.
std::vector<uint8_t> PackedObjectBytes(const MeshObject& mesh);

// Files: ReadObjectFile clears the mesh and reads the file in either format;
// on failure it appends "# read error" or "# malloc error" and the path
// ("null" for none) to the error log. WriteObjectFile is true when the file
// could be created (write errors are not reported).
bool ReadObjectFile(MeshObjectX& mesh, const char* path);
bool WriteObjectFile(const MeshObject& mesh, const char* path);
