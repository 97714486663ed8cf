// Three-component float vectors of the 3D engine, as float[3].
#pragma once
#include "lang/portable_maths.h"

inline float Dot(const float a[3], const float b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline void Cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

inline float Length(const float v[3]) { return maths::sqrt(Dot(v, v)); }

// Scales v to unit length; a vector whose squared length is 1e-7 or less
// (nearly zero: no usable direction) is left as it is.
inline void Normalise(float v[3]) {
    const float sq = Dot(v, v);
    if (sq > 1e-7f) {
        const float len = maths::sqrt(sq);
        v[0] /= len;
        v[1] /= len;
        v[2] /= len;
    }
}

// Divides v by its length unless that is exactly 0 (the camera's rule).
inline void NormaliseUnlessZero(float v[3]) {
    const float len = Length(v);
    if (len != 0) {
        v[0] /= len;
        v[1] /= len;
        v[2] /= len;
    }
}

// A float[3] as a value, for vector arithmetic written as formulas (the
// collision tests); the operations above work on its array.
struct Vec3 {
    float v[3];
};

inline Vec3 ToVec3(const float p[3]) { return {{p[0], p[1], p[2]}}; }
inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2]}}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {{a.v[0] - b.v[0], a.v[1] - b.v[1], a.v[2] - b.v[2]}}; }
inline Vec3 operator*(const Vec3& a, float s) { return {{a.v[0] * s, a.v[1] * s, a.v[2] * s}}; }
inline float Dot(const Vec3& a, const Vec3& b) { return Dot(a.v, b.v); }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    Vec3 r;
    Cross(a.v, b.v, r.v);
    return r;
}
// Normalise's rule: nearly zero vectors stay as they are.
inline Vec3 Normalised(Vec3 a) {
    Normalise(a.v);
    return a;
}
