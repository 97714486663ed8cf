// Building, packing, normals, expansion and bounds: pure data, no GL needed.
#include <brindle.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <cmath>
#include <set>
#include <tuple>
#include <vector>

#include "core/runtime_state.h"
#include "gfx3d/mesh.h"
#include "gfx3d/zadederu3d.h"

namespace {

const MeshObjectX& Mesh(int object) { return runtime.scene.objects[object].meshes[0]; }
const MeshFrame& Frame0(int object) { return Mesh(object).frames[0]; }

// Positions of the drawable triangle list.
std::vector<std::tuple<float, float, float>> Triangles(int object) {
    std::vector<std::tuple<float, float, float>> out;
    for (const MeshVertex& v : Frame0(object).triangleVertices)
        out.emplace_back(v.position[0], v.position[1], v.position[2]);
    return out;
}

double sq(double v) { return v * v; }

double Deg(double d) { return d * 3.14159265358979323846 / 180.0; }

// The demo's torus, built exactly as the game builds it.
void CreateTorus(int n, double tube, double ring, int rings, int sides, double repeatU,
                 double repeatV) {
    SetBuildNormals(2);
    StartObject(n);
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j <= sides; ++j) {
            double f = static_cast<double>(j) / sides;
            for (int k : {i + 1, i}) {
                double t = static_cast<double>(j % sides) / sides * 360.0;
                double e = (static_cast<double>(k % rings) + f) / rings * 360.0;
                double r = std::cos(Deg(t)) * tube + ring;
                AddVertex(std::sin(Deg(e)) * r, tube * std::sin(Deg(t)), std::cos(Deg(e)) * r,
                          (k + f) / rings * repeatU, 1 - f * repeatV, 16777215);
            }
        }
        NewStrip();
    }
    EndObject();
}

}  // namespace

TEST(NormalTable, HoldsTheMd2Directions) {
    EXPECT_FLOAT_EQ(kNormalTable[0][0], -0.525731f);
    EXPECT_FLOAT_EQ(kNormalTable[0][1], 0.0f);
    EXPECT_FLOAT_EQ(kNormalTable[0][2], 0.850651f);
    EXPECT_FLOAT_EQ(kNormalTable[161][0], -0.688191f);
    EXPECT_FLOAT_EQ(kNormalTable[161][1], -0.587785f);
    EXPECT_FLOAT_EQ(kNormalTable[161][2], -0.425325f);
    std::set<std::tuple<float, float, float>> seen;
    for (int i = 0; i < 162; ++i) {
        const float* t = kNormalTable[i];
        EXPECT_NEAR(t[0] * t[0] + t[1] * t[1] + t[2] * t[2], 1.0, 3e-6) << "entry " << i;
        EXPECT_TRUE(seen.emplace(t[0], t[1], t[2]).second) << "duplicate entry " << i;
    }
    // The directions form a symmetric sphere: every opposite is present.
    for (int i = 0; i < 162; ++i) {
        const float* t = kNormalTable[i];
        EXPECT_TRUE(seen.count({t[0] == 0 ? 0.0f : -t[0], t[1] == 0 ? 0.0f : -t[1],
                                t[2] == 0 ? 0.0f : -t[2]}))
            << "no opposite for entry " << i;
    }
}

TEST(NormalTable, NearestDirectionFindsEachEntryAndPrefersLaterTies) {
    for (int i = 0; i < 162; ++i) EXPECT_EQ(NearestDirection(kNormalTable[i]), i);
    float zero[3] = {0, 0, 0};
    EXPECT_EQ(NearestDirection(zero), 0);  // d = 0 at once
    float up[3] = {0, 1, 0};
    EXPECT_EQ(NearestDirection(up), 32);
}

TEST(GrowArray, GrowsByStepAndCopiesDeeply) {
    GrowArray<int> a;
    EXPECT_EQ(a.capacity, 0);
    for (int i = 0; i < 513; ++i) a.Append(i);
    EXPECT_EQ(a.capacity, 640);
    for (int i = 513; i < 641; ++i) a.Append(a[0] + i);  // appending from itself across growth
    EXPECT_EQ(a.capacity, 768);
    EXPECT_EQ(a[640], 640);
    GrowArray<int> b = a;
    b[3] = -1;
    EXPECT_EQ(a[3], 3);
    EXPECT_EQ(b.count, 641);
    a.Clear();
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(a.capacity, 768);
}

