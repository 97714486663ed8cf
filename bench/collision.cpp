// Collision and object files on a 20 000-triangle object (a bumpy sphere
// of 100 strips), each beside a peer in the same run (medians of 9
// interleaved repetitions, then their ratios):
// - CollideRay beside a plain loop of Moller-Trumbore tests over the same
//   triangles (packed 9 floats each), both finding the nearest hit in front
//   and behind (goal: CollideRay at least 0.8 x the loop's queries per
//   second);
// - CollideSphere beside a plain loop of closest-point sphere tests that
//   stops at the first hit, for the same spheres;
// - LoadObjectFile of the object's packed file (read, expand, bounds), in MB
//   of file per second, beside ReadObjectFile alone (the reader without the
//   expansion into drawable triangles) and the floor of reading the file.
#include <benchmark/benchmark.h>
#include <brindle.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/runtime_state.h"
#include "gfx3d/object_file.h"
#include "median_reporter.h"

namespace {

constexpr int kObject = 7, kLoaded = 8;
constexpr int kQueries = 1024;

struct Query {
    float p[3];
    float d[3];  // unit direction (rays)
    float r;     // radius (spheres)
};

struct Scene {
    std::vector<float> triangles;  // 9 floats per triangle
    std::vector<Query> rays, spheres;
    std::string file;
    long fileSize = 0;
};

const Scene& TheScene() {
    static const Scene scene = [] {
        Scene s;
        const int rings = 100, sides = 100;
        const double pi = 3.14159265358979323846;
        SetBuildNormals(0);
        StartObject(kObject);
        for (int i = 0; i < rings; ++i) {
            for (int j = 0; j <= sides; ++j)
                for (int k : {i + 1, i}) {
                    const double lat = pi * k / rings - pi / 2, lon = 2 * pi * j / sides;
                    const double r = 10 + 0.6 * std::sin(7 * lat) * std::cos(5 * lon);
                    AddVertex(r * std::cos(lat) * std::cos(lon), r * std::sin(lat),
                              -r * std::cos(lat) * std::sin(lon), 0, 0, 0xFFFFFF);
                }
            NewStrip();
        }
        EndObject();
        const MeshFrame& f = runtime.scene.objects[kObject].meshes[0].frames[0];
        for (const MeshVertex& v : f.triangleVertices) s.triangles.insert(s.triangles.end(), v.position, v.position + 3);

        std::mt19937 rng(5);
        std::uniform_real_distribution<float> u(-1, 1);
        auto unit = [&] {
            float v[3];
            float len;
            do {
                for (float& c : v) c = u(rng);
                len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            } while (len < 0.1f || len > 1);
            return std::vector<float>{v[0] / len, v[1] / len, v[2] / len};
        };
        for (int q = 0; q < kQueries; ++q) {
            // Rays from 30 units out through a point within 8 of the centre;
            // spheres of radius 0.5 within 11 of the centre (about half hit).
            Query ray{};
            const std::vector<float> from = unit(), to = unit();
            float d[3], len = 0;
            for (int a = 0; a < 3; ++a) {
                ray.p[a] = 30 * from[a];
                d[a] = 8 * u(rng) * to[a] - ray.p[a];
                len += d[a] * d[a];
            }
            for (int a = 0; a < 3; ++a) ray.d[a] = d[a] / std::sqrt(len);
            s.rays.push_back(ray);
            Query sphere{};
            const std::vector<float> at = unit();
            const float dist = 9 + 2 * (u(rng) + 1) / 2;
            for (int a = 0; a < 3; ++a) sphere.p[a] = dist * at[a];
            sphere.r = 0.5f;
            s.spheres.push_back(sphere);
        }

        s.file = (std::filesystem::temp_directory_path() / "brindle-bench-object.obj").string();
        SaveObject(s.file.c_str(), kObject);
        s.fileSize = static_cast<long>(std::filesystem::file_size(s.file));
        return s;
    }();
    return scene;
}

// Moller-Trumbore: the nearest hit in front (else behind) of the origin.
float PlainRay(const std::vector<float>& tris, const float o[3], const float d[3]) {
    float front = 0, behind = 0;
    for (size_t i = 0; i < tris.size(); i += 9) {
        const float* v0 = &tris[i];
        const float e1[3] = {tris[i + 3] - v0[0], tris[i + 4] - v0[1], tris[i + 5] - v0[2]};
        const float e2[3] = {tris[i + 6] - v0[0], tris[i + 7] - v0[1], tris[i + 8] - v0[2]};
        const float p[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2], d[0] * e2[1] - d[1] * e2[0]};
        const float det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
        if (std::fabs(det) < 1e-12f) continue;
        const float inv = 1 / det;
        const float s[3] = {o[0] - v0[0], o[1] - v0[1], o[2] - v0[2]};
        const float bu = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) * inv;
        if (bu < 0 || bu > 1) continue;
        const float q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2], s[0] * e1[1] - s[1] * e1[0]};
        const float bv = (d[0] * q[0] + d[1] * q[1] + d[2] * q[2]) * inv;
        if (bv < 0 || bu + bv > 1) continue;
        const float t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) * inv;
        if (t > 0 && (front == 0 || t < front)) front = t;
        if (t < 0 && (behind == 0 || t > behind)) behind = t;
    }
    return front != 0 ? front : behind;
}

