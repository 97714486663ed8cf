// Sphere, box and ray tests against the triangles of a mesh frame.
#include "gfx3d/collision.h"

#include "lang/portable_maths.h"

namespace {

constexpr float kTiny = 1e-7f;
// 0.99 x 2 pi: the angle sum from which a point counts as inside a polygon.
constexpr double kInsideAngleSum = 6.220353514028915;

float LengthOrZero(Vec3 v) {
    const float sq = Dot(v, v);
    return sq > kTiny ? maths::sqrt(sq) : 0.0f;
}

// The terms are computed in double from the float corners, so that thin
// triangles keep their precision.
RayTriangle PrepareRay(Vec3 t0, Vec3 t1, Vec3 t2) {
    double p0[3], e1[3], e2[3];
    for (int a = 0; a < 3; ++a) {
        p0[a] = t0.v[a];
        e1[a] = double(t1.v[a]) - t0.v[a];
        e2[a] = double(t2.v[a]) - t0.v[a];
    }
    auto dot = [](const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
    const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                         e1[0] * e2[1] - e1[1] * e2[0]};
    const double uu = dot(e1, e1), uv = dot(e1, e2), vv = dot(e2, e2);
    const double det = uv * uv - uu * vv;
    RayTriangle t{};
    t.n = {{float(n[0]), float(n[1]), float(n[2])}};
    t.planeOffset = float(dot(n, p0));
    if (det == 0) return t;  // degenerate: n = 0, and the test never gets past it
    double s[3], r[3];
    for (int a = 0; a < 3; ++a) {
        s[a] = (uv * e2[a] - vv * e1[a]) / det;
        r[a] = (uv * e1[a] - uu * e2[a]) / det;
    }
    t.sAxis = {{float(s[0]), float(s[1]), float(s[2])}};
    t.sOffset = float(dot(s, p0));
    t.rAxis = {{float(r[0]), float(r[1]), float(r[2])}};
    t.rOffset = float(dot(r, p0));
    return t;
}

TrianglePlane PreparePlane(Vec3 t0, Vec3 t1, Vec3 t2) {
    TrianglePlane p;
    p.normal = Normalised(Cross(t2 - t0, t1 - t0));
    p.offset = Dot(p.normal, t0);
    return p;
}

// The line p + t d against one triangle: t at the crossing h, 0 for none.
// h's coordinates along e1 and e2 must have s in 0..1, r >= 0, s + r <= 1.
inline float CrossingOf(const RayTriangle& t, Vec3 p, Vec3 d) {
    const float den = Dot(t.n, d);
    if (den == 0) return 0;  // parallel, or a degenerate triangle (n = 0)
    const float along = (t.planeOffset - Dot(t.n, p)) / den;
    const Vec3 h = p + d * along;
    const float s = Dot(t.sAxis, h) - t.sOffset;
    if (s < 0 || s > 1) return 0;
    const float r = Dot(t.rAxis, h) - t.rOffset;
    return r >= 0 && s + r <= 1 ? along : 0;
}

float SegmentDistanceSquared(Vec3 p, Vec3 a, Vec3 b) {
    const Vec3 ab = b - a;
    const float length = Dot(ab, ab);
    float t = length > 0 ? Dot(p - a, ab) / length : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    const Vec3 away = p - (a + ab * t);
    return Dot(away, away);
}

// The sphere test once the centre is known to lie closer than radius to the
// plane (signed distance d): the foot point inside, or an edge within reach.
bool SphereReaches(const Vec3 triangle[3], Vec3 normal, float d, Vec3 centre, float radius) {
    if (PointInPolygon(centre - normal * d, triangle, 3)) return true;
    const float reach = radius * radius;
    for (int i = 0; i < 3; ++i)
        if (SegmentDistanceSquared(centre, triangle[i], triangle[(i + 1) % 3]) < reach) return true;
    return false;
}

// The frame a test may use: in range and with at least one triangle.
MeshFrame* TestFrame(MeshObject& mesh, int frame) {
    if (frame < 0 || frame >= mesh.frames.count) return nullptr;
    MeshFrame& f = mesh.frames[frame];
    return f.triangleVertices.count > 2 ? &f : nullptr;
}

void TriangleAt(const MeshFrame& frame, int i, Vec3 out[3]) {
    for (int k = 0; k < 3; ++k) out[k] = ToVec3(frame.triangleVertices[3 * i + k].position);
}

// The per-triangle values, built on first use after each expansion.
const CollisionCache& CacheOf(MeshFrame& frame) {
    CollisionCache& cache = frame.collision;
    const int triangles = frame.triangleVertices.count / 3;
    if (cache.rays.count == triangles && cache.planes.count == triangles) return cache;
    cache.Clear();
    cache.rays.Reserve(triangles);
    cache.planes.Reserve(triangles);
    for (int i = 0; i < triangles; ++i) {
        Vec3 t[3];
        TriangleAt(frame, i, t);
        cache.rays.Append(PrepareRay(t[0], t[1], t[2]));
        cache.planes.Append(PreparePlane(t[0], t[1], t[2]));
    }
    return cache;
}

// Whether the line o + s u (any s) passes within the frame's bounding sphere.
// Computed in double with a margin, so that rounding never hides a hit.
bool LineNearSphere(const MeshFrame& frame, Vec3 o, Vec3 u) {
    double w[3], d[3];
    for (int a = 0; a < 3; ++a) {
        w[a] = static_cast<double>(frame.centre[a]) - o.v[a];
        d[a] = u.v[a];
    }
    const double dd = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    if (!(dd > 0)) return true;
    const double s = (w[0] * d[0] + w[1] * d[1] + w[2] * d[2]) / dd;
    double off = 0, ww = 0;
    for (int a = 0; a < 3; ++a) {
        const double e = w[a] - d[a] * s;
        off += e * e;
        ww += w[a] * w[a];
    }
    const double reach = frame.radius + 1e-4 * (frame.radius + maths::sqrt(ww)) + 1e-6;
    return off <= reach * reach;
}

}  // namespace

