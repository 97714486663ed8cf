// The scene's commands: projection, camera, culling, transform stack,
// lights, fog and the immediate-mode helpers.
#include <brindle/gfx3d.h>

#include "core/runtime_state.h"
#include "gfx2d/opengl_zadederu.h"
#include "gfx3d/command_args.h"
#include "gfx3d/scene_links.h"
#include "platform/gl.h"

namespace {
Zadederu3D& Scene() { return runtime.scene; }
void Store3(float* v, double x, double y, double z) {
    v[0] = Float(x);
    v[1] = Float(y);
    v[2] = Float(z);
}

float ClampWidth(double v) {
    float w = Float(v);
    if (!(w >= 1)) return 1;  // also NaN
    return w > 512 ? 512 : w;
}
}  // namespace

void Enter3DMode(double nearPlane, double farPlane, double fieldOfView) {
    Scene().Enter3D(Float(nearPlane), Float(farPlane), Float(fieldOfView));
    runtime.cullModeSetting = 0;
    Scene().SetCullMode(0);
    Scene().lightMask = 0;
    Scene().effectEnabled = false;
}

void Leave3DMode() {
    Scene().SetShadowVolumeMode(false);
    Scene().renderer->SetViewport2D(0, 0, 0, 0);
}

void SetCamera(double x, double y, double z, double targetX, double targetY, double targetZ) {
    const float eye[3] = {Float(x), Float(y), Float(z)};
    const float target[3] = {Float(targetX), Float(targetY), Float(targetZ)};
    Scene().SetCamera(eye, target);
}

void SetCameraUp(double x, double y, double z) {
    const float up[3] = {Float(x), Float(y), Float(z)};
    Scene().SetCameraUp(up);
}

void SetCulling(double mode) {
    int m = mode == 0 ? 0 : mode > 0 ? 1 : -1;
    runtime.cullModeSetting = m;
    Scene().SetCullMode(m);
}

void AddRotation(double angle, double x, double y, double z) {
    TransformEntry& e = Scene().CurrentTransform();
    if (e.rotationCount >= 16) return;
    float* r = e.rotations[e.rotationCount++];
    r[0] = Float(angle);
    r[1] = Float(x);
    r[2] = Float(y);
    r[3] = Float(z);
}

void SetTranslation(double x, double y, double z) {
    TransformEntry& e = Scene().CurrentTransform();
    e.rotationCount = 0;
    Store3(e.translation, x, y, z);
}

void SetScale(double x, double y, double z) {
    TransformEntry& e = Scene().CurrentTransform();
    e.rotationCount = 0;
    Store3(e.scale, x, y, z);
}

void PushTransform() {
    // The stack has 16 levels; a push at the top level is ignored.
    if (Scene().transformTop >= 15) return;
    ++Scene().transformTop;
    Scene().CurrentTransform().Reset();
}

void PopTransform() {
    if (Scene().transformTop > 0) --Scene().transformTop;
}

void SetEnvironmentMap(double on) { Scene().envMapping = on != 0; }

void SetTextureOffset(double u, double v) { Scene().SetTextureOffset(Float(u), Float(v)); }

void SetHeadLight(double index, double colour) {
    const float zero[3] = {0, 0, 0};
    Scene().SetLight(TruncSaturated(index), TruncSaturated(colour), zero, zero, 180, true);
}

void SetLight(double index, double colour, double x, double y, double z, double dirX, double dirY,
              double dirZ, double cutoff) {
    const float position[3] = {Float(x), Float(y), Float(z)};
    const float direction[3] = {Float(dirX), Float(dirY), Float(dirZ)};
    Scene().SetLight(TruncSaturated(index), TruncSaturated(colour), position, direction, Float(cutoff),
                     runtime.debugTrace != 0);
}

void SetFog(double colour, double mode, double a, double b) {
    Scene().SetFog(TruncSaturated(colour), TruncSaturated(mode), Float(a), Float(b));
}

void DrawAxes(double x, double y, double z) { Scene().DrawAxes(Float(x), Float(y), Float(z)); }

void DrawLine3D(double x1, double y1, double z1, double x2, double y2, double z2, double colour,
                double width) {
    const float from[3] = {Float(x1), Float(y1), Float(z1)};
    const float to[3] = {Float(x2), Float(y2), Float(z2)};
    Scene().DrawLine3D(from, to, TruncSaturated(colour), ClampWidth(width));
}

void DrawPoint3D(double x, double y, double z, double colour, double size) {
    const float at[3] = {Float(x), Float(y), Float(z)};
    Scene().DrawPoint3D(at, TruncSaturated(colour), ClampWidth(size));
}

void ClearDepth() { glClear(GL_DEPTH_BUFFER_BIT); }

void DrawBillboard(double sprite, double x, double y, double z, double scale) {
    Scene().SetCullMode(-1);
    SceneDrawBillboardSprite(*Scene().renderer, static_cast<uint16_t>(TruncSaturated(sprite)), Float(x),
                             Float(y), Float(z), Float(scale));
    Scene().SetCullMode(runtime.cullModeSetting);
}

double DrawObject(double object, double frame) {
    Scene().DrawSlot(TruncSaturated(object), TruncSaturated(frame), 0, 0, false);
    return 0;
}

double DrawObjectBlend(double object, double frame, double otherFrame, double weight,
                       double animate) {
    Scene().DrawSlot(TruncSaturated(object), TruncSaturated(frame), TruncSaturated(otherFrame), Float(weight),
                     animate != 0);
    return 0;
}
