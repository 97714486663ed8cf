// Per-triangle values of the collision tests (collision.cpp), derived from a
// frame's triangle list when a test first needs them. Expansion drops them
// together with the list they came from.
#pragma once
#include "gfx3d/grow_array.h"
#include "gfx3d/vector3.h"

// What the ray test needs of a triangle T0, T1, T2 with edges e1 = T1 - T0,
// e2 = T2 - T0: its plane, and the crossing point's coordinates s (along
// e1) and r (along e2) as linear functions of the point h:
//   s = (uv (h - T0).e2 - vv (h - T0).e1) / D = sAxis.h - sOffset
//   r = (uv (h - T0).e1 - uu (h - T0).e2) / D = rAxis.h - rOffset
// with uu = e1.e1, uv = e1.e2, vv = e2.e2, D = uv^2 - uu vv.
struct RayTriangle {
    Vec3 n;             // e1 x e2
    float planeOffset;  // n.T0
    Vec3 sAxis;
    float sOffset;
    Vec3 rAxis;
    float rOffset;
};

// The plane of a triangle as the sphere test sees it.
struct TrianglePlane {
    Vec3 normal;   // (T2 - T0) x (T1 - T0), normalised when long enough
    float offset;  // normal . T0
};

struct CollisionCache {
    GrowArray<RayTriangle> rays;
    GrowArray<TrianglePlane> planes;
    void Clear() {
        rays.Clear();
        planes.Clear();
    }
};
