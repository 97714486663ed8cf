#include "platform/gl_entry_points.h"

#include <cstring>

#include "platform/gl_context.h"

namespace gl_entry {
PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB = nullptr;
PFNGLGENBUFFERSARBPROC glGenBuffersARB = nullptr;
PFNGLBINDBUFFERARBPROC glBindBufferARB = nullptr;
PFNGLBUFFERDATAARBPROC glBufferDataARB = nullptr;
PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB = nullptr;
PFNGLMAPBUFFERARBPROC glMapBufferARB = nullptr;
PFNGLUNMAPBUFFERARBPROC glUnmapBufferARB = nullptr;

namespace {
template <typename F>
void Fetch(F& pointer, const char* name) {
    pointer = reinterpret_cast<F>(platform::GlProcAddress(name));
}
}  // namespace

void LoadEntryPoints(const char* extensions) {
    if (!extensions || !std::strstr(extensions, "GL_ARB_multitexture")) {
        glActiveTextureARB = nullptr;
        glMultiTexCoord2fARB = nullptr;
        glClientActiveTextureARB = nullptr;
        glGenBuffersARB = nullptr;
        glBindBufferARB = nullptr;
        glBufferDataARB = nullptr;
        glDeleteBuffersARB = nullptr;
        glMapBufferARB = nullptr;
        glUnmapBufferARB = nullptr;
        return;
    }
    Fetch(glActiveTextureARB, "glActiveTextureARB");
    Fetch(glMultiTexCoord2fARB, "glMultiTexCoord2fARB");
    Fetch(glClientActiveTextureARB, "glClientActiveTextureARB");
    Fetch(glGenBuffersARB, "glGenBuffersARB");
    Fetch(glBindBufferARB, "glBindBufferARB");
    Fetch(glBufferDataARB, "glBufferDataARB");
    Fetch(glDeleteBuffersARB, "glDeleteBuffersARB");
    Fetch(glMapBufferARB, "glMapBufferARB");
    Fetch(glUnmapBufferARB, "glUnmapBufferARB");
}
}  // namespace gl_entry
