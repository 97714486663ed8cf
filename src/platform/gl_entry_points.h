// The ARB entry points, fetched by CreateContext when the extension string
// names "GL_ARB_multitexture"; null otherwise. 2D drawing tests
// glMultiTexCoord2fARB for null to know whether a second texture unit exists.
#pragma once
#include "platform/gl.h"

namespace gl_entry {
extern PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
extern PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB;
extern PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB;
extern PFNGLGENBUFFERSARBPROC glGenBuffersARB;
extern PFNGLBINDBUFFERARBPROC glBindBufferARB;
extern PFNGLBUFFERDATAARBPROC glBufferDataARB;
extern PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB;
extern PFNGLMAPBUFFERARBPROC glMapBufferARB;
extern PFNGLUNMAPBUFFERARBPROC glUnmapBufferARB;

// Fetches all nine when the extension string contains "GL_ARB_multitexture"
// (the buffer-object functions under the same test); clears them otherwise.
void LoadEntryPoints(const char* extensions);
}  // namespace gl_entry

// The pointers live in a namespace so that their symbols never meet the GL
// library's own exports of the same names; code uses the plain names.
using gl_entry::glActiveTextureARB;
using gl_entry::glBindBufferARB;
using gl_entry::glBufferDataARB;
using gl_entry::glClientActiveTextureARB;
using gl_entry::glDeleteBuffersARB;
using gl_entry::glGenBuffersARB;
using gl_entry::glMapBufferARB;
using gl_entry::glMultiTexCoord2fARB;
using gl_entry::glUnmapBufferARB;
