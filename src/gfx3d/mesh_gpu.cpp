// GL resources of a mesh: buffer objects and the cel-shading ramp texture.
#include "gfx3d/mesh.h"

// STAND-IN until the GL context and entry points land: names are dropped.
void MeshObjectX::ReleaseGpu() {
    staticBuffer = dynamicBuffer = rampTexture = 0;
}
