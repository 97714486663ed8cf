// 3D objects and lights: a cube built from code, turning in the middle, and
// a small cube circling it, lit by a coloured point light that circles too
// (marked by a point) and by a dim head light. Escape ends the example.
#include <brindle.h>

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Example: 3D Objects"};

namespace {
const double kCube = 1;  // object numbers 0 ... 4095

// One face of a cube of size 2 around the origin: the face's normal n and
// two directions u and v along it with u x v = n. The four corners go in
// as one triangle strip, counter-clockwise seen from outside.
void Face(double nx, double ny, double nz, double ux, double uy, double uz, double vx, double vy,
          double vz, double colour) {
    AddVertex(nx - ux - vx, ny - uy - vy, nz - uz - vz, 0, 0, colour);
    AddVertex(nx + ux - vx, ny + uy - vy, nz + uz - vz, 1, 0, colour);
    AddVertex(nx - ux + vx, ny - uy + vy, nz - uz + vz, 0, 1, colour);
    AddVertex(nx + ux + vx, ny + uy + vy, nz + uz + vz, 1, 1, colour);
    NewStrip();
}

void BuildCube(double object) {
    SetBuildNormals(1);  // one normal per face: flat, sharp edges
    StartObject(object);
    Face(1, 0, 0, 0, 1, 0, 0, 0, 1, 0x3030FF);   // +x red
    Face(-1, 0, 0, 0, 0, 1, 0, 1, 0, 0x30FFFF);  // -x yellow
    Face(0, 1, 0, 0, 0, 1, 1, 0, 0, 0x30FF30);   // +y green
    Face(0, -1, 0, 1, 0, 0, 0, 0, 1, 0xFF30FF);  // -y magenta
    Face(0, 0, 1, 1, 0, 0, 0, 1, 0, 0xFF3030);   // +z blue
    Face(0, 0, -1, 0, 1, 0, 1, 0, 0, 0xFFFF30);  // -z cyan
    EndObject();
}
}  // namespace

void GameMain() {
    double width, height;
    GetScreenSize(width, height);
    BuildCube(kCube);
    double angle = 0;
    for (;;) {
        angle = angle + FrameDuration() / 20;
        FillRect(0, 0, width - 1, height - 1, 0x201010);

        Enter3DMode(1, 200, 45);          // near and far planes, field of view
        SetCamera(0, 4, 14, 0, 0, 0);     // eye, then the point looked at
        SetCulling(1);                    // hide the faces turned away
        SetTexture(-1, -1);               // vertex colours only
        SetHeadLight(0, 0x606060);        // a light along the view
        double lx = 6 * Sin(angle * 2), lz = 6 * Cos(angle * 2);
        SetLight(1, 0xA0FFFF, lx, 3, lz, 0, 0, 0, 100);  // a point light
        DrawPoint3D(lx, 3, lz, 0xC0FFFF, 8);

        // The big cube: at the origin, turned about two axes. Translation
        // and scale come first: setting either drops the level's rotations.
        PushTransform();
        SetScale(1.5, 1.5, 1.5);
        AddRotation(angle, 0, 1, 0);
        AddRotation(angle / 2, 1, 0, 0);
        DrawObject(kCube, 0);
        PopTransform();

        // The small cube: placed on a circle, turning the other way.
        PushTransform();
        SetTranslation(5 * Cos(angle), 0, 5 * Sin(angle));
        SetScale(0.5, 0.5, 0.5);
        AddRotation(-angle * 3, 0, 1, 0);
        DrawObject(kCube, 0);
        PopTransform();
        Leave3DMode();

        PrintText("3D objects and lights", 8, 8);
        ShowFrame();
    }
}