TEST(BuildObject, PositionsComeBackWithinTheQuantisationStep) {
    std::vector<std::array<float, 3>> in;
    StartObject(10);
    for (int i = 0; i < 60; ++i) {
        float x = std::sin(i * 0.37f) * 13.7f, y = std::cos(i * 0.91f) * 2.5f + 100.0f,
              z = i * 0.173f - 4.0f;
        in.push_back({x, y, z});
        AddVertex(x, y, z, 0, 0, 0xFFFFFF);
    }
    EndObject();
    const MeshFrame& f = Frame0(10);
    ASSERT_EQ(f.packed.count, 61);  // the start marker is packed too
    EXPECT_EQ(f.vertices.count, 0);
    for (int i = 0; i < 60; ++i) {
        float out[3];
        f.Unpack(f.packed[i + 1], out);
        for (int a = 0; a < 3; ++a) {
            EXPECT_LE(out[a], in[i][a] + 1e-4f);
            EXPECT_GT(out[a], in[i][a] - f.quantScale[a] * 1.0001f) << "vertex " << i << " axis " << a;
        }
    }
    // The box's corners are exact: its minimum packs to 0, its maximum to 255.
    int lo = 255, hi = 0;
    for (const PackedVertex& p : f.packed) {
        if (&p == &f.packed[0]) continue;
        lo = std::min<int>(lo, p.q[2]);
        hi = std::max<int>(hi, p.q[2]);
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 255);
    EXPECT_EQ(Frame0(10).triangleVertices.count, 58 * 3);
}

TEST(BuildObject, FlatAxisKeepsItsValueExactly) {
    StartObject(11);
    AddVertex(0, 7.3, 0, 0, 0.25, 0xFFFFFF);
    AddVertex(1, 7.3, 0, 1, 0.25, 0xFFFFFF);
    AddVertex(0, 7.3, 1, 0, 0.75, 0xFFFFFF);
    EndObject();
    const MeshFrame& f = Frame0(11);
    EXPECT_EQ(f.quantScale[1], 1.0f);
    EXPECT_EQ(f.quantOffset[1], -7.3f);
    ASSERT_EQ(f.triangleVertices.count, 3);
    for (const MeshVertex& v : f.triangleVertices) EXPECT_EQ(v.position[1], 7.3f);
    // Texture v reaches the drawable form negated.
    EXPECT_EQ(f.triangleVertices[0].texCoord[1], -0.25f);
    EXPECT_EQ(f.triangleVertices[2].texCoord[1], -0.75f);
    EXPECT_EQ(f.triangleVertices[1].texCoord[0], 1.0f);
}

TEST(BuildObject, StripsFansAndListsAssembleTriangles) {
    // Coordinates on whole quantisation steps come back exactly.
    const float a[3] = {0, 0, 0}, b[3] = {255, 0, 0}, c[3] = {0, 255, 0}, d[3] = {255, 255, 0},
                e[3] = {0, 0, 255};
    const float* abcde[5] = {a, b, c, d, e};
    auto add = [&] {
        for (const float* p : abcde) AddVertex(p[0], p[1], p[2], 0, 0, 0xFFFFFF);
    };
    auto same = [](const MeshVertex& v, const float* p) {
        return v.position[0] == p[0] && v.position[1] == p[1] && v.position[2] == p[2];
    };
    StartObject(12);  // strip
    add();
    EndObject();
    const auto& s = Frame0(12).triangleVertices;
    ASSERT_EQ(s.count, 9);
    const float* strip[9] = {a, b, c, c, b, d, c, d, e};
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(same(s[i], strip[i])) << "strip vertex " << i;

    StartObject(13);
    AddVertex(0, 0, 0, 0, 0, -3);  // a fan marker
    add();
    EndObject();
    const auto& fan = Frame0(13).triangleVertices;
    ASSERT_EQ(fan.count, 9);
    const float* fanOrder[9] = {a, b, c, a, c, d, a, d, e};
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(same(fan[i], fanOrder[i])) << "fan vertex " << i;

    StartObject(14);
    AddVertex(0, 0, 0, 0, 0, -1);  // a list marker: 5 vertices make 1 triangle
    add();
    NewStrip();  // a new strip restarts the window
    AddVertex(1, 1, 1, 0, 0, 0xFFFFFF);
    AddVertex(2, 1, 1, 0, 0, 0xFFFFFF);
    EndObject();
    EXPECT_EQ(Frame0(14).triangleVertices.count, 3);
}

