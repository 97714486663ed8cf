// Packing, normal computation, expansion and bounds of meshes.
#include <cstring>
#include <vector>

#include "gfx3d/mesh.h"
#include "gfx3d/vector3.h"
#include "lang/portable_maths.h"

namespace {

constexpr float kTiny = 1e-7f;


// Assembly modes follow the marker that started the current run.
enum class Assembly { List, Strip, Fan };

Assembly ModeOf(uint32_t marker) {
    if (marker == kListMarker) return Assembly::List;
    if (marker == kFanMarker) return Assembly::Fan;
    return Assembly::Strip;
}

uint32_t ColourOf(const MeshObject& mesh, const PackedVertex& p) {
    return p.colourIndex < static_cast<uint32_t>(mesh.colourTable.count)
               ? mesh.colourTable[static_cast<int>(p.colourIndex)]
               : 0xFFFFFFu;
}

// Walks a frame's packed vertices as the triangles their markers describe:
// after a list marker every three vertices make a triangle; after a strip
// marker (and before any marker) each vertex makes one with the two before
// it; after a fan marker, with the fan's first vertex and the one before it.
// vertex(k, colour) comes for each vertex that is not a marker, in order and
// before any triangle using it. triangle(a, b, c, swapped) gives the packed
// indices in drawing order: a strip alternates abc, cbd, cde, ... so that
// every triangle keeps the strip's facing; `swapped` marks those (the odd
// ones of a strip) whose first two corners a plain sliding window over the
// strip would give the other way round.
template <typename OnVertex, typename OnTriangle>
void WalkTriangles(const MeshObject& mesh, const MeshFrame& frame, OnVertex vertex,
                   OnTriangle triangle) {
    Assembly mode = Assembly::Strip;
    int window[3];
    int filled = 0;
    int parity = 0;
    for (int k = 0; k < frame.packed.count; ++k) {
        const uint32_t colour = ColourOf(mesh, frame.packed[k]);
        if (IsMarker(colour)) {
            mode = ModeOf(colour);
            parity = 0;
            filled = 0;
            continue;
        }
        vertex(k, colour);
        window[filled++] = k;
        if (filled < 3) continue;
        triangle(window[0], window[1], window[2], mode == Assembly::Strip && parity == 1);
        switch (mode) {
            case Assembly::List: filled = 0; break;
            case Assembly::Strip:
                // The third vertex replaces the first after an even
                // triangle, the second after an odd one.
                if (parity == 0) window[0] = window[2];
                else window[1] = window[2];
                parity ^= 1;
                filled = 2;
                break;
            case Assembly::Fan:
                window[1] = window[2];
                filled = 2;
                break;
        }
    }
}

}  // namespace

void PackMesh(MeshObject& mesh) {
    mesh.texU.Free();
    mesh.texV.Free();
    for (int f = 0; f < mesh.frames.count; ++f) {
        MeshFrame& frame = mesh.frames[f];
        frame.packed.Clear();
        float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
        bool any = false;
        for (const MeshVertex& v : frame.vertices) {
            if (IsMarker(v.colour)) continue;
            for (int a = 0; a < 3; ++a) {
                if (!any || v.position[a] < lo[a]) lo[a] = v.position[a];
                if (!any || v.position[a] > hi[a]) hi[a] = v.position[a];
            }
            any = true;
        }
        for (int a = 0; a < 3; ++a) {
            float scale = (hi[a] - lo[a]) / 255.0f;
            if (scale == 0.0f) scale = 1.0f;
            frame.quantScale[a] = scale;
            frame.quantOffset[a] = -lo[a] / scale;
        }
        int n = frame.vertices.count + 1;
        if (f == 0) {
            mesh.texU.Reserve(n);
            mesh.texV.Reserve(n);
        }
        frame.packed.Reserve(n);
        for (const MeshVertex& v : frame.vertices) {
            PackedVertex p;
            std::memset(&p, 0, sizeof p);
            int ci = 0;
            while (ci < mesh.colourTable.count && mesh.colourTable[ci] != v.colour) ++ci;
            if (ci == mesh.colourTable.count) mesh.colourTable.Append(v.colour);
            p.colourIndex = static_cast<uint32_t>(ci);
            if (!IsMarker(v.colour)) {
                float normal[3] = {v.normal[0], v.normal[1], v.normal[2]};
                Normalise(normal);
                p.normalIndex = static_cast<uint8_t>(NearestDirection(normal));
                for (int a = 0; a < 3; ++a) {
                    // A tiny tolerance absorbs the float rounding of scale and
                    // offset, so that the box's maximum packs to 255.
                    double q = static_cast<double>(v.position[a]) / frame.quantScale[a] +
                               frame.quantOffset[a];
                    // Positions that are not finite numbers pack to 0.
                    int qi = q >= 255.0 ? 255 : q > 0.0 ? static_cast<int>(q + 1e-4) : 0;
                    p.q[a] = static_cast<uint8_t>(qi > 255 ? 255 : qi);
                }
            }
            if (f == 0) {
                mesh.texU.Append(v.texCoord[0]);
                mesh.texV.Append(v.texCoord[1]);
            }
            frame.packed.Append(p);
        }
        frame.vertices.Clear();
    }
    mesh.normalsDone = 0;
}

