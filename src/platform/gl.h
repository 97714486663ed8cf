// OpenGL 1.1 from the system headers, the same on both targets. The ARB
// entry points are not declared here: the runtime fetches them at run time
// (platform/gl_entry_points.h) under their own names.
#pragma once

#ifdef _WIN32
// GL/gl.h only needs the calling-convention macros; defining them keeps
// <windows.h> (and its A/W macros such as DrawText) out of portable code.
// Files that include <windows.h> do so first, which defines both already.
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#endif

// Keeps the prototypes of the multitexture functions out, so that the
// run-time pointers can carry the same names.
#ifndef GL_ARB_multitexture
#define GL_ARB_multitexture 1
#endif
#include <GL/gl.h>
#include <GL/glext.h>

#ifndef GL_TEXTURE0_ARB
#define GL_TEXTURE0_ARB 0x84C0
#define GL_TEXTURE1_ARB 0x84C1
#define GL_TEXTURE2_ARB 0x84C2
#define GL_TEXTURE3_ARB 0x84C3
#endif
#ifndef GL_ACTIVE_TEXTURE_ARB
#define GL_ACTIVE_TEXTURE_ARB 0x84E0
#define GL_CLIENT_ACTIVE_TEXTURE_ARB 0x84E1
#define GL_MAX_TEXTURE_UNITS_ARB 0x84E2
#endif

typedef void(APIENTRYP PFNGLACTIVETEXTUREARBPROC)(GLenum texture);
typedef void(APIENTRYP PFNGLMULTITEXCOORD2FARBPROC)(GLenum target, GLfloat s, GLfloat t);
typedef void(APIENTRYP PFNGLCLIENTACTIVETEXTUREARBPROC)(GLenum texture);