Vec3 Placement::PointToObject(Vec3 p) const {
    return DirectionToObject({{p.v[0] - m[12], p.v[1] - m[13], p.v[2] - m[14]}});
}

Vec3 Placement::DirectionToObject(Vec3 u) const {
    // R^T u: row i of R^T is column i of M.
    return {{Dot(m, u.v), Dot(m + 4, u.v), Dot(m + 8, u.v)}};
}

bool PointInPolygon(Vec3 q, const Vec3* vertices, int count) {
    float sum = 0;
    for (int i = 0; i < count; ++i) {
        const Vec3 a = vertices[i] - q;
        const Vec3 b = vertices[(i + 1) % count] - q;
        const float lengths = LengthOrZero(a) * LengthOrZero(b);
        if (lengths <= 1e-8f) continue;
        // Rounding can carry the cosine of a straight angle just past -1.
        float cosine = Dot(a, b) / lengths;
        cosine = cosine < -1 ? -1 : cosine > 1 ? 1 : cosine;
        sum += maths::acos(cosine);
    }
    return sum >= kInsideAngleSum;
}

bool SphereHitsTriangle(const Vec3 triangle[3], Vec3 centre, float radius) {
    const TrianglePlane plane = PreparePlane(triangle[0], triangle[1], triangle[2]);
    const float d = Dot(plane.normal, centre) - plane.offset;
    if (maths::fabs(d) >= radius) return false;
    return SphereReaches(triangle, plane.normal, d, centre, radius);
}

bool BoxHitsTriangle(Vec3 centre, Vec3 a1, Vec3 a2, Vec3 a3, const Vec3 triangle[3]) {
    const Vec3 edges[3] = {triangle[1] - triangle[0], triangle[2] - triangle[1],
                           triangle[0] - triangle[2]};
    const Vec3 halfAxes[3] = {a1, a2, a3};
    Vec3 axes[13] = {a1, a2, a3, Cross(edges[0], triangle[2] - triangle[0])};
    int n = 4;
    for (const Vec3& a : halfAxes)
        for (const Vec3& e : edges) axes[n++] = Cross(a, e);
    for (const Vec3& L : axes) {
        const float reach = maths::fabs(Dot(L, a1)) + maths::fabs(Dot(L, a2)) + maths::fabs(Dot(L, a3));
        const float c = Dot(L, centre);
        float lo = Dot(L, triangle[0]), hi = lo;
        for (int k = 1; k < 3; ++k) {
            const float p = Dot(L, triangle[k]);
            lo = p < lo ? p : lo;
            hi = p > hi ? p : hi;
        }
        if (lo > c + reach || hi < c - reach) return false;
    }
    return true;
}

