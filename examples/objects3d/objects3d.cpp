// 3D objects, lights, collision and picking: a cube built from code,
// turning in the middle, and a small cube circling it, lit by a coloured
// point light that circles too (marked by a point) and by a dim head light.
// Both cubes cast shadows from that light onto the ground below them
// (stencil shadow volumes). A probe (a ball of radius 0.4, drawn as a point) slides left and right
// through the big cube: it turns red while it touches the cube's faces. The
// object under the mouse pointer is named. Escape ends the example.
#include <brindle.h>

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Example: 3D Objects"};

namespace {
const double kCube = 1, kSmallCube = 2, kGround = 3;  // object numbers 0 ... 4095
const double kGroundY = -3.5;
const double kProbeRadius = 0.4;

// One face of a cube of half-size s around the origin: the face's normal n
// and two directions u and v along it with u x v = n. The four corners go
// in as one triangle strip, counter-clockwise seen from outside.
void Face(double s, double nx, double ny, double nz, double ux, double uy, double uz, double vx,
          double vy, double vz, double colour) {
    AddVertex(s * (nx - ux - vx), s * (ny - uy - vy), s * (nz - uz - vz), 0, 0, colour);
    AddVertex(s * (nx + ux - vx), s * (ny + uy - vy), s * (nz + uz - vz), 1, 0, colour);
    AddVertex(s * (nx - ux + vx), s * (ny - uy + vy), s * (nz - uz + vz), 0, 1, colour);
    AddVertex(s * (nx + ux + vx), s * (ny + uy + vy), s * (nz + uz + vz), 1, 1, colour);
    NewStrip();
}

// The cubes are built at their size rather than scaled when drawn: the
// collision commands take the placement as turns and moves only.
void BuildCube(double object, double s) {
    SetBuildNormals(1);  // one normal per face: flat, sharp edges
    StartObject(object);
    Face(s, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0x3030FF);   // +x red
    Face(s, -1, 0, 0, 0, 0, 1, 0, 1, 0, 0x30FFFF);  // -x yellow
    Face(s, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0x30FF30);   // +y green
    Face(s, 0, -1, 0, 1, 0, 0, 0, 0, 1, 0xFF30FF);  // -y magenta
    Face(s, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0xFF3030);   // +z blue
    Face(s, 0, 0, -1, 0, 1, 0, 1, 0, 0, 0xFFFF30);  // -z cyan
    EndObject();
}

// A green square of half-size s in the plane y = kGroundY, its front
// (counter-clockwise) face up.
void BuildGround(double object, double s) {
    SetBuildNormals(1);
    StartObject(object);
    AddVertex(-s, kGroundY, -s, 0, 0, 0x60A060);
    AddVertex(-s, kGroundY, s, 0, 1, 0x60A060);
    AddVertex(s, kGroundY, -s, 1, 0, 0x60A060);
    AddVertex(s, kGroundY, s, 1, 1, 0x60A060);
    EndObject();
}

// Where each cube is this frame (on a level of the transform stack that
// the caller pushed): drawing, collision and picking all use it.
void PlaceCube(double object, double angle) {
    if (object == kCube) {
        AddRotation(angle, 0, 1, 0);
        AddRotation(angle / 2, 1, 0, 0);
    } else {
        SetTranslation(5 * Cos(angle), 0, 5 * Sin(angle));
        AddRotation(-angle * 3, 0, 1, 0);
    }
}
}  // namespace

void GameMain() {
    double width, height;
    GetScreenSize(width, height);
    BuildCube(kCube, 1.5);
    BuildCube(kSmallCube, 0.5);
    BuildGround(kGround, 9);
    SetMouseFree(1);  // the pointer follows the system cursor
    double angle = 0, mouseX, mouseY, left, right;
    for (;;) {
        angle = angle + FrameDuration() / 20;
        ReadMouse(mouseX, mouseY, left, right);
        FillRect(0, 0, width - 1, height - 1, 0x201010);

        Enter3DMode(1, 200, 45);          // near and far planes, field of view
        SetCamera(0, 4, 14, 0, 0, 0);     // eye, then the point looked at
        SetCulling(-1);  // counter-clockwise faces are the front: hide the others
        SetTexture(-1, -1);               // vertex colours only
        SetHeadLight(0, 0x606060);        // a light along the view
        double lx = 6 * Sin(angle * 2), lz = 6 * Cos(angle * 2);
        SetLight(1, 0xA0FFFF, lx, 5, lz, 0, 0, 0, 100);  // a point light
        DrawPoint3D(lx, 5, lz, 0xC0FFFF, 8);
        DrawObject(kGround, 0);

        // Picking: the pointer's line of sight runs from its point on the
        // near plane (depth 0) to its point on the far plane (depth 1).
        double nearX, nearY, nearZ, farX, farY, farZ;
        ScreenToWorld(mouseX, mouseY, 0, nearX, nearY, nearZ);
        ScreenToWorld(mouseX, mouseY, 1, farX, farY, farZ);
        // The probe, and where it is on the screen for its label.
        double probeX = 4.5 * Sin(angle * 0.8), probeScreenX, probeScreenY, probeDepth;
        WorldToScreen(probeX, 0, 0, probeScreenX, probeScreenY, probeDepth);

        RtString picked = "nothing";
        double nearest = 0, touching = 0;
        for (double object = kCube; object <= kSmallCube; object = object + 1) {
            PushTransform();
            PlaceCube(object, angle);
            DrawObject(object, 0);
            // How far along the line of sight the cube is hit (0: missed).
            double hit = CollideRay(object, 0, nearX, nearY, nearZ, farX - nearX, farY - nearY,
                                    farZ - nearZ);
            if (hit > 0 && (nearest == 0 || hit < nearest)) {
                nearest = hit;
                picked = object == kCube ? "the big cube" : "the small cube";
            }
            if (object == kCube) touching = CollideSphere(kCube, 0, kProbeRadius, probeX, 0, 0);
            PopTransform();
        }
        DrawPoint3D(probeX, 0, 0, touching != 0 ? 0x0000FF : 0x00FF00, 16);

        // Shadows, after everything else in 3D: while the shadow light
        // (index -3) is on, drawing an object only marks the pixels in its
        // shadow; switching it off again darkens them. So the cubes are drawn
        // once more, at the same places.
        SetLight(-3, 0xFFFFFF, lx, 5, lz, 0, 0, 0, 1);
        for (double object = kCube; object <= kSmallCube; object = object + 1) {
            PushTransform();
            PlaceCube(object, angle);
            DrawObject(object, 0);
            PopTransform();
        }
        SetLight(-3, 0xFFFFFF, lx, 5, lz, 0, 0, 0, 0);
        Leave3DMode();

        PrintText("3D objects and lights", 8, 8);
        PrintText(touching != 0 ? "Probe touches the big cube" : "Probe is free", 8, 30);
        PrintText(RtString("Under the mouse: ") + picked, 8, 50);
        if (touching != 0) PrintText("touch!", probeScreenX + 12, probeScreenY - 20);
        ShowFrame();
    }
}
