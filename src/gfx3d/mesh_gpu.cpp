// GL resources of a mesh: buffer objects and the cel-shading ramp texture.
#include "core/runtime_state.h"
#include "platform/gl_entry_points.h"
#include "gfx2d/opengl_zadederu.h"
#include "gfx3d/mesh.h"
#include "platform/gl.h"

void MeshObjectX::ReleaseGpu() {
    // Names are only deleted while a context exists; they die with it anyway.
    const OpenGLZadederu* r = runtime.scene.renderer;
    bool context = r && r->contextReady;
    if (context && glDeleteBuffersARB) {
        if (staticBuffer) glDeleteBuffersARB(1, &staticBuffer);
        if (dynamicBuffer) glDeleteBuffersARB(1, &dynamicBuffer);
    }
    if (context && rampTexture) glDeleteTextures(1, &rampTexture);
    staticBuffer = dynamicBuffer = rampTexture = 0;
}