float SegmentHitsTriangle(const Vec3 triangle[3], Vec3 p, Vec3 q) {
    return CrossingOf(PrepareRay(triangle[0], triangle[1], triangle[2]), p, q - p);
}

float NearerRayHit(float best, float candidate) {
    if (candidate == 0) return best;
    if (best == 0) return candidate;
    if (candidate > 0) return best < 0 || candidate < best ? candidate : best;
    return best < 0 && candidate > best ? candidate : best;
}

bool SphereHitsMesh(MeshObject& mesh, int frame, float radius, Vec3 centre, const Placement& place) {
    MeshFrame* f = TestFrame(mesh, frame);
    if (!f) return false;
    const Vec3 k = place.PointToObject(centre);
    const Vec3 fromCentre = k - ToVec3(f->centre);
    const float reach = radius + f->radius;
    if (reach * reach < Dot(fromCentre, fromCentre)) return false;
    const Vec3 toFirst = ToVec3(f->triangleVertices[0].position) - k;
    if (radius * radius >= Dot(toFirst, toFirst)) return true;

    const CollisionCache& cache = CacheOf(*f);
    for (int i = 0; i < cache.planes.count; ++i) {
        const TrianglePlane& plane = cache.planes[i];
        const float d = Dot(plane.normal, k) - plane.offset;
        if (maths::fabs(d) >= radius) continue;
        Vec3 t[3];
        TriangleAt(*f, i, t);
        if (SphereReaches(t, plane.normal, d, k, radius)) return true;
    }
    return false;
}

bool BoxHitsMesh(MeshObject& mesh, int frame, Vec3 centre, Vec3 a1, Vec3 a2, Vec3 a3,
                 const Placement& place) {
    MeshFrame* f = TestFrame(mesh, frame);
    if (!f) return false;
    const Vec3 c = place.PointToObject(centre);
    const Vec3 b1 = place.PointToObject(centre + a1) - c;
    const Vec3 b2 = place.PointToObject(centre + a2) - c;
    const Vec3 b3 = place.PointToObject(centre + a3) - c;
    // Far apart when the box's bounding sphere (half its diagonal) and the
    // frame's do not meet.
    const Vec3 fromCentre = c - ToVec3(f->centre);
    const Vec3 corner = b1 + b2 + b3;
    const float reach = f->radius + maths::sqrt(Dot(corner, corner));
    if (Dot(fromCentre, fromCentre) > reach * reach) return false;
    const int triangles = f->triangleVertices.count / 3;
    for (int i = 0; i < triangles; ++i) {
        Vec3 t[3];
        TriangleAt(*f, i, t);
        if (BoxHitsTriangle(c, b1, b2, b3, t)) return true;
    }
    return false;
}

float RayHitsMesh(MeshObject& mesh, int frame, Vec3 origin, Vec3 direction, const Placement& place) {
    MeshFrame* f = TestFrame(mesh, frame);
    if (!f) return 0;
    const Vec3 o = place.PointToObject(origin);
    const Vec3 u = place.DirectionToObject(Normalised(direction));
    if (!LineNearSphere(*f, o, u)) return 0;
    const CollisionCache& cache = CacheOf(*f);
    float front = 0, behind = 0;  // nearest hit on either side
    for (const RayTriangle& t : cache.rays) {
        const float along = CrossingOf(t, o, u);
        if (along > 0) {
            if (front == 0 || along < front) front = along;
        } else if (along < 0) {
            if (behind == 0 || along > behind) behind = along;
        }
    }
    return front != 0 ? front : behind;
}
