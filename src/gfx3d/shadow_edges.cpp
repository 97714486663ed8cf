// Stencil-shadow bookkeeping: the neighbour across each triangle edge and,
// per draw, which triangles face away from the light and which edges form
// the silhouette.
#include <cmath>
#include <unordered_map>
#include <vector>

#include "gfx3d/zadederu3d.h"

void Zadederu3D::BuildEdges(MeshObjectX& mesh) {
    if (!mesh.edges.Empty() || mesh.frames.count == 0) return;
    const MeshFrame& frame = mesh.frames[0];
    int triangles = frame.triangleVertices.count / 3;
    mesh.edges.Reserve(3 * triangles);
    for (int i = 0; i < 3 * triangles; ++i) mesh.edges.Append(MeshEdge{-1, 0});

    // A vertex's identity is the first packed vertex at its position. The
    // expanded positions are unpacked from the same bytes, so the bytes
    // find that vertex without a search per corner.
    std::unordered_map<uint32_t, int> firstAt;
    std::vector<float> unpacked;
    for (int k = 0; k < frame.packed.count; ++k) {
        const PackedVertex& p = frame.packed[k];
        uint32_t key = p.q[0] | p.q[1] << 8 | p.q[2] << 16;
        firstAt.emplace(key, k);
    }
    auto identity = [&](const MeshVertex& v) {
        int q[3];
        for (int a = 0; a < 3; ++a) {
            float f = v.position[a] / frame.quantScale[a] + frame.quantOffset[a];
            q[a] = f < 0 ? 0 : f > 255 ? 255 : static_cast<int>(f + 0.5f);
        }
        auto it = firstAt.find(static_cast<uint32_t>(q[0] | q[1] << 8 | q[2] << 16));
        if (it == firstAt.end()) return -1;
        float back[3];
        frame.Unpack(frame.packed[it->second], back);
        for (int a = 0; a < 3; ++a)
            if (std::abs(back[a] - v.position[a]) > 1e-5f) return -1;
        return it->second;
    };
    std::vector<int> ids(static_cast<size_t>(3 * triangles));
    for (int i = 0; i < 3 * triangles; ++i) ids[i] = identity(frame.triangleVertices[i]);

    // Edges by their unordered pair of identities, in triangle order.
    auto edgeKey = [&](int t, int e) {
        uint32_t a = static_cast<uint32_t>(ids[3 * t + e]);
        uint32_t b = static_cast<uint32_t>(ids[3 * t + (e + 1) % 3]);
        if (a > b) std::swap(a, b);
        return static_cast<uint64_t>(a) << 32 | b;
    };
    std::unordered_map<uint64_t, std::vector<int>> byKey;
    for (int t = 0; t < triangles; ++t)
        for (int e = 0; e < 3; ++e) byKey[edgeKey(t, e)].push_back(3 * t + e);
    for (int t = 0; t + 1 < triangles; ++t) {
        for (int e = 0; e < 3; ++e) {
            if (mesh.edges[3 * t + e].neighbour != -1) continue;
            for (int other : byKey[edgeKey(t, e)]) {
                int u = other / 3;
                if (u <= t) continue;
                mesh.edges[3 * t + e].neighbour = u;
                mesh.edges[other].neighbour = t;
            }
        }
    }
}

void Zadederu3D::MarkFacing(MeshObjectX& mesh, const GrowArray<MeshVertex>& triangles,
                            const float light[3]) {
    int count = triangles.count / 3;
    if (count > mesh.edges.count / 3) count = mesh.edges.count / 3;
    mesh.facing.Clear();
    mesh.facing.Reserve(count);
    for (int t = 0; t < count; ++t) {
        const float* a = triangles[3 * t].position;
        const float* b = triangles[3 * t + 1].position;
        const float* c = triangles[3 * t + 2].position;
        float u[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
        float v[3] = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
        float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        mesh.facing.Append(n[0] * light[0] + n[1] * light[1] + n[2] * light[2] > 0 ? 1 : 0);
    }
    for (int t = 0; t < count; ++t) {
        for (int e = 0; e < 3; ++e) {
            MeshEdge& edge = mesh.edges[3 * t + e];
            int nb = edge.neighbour;
            edge.silhouette = mesh.facing[t] && (nb < 0 || nb >= count || !mesh.facing[nb]);
        }
    }
}
