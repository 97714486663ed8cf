// Collision and picking: object tests placed by the transform stack, window
// coordinates of 3D points and back, and the markers that show each test
// when the debug trace is on.
#include <brindle/gfx3d.h>


#include "core/runtime_state.h"
#include "gfx2d/opengl_zadederu.h"
#include "gfx3d/collision.h"
#include "gfx3d/command_args.h"
#include "lang/portable_maths.h"
#include "platform/gl.h"

namespace {

// 4 x 4 matrices in GL's column-major order: element (row, column) at
// [column * 4 + row].
struct Matrix {
    double m[16];

    static Matrix Identity() {
        Matrix r{};
        r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1;
        return r;
    }
    Matrix operator*(const Matrix& b) const {
        Matrix r{};
        for (int c = 0; c < 4; ++c)
            for (int row = 0; row < 4; ++row) {
                double sum = 0;
                for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * b.m[c * 4 + k];
                r.m[c * 4 + row] = sum;
            }
        return r;
    }
    void Apply(const double v[4], double out[4]) const {
        for (int row = 0; row < 4; ++row)
            out[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    }
};

Matrix Translation(const float t[3]) {
    Matrix r = Matrix::Identity();
    for (int a = 0; a < 3; ++a) r.m[12 + a] = t[a];
    return r;
}

Matrix Scaling(const float s[3]) {
    Matrix r = Matrix::Identity();
    for (int a = 0; a < 3; ++a) r.m[5 * a] = s[a];
    return r;
}

// A rotation of angle degrees about an axis, as glRotate builds it (an axis
// too short to normalise gives no rotation).
Matrix Rotation(const float rotation[4]) {
    double x = rotation[1], y = rotation[2], z = rotation[3];
    const double length = maths::sqrt(x * x + y * y + z * z);
    if (length <= 1e-4) return Matrix::Identity();
    x /= length;
    y /= length;
    z /= length;
    const double radians = rotation[0] * (3.14159265358979323846 / 180.0);
    const double c = maths::cos(radians), s = maths::sin(radians), k = 1 - c;
    Matrix r = Matrix::Identity();
    r.m[0] = x * x * k + c;
    r.m[1] = y * x * k + z * s;
    r.m[2] = x * z * k - y * s;
    r.m[4] = x * y * k - z * s;
    r.m[5] = y * y * k + c;
    r.m[6] = y * z * k + x * s;
    r.m[8] = x * z * k + y * s;
    r.m[9] = y * z * k - x * s;
    r.m[10] = z * z * k + c;
    return r;
}

// The inverse by cofactors; a singular matrix gives the identity.
Matrix Inverse(const Matrix& a) {
    const double* m = a.m;
    Matrix r;
    double* inv = r.m;
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] +
             m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
             m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] +
             m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
              m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
             m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] +
             m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] -
             m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] +
              m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] +
             m[5] * m[3] * m[14] + m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] -
             m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] +
              m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] -
              m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] -
             m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] +
             m[4] * m[3] * m[10] + m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] -
              m[4] * m[3] * m[9] - m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] +
              m[4] * m[2] * m[9] + m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0) return Matrix::Identity();
    for (double& v : r.m) v /= det;
    return r;
}

// Projection times model-view as GL holds them now, and the viewport.
Matrix ProjectionTimesModelView(int viewport[4]) {
    Matrix projection, modelView;
    glGetDoublev(GL_PROJECTION_MATRIX, projection.m);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView.m);
    glGetIntegerv(GL_VIEWPORT, viewport);
    return projection * modelView;
}

// Marker colours: red in the low byte.
constexpr int kGreen = 0x00FF00;
constexpr int kRed = 0x0000FF;
constexpr int kWhite = 0xFFFFFF;

void MarkerColour(bool hit) {
    if (hit) {
        glColor3ub(255, 0, 0);
        glLineWidth(1);
    } else {
        glColor3ub(0, 255, 0);
        glLineWidth(5);
    }
}

// Lines of the markers: colour material on, blending and texturing off.
template <typename Draw>
void DrawMarkerLines(Draw draw) {
    const GLboolean textured = glIsEnabled(GL_TEXTURE_2D);
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_BLEND);
    if (textured) glDisable(GL_TEXTURE_2D);
    runtime.renderer.glState.BeforeDraw();
    draw();
    if (textured) glEnable(GL_TEXTURE_2D);
    glLineWidth(1);
    glColor3f(1, 1, 1);
}

