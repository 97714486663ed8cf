// The packed and text object formats, parsed from bytes in memory.
#include "gfx3d/object_file.h"

#include <cstring>
#include <new>

#include "lang/number_convert.h"
#include "lang/text_number.h"

namespace {

// Little-endian fields of the packed format, bounded by the bytes there are.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : p(data), left(size) {}
    size_t Left() const { return left; }
    bool U32(uint32_t& v) {
        if (left < 4) return false;
        v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
            static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
        Skip(4);
        return true;
    }
    bool I32(int32_t& v) {
        uint32_t u;
        if (!U32(u)) return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool F32(float& v) {
        uint32_t u;
        if (!U32(u)) return false;
        std::memcpy(&v, &u, sizeof v);
        return true;
    }
    bool F64(double& v) {
        uint32_t lo, hi;
        if (left < 8) return false;
        U32(lo);
        U32(hi);
        const uint64_t u = static_cast<uint64_t>(hi) << 32 | lo;
        std::memcpy(&v, &u, sizeof v);
        return true;
    }
    // Whether the bytes left hold n records of recordSize bytes (n >= 0).
    bool Holds(int32_t n, size_t recordSize) const {
        return n >= 0 && static_cast<uint64_t>(n) * recordSize <= left;
    }
    const uint8_t* Take(size_t n) {
        const uint8_t* at = p;
        Skip(n);
        return at;
    }

private:
    void Skip(size_t n) {
        p += n;
        left -= n;
    }
    const uint8_t* p;
    size_t left;
};

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : bytes(out) {}
    void U8(uint8_t v) { bytes.push_back(v); }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void F32(float v) {
        uint32_t u;
        std::memcpy(&u, &v, sizeof u);
        U32(u);
    }
    void F64(double v) {
        uint64_t u;
        std::memcpy(&u, &v, sizeof u);
        U32(static_cast<uint32_t>(u));
        U32(static_cast<uint32_t>(u >> 32));
    }

private:
    std::vector<uint8_t>& bytes;
};

constexpr size_t kFrameHeaderSize = 4 + 12 + 12;
constexpr size_t kPackedRecordSize = 5;

// Tokens of the text format: separated by space, tab, line feed or carriage
// return; '#' separates too and starts a comment, which runs to the end of
// its line, however long (a comment cut after a fixed length would leave its
// rest to be read as numbers). A token
// keeps at most 1023 characters; the rest of a longer one is passed over.
class Tokenizer {
public:
    Tokenizer(const uint8_t* data, size_t size) : p(data), end(data + size) {}

    // The next token in text; false (and an empty text) at the end of the data.
    bool Next() {
        length = 0;
        while (p < end) {
            const uint8_t c = *p++;
            if (c == '#') {
                SkipComment();
                if (length > 0) break;
            } else if (IsSeparator(c)) {
                if (length > 0) break;
            } else if (length < kTokenSize - 1) {
                text[length++] = static_cast<char>(c);
            }  // else the token is cut: the rest of it is passed over
        }
        text[length] = '\0';
        return length > 0;
    }

    // The next token as a number (the runtime's text-to-number conversion,
    // narrowed to float); found tells whether there was a token at all.
    float Number(bool& found) {
        found = Next();
        return static_cast<float>(ParseLeadingNumber(text));
    }

    char text[1024];

private:
    static constexpr int kTokenSize = 1024;
    static bool IsSeparator(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    void SkipComment() {
        const void* lineFeed = std::memchr(p, '\n', static_cast<size_t>(end - p));
        p = lineFeed ? static_cast<const uint8_t*>(lineFeed) + 1 : end;
    }
    const uint8_t* p;
    const uint8_t* end;
    int length = 0;
};

// Reads the sections of a text object; every value inside a counted list
// must be there.
class TextReader {
public:
    TextReader(const uint8_t* data, size_t size) : tokens(data, size) {}