// Closest point of a triangle to p (the region test of Ericson's Real-Time
// Collision Detection), squared distance.
float DistanceSquared(const float* a, const float* b, const float* c, const float* p) {
    auto sub = [](const float* x, const float* y, float* out) {
        for (int k = 0; k < 3; ++k) out[k] = x[k] - y[k];
    };
    auto dot = [](const float* x, const float* y) { return x[0] * y[0] + x[1] * y[1] + x[2] * y[2]; };
    float ab[3], ac[3], ap[3], bp[3], cp[3], q[3];
    sub(b, a, ab);
    sub(c, a, ac);
    sub(p, a, ap);
    auto result = [&](float u, float v, float w) {
        for (int k = 0; k < 3; ++k) q[k] = u * a[k] + v * b[k] + w * c[k] - p[k];
        return dot(q, q);
    };
    const float d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return result(1, 0, 0);
    sub(p, b, bp);
    const float d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return result(0, 1, 0);
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) {
        const float v = d1 / (d1 - d3);
        return result(1 - v, v, 0);
    }
    sub(p, c, cp);
    const float d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return result(0, 0, 1);
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) {
        const float w = d2 / (d2 - d6);
        return result(1 - w, 0, w);
    }
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        const float w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
        return result(0, 1 - w, w);
    }
    const float denom = 1 / (va + vb + vc);
    const float v = vb * denom, w = vc * denom;
    return result(1 - v - w, v, w);
}

bool PlainSphere(const std::vector<float>& tris, const float p[3], float r) {
    for (size_t i = 0; i < tris.size(); i += 9)
        if (DistanceSquared(&tris[i], &tris[i + 3], &tris[i + 6], p) < r * r) return true;
    return false;
}

void CollideRayQueries(benchmark::State& state) {
    const Scene& s = TheScene();
    size_t q = 0, hits = 0;
    for (auto _ : state) {
        const Query& r = s.rays[q++ % s.rays.size()];
        const double d = CollideRay(kObject, 0, r.p[0], r.p[1], r.p[2], r.d[0], r.d[1], r.d[2]);
        hits += d != 0;
        benchmark::DoNotOptimize(d);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.counters["hit%"] = 100.0 * static_cast<double>(hits) / static_cast<double>(state.iterations());
}

void PlainMollerTrumboreLoop(benchmark::State& state) {
    const Scene& s = TheScene();
    size_t q = 0;
    for (auto _ : state) {
        const Query& r = s.rays[q++ % s.rays.size()];
        benchmark::DoNotOptimize(PlainRay(s.triangles, r.p, r.d));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void CollideSphereQueries(benchmark::State& state) {
    const Scene& s = TheScene();
    size_t q = 0, hits = 0;
    for (auto _ : state) {
        const Query& b = s.spheres[q++ % s.spheres.size()];
        const double hit = CollideSphere(kObject, 0, b.r, b.p[0], b.p[1], b.p[2]);
        hits += hit != 0;
        benchmark::DoNotOptimize(hit);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.counters["hit%"] = 100.0 * static_cast<double>(hits) / static_cast<double>(state.iterations());
}

void PlainClosestPointLoop(benchmark::State& state) {
    const Scene& s = TheScene();
    size_t q = 0;
    for (auto _ : state) {
        const Query& b = s.spheres[q++ % s.spheres.size()];
        benchmark::DoNotOptimize(PlainSphere(s.triangles, b.p, b.r));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void LoadPackedObject(benchmark::State& state) {
    const Scene& s = TheScene();
    for (auto _ : state) {
        if (runtime.scene.LoadObjectFile(kLoaded, s.file.c_str()) != 1) state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * s.fileSize);
}

void ReadPackedObjectOnly(benchmark::State& state) {
    const Scene& s = TheScene();
    MeshObjectX mesh;
    for (auto _ : state) {
        if (!ReadObjectFile(mesh, s.file.c_str())) state.SkipWithError("read failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * s.fileSize);
}

void ReadFileFloor(benchmark::State& state) {
    const Scene& s = TheScene();
    std::vector<char> bytes(static_cast<size_t>(s.fileSize));
    for (auto _ : state) {
        std::FILE* f = std::fopen(s.file.c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * s.fileSize);
}

BENCHMARK(CollideRayQueries)->Repetitions(9);
BENCHMARK(PlainMollerTrumboreLoop)->Repetitions(9);
BENCHMARK(CollideSphereQueries)->Repetitions(9);
BENCHMARK(PlainClosestPointLoop)->Repetitions(9);
BENCHMARK(LoadPackedObject)->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadPackedObjectOnly)->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFileFloor)->Repetitions(9)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    TheScene();  // built before any timing
    InitializeInterleaved(argc, argv);
    MedianReporter reporter({"items_per_second", "bytes_per_second"});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& m = reporter.medians;
    const double ray = m["CollideRayQueries"], mt = m["PlainMollerTrumboreLoop"];
    if (ray > 0 && mt > 0)
        std::printf("rays on 20000 triangles, queries/s medians: CollideRay %.0f, plain Moller-Trumbore %.0f"
                    "\n  CollideRay / plain = %.2f (goal: at least 0.8)\n",
                    ray, mt, ray / mt);
    const double sphere = m["CollideSphereQueries"], closest = m["PlainClosestPointLoop"];
    if (sphere > 0 && closest > 0)
        std::printf("spheres on 20000 triangles, queries/s medians: CollideSphere %.0f, plain closest point %.0f"
                    "\n  CollideSphere / plain = %.2f, CollideSphere / plain Moller-Trumbore rays = %.2f\n",
                    sphere, closest, sphere / closest, mt > 0 ? sphere / mt : 0.0);
    const double load = m["LoadPackedObject"], parse = m["ReadPackedObjectOnly"], read = m["ReadFileFloor"];
    if (load > 0 && parse > 0 && read > 0)
        std::printf("packed object file of %ld bytes: LoadObjectFile %.1f MB/s, ReadObjectFile alone %.1f MB/s,"
                    " reading the file %.1f MB/s\n",
                    TheScene().fileSize, load / 1e6, parse / 1e6, read / 1e6);
    std::filesystem::remove(TheScene().file);
    benchmark::Shutdown();
    return 0;
}
