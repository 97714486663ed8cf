// Collision of spheres, boxes and rays with the triangles of one frame of a
// mesh. Queries arrive in world units and move into the object's own
// coordinates with the rigid inverse of its placement; a bounding-sphere test
// rejects far queries before any triangle is looked at.
#pragma once
#include "gfx3d/mesh.h"
#include "gfx3d/vector3.h"

// The placement of an object: its model matrix M (column-major, as GL keeps
// it) with 3x3 part R and translation t. Points move into object space as
// R^T (p - t), directions as R^T u: exact for rotations and translations;
// scaled placements give distorted results.
struct Placement {
    float m[16];
    Vec3 PointToObject(Vec3 p) const;
    Vec3 DirectionToObject(Vec3 u) const;
};

// One triangle at a time (the mesh tests run the same code on the values
// they keep per triangle).
// q inside the polygon: the angles that consecutive vertices subtend at q
// add up to at least 0.99 x 2 pi.
bool PointInPolygon(Vec3 q, const Vec3* vertices, int count);
// The sphere reaches the triangle: its centre lies less than radius from the
// plane, and its foot point is inside or an edge is nearer than radius.
bool SphereHitsTriangle(const Vec3 triangle[3], Vec3 centre, float radius);
// Separating axes between the box (centre and three half-axes) and the
// triangle: the half-axes, the triangle's normal and their nine cross
// products with the edges. True when none separates.
bool BoxHitsTriangle(Vec3 centre, Vec3 a1, Vec3 a2, Vec3 a3, const Vec3 triangle[3]);
// Where the line through p and q crosses the triangle, as a multiple t of
// q - p from p (negative behind p); 0 when it misses or runs parallel.
float SegmentHitsTriangle(const Vec3 triangle[3], Vec3 p, Vec3 q);

// A mesh's frame against a query in world units. A frame out of range or
// with fewer than 3 triangle vertices is a miss (0 for rays).
bool SphereHitsMesh(MeshObject& mesh, int frame, float radius, Vec3 centre, const Placement& place);
bool BoxHitsMesh(MeshObject& mesh, int frame, Vec3 centre, Vec3 a1, Vec3 a2, Vec3 a3,
                 const Placement& place);
// Distance along the normalised direction to the nearest hit in front of the
// origin, else the negative distance to the nearest hit behind it, else 0.
float RayHitsMesh(MeshObject& mesh, int frame, Vec3 origin, Vec3 direction, const Placement& place);

// Combines the distances of several meshes the way RayHitsMesh combines
// triangles: the smallest positive, else the negative one closest to 0.
float NearerRayHit(float best, float candidate);
