// What loading does with a mesh that was read (expansion, bounds), then one
// sphere, box and ray query against its first frame.
#pragma once
#include "gfx3d/collision.h"
#include "gfx3d/mesh.h"

inline void QueryLoadedMesh(MeshObjectX& mesh) {
    if (mesh.frames.count == 0 || mesh.frames[0].packed.count == 0) return;
    mesh.Expand();
    ComputeBounds(mesh);
    const Placement place = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    const MeshFrame& f = mesh.frames[0];
    const Vec3 centre = {f.centre[0], f.centre[1], f.centre[2]};
    SphereHitsMesh(mesh, 0, 0.5f * f.radius + 0.01f, centre + Vec3{0.3f, 0, 0}, place);
    BoxHitsMesh(mesh, 0, centre, {0.5f, 0, 0}, {0, 0.5f, 0}, {0, 0, 0.5f}, place);
    RayHitsMesh(mesh, 0, centre + Vec3{0, 0, 2 * f.radius + 1}, {0.1f, 0.2f, -1}, place);
}
