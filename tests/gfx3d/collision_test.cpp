// Collision against independent references: a plain Moller-Trumbore ray
// test, a brute-force point-triangle distance and a clipped triangle for
// boxes; the placement by the transform stack; the documented cases.
#include <brindle.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "core/runtime_state.h"
#include "gfx3d/collision.h"

namespace {

struct D3 {
    double x, y, z;
};
D3 operator-(D3 a, D3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3 operator+(D3 a, D3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
D3 operator*(D3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(D3 a, D3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3 Cross(D3 a, D3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
D3 D(Vec3 v) { return {v.v[0], v.v[1], v.v[2]}; }
Vec3 F(D3 v) { return {{static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)}}; }

// Moller-Trumbore in double, hits on either side of the origin.
struct MtHit {
    bool valid;     // not parallel
    double t, u, v;
};
MtHit MollerTrumbore(const D3 tri[3], D3 o, D3 d) {
    const D3 e1 = tri[1] - tri[0], e2 = tri[2] - tri[0];
    const D3 p = Cross(d, e2);
    const double det = Dot(e1, p);
    if (std::fabs(det) < 1e-3) return {false, 0, 0, 0};
    const D3 s = o - tri[0];
    const D3 q = Cross(s, e1);
    return {true, Dot(e2, q) / det, Dot(s, p) / det, Dot(d, q) / det};
}
// How far inside (positive) or outside the triangle the crossing lies.
double Inside(const MtHit& h) { return std::min({h.u, h.v, 1 - h.u - h.v}); }

// The distance from p to the triangle, as the least over a grid of points.
double BruteDistance(const D3 tri[3], D3 p) {
    const int n = 60;
    double best = 1e300;
    for (int i = 0; i <= n; ++i)
        for (int j = 0; i + j <= n; ++j) {
            const D3 q = tri[0] + (tri[1] - tri[0]) * (double(i) / n) + (tri[2] - tri[0]) * (double(j) / n);
            best = std::min(best, std::sqrt(Dot(p - q, p - q)));
        }
    return best;
}
double LongestEdge(const D3 t[3]) {
    double e = 0;
    for (int i = 0; i < 3; ++i) e = std::max(e, std::sqrt(Dot(t[(i + 1) % 3] - t[i], t[(i + 1) % 3] - t[i])));
    return e;
}

// Whether anything of the triangle lies in the box |x|, |y|, |z| <= h
// (box coordinates): the triangle clipped by the six faces keeps a point.
bool ClippedTriangleRemains(std::vector<D3> poly, D3 h) {
    for (int axis = 0; axis < 3; ++axis)
        for (double sign : {1.0, -1.0}) {
            auto dist = [&](D3 p) {
                const double c = axis == 0 ? p.x : axis == 1 ? p.y : p.z;
                const double limit = axis == 0 ? h.x : axis == 1 ? h.y : h.z;
                return limit - sign * c;  // >= 0 inside
            };
            std::vector<D3> out;
            for (size_t i = 0; i < poly.size(); ++i) {
                const D3 a = poly[i], b = poly[(i + 1) % poly.size()];
                const double da = dist(a), db = dist(b);
                if (da >= 0) out.push_back(a);
                if ((da >= 0) != (db >= 0)) out.push_back(a + (b - a) * (da / (da - db)));
            }
            poly = out;
            if (poly.empty()) return false;
        }
    return true;
}

D3 RandomUnit(std::mt19937& rng) {
    std::normal_distribution<double> n;
    D3 v{n(rng), n(rng), n(rng)};
    return v * (1 / std::sqrt(Dot(v, v)));
}

// A rotation about a unit axis by angle degrees (Rodrigues), in double.
D3 Rotate(D3 v, D3 axis, double degrees) {
    const double a = degrees * 3.14159265358979323846 / 180, c = std::cos(a), s = std::sin(a);
    return v * c + Cross(axis, v) * s + axis * (Dot(axis, v) * (1 - c));
}

void ResetPlacement() {
    while (runtime.scene.transformTop > 0) PopTransform();
    SetTranslation(0, 0, 0);
    SetScale(1, 1, 1);
}

// Builds a triangle list from positions; returns the triangles as stored
// (quantised), which the references then use.
std::vector<std::array<D3, 3>> BuildTriangles(int object, const std::vector<D3>& corners) {
    StartObject(object);
    AddVertex(0, 0, 0, 0, 0, -1);
    for (const D3& c : corners) AddVertex(c.x, c.y, c.z, 0, 0, 0xFFFFFF);
    EndObject();
    std::vector<std::array<D3, 3>> stored;
    const MeshFrame& f = runtime.scene.objects[object].meshes[0].frames[0];
    for (int i = 0; i + 2 < f.triangleVertices.count; i += 3) {
        std::array<D3, 3> t;
        for (int k = 0; k < 3; ++k) t[k] = D(ToVec3(f.triangleVertices[i + k].position));
        stored.push_back(t);
    }
    return stored;
}

// Closed cube of side 1 centred on the origin, optionally moved by a map.
template <typename Map>
void BuildCube(int object, Map map) {
    static const double c[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                                   {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    static const int faces[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6},
                                    {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
    std::vector<D3> corners;
    for (const auto& f : faces)
        for (int i : {0, 1, 2, 0, 2, 3}) corners.push_back(map(D3{c[f[i]][0] / 2, c[f[i]][1] / 2, c[f[i]][2] / 2}));
    BuildTriangles(object, corners);
}
void BuildCube(int object) {
    BuildCube(object, [](D3 v) { return v; });
}

class Collision : public ::testing::Test {
protected:
    void SetUp() override {
        runtime.debugTrace = 0;
        ResetPlacement();
    }
    std::mt19937 rng{19};
    double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
    D3 Point(double r) { return {Uniform(-r, r), Uniform(-r, r), Uniform(-r, r)}; }
};

}  // namespace

TEST_F(Collision, TriangleTestsMatchIndependentReferences) {
    int hits = 0, misses = 0, near = 0, far = 0, boxHits = 0, boxMisses = 0;
    for (int n = 0; n < 3000; ++n) {
        D3 tri[3] = {Point(1), Point(1), Point(1)};
        const Vec3 t[3] = {F(tri[0]), F(tri[1]), F(tri[2])};
        for (D3& v : tri) v = D(F(v));  // compare on the same float corners

        // Rays from around the triangle towards points near it, in or out.
        const D3 o = Point(3);
        const double u = Uniform(-0.3, 1.1), v = Uniform(-0.3, 1.1);
        const D3 target = tri[0] + (tri[1] - tri[0]) * u + (tri[2] - tri[0]) * v;
        const D3 unit = (target - o) * (1 / std::sqrt(Dot(target - o, target - o)));
        const MtHit mt = MollerTrumbore(tri, o, unit);
        const float t0 = SegmentHitsTriangle(t, F(o), F(o + unit));
        if (mt.valid && Inside(mt) > 1e-3) {
            EXPECT_NEAR(t0, mt.t, 1e-3 * (1 + std::fabs(mt.t))) << n;
            ++hits;
        } else if (mt.valid && Inside(mt) < -1e-3) {
            EXPECT_EQ(t0, 0.0f) << n;
            ++misses;
        }

        // The sphere test's inside check takes points up to about 0.8 % of an
        // edge outside the triangle for inside ones (0.99 x 2 pi).
        if (n < 600) {
            const D3 c = Point(1.5);
            const double r = Uniform(0.05, 1.5), dist = BruteDistance(tri, c);
            const double band = 0.02 * LongestEdge(tri) + 1e-3;
            const bool hit = SphereHitsTriangle(t, F(c), static_cast<float>(r));
            if (dist < r - band) {
                EXPECT_TRUE(hit) << n;
                ++near;
            } else if (dist > r + band) {
                EXPECT_FALSE(hit) << n;
                ++far;
            }
        }

        // A turned box: the triangle in box coordinates, clipped by a box a
        // little larger and a little smaller than the tested one.
        const D3 centre = Point(1), h{Uniform(0.05, 0.8), Uniform(0.05, 0.8), Uniform(0.05, 0.8)};
        const D3 axis = RandomUnit(rng);
        const double turn = Uniform(0, 360);
        auto toBox = [&](D3 v) { return Rotate(v - centre, axis, -turn); };
        const Vec3 a1 = F(Rotate({h.x, 0, 0}, axis, turn)), a2 = F(Rotate({0, h.y, 0}, axis, turn)),
                   a3 = F(Rotate({0, 0, h.z}, axis, turn));
        const std::vector<D3> inBox = {toBox(tri[0]), toBox(tri[1]), toBox(tri[2])};
        const bool hit = BoxHitsTriangle(F(centre), a1, a2, a3, t);
        if (ClippedTriangleRemains(inBox, h * 0.999)) {
            EXPECT_TRUE(hit) << n;
            ++boxHits;
        } else if (!ClippedTriangleRemains(inBox, h * 1.001)) {
            EXPECT_FALSE(hit) << n;
            ++boxMisses;
        }
    }
    // Every kind of outcome was compared many times.
    EXPECT_GT(hits, 500);
    EXPECT_GT(misses, 500);
    EXPECT_GT(near, 50);
    EXPECT_GT(far, 100);
    EXPECT_GT(boxHits, 300);
    EXPECT_GT(boxMisses, 300);
}

TEST_F(Collision, ObjectQueriesMatchTheReferencesOverAllTriangles) {
    std::vector<D3> corners;
    for (int i = 0; i < 3 * 40; ++i) corners.push_back(Point(2));
    const auto tris = BuildTriangles(50, corners);
    ASSERT_EQ(tris.size(), 40u);
    int compared = 0;
    for (int n = 0; n < 250; ++n) {
        // Rays: the nearest hit in front, else the nearest behind.
        const D3 o = Point(4), d = RandomUnit(rng);
        double front = 0, behind = 0;
        bool clear = true;
        for (const auto& t : tris) {
            // Rays grazing an edge or running along a triangle are left out.
            const MtHit h = MollerTrumbore(t.data(), o, d);
            if (!h.valid || std::fabs(Inside(h)) < 1e-3 || std::fabs(h.t) < 1e-3) {
                clear = false;
                break;
            }
            if (Inside(h) < 0) continue;
            if (h.t > 0 && (front == 0 || h.t < front)) front = h.t;
            if (h.t < 0 && (behind == 0 || h.t > behind)) behind = h.t;
        }
        // Direction of any length: the distance is along the unit direction.
        const double got = CollideRay(50, 0, o.x, o.y, o.z, 3 * d.x, 3 * d.y, 3 * d.z);
        if (clear) {
            EXPECT_NEAR(got, front != 0 ? front : behind, 1e-3) << n;
            ++compared;
        }

        // Spheres and upright boxes.
        const D3 c = Point(3);
        const double r = Uniform(0.05, 1.5);
        // The grid overestimates by up to 1/60 of an edge, the inside check
        // reaches about 0.8 % of an edge past it.
        double upper = 1e300, lower = 1e300;
        for (const auto& t : tris) {
            // Triangles whose bounding sphere stays clear of the sphere's
            // reach cannot decide anything.
            const D3 g = (t[0] + t[1] + t[2]) * (1.0 / 3);
            double spread = 0;
            for (const D3& v : t) spread = std::max(spread, std::sqrt(Dot(v - g, v - g)));
            if (std::sqrt(Dot(c - g, c - g)) - spread > r + 0.1) continue;
            const double dist = BruteDistance(t.data(), c);
            upper = std::min(upper, dist);
            lower = std::min(lower, dist - 0.03 * LongestEdge(t.data()));
        }
        if (upper < r - 0.01) EXPECT_EQ(CollideSphere(50, 0, r, c.x, c.y, c.z), 1) << n;
        if (lower > r + 0.01) EXPECT_EQ(CollideSphere(50, 0, r, c.x, c.y, c.z), 0) << n;
        const D3 h{r, Uniform(0.05, 1.5), r};
        bool inside = false, outside = true;
        for (const auto& t : tris) {
            const std::vector<D3> poly = {t[0] - c, t[1] - c, t[2] - c};
            inside |= ClippedTriangleRemains(poly, h * 0.999);
            outside &= !ClippedTriangleRemains(poly, h * 1.001);
        }
        if (inside || outside) EXPECT_EQ(CollideBox(50, 0, c.x, c.y, c.z, 2 * h.x, 2 * h.y), inside ? 1 : 0) << n;
    }
    EXPECT_GT(compared, 180);
}

TEST_F(Collision, DocumentedCases) {
    BuildCube(51);
    const MeshFrame& f = runtime.scene.objects[51].meshes[0].frames[0];
    const Vec3 first = ToVec3(f.triangleVertices[0].position), second = ToVec3(f.triangleVertices[1].position);
    // A sphere that reaches the first vertex hits; the same sphere at another
    // corner only touches the plane (|d| = r) and misses.
    EXPECT_EQ(CollideSphere(51, 0, 0.25, first.v[0], first.v[1], first.v[2] + 0.25f), 1);
    EXPECT_EQ(CollideSphere(51, 0, 0.25, second.v[0], second.v[1], second.v[2] + 0.25f), 0);
    EXPECT_EQ(CollideSphere(51, 0, 0.2501, second.v[0], second.v[1], second.v[2] + 0.25f), 1);

    // Rays from outside, inside and away from the closed cube.
    const struct {
        double o[3], d[3], distance;
    } rays[] = {{{0.1, 0.2, -5}, {0, 0, 1}, 4.5},  {{0.1, 0.2, 0}, {0, 0, 1}, 0.5},
                {{0.1, 0.2, -5}, {0, 0, -1}, -4.5}, {{0.1, 0.2, -5}, {0, 0, 7}, 4.5},
                {{3, 3, -5}, {0, 0, 1}, 0},         {{0.1, 0.2, -5}, {0, 0, 0}, 0}};
    for (const auto& r : rays)
        EXPECT_NEAR(CollideRay(51, 0, r.o[0], r.o[1], r.o[2], r.d[0], r.d[1], r.d[2]), r.distance, 1e-5)
            << r.o[2] << " " << r.d[2];

    // Frames out of range, empty and unknown slots: misses.
    for (int frame : {1, -1}) {
        EXPECT_EQ(CollideSphere(51, frame, 5, 0, 0, 0), 0);
        EXPECT_EQ(CollideBox(51, frame, 0, 0, 0, 5, 5), 0);
        EXPECT_EQ(CollideRay(51, frame, 0, 0, -5, 0, 0, 1), 0);
    }
    for (double object : {4093.0, -1.0, 4096.0}) {
        EXPECT_EQ(CollideSphere(object, 0, 5, 0, 0, 0), 0);
        EXPECT_EQ(CollideBox(object, 0, 0, 0, 0, 5, 5), 0);
        EXPECT_EQ(CollideRay(object, 0, 0, 0, -5, 0, 0, 1), 0);
    }

    // The box reject compares centre distance with the sum of both bounding
    // radii: this box overlaps a corner of the cube although its distance
    // exceeds the root of the sum of their squares.
    EXPECT_EQ(CollideBox(51, 0, 0.75, 0.75, 0.75, 1, 1), 1);
    EXPECT_EQ(CollideBox(51, 0, 1.01, 1.01, 1.01, 1, 1), 0);

    // Several meshes: the nearest hit in front over all of them, else the
    // nearest behind.
    ObjectSlot& slot = runtime.scene.objects[51];
    MeshObjectX& moved = slot.meshes.Emplace(slot.meshes[0]);
    for (MeshVertex& v : moved.frames[0].triangleVertices) v.position[2] += 3;
    moved.frames[0].centre[2] += 3;
    moved.frames[0].collision.Clear();
    EXPECT_NEAR(CollideRay(51, 0, 0.1, 0.2, -5, 0, 0, 1), 4.5, 1e-5);
    EXPECT_NEAR(CollideRay(51, 0, 0.1, 0.2, 1.5, 0, 0, 1), 1.0, 1e-5);
    EXPECT_NEAR(CollideRay(51, 0, 0.1, 0.2, 10, 0, 0, 1), -6.5, 1e-5);
    EXPECT_EQ(CollideSphere(51, 0, 0.1, 0, 0, 3.5), 1);
    slot.meshes.Truncate(1);
}

TEST_F(Collision, PlacedObjectEqualsObjectBuiltInPlace) {
    // Object 52 placed by two levels of the stack, object 53 built where
    // those levels put it: both answer queries made in the cube's own
    // coordinates and placed the same way. Object 53's corners are quantised
    // to 1/255 of its larger box (truncated), hence its wider tolerance.
    const D3 axis = RandomUnit(rng);
    auto place = [&](D3 v) {
        v = Rotate(v, {0, 1, 0}, 25) + D3{0.5, 0, 0};                       // level 1
        return Rotate(Rotate(v, axis, 40), {1, 0, 0}, -70) + D3{5, -2, 7};  // level 0
    };
    BuildCube(52);
    BuildCube(53, place);
    auto usePlacement = [&](int object) {
        ResetPlacement();
        if (object != 52) return;
        SetTranslation(5, -2, 7);
        AddRotation(40, axis.x, axis.y, axis.z);
        AddRotation(-70, 1, 0, 0);
        PushTransform();
        SetTranslation(0.5, 0, 0);
        AddRotation(25, 0, 1, 0);
    };
    for (int n = 0; n < 200; ++n) {
        // A ray from outside towards a point inside: the near face (slabs).
        const D3 o = RandomUnit(rng) * 3, d = Point(0.3) - o, u = d * (1 / std::sqrt(Dot(d, d)));
        double nearFace = -1e300;
        const double oc[3] = {o.x, o.y, o.z}, uc[3] = {u.x, u.y, u.z};
        for (int i = 0; i < 3; ++i)
            nearFace = std::max(nearFace, std::min((-0.5 - oc[i]) / uc[i], (0.5 - oc[i]) / uc[i]));
        // A sphere, and a small box, against the distance to the surface.
        const D3 c = Point(1.2);
        const D3 a{std::fabs(c.x), std::fabs(c.y), std::fabs(c.z)};
        const D3 out{std::max(a.x - 0.5, 0.0), std::max(a.y - 0.5, 0.0), std::max(a.z - 0.5, 0.0)};
        const double surface = Dot(out, out) > 0 ? std::sqrt(Dot(out, out)) : 0.5 - std::max({a.x, a.y, a.z});
        const double r = Uniform(0.05, 0.6);
        const D3 wo = place(o), wd = place(o + d) - wo, wc = place(c);
        for (int object : {52, 53}) {
            const double tolerance = object == 52 ? 1e-4 : 0.02;
            usePlacement(object);
            EXPECT_NEAR(CollideRay(object, 0, wo.x, wo.y, wo.z, wd.x, wd.y, wd.z), nearFace, tolerance) << n;
            if (std::fabs(surface - r) > tolerance)
                EXPECT_EQ(CollideSphere(object, 0, r, wc.x, wc.y, wc.z), surface < r ? 1 : 0) << n;
            // Half-size 0.05: touching when nearer than 0.05, apart beyond the
            // half diagonal (0.087).
            if (surface < 0.05 - tolerance || surface > 0.087 + tolerance)
                EXPECT_EQ(CollideBox(object, 0, wc.x, wc.y, wc.z, 0.1, 0.1), surface < 0.05 ? 1 : 0) << n;
        }
    }
    ResetPlacement();
}
