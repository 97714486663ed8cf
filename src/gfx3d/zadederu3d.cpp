// Construction and destruction of the scene.
#include "gfx3d/zadederu3d.h"

Zadederu3D::Zadederu3D(OpenGLZadederu* renderer_)
    : shadowVolumeMode(false), cullMode(0), transformTop(0), cameraMatrix{}, textureOffsetU(0),
      textureOffsetV(0), lightMask(0), envMapping(false), renderer(renderer_), effectEnabled(false),
      effectKind(0), effectLightPosition{}, effectLightColour{}, cameraUp{0, 1, 0},
      cameraPosition{}, cameraTarget{}, viewConeTangent(0), nearPlane(1), farPlane(1),
      buildNormalsMode(2) {
    for (TransformEntry& e : transformStack) e.Reset();
}

Zadederu3D::~Zadederu3D() {
    // Slots from the last to the first; each mesh from the last to the first.
    for (int i = kObjectSlots - 1; i >= 0; --i) objects[i].meshes.Free();
}