TEST(BuildObject, NormalsFollowTheBuildNormalsMode) {
    // Two strips meeting at a fold along x = 0: the shared vertices sit at
    // the same positions in both strips.
    auto build = [](int object, int mode) {
        SetBuildNormals(mode);
        StartObject(object);
        AddVertex(-10, 0, 0, 0, 0, 0xFFFFFF);
        AddVertex(-10, 0, 10, 0, 0, 0xFFFFFF);
        AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
        AddVertex(0, 0, 10, 0, 0, 0xFFFFFF);
        NewStrip();
        AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
        AddVertex(0, 0, 10, 0, 0, 0xFFFFFF);
        AddVertex(10, 10, 0, 0, 0, 0xFFFFFF);
        AddVertex(10, 10, 10, 0, 0, 0xFFFFFF);
        EndObject();
    };
    build(20, 0);
    for (const MeshVertex& v : Frame0(20).triangleVertices) {
        EXPECT_EQ(v.normal[0], -0.525731f);
        EXPECT_EQ(v.normal[2], 0.850651f);
    }
    build(21, 1);
    build(22, 2);
    const PackedVertex* flat = Frame0(21).packed.data;
    const PackedVertex* smooth = Frame0(22).packed.data;
    // Packed indices 3 and 5 are (0, 0, 0) in the two strips; 4 and 6 are (0, 0, 10).
    EXPECT_NE(flat[3].normalIndex, flat[6].normalIndex);
    EXPECT_EQ(smooth[3].normalIndex, smooth[6].normalIndex);
    EXPECT_EQ(smooth[4].normalIndex, smooth[7].normalIndex);
    // The flat strip faces straight up (its winding gives +y).
    EXPECT_EQ(flat[1].normalIndex, 32);
    const float* n = kNormalTable[smooth[3].normalIndex];
    EXPECT_GT(n[1], 0.8f);  // between the two faces
    EXPECT_LT(n[0], -0.2f);
    SetBuildNormals(2);
}

TEST(BuildObject, TangentsFollowTheTextureDirections) {
    SetBuildNormals(0);
    StartObject(23);
    AddVertex(0, 0, 0, 0, 0, -1);
    AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(1, 0, 0, 1, 0, 0xFFFFFF);
    AddVertex(0, 1, 0, 0, 1, 0xFFFFFF);
    EndObject();
    SetBuildNormals(2);
    MeshObjectX& mesh = runtime.scene.objects[23].meshes[0];
    ComputeNormals(mesh, false, false, true);
    const PackedVertex& p = mesh.frames[0].packed[2];
    const float* t = kNormalTable[p.tangentIndex];
    const float* b = kNormalTable[p.binormalIndex];
    EXPECT_EQ(t[0], 1.0f);   // along u
    EXPECT_EQ(b[1], -1.0f);  // along the negated v
    EXPECT_EQ(mesh.frames[0].triangleVertices[0].tangent[0], 1.0f);
}