    bool Read(TextObject& out) {
        if (!tokens.Next() || std::strcmp(tokens.text, "DDDA") != 0) return false;
        bool found;
        const float version = tokens.Number(found);
        if (version > 1.0f) return false;

        int texCount, polygonCount, frameCount;
        if (!Count(texCount, false)) return false;
        for (int i = 0; i < texCount; ++i) {
            float u, v;
            if (!Value(u) || !Value(v)) return false;
            out.texU.push_back(u);
            out.texV.push_back(v);
        }

        if (!Count(polygonCount, false)) return false;
        int lowestVertex = 0, highestVertex = -1;
        for (int i = 0; i < polygonCount; ++i) {
            float colour[3];
            int n;
            if (!Value(colour[0]) || !Value(colour[1]) || !Value(colour[2]) || !Count(n, true))
                return false;
            TextObject::Polygon polygon;
            // Components are bytes; anything wider keeps its low byte, so that no
            // colour can turn into a strip marker.
            polygon.colour = 0;
            for (int c = 0; c < 3; ++c)
                polygon.colour |= (static_cast<uint32_t>(TruncToInt(colour[c])) & 0xFFu) << (8 * c);
            polygon.firstPair = static_cast<int>(out.pairs.size());
            polygon.pairCount = n;
            for (int k = 0; k < n; ++k) {
                float vertex, tex;
                if (!Value(vertex) || !Value(tex)) return false;
                TextObject::Pair pair{TruncToInt(vertex), TruncToInt(tex)};
                if (texCount > 0 && (pair.tex < 0 || pair.tex >= texCount)) return false;
                if (pair.vertex < lowestVertex) lowestVertex = pair.vertex;
                if (pair.vertex > highestVertex) highestVertex = pair.vertex;
                out.pairs.push_back(pair);
            }
            out.polygons.push_back(polygon);
        }
        if (lowestVertex < 0) return false;

        if (!Count(frameCount, false)) return false;
        for (int f = 0; f < frameCount; ++f) {
            TextObject::Frame frame;
            if (!Count(frame.vertexCount, true)) return false;
            // Every vertex index must name a vertex of this frame.
            if (highestVertex >= frame.vertexCount) return false;
            frame.firstVertex = static_cast<int>(out.positions.size() / 3);
            for (int64_t i = 0; i < 3 * static_cast<int64_t>(frame.vertexCount); ++i) {
                float x;
                if (!Value(x)) return false;
                out.positions.push_back(x);
            }
            out.frames.push_back(frame);
        }
        return true;
    }

private:
    bool Value(float& v) {
        bool found;
        v = tokens.Number(found);
        return found;
    }
    // A count truncated towards zero; negative counts (and values too large
    // for an int) are refused. Outside a list a missing count reads as 0.
    bool Count(int& n, bool required) {
        bool found;
        const float v = tokens.Number(found);
        if (!found && required) return false;
        n = TruncToInt(v);
        return n >= 0;
    }
    Tokenizer tokens;
};

MeshVertex FanMarker() {
    MeshVertex v{};
    v.colour = kFanMarker;
    v.rgb[0] = v.rgb[1] = v.rgb[2] = 1.0f;
    return v;
}

}  // namespace

bool IsPackedObject(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    uint32_t magic;
    return in.U32(magic) && magic == kPackedObjectMagic;
}

ObjectReadResult ReadPackedObject(const uint8_t* data, size_t size, MeshObject& mesh) {
    ByteReader in(data, size);
    uint32_t magic;
    double version;
    int32_t frameCount, colourCount, texCount;
    if (!in.U32(magic) || magic != kPackedObjectMagic || !in.F64(version) ||
        version != kPackedObjectVersion || !in.I32(frameCount) || !in.I32(colourCount) ||
        !in.I32(texCount))
        return ObjectReadResult::kReadError;

    if (!in.Holds(colourCount, 4)) return ObjectReadResult::kReadError;
    mesh.colourTable.Reserve(colourCount);
    for (int i = 0; i < colourCount; ++i) {
        uint32_t colour = 0;
        in.U32(colour);
        mesh.colourTable.Append(colour);
    }

    if (!in.Holds(texCount, 8)) return ObjectReadResult::kReadError;
    mesh.texU.Reserve(texCount);
    mesh.texV.Reserve(texCount);
    for (int i = 0; i < texCount; ++i) {
        float u = 0, v = 0;
        in.F32(u);
        in.F32(v);
        mesh.texU.Append(u);
        mesh.texV.Append(v);
    }

    if (!in.Holds(frameCount, kFrameHeaderSize)) return ObjectReadResult::kReadError;
    mesh.frames.Reserve(frameCount);
    int64_t total = 0;
    for (int f = 0; f < frameCount; ++f) {
        int32_t vertexCount = 0;
        MeshFrame& frame = mesh.frames.Emplace();
        // The vertices of earlier frames may have used the bytes of this header.
        if (in.Left() < kFrameHeaderSize) return ObjectReadResult::kReadError;
        in.I32(vertexCount);
        for (float& v : frame.quantOffset) in.F32(v);
        for (float& v : frame.quantScale) in.F32(v);
        if (!in.Holds(vertexCount, kPackedRecordSize)) return ObjectReadResult::kReadError;
        total += vertexCount;
        if (total > kMaxObjectVertices) return ObjectReadResult::kMallocError;
        frame.packed.Reserve(vertexCount);
        const uint8_t* record = in.Take(static_cast<size_t>(vertexCount) * kPackedRecordSize);
        for (int i = 0; i < vertexCount; ++i, record += kPackedRecordSize) {
            PackedVertex p;
            std::memset(&p, 0, sizeof p);
            p.q[0] = record[0];
            p.q[1] = record[1];
            p.q[2] = record[2];
            p.normalIndex = record[3];
            p.colourIndex = record[4];
            // Expansion looks the index up in the normal table.
            if (p.normalIndex >= kNormalDirections) return ObjectReadResult::kReadError;
            frame.packed.Append(p);
        }
    }
    mesh.normalsDone = 1;
    return ObjectReadResult::kOk;
}