Zadederu3D& Scene() { return runtime.scene; }
Vec3 Point(double x, double y, double z) { return {{Float(x), Float(y), Float(z)}}; }

}  // namespace

Placement Zadederu3D::ObjectPlacement() const {
    Matrix m = Matrix::Identity();
    for (int i = 0; i <= transformTop; ++i) {
        const TransformEntry& e = transformStack[i];
        m = m * Translation(e.translation);
        for (int r = e.rotationCount - 1; r >= 0; --r) m = m * Rotation(e.rotations[r]);
        m = m * Scaling(e.scale);
    }
    Placement place;
    for (int k = 0; k < 16; ++k) place.m[k] = static_cast<float>(m.m[k]);
    return place;
}

bool Zadederu3D::SphereHitsSlot(int object, int frame, float radius, Vec3 centre) {
    ObjectSlot* slot = Slot(object);
    if (!slot) return false;
    const Placement place = ObjectPlacement();
    for (MeshObjectX& mesh : slot->meshes)
        if (SphereHitsMesh(mesh, frame, radius, centre, place)) return true;
    return false;
}

bool Zadederu3D::BoxHitsSlot(int object, int frame, Vec3 centre, Vec3 a1, Vec3 a2, Vec3 a3) {
    ObjectSlot* slot = Slot(object);
    if (!slot) return false;
    const Placement place = ObjectPlacement();
    for (MeshObjectX& mesh : slot->meshes)
        if (BoxHitsMesh(mesh, frame, centre, a1, a2, a3, place)) return true;
    return false;
}

float Zadederu3D::RayHitsSlot(int object, int frame, Vec3 origin, Vec3 direction) {
    ObjectSlot* slot = Slot(object);
    if (!slot) return 0;
    const Placement place = ObjectPlacement();
    float best = 0;
    for (MeshObjectX& mesh : slot->meshes)
        best = NearerRayHit(best, RayHitsMesh(mesh, frame, origin, direction, place));
    return best;
}

bool Zadederu3D::ProjectPoint(const float point[3], double out[3]) const {
    int viewport[4];
    const Matrix a = ProjectionTimesModelView(viewport);
    const double v[4] = {point[0], point[1], point[2], 1};
    double clip[4];
    a.Apply(v, clip);
    if (clip[3] == 0) return false;
    const double x0 = viewport[0], y0 = viewport[1], width = viewport[2], height = viewport[3];
    out[0] = x0 + (clip[0] / clip[3] + 1) * width * 0.5;
    // GL counts rows from the bottom of the screen: flipped against the
    // screen's height, not the viewport's, so that a viewport away from the
    // bottom edge gives the same window rows as a full one.
    out[1] = renderer->screenHeight - (y0 + height * (clip[1] / clip[3] + 1) * 0.5);
    out[2] = (clip[2] / clip[3] + 1) * 0.5;
    return true;
}

bool Zadederu3D::UnprojectPoint(double wx, double wy, double depth, double out[3]) const {
    int viewport[4];
    const Matrix inverse = Inverse(ProjectionTimesModelView(viewport));
    const double v[4] = {2 * (wx - viewport[0]) / viewport[2] - 1,
                         2 * (wy - viewport[1]) / viewport[3] - 1, 2 * depth - 1, 1};
    double r[4];
    inverse.Apply(v, r);
    if (r[3] == 0) return false;
    for (int a = 0; a < 3; ++a) out[a] = r[a] / r[3];
    return true;
}

void Zadederu3D::DrawWireSphere(Vec3 centre, float radius) {
    // An icosahedron whose faces are split once at their edges' midpoints,
    // pushed out onto the unit sphere.
    constexpr float X = 0.525731f, Z = 0.850651f;
    static const Vec3 vertices[12] = {{-X, 0, Z}, {X, 0, Z},  {-X, 0, -Z}, {X, 0, -Z},
                                      {0, Z, X},  {0, Z, -X}, {0, -Z, X},  {0, -Z, -X},
                                      {Z, X, 0},  {-Z, X, 0}, {Z, -X, 0},  {-Z, -X, 0}};
    static const int faces[20][3] = {{0, 4, 1},  {0, 9, 4},  {9, 5, 4},  {4, 5, 8},  {4, 8, 1},
                                     {8, 10, 1}, {8, 3, 10}, {5, 3, 8},  {5, 2, 3},  {2, 7, 3},
                                     {7, 10, 3}, {7, 6, 10}, {7, 11, 6}, {11, 0, 6}, {0, 1, 6},
                                     {6, 1, 10}, {9, 0, 11}, {9, 11, 2}, {9, 2, 5},  {7, 2, 11}};
    auto onSphere = [](Vec3 v) { return Normalised(v); };
    auto loop = [&](Vec3 a, Vec3 b, Vec3 c) {
        glBegin(GL_LINE_LOOP);
        for (Vec3 v : {a, b, c}) {
            const Vec3 p = centre + v * radius;
            glVertex3fv(p.v);
        }
        glEnd();
    };
    DrawMarkerLines([&] {
        for (const int* f : faces) {
            const Vec3 a = vertices[f[0]], b = vertices[f[1]], c = vertices[f[2]];
            const Vec3 ab = onSphere(a + b), bc = onSphere(b + c), ca = onSphere(c + a);
            loop(a, ab, ca);
            loop(b, bc, ab);
            loop(c, ca, bc);
            loop(ab, bc, ca);
        }
    });
}

