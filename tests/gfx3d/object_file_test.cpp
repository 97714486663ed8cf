// Object files: packed round trips and bytes, the text format, and bad
// input of both (refused with the error log's lines, never read past).
#include <brindle.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "gfx3d/object_file.h"

namespace {

ObjectSlot& SlotOf(int object) { return runtime.scene.objects[object]; }
MeshObjectX& MeshOf(int object) { return SlotOf(object).meshes[0]; }

std::string Scratch(const std::string& name) {
    static const std::filesystem::path dir = [] {
        std::random_device seed;
        auto d = std::filesystem::temp_directory_path() /
                 ("brindle-object-tests-" + std::to_string(seed()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return (dir / name).generic_string();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Little-endian fields, written here independently of the runtime's writer.
struct Bytes {
    std::string s;
    Bytes& U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
        return *this;
    }
    Bytes& F32(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        return U32(u);
    }
    Bytes& F64(double v) {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        return U32(static_cast<uint32_t>(u)).U32(static_cast<uint32_t>(u >> 32));
    }
    Bytes& Raw(std::initializer_list<int> v) {
        for (int b : v) s += static_cast<char>(b);
        return *this;
    }
};

// A packed file of one frame holding a triangle list a, b, c.
Bytes PackedTriangle(double version = 1.02) {
    Bytes b;
    b.U32(13021975).F64(version).U32(1).U32(2).U32(1);
    b.U32(0xFFFFFFFF).U32(0x0000FF);          // list marker, red
    b.F32(0.25f).F32(0.75f);                  // texture pair 0
    b.U32(4).F32(0).F32(0).F32(0).F32(1).F32(1).F32(1);
    b.Raw({0, 0, 0, 0, 0}).Raw({0, 0, 0, 5, 1}).Raw({10, 0, 0, 5, 1}).Raw({0, 20, 0, 5, 1});
    return b;
}

// The error log holds the two lines of a refused load of this path.
void ExpectLogged(const char* line, const std::string& path) {
    const std::string log = ReadBytes(ErrorLogPath());
    EXPECT_NE(log.find(std::string(line) + "\r\n" + path + "\r\n"), std::string::npos)
        << "no '" << line << "' for " << path;
}

// Writes the text to a file and loads it into the object.
double LoadText(const std::string& name, const std::string& text, int object = 40) {
    const std::string path = Scratch(name);
    WriteBytes(path, text);
    return LoadObject(path.c_str(), object);
}

// A mesh with a fan, strips, colours, texture pairs and markers (the
// markers come first, so that their colour indices stay below 256).
void BuildSample(int object, int colours) {
    SetBuildNormals(2);
    StartObject(object);
    AddVertex(0, 0, 0, 0, 0, -3);
    for (int i = 0; i < 5; ++i) AddVertex(i, -i, 2 * i, 0.5, 0.5, 0xFFFFFF);
    NewStrip();
    for (int i = 0; i < colours; ++i) {
        AddVertex(i % 7, i % 5 * 0.5, (i * 37 % 11) * 0.25, i * 0.01, 1 - i * 0.02, 0x010203 * (i + 1));
        if (i % 9 == 8) NewStrip();
    }
    EndObject();
}

}  // namespace

TEST(ObjectFile, SavedAndLoadedObjectIsTheSame) {
    for (int colours : {12, 300}) {
        BuildSample(30, colours);
        const std::string path = Scratch("sample.obj");
        EXPECT_EQ(SaveObject(path.c_str(), 30), 1);
        ASSERT_EQ(LoadObject(path.c_str(), 31), 1);
        EXPECT_TRUE(SlotOf(31).ready);
        const MeshObjectX &a = MeshOf(30), &b = MeshOf(31);
        ASSERT_EQ(b.frames.count, 1);
        const MeshFrame &fa = a.frames[0], &fb = b.frames[0];
        EXPECT_EQ(std::vector<uint32_t>(a.colourTable.begin(), a.colourTable.end()),
                  std::vector<uint32_t>(b.colourTable.begin(), b.colourTable.end()));
        EXPECT_EQ(std::vector<float>(a.texU.begin(), a.texU.end()), std::vector<float>(b.texU.begin(), b.texU.end()));
        EXPECT_EQ(std::vector<float>(a.texV.begin(), a.texV.end()), std::vector<float>(b.texV.begin(), b.texV.end()));
        EXPECT_EQ(0, std::memcmp(fa.quantOffset, fb.quantOffset, sizeof fa.quantOffset));
        EXPECT_EQ(0, std::memcmp(fa.quantScale, fb.quantScale, sizeof fa.quantScale));
        ASSERT_EQ(fa.packed.count, fb.packed.count);
        bool moduloSeen = false;
        for (int k = 0; k < fa.packed.count; ++k) {
            const PackedVertex &p = fa.packed[k], &q = fb.packed[k];
            EXPECT_EQ(0, std::memcmp(p.q, q.q, 4)) << k;  // position and normal
            EXPECT_EQ(q.tangentIndex + q.binormalIndex, 0);
            // Only the low byte of a colour index is stored.
            EXPECT_EQ(q.colourIndex, p.colourIndex % 256) << k;
            moduloSeen |= p.colourIndex >= 256;
        }
        EXPECT_EQ(moduloSeen, colours > 256);
        // Beyond 256 colours indices wrap onto other entries, markers
        // included, so even the triangles change.
        if (colours > 256) continue;
        ASSERT_EQ(fa.triangleVertices.count, fb.triangleVertices.count);
        EXPECT_EQ(0, std::memcmp(fa.triangleVertices.data, fb.triangleVertices.data,
                                 sizeof(MeshVertex) * static_cast<size_t>(fa.triangleVertices.count)));
        EXPECT_EQ(fa.radius, fb.radius);
    }
}

TEST(ObjectFile, PackedBytesAreLittleEndianFields) {
    const std::string in = Scratch("triangle.obj"), out = Scratch("triangle-again.obj");
    WriteBytes(in, PackedTriangle().s);
    ASSERT_EQ(LoadObject(in.c_str(), 32), 1);
    const MeshFrame& f = MeshOf(32).frames[0];
    ASSERT_EQ(f.triangleVertices.count, 3);
    EXPECT_EQ(f.triangleVertices[1].position[0], 10.0f);  // (10 - 0) * 1
    EXPECT_EQ(f.triangleVertices[2].position[1], 20.0f);
    EXPECT_EQ(f.triangleVertices[2].colour, 0x0000FFu);
    EXPECT_EQ(0, std::memcmp(f.triangleVertices[0].normal, kNormalTable[5], 12));
    EXPECT_EQ(f.packed[1].colourIndex, 1u);
    // Saved again: the same bytes.
    EXPECT_EQ(SaveObject(out.c_str(), 32), 1);
    EXPECT_EQ(ReadBytes(out), PackedTriangle().s);
    EXPECT_EQ(ReadBytes(out).substr(0, 12), std::string("\x17\xB3\xC6\x00\x52\xB8\x1E\x85\xEB\x51\xF0\x3F", 12));
}

TEST(ObjectFile, TextFormat) {
    // A 4-vertex polygon is a fan of two triangles. A comment between numbers
    // is dropped up to the end of its line, however long; one at the end of
    // the file needs no line feed.
    for (size_t length : {0, 500, 511, 512, 513, 1023, 1024, 5000, 100000}) {
        SCOPED_TRACE(length);
        ASSERT_EQ(LoadText("quad.txt", "DDDA 1\n2 0.5 # comment 9 9\n 0.25 1 1\n1 255 128 #" +
                                           std::string(length, 'x') + " 7 8 9\r\n64 4 0 0 1 1 2 0 3 1\n"
                                           "2 4 0 0 0 1 0 0 1 1 0 0 1 0  4 0 0 5 1 0 5 1 1 5 0 1 5#" +
                                           std::string(length, '9')),
                  1);
        const MeshObjectX& m = MeshOf(40);
        ASSERT_EQ(m.frames.count, 2);
        const float fan[6][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}};
        ASSERT_EQ(m.frames[0].triangleVertices.count, 6);
        for (int f = 0; f < 2; ++f)
            for (int k = 0; k < 6; ++k)
                for (int a = 0; a < 3; ++a)
                    EXPECT_NEAR(m.frames[f].triangleVertices[k].position[a], fan[k][a] + (a == 2 ? 5 * f : 0), 1e-6);
    }
    const MeshObjectX& m = MeshOf(40);
    const MeshVertex& a = m.frames[0].triangleVertices[0];
    const MeshVertex& b = m.frames[0].triangleVertices[1];
    EXPECT_EQ(b.colour, 0x4080FFu);
    EXPECT_EQ(b.rgb[2], 64 / 255.0f);
    EXPECT_EQ(a.texCoord[0], 0.5f);
    EXPECT_EQ(a.texCoord[1], -0.25f);  // v reaches the drawn vertex negated
    EXPECT_EQ(b.texCoord[0], 1.0f);
    EXPECT_TRUE(SlotOf(40).ready);

    // Without texture pairs every texture index is ignored and every texture
    // coordinate is 0.
    ASSERT_EQ(LoadText("untextured.txt", "DDDA 0.5 0 1 10 20 30 3 0 7 1 99 2 5 1 3 0 0 0 1 0 0 0 1 0"), 1);
    for (const MeshVertex& v : MeshOf(40).frames[0].triangleVertices) {
        EXPECT_EQ(v.texCoord[0], 0.0f);
        EXPECT_EQ(v.texCoord[1], 0.0f);
        EXPECT_EQ(v.colour, 10u | 20u << 8 | 30u << 16);
    }
    // A token longer than 1023 characters keeps its first 1023 (here zeros):
    // texCount 0, and the rest of the token is not read as another one.
    ASSERT_EQ(LoadText("long.txt", "DDDA 1 " + std::string(1500, '0') + "7 1 0 0 0 3 0 0 1 0 2 0 1 3 0 0 0 1 0 0 0 1 0"), 1);
    EXPECT_EQ(MeshOf(40).frames[0].triangleVertices.count, 3);
    // Coordinates out of the float range load (packing makes no integer of
    // a NaN quotient).
    EXPECT_EQ(LoadText("infinite.txt", "DDDA 1 0 1 0 0 0 3 0 0 1 0 2 0 1 3 1e999 0 0 1 0 0 0 1 -1e999"), 1);
    // Frames without polygons read well but give nothing to draw.
    EXPECT_EQ(LoadText("no-polygons.txt", "DDDA 1 0 0 2 1 0 0 0 1 1 1 1"), 0);
    EXPECT_FALSE(SlotOf(40).ready);
    EXPECT_EQ(MeshOf(40).frames.count, 0);
}

TEST(ObjectFile, BadFilesAreRefusedAndLogged) {
    const std::string triangle = " 1 0 0 0 3 0 0 1 0 2 0 1 3 0 0 0 1 0 0 0 1 0";  // after texCount 0
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"not an object", "DDDB 1 0" + triangle},
        {"version above 1", "DDDA 1.5 0" + triangle},
        {"starts like an own-texture file", ";DDW 1 0" + triangle},
        {"vertex index past the frame", "DDDA 1 0 1 0 0 0 3 0 0 1 0 3 0 1 3 0 0 0 1 0 0 0 1 0"},
        {"vertex index past a later frame", "DDDA 1 0 1 0 0 0 3 0 0 1 0 2 0 2 3 0 0 0 1 0 0 0 1 0 2 0 0 0 1 0 0"},
        {"negative vertex index", "DDDA 1 0 1 0 0 0 3 0 0 -1 0 2 0 1 3 0 0 0 1 0 0 0 1 0"},
        {"texture index past the pairs", "DDDA 1 1 0 0 1 0 0 0 3 0 0 1 1 2 0 1 3 0 0 0 1 0 0 0 1 0"},
        {"negative count", "DDDA 1 -2" + triangle},
        {"count beyond an int", "DDDA 1 1e30" + triangle},
        {"polygon longer than the data", "DDDA 1 0 1 0 0 0 5 0 0 1 0 2 0"},
        {"frame longer than the data", "DDDA 1 0 1 0 0 0 3 0 0 1 0 2 0 1 3 0 0 0 1 0 0"},
        {"packed version 1.0", PackedTriangle(1.0).s},
        {"packed truncated in a vertex", PackedTriangle().s.substr(0, PackedTriangle().s.size() - 3)},
        {"packed normal index past the table", [] {
             std::string s = PackedTriangle().s;
             s[s.size() - 2] = static_cast<char>(162);
             return s;
         }()},
        {"packed negative colour count", [] {
             std::string s = PackedTriangle().s;
             s[16] = s[17] = s[18] = s[19] = '\xFF';
             return s;
         }()},
        {"packed frame count past the data", [] {
             std::string s = PackedTriangle().s;
             s[12] = 2;
             return s;
         }()},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string path = Scratch("bad" + std::to_string(n++) + ".obj");
        WriteBytes(path, c.bytes);
        EXPECT_EQ(LoadObject(path.c_str(), 42), 0) << c.name;
        EXPECT_FALSE(SlotOf(42).ready) << c.name;
        EXPECT_FALSE(SlotOf(42).ownTextures) << c.name;
        ASSERT_EQ(SlotOf(42).meshes.count, 1) << c.name;
        EXPECT_EQ(MeshOf(42).frames.count, 0) << c.name;
        ExpectLogged("# read error", path);
    }
    // Every prefix of a packed file is refused.
    const std::string whole = PackedTriangle().s;
    for (size_t size = 0; size < whole.size(); ++size) {
        MeshObjectX mesh;
        EXPECT_EQ(ReadObjectBytes(reinterpret_cast<const uint8_t*>(whole.data()), size, mesh),
                  ObjectReadResult::kReadError)
            << size;
    }
    EXPECT_EQ(runtime.scene.LoadObjectFile(42, nullptr), 0);
    ExpectLogged("# read error", "null");
}