bool ReadTextObject(const uint8_t* data, size_t size, TextObject& result) {
    result = TextObject();
    return TextReader(data, size).Read(result);
}

ObjectReadResult BuildTextMesh(const TextObject& text, MeshObject& mesh, int64_t vertexBudget) {
    const int64_t perFrame =
        static_cast<int64_t>(text.polygons.size()) + static_cast<int64_t>(text.pairs.size());
    const int64_t frames = static_cast<int64_t>(text.frames.size());
    if (frames > 0 && perFrame > vertexBudget / frames)
        return ObjectReadResult::kMallocError;
    const bool textured = !text.texU.empty();
    mesh.frames.Reserve(static_cast<int>(text.frames.size()));
    for (const TextObject::Frame& source : text.frames) {
        MeshFrame& frame = mesh.frames.Emplace();
        frame.vertices.Reserve(static_cast<int>(perFrame));
        const float* positions = text.positions.data() + 3 * static_cast<size_t>(source.firstVertex);
        for (const TextObject::Polygon& polygon : text.polygons) {
            frame.vertices.Append(FanMarker());
            MeshVertex v{};
            v.colour = polygon.colour;
            v.rgb[0] = (polygon.colour & 0xFF) / 255.0f;
            v.rgb[1] = ((polygon.colour >> 8) & 0xFF) / 255.0f;
            v.rgb[2] = ((polygon.colour >> 16) & 0xFF) / 255.0f;
            for (int k = 0; k < polygon.pairCount; ++k) {
                const TextObject::Pair& pair = text.pairs[static_cast<size_t>(polygon.firstPair + k)];
                std::memcpy(v.position, positions + 3 * static_cast<size_t>(pair.vertex), sizeof v.position);
                if (textured) {
                    v.texCoord[0] = text.texU[static_cast<size_t>(pair.tex)];
                    v.texCoord[1] = text.texV[static_cast<size_t>(pair.tex)];
                }
                frame.vertices.Append(v);
            }
        }
    }
    PackMesh(mesh);
    return ObjectReadResult::kOk;
}

ObjectReadResult ReadObjectBytes(const uint8_t* data, size_t size, MeshObject& mesh,
                                 int64_t textVertexBudget) {
    try {
        if (IsPackedObject(data, size)) return ReadPackedObject(data, size, mesh);
        TextObject text;
        if (!ReadTextObject(data, size, text)) return ObjectReadResult::kReadError;
        return BuildTextMesh(text, mesh, textVertexBudget);
    } catch (const std::bad_alloc&) {
        return ObjectReadResult::kMallocError;
    }
}

std::vector<uint8_t> PackedObjectBytes(const MeshObject& mesh) {
    size_t size = 24 + 4 * static_cast<size_t>(mesh.colourTable.count) + 8 * static_cast<size_t>(mesh.texU.count);
    for (const MeshFrame& frame : mesh.frames)
        size += kFrameHeaderSize + kPackedRecordSize * static_cast<size_t>(frame.packed.count);
    std::vector<uint8_t> bytes;
    bytes.reserve(size);
    ByteWriter out(bytes);
    out.U32(kPackedObjectMagic);
    out.F64(kPackedObjectVersion);
    out.U32(static_cast<uint32_t>(mesh.frames.count));
    out.U32(static_cast<uint32_t>(mesh.colourTable.count));
    out.U32(static_cast<uint32_t>(mesh.texU.count));
    for (uint32_t colour : mesh.colourTable) out.U32(colour);
    for (int i = 0; i < mesh.texU.count; ++i) {
        out.F32(mesh.texU[i]);
        out.F32(i < mesh.texV.count ? mesh.texV[i] : 0.0f);
    }
    for (const MeshFrame& frame : mesh.frames) {
        out.U32(static_cast<uint32_t>(frame.packed.count));
        for (float v : frame.quantOffset) out.F32(v);
        for (float v : frame.quantScale) out.F32(v);
        for (const PackedVertex& p : frame.packed) {
            out.U8(p.q[0]);
            out.U8(p.q[1]);
            out.U8(p.q[2]);
            out.U8(p.normalIndex);
            out.U8(static_cast<uint8_t>(p.colourIndex));
        }
    }
    return bytes;
}