TEST(BuildObject, VertexColoursAndColourTable) {
    StartObject(30);
    AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(1, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(0, 1, 0, 0, 0, 0xFFFFFF);
    EndObject();
    EXPECT_FALSE(Mesh(30).usesVertexColours);
    StartObject(31);
    AddVertex(0, 0, 0, 0, 0, 0x0000FF);
    AddVertex(1, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(0, 1, 0, 0, 0, 0x00FF00);
    EndObject();
    const MeshObjectX& m = Mesh(31);
    EXPECT_TRUE(m.usesVertexColours);
    ASSERT_EQ(m.colourTable.count, 4);  // the marker has an entry too
    EXPECT_EQ(m.colourTable[0], kStripMarker);
    const MeshVertex& red = m.frames[0].triangleVertices[0];
    EXPECT_EQ(red.colour, 0x0000FFu);
    EXPECT_EQ(red.rgb[0], 1.0f);
    EXPECT_EQ(red.rgb[1], 0.0f);
    EXPECT_EQ(m.colourTable[red.colourIndex], 0x0000FFu);
}

TEST(BuildObject, MoreThan256ColoursKeepTheirColours) {
    StartObject(32);
    AddVertex(0, 0, 0, 0, 0, -1);
    for (int i = 0; i < 300; ++i) {
        AddVertex(i, 0, 0, 0, 0, i);
        AddVertex(i, 1, 0, 0, 0, i);
        AddVertex(i, 0, 1, 0, 0, i);
    }
    EndObject();
    const auto& tv = Frame0(32).triangleVertices;
    ASSERT_EQ(tv.count, 900);
    EXPECT_EQ(tv[3 * 299].colour, 299u);
    EXPECT_EQ(tv[3 * 260 + 1].colour, 260u);
}

TEST(BuildObject, EmptyObjectsAndOutOfRangeNumbersDrawNothing) {
    StartObject(40);
    AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(1, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(0, 1, 0, 0, 0, 0xFFFFFF);
    EndObject();
    ASSERT_EQ(Frame0(40).triangleVertices.count, 3);
    StartObject(40);
    EndObject();  // only the marker: cleared
    EXPECT_TRUE(runtime.scene.objects[40].ready);
    EXPECT_EQ(Mesh(40).frames.count, 0);
    EXPECT_EQ(Mesh(40).drawVertices.count, 0);

    // Rejected numbers build nothing and leave the builder closed.
    StartObject(4096);
    AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
    EndObject();
    StartObject(-1);
    NewStrip();
    EXPECT_EQ(runtime.scene.buildObject, -1);
    AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);  // ignored without an open object
    EndObject();
}

TEST(BuildObject, RebuildDrawsOnlyTheNewVertices) {
    StartObject(41);
    for (int i = 0; i < 6; ++i) AddVertex(i, i % 2, 0, 0, 0, 0x123456);
    EndObject();
    StartObject(41);
    AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(1, 0, 0, 0, 0, 0xFFFFFF);
    AddVertex(0, 1, 0, 0, 0, 0xFFFFFF);
    EndObject();
    EXPECT_EQ(Mesh(41).frames.count, 1);
    EXPECT_EQ(Mesh(41).drawVertices.count, 3);
    EXPECT_FALSE(Mesh(41).usesVertexColours);
}

TEST(BuildObject, BoundingSphereEnclosesTheTriangles) {
    StartObject(42);
    AddVertex(-1, -1, 5, 0, 0, 0xFFFFFF);
    AddVertex(3, -1, 5, 0, 0, 0xFFFFFF);
    AddVertex(-1, 3, 5, 0, 0, 0xFFFFFF);
    EndObject();
    const MeshFrame& f = Frame0(42);
    EXPECT_NEAR(f.centre[0], 1.0 / 3, 1e-5);
    EXPECT_NEAR(f.centre[1], 1.0 / 3, 1e-5);
    EXPECT_NEAR(f.centre[2], 5, 1e-5);
    EXPECT_NEAR(f.radius, std::sqrt(sq(3 - 1.0 / 3) + sq(1 + 1.0 / 3)), 1e-4);
}

TEST(BuildObject, TorusStripsShareTheirVerticesExactly) {
    const int rings = 22, sides = 22;
    CreateTorus(1, 3, 10, rings, sides, 2, 2);
    const MeshFrame& f = Frame0(1);
    const int perStrip = 2 * (sides + 1) + 1;  // vertices and the closing marker
    ASSERT_EQ(f.packed.count, 1 + rings * perStrip);
    EXPECT_EQ(f.triangleVertices.count, rings * 2 * sides * 3);
    auto packedAt = [&](int strip, int j, int which) -> const PackedVertex& {
        return f.packed[1 + strip * perStrip + 2 * j + which];
    };
    // Ring i + 1 of strip i is ring i + 1 of strip i + 1 (its second column);
    // the last strip's outer ring is the first strip's inner ring (k mod rings).
    for (int i = 0; i < rings; ++i) {
        int next = (i + 1) % rings;
        for (int j = 0; j <= sides; ++j) {
            const PackedVertex& outer = packedAt(i, j, 0);
            const PackedVertex& inner = packedAt(next, j, 1);
            for (int a = 0; a < 3; ++a)
                ASSERT_EQ(outer.q[a], inner.q[a]) << "strip " << i << " step " << j;
            EXPECT_EQ(outer.normalIndex, inner.normalIndex) << "strip " << i << " step " << j;
        }
    }
    // Every expanded position recurs in a neighbouring strip.
    std::multiset<std::tuple<float, float, float>> all;
    for (const MeshVertex& v : f.triangleVertices)
        all.emplace(v.position[0], v.position[1], v.position[2]);
    float p[3];
    f.Unpack(packedAt(3, 5, 0), p);
    EXPECT_GE(all.count({p[0], p[1], p[2]}), 6u);
    // The torus lies within its radii and its sphere is centred near the origin.
    EXPECT_NEAR(f.radius, 13.0, 0.2);
    EXPECT_NEAR(f.centre[1], 0.0, 0.1);
}

TEST(ShadowEdges, CubeEdgesMeetAndTheSilhouetteRingsTheFacesAwayFromTheLight) {
    static const float c[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                                  {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    static const int faces[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6},
                                    {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
    StartObject(50);
    AddVertex(0, 0, 0, 0, 0, -1);
    for (const auto& f : faces)
        for (int i : {0, 1, 2, 0, 2, 3}) AddVertex(c[f[i]][0], c[f[i]][1], c[f[i]][2], 0, 0, 0xFFFFFF);
    EndObject();
    MeshObjectX& mesh = runtime.scene.objects[50].meshes[0];
    runtime.scene.BuildEdges(mesh);
    ASSERT_EQ(mesh.edges.count, 36);
    for (int t = 0; t < 12; ++t) {
        for (int e = 0; e < 3; ++e) {
            int u = mesh.edges[3 * t + e].neighbour;
            ASSERT_GE(u, 0) << "open edge on a closed cube";
            ASSERT_NE(u, t);
            bool back = false;
            for (int f = 0; f < 3; ++f) back |= mesh.edges[3 * u + f].neighbour == t;
            EXPECT_TRUE(back) << "triangle " << t << " edge " << e;
        }
    }
    // A light straight above: only the bottom face (triangles 10, 11) faces
    // away; its four outer edges form the silhouette, the diagonal does not.
    const float light[3] = {0, 100, 0};
    runtime.scene.MarkFacing(mesh, mesh.frames[0].triangleVertices, light);
    int marked = 0, silhouette = 0;
    for (int t = 0; t < 12; ++t) marked += mesh.facing[t];
    for (const MeshEdge& e : mesh.edges) silhouette += e.silhouette;
    EXPECT_EQ(marked, 2);
    EXPECT_TRUE(mesh.facing[10] && mesh.facing[11]);
    EXPECT_EQ(silhouette, 4);
    // Built once: a second call keeps the list.
    mesh.edges[0].neighbour = 77;
    runtime.scene.BuildEdges(mesh);
    EXPECT_EQ(mesh.edges[0].neighbour, 77);
}

TEST(SceneMath, ConeSquareRootAndHalfAngleTangent) {
    // The cone test's root is exact on even powers of two and within the
    // bit trick's 6 % elsewhere; it is an approximation, not sqrt.
    EXPECT_EQ(FastSqrt(4.0f), 2.0f);
    EXPECT_EQ(FastSqrt(0.25f), 0.5f);
    EXPECT_EQ(FastSqrt(1024.0f), 32.0f);
    bool inexact = false;
    for (float x = 0.01f; x < 1e6f; x *= 1.37f) {
        float r = FastSqrt(x);
        EXPECT_NEAR(r / std::sqrt(x), 1.0, 0.062) << x;
        inexact |= r != std::sqrt(x);
    }
    EXPECT_TRUE(inexact);
    // The polynomial tangent matches tan for half angles up to 45 degrees
    // (fields of view up to 90), the range it is made for.
    for (double deg = 0; deg <= 45; deg += 2.5) {
        double x = deg * 3.14159265358979 / 180;
        EXPECT_NEAR(TanPolynomial(static_cast<float>(x)), std::tan(x), 2e-6 * (1 + std::tan(x) * std::tan(x)))
            << deg;
    }
}

TEST(SceneRecord, ConstructionState) {
    auto scene = std::make_unique<Zadederu3D>(nullptr);
    EXPECT_EQ(scene->buildNormalsMode, 2);
    EXPECT_EQ(scene->lightMask, 0);
    EXPECT_EQ(scene->transformTop, 0);
    EXPECT_FALSE(scene->shadowVolumeMode);
    for (const ObjectSlot& slot : scene->objects) {
        ASSERT_FALSE(slot.ready || slot.ownTextures);
        ASSERT_EQ(slot.meshes.count, 0);
        ASSERT_EQ(slot.meshes.capacity, 0);
        ASSERT_EQ(slot.meshes.growth, 128);
        ASSERT_EQ(slot.meshes.initialCapacity, 512);
    }
    // Building into a scene of its own leaves the runtime's scene alone.
    scene->StartObject(7, 0);
    scene->AddVertex(0, 0, 0, 0, 0, 0xFFFFFF);
    scene->AddVertex(1, 0, 0, 0, 0, 0xFFFFFF);
    scene->AddVertex(0, 1, 0, 0, 0, 0xFFFFFF);
    scene->EndObject();
    EXPECT_EQ(scene->objects[7].meshes[0].drawVertices.count, 3);
    EXPECT_EQ(runtime.scene.objects[7].meshes.count, 0);
    EXPECT_EQ(scene->objects[7].meshes.capacity, 2);  // room for two meshes
}