TEST(ObjectFile, TextObjectsExpandingPastTheLimitAreAllocationFailures) {
    // 2000 frames of one vertex times 1101 fan entries: over 2^21 vertices
    // from a 21 KB file.
    std::string text = "DDDA 1 0 1 0 0 0 1100";
    for (int i = 0; i < 1100; ++i) text += " 0 0";
    text += " 2000";
    for (int i = 0; i < 2000; ++i) text += " 1 0 0 0";
    EXPECT_EQ(LoadText("huge.txt", text), 0);
    ExpectLogged("# malloc error", Scratch("huge.txt"));
}

TEST(ObjectFile, LoadingIntoTheObjectBeingBuiltEndsTheBuild) {
    StartObject(43);
    AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
    EXPECT_EQ(LoadText("bad-while-building.txt", "nothing", 43), 0);
    AddVertex(1, 0, 0, 0, 0, 0xFFFFFF);  // goes nowhere
    NewStrip();
    EndObject();
    EXPECT_FALSE(SlotOf(43).ready);
    EXPECT_EQ(MeshOf(43).frames.count, 0);
}

TEST(ObjectFile, SavingASlotWithoutMeshWritesNothing) {
    for (double object : {4094.0, -1.0, 5000.0}) {
        const std::string path = Scratch("none" + std::to_string(static_cast<int>(object)) + ".obj");
        EXPECT_EQ(SaveObject(path.c_str(), object), 1);
        EXPECT_FALSE(std::filesystem::exists(path)) << object;
    }
    EXPECT_EQ(LoadObject(Scratch("missing.obj").c_str(), 5000), 0);
}