void Zadederu3D::DrawWireBox(Vec3 centre, Vec3 a1, Vec3 a2, Vec3 a3) {
    // Corner i takes +a1, +a2, +a3 for its bits 0, 1, 2 set; an edge joins two
    // corners that differ in one bit.
    Vec3 corners[8];
    for (int i = 0; i < 8; ++i)
        corners[i] = centre + a1 * (i & 1 ? 1.0f : -1.0f) + a2 * (i & 2 ? 1.0f : -1.0f) +
                     a3 * (i & 4 ? 1.0f : -1.0f);
    DrawMarkerLines([&] {
        glBegin(GL_LINES);
        for (int i = 0; i < 8; ++i)
            for (int bit = 1; bit < 8; bit <<= 1)
                if (!(i & bit)) {
                    glVertex3fv(corners[i].v);
                    glVertex3fv(corners[i | bit].v);
                }
        glEnd();
    });
}

double CollideSphere(double object, double frame, double radius, double x, double y, double z) {
    const Vec3 centre = Point(x, y, z);
    const bool hit = Scene().SphereHitsSlot(TruncSaturated(object), TruncSaturated(frame), Float(radius), centre);
    if (runtime.debugTrace) {
        MarkerColour(hit);
        Scene().DrawWireSphere(centre, Float(radius));
    }
    return hit ? 1 : 0;
}

double CollideBox(double object, double frame, double x, double y, double z, double width,
                  double height) {
    const Vec3 centre = Point(x, y, z);
    const Vec3 a1 = {Float(width) / 2, 0, 0}, a2 = {0, Float(height) / 2, 0}, a3 = {0, 0, Float(width) / 2};
    const bool hit = Scene().BoxHitsSlot(TruncSaturated(object), TruncSaturated(frame), centre, a1, a2, a3);
    if (runtime.debugTrace) {
        MarkerColour(hit);
        Scene().DrawWireBox(centre, a1, a2, a3);
    }
    return hit ? 1 : 0;
}

double CollideRay(double object, double frame, double x, double y, double z, double dirX,
                  double dirY, double dirZ) {
    const Vec3 origin = Point(x, y, z), direction = Point(dirX, dirY, dirZ);
    const float distance = Scene().RayHitsSlot(TruncSaturated(object), TruncSaturated(frame), origin, direction);
    if (runtime.debugTrace) {
        // The line ends at the hit (1000 units out for none), whatever the
        // length of the direction given.
        const Vec3 unit = Normalised(direction);
        const Vec3 end = origin + unit * (distance != 0 ? distance : 1000.0f);
        if (distance > 0) Scene().DrawLine3D(origin.v, end.v, kGreen, 5);
        else if (distance < 0) Scene().DrawLine3D(origin.v, end.v, kWhite, 5);
        else Scene().DrawLine3D(origin.v, end.v, kRed, 1);
    }
    return distance;
}

void WorldToScreen(double x, double y, double z, double& screenX, double& screenY, double& depth) {
    const float point[3] = {Float(x), Float(y), Float(z)};
    double out[3];
    if (!Scene().ProjectPoint(point, out)) return;
    screenX = out[0];
    screenY = out[1];
    depth = out[2];
}

void ScreenToWorld(double screenX, double screenY, double depth, double& x, double& y, double& z) {
    double out[3];
    const double wy = Scene().renderer->screenHeight - 1 - static_cast<double>(Float(screenY));
    if (!Scene().UnprojectPoint(Float(screenX), wy, Float(depth), out)) return;
    x = out[0];
    y = out[1];
    z = out[2];
}
