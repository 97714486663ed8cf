// GL resources of a mesh: buffer objects and the cel-shading ramp texture.
#include "core/runtime_state.h"
#include "platform/gl_entry_points.h"
#include "gfx2d/opengl_zadederu.h"
#include "gfx3d/mesh.h"
#include "platform/gl.h"

namespace {
// Names are only deleted while a context exists; they die with it anyway.
bool HaveContext() {
    const OpenGLZadederu* r = runtime.scene.renderer;
    return r && r->contextReady;
}
}  // namespace

void MeshObjectX::ReleaseGpu() {
    bool context = HaveContext();
    DropStaticBuffer();
    if (context && glDeleteBuffersARB && dynamicBuffer) glDeleteBuffersARB(1, &dynamicBuffer);
    if (context && rampTexture) glDeleteTextures(1, &rampTexture);
    dynamicBuffer = rampTexture = 0;
}

void MeshObjectX::DropStaticBuffer() {
    if (staticBuffer && HaveContext() && glDeleteBuffersARB) glDeleteBuffersARB(1, &staticBuffer);
    staticBuffer = 0;
}