void ComputeNormals(MeshObject& mesh, bool normals, bool smooth, bool tangents) {
    if (mesh.frames.count == 0 || mesh.frames[0].packed.count == 0) return;
    if (mesh.normalsDone) normals = false;
    const PackedVertex& first = mesh.frames[0].packed[0];
    if (first.tangentIndex != 0 || first.binormalIndex != 0) tangents = false;
    if (!normals && !tangents) return;
    mesh.normalsDone = 1;

    struct Unique {
        float normal[3];
        float tangent[3];
        float binormal[3];
        uint32_t key;
    };
    struct Corner {
        float position[3];
        float u, v;
        int unique;
    };
    for (MeshFrame& frame : mesh.frames) {
        GrowArray<Unique> unique;
        std::vector<int> uniqueOf(frame.packed.count, -1);  // per packed vertex; -1 for markers
        std::vector<Corner> corners(frame.packed.count);
        auto vertex = [&](int k, uint32_t) {
            const PackedVertex& p = frame.packed[k];
            Corner& c = corners[k];
            frame.Unpack(p, c.position);
            c.u = k < mesh.texU.count ? mesh.texU[k] : 0.0f;
            c.v = k < mesh.texV.count ? -mesh.texV[k] : 0.0f;
            uint32_t key = smooth ? (p.q[0] | (p.q[1] << 8) | (p.q[2] << 16)) : static_cast<uint32_t>(k);
            int found = -1;
            for (int i = unique.count - 1; i >= 0; --i) {
                if (unique[i].key == key) {
                    found = i;
                    break;
                }
            }
            if (found < 0) {
                Unique u{};
                u.key = key;
                unique.Append(u);
                found = unique.count - 1;
            }
            c.unique = found;
            uniqueOf[k] = found;
        };
        auto triangle = [&](int a, int b, int c, bool swapped) {
            // Corners in sliding-window order; the normal of a swapped
            // triangle is turned round to keep the strip's facing.
            const Corner* window[3] = {&corners[swapped ? b : a], &corners[swapped ? a : b],
                                       &corners[c]};
            const float* p0 = window[0]->position;
            const float* p1 = window[1]->position;
            const float* p2 = window[2]->position;
            float e1[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
            float e2[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
            if (normals) {
                float n[3];
                Cross(e1, e2, n);  // unnormalised: larger triangles weigh more
                if (swapped) {
                    n[0] = -n[0];
                    n[1] = -n[1];
                    n[2] = -n[2];
                }
                for (const Corner* corner : window)
                    for (int i = 0; i < 3; ++i) unique[corner->unique].normal[i] += n[i];
            }
            if (tangents) {
                float du1 = window[1]->u - window[0]->u, dv1 = window[1]->v - window[0]->v;
                float du2 = window[2]->u - window[0]->u, dv2 = window[2]->v - window[0]->v;
                float det = du1 * dv2 - dv1 * du2;
                // Triangles without a usable texture mapping add nothing.
                if (maths::fabs(det) > 1e-5f) {
                    float t[3], bi[3];
                    for (int i = 0; i < 3; ++i) {
                        t[i] = -(dv1 * e2[i] - dv2 * e1[i]) / det;
                        bi[i] = -(du2 * e1[i] - du1 * e2[i]) / det;
                    }
                    for (const Corner* corner : window)
                        for (int i = 0; i < 3; ++i) {
                            unique[corner->unique].tangent[i] += t[i];
                            unique[corner->unique].binormal[i] += bi[i];
                        }
                }
            }
        };
        WalkTriangles(mesh, frame, vertex, triangle);
        for (int k = 0; k < frame.packed.count; ++k) {
            int u = uniqueOf[k];
            if (u < 0) continue;
            PackedVertex& p = frame.packed[k];
            if (normals) {
                float n[3] = {unique[u].normal[0], unique[u].normal[1], unique[u].normal[2]};
                Normalise(n);
                p.normalIndex = static_cast<uint8_t>(NearestDirection(n));
            }
            if (tangents) {
                float b[3] = {unique[u].binormal[0], unique[u].binormal[1], unique[u].binormal[2]};
                float t[3] = {unique[u].tangent[0], unique[u].tangent[1], unique[u].tangent[2]};
                Normalise(b);
                Normalise(t);
                p.binormalIndex = static_cast<uint8_t>(NearestDirection(b));
                p.tangentIndex = static_cast<uint8_t>(NearestDirection(t));
            }
        }
    }
    mesh.Expand();
}

void MeshObjectX::Expand() {
    if (frames.count == 0) return;
    DropStaticBuffer();  // it holds the triangle list being replaced
    for (MeshFrame& frame : frames) {
        frame.triangleVertices.Clear();
        frame.collision.Clear();
        frame.triangleVertices.Reserve(frame.packed.count * 3);
        std::vector<MeshVertex> expanded(frame.packed.count);
        auto vertex = [&](int k, uint32_t colour) {
            const PackedVertex& p = frame.packed[k];
            MeshVertex& v = expanded[k];
            std::memset(&v, 0, sizeof v);
            frame.Unpack(p, v.position);
            std::memcpy(v.normal, kNormalTable[p.normalIndex], sizeof v.normal);
            std::memcpy(v.tangent, kNormalTable[p.tangentIndex], sizeof v.tangent);
            std::memcpy(v.binormal, kNormalTable[p.binormalIndex], sizeof v.binormal);
            v.colour = colour;
            v.colourIndex = p.colourIndex;
            v.rgb[0] = (colour & 0xFF) / 255.0f;
            v.rgb[1] = ((colour >> 8) & 0xFF) / 255.0f;
            v.rgb[2] = ((colour >> 16) & 0xFF) / 255.0f;
            v.texCoord[0] = k < texU.count ? texU[k] : 0.0f;
            v.texCoord[1] = k < texV.count ? -texV[k] : 0.0f;
        };
        auto triangle = [&](int a, int b, int c, bool) {
            frame.triangleVertices.Append(expanded[a]);
            frame.triangleVertices.Append(expanded[b]);
            frame.triangleVertices.Append(expanded[c]);
        };
        WalkTriangles(*this, frame, vertex, triangle);
    }
    drawVertices = frames[0].triangleVertices;
    usesVertexColours = 0;
    for (uint32_t c : colourTable)
        if (c != 0xFFFFFFu && !IsMarker(c)) usesVertexColours = 1;
}

void ComputeBounds(MeshObject& mesh) {
    for (MeshFrame& frame : mesh.frames) {
        const GrowArray<MeshVertex>& tv = frame.triangleVertices;
        if (tv.count == 0) {
            frame.radius = 0;
            continue;
        }
        double sum[3] = {0, 0, 0};
        for (const MeshVertex& v : tv)
            for (int a = 0; a < 3; ++a) sum[a] += v.position[a];
        for (int a = 0; a < 3; ++a) frame.centre[a] = static_cast<float>(sum[a] / tv.count);
        float radius = 0;
        for (const MeshVertex& v : tv) {
            float d[3] = {v.position[0] - frame.centre[0], v.position[1] - frame.centre[1],
                          v.position[2] - frame.centre[2]};
            float sq = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
            float dist = sq > kTiny ? maths::sqrt(sq) : 0.0f;
            if (dist > radius) radius = dist;
        }
        frame.radius = radius;
    }
}

void MeshObjectX::Clear() {
    for (MeshFrame& frame : frames) {
        frame.vertices.Clear();
        frame.triangleVertices.Clear();
        frame.packed.Clear();
    }
    frames.Clear();
    drawVertices.Clear();
    texU.Clear();
    texV.Clear();
    colourTable.Clear();
    edges.Clear();
    facing.Clear();
    normalsDone = 0;
    usesVertexColours = 0;
    ReleaseGpu();
}
