// The OpenGL context on Linux: SDL's GL attributes, context and display modes.
// SDL fixes the window's visual when the window is created, so the pixel
// format request is set as attributes before that (SetGlAttributes); the
// context is created when the format is first described, since only a
// current context can tell which renderer draws.
#include <SDL.h>

#include <cstring>

#include "platform/gl.h"
#include "platform/gl_context.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {

using sdl::Win;

namespace {
SDL_GLContext context = nullptr;
bool displayModeChanged = false;

int Attribute(SDL_GLattr attr) {
    int value = 0;
    SDL_GL_GetAttribute(attr, &value);
    return value;
}

// Software rasterisers of Mesa: the Linux counterpart of the operating
// system's generic (software) pixel formats.
bool SoftwareRenderer() {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (!renderer) return false;
    return std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe") ||
           std::strstr(renderer, "swrast") || std::strstr(renderer, "Software Rasterizer");
}

bool Describe(PixelFormatDescription& out) {
    if (!context) return false;
    out.redBits = Attribute(SDL_GL_RED_SIZE);
    out.greenBits = Attribute(SDL_GL_GREEN_SIZE);
    out.blueBits = Attribute(SDL_GL_BLUE_SIZE);
    // Packed RGB as GDI lays it out: red lowest.
    out.redShift = 0;
    out.greenShift = out.redBits;
    out.blueShift = out.redBits + out.greenBits;
    out.colourBits = out.redBits + out.greenBits + out.blueBits;
    out.depthBits = Attribute(SDL_GL_DEPTH_SIZE);
    out.stencilBits = Attribute(SDL_GL_STENCIL_SIZE);
    out.doubleBuffer = Attribute(SDL_GL_DOUBLEBUFFER) != 0;
    out.needsPalette = false;
    out.software = SoftwareRenderer();
    return true;
}

bool EnsureContext(NativeWindow window) {
    if (!context && window) {
        context = SDL_GL_CreateContext(Win(window));
        // Frame pacing is the runtime's own; never wait for vertical blank.
        if (context) SDL_GL_SetSwapInterval(0);
    }
    if (context) SDL_GL_MakeCurrent(Win(window), context);
    return context != nullptr;
}
}  // namespace

void sdl::SetGlAttributes(int colourBits) {
    int channel = colourBits > 0 && colourBits <= 16 ? 5 : 8;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

int DesktopBitsPerPixel() {
    sdl::EnsureVideo();
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 32;
    // Counted as Windows does: a 24-bit colour mode in 4-byte pixels is 32.
    return 8 * SDL_BYTESPERPIXEL(mode.format);
}

void WindowRectSize(NativeWindow window, int& width, int& height) {
    width = height = 0;
    if (window) SDL_GetWindowSize(Win(window), &width, &height);
}

bool SetupPixelFormat(NativeWindow window, int, PixelFormatDescription& out) {
    if (!EnsureContext(window)) return false;
    return Describe(out);
}

bool DescribePixelFormat(NativeWindow, PixelFormatDescription& out) { return Describe(out); }

// True-colour visuals only: there is never a palette to realise.
PaletteHandle RealizeRgbPalette(NativeWindow, const uint32_t*, int) { return nullptr; }
void DeletePalette(PaletteHandle) {}

GlContext CreateGlContext(NativeWindow window) {
    EnsureContext(window);
    return reinterpret_cast<GlContext>(context);
}

void DeleteGlContext(NativeWindow window, GlContext c) {
    SDL_GL_MakeCurrent(window ? Win(window) : nullptr, nullptr);
    SDL_GLContext native = reinterpret_cast<SDL_GLContext>(c);
    if (native) SDL_GL_DeleteContext(native);
    if (native == context) context = nullptr;
}

void SwapWindowBuffers(NativeWindow window) {
    if (window) SDL_GL_SwapWindow(Win(window));
}

GlProc GlProcAddress(const char* name) {
    return reinterpret_cast<GlProc>(SDL_GL_GetProcAddress(name));
}

bool ChangeDisplayMode(NativeWindow window, int width, int height, int bitsPerPixel) {
    if (!window) return false;
    // Only a mode the display really offers, as the display settings demand.
    int display = SDL_GetWindowDisplayIndex(Win(window));
    if (display < 0) display = 0;
    int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(display, i, &mode) != 0) continue;
        if (mode.w != width || mode.h != height) continue;
        if (bitsPerPixel && 8 * static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) != bitsPerPixel &&
            static_cast<int>(SDL_BITSPERPIXEL(mode.format)) != bitsPerPixel)
            continue;
        if (SDL_SetWindowDisplayMode(Win(window), &mode) != 0) continue;
        if (SDL_SetWindowFullscreen(Win(window), SDL_WINDOW_FULLSCREEN) != 0) continue;
        displayModeChanged = true;
        return true;
    }
    return false;
}

void RestoreDisplayMode(NativeWindow window) {
    if (window && displayModeChanged) SDL_SetWindowFullscreen(Win(window), 0);
    displayModeChanged = false;
}

void PlaceFullscreen(NativeWindow window, int width, int height) {
    SDL_Window* w = Win(window);
    if (!w) return;
    SDL_SetWindowBordered(w, SDL_FALSE);
    SDL_ShowWindow(w);
    SDL_RestoreWindow(w);
    SDL_RaiseWindow(w);
    SDL_SetWindowAlwaysOnTop(w, SDL_TRUE);
    SDL_SetWindowPosition(w, 0, 0);
    SDL_SetWindowSize(w, width, height);
}

void PlaceWindowed(NativeWindow window, int width, int height) {
    SDL_Window* w = Win(window);
    if (!w) return;
    SDL_SetWindowBordered(w, SDL_TRUE);
    SDL_SetWindowAlwaysOnTop(w, SDL_FALSE);
    int x = 0, y = 0;
    SDL_GetWindowPosition(w, &x, &y);
    SDL_SetWindowPosition(w, x, y);
    SDL_SetWindowSize(w, width, height);
    SDL_ShowWindow(w);
    SDL_RaiseWindow(w);
}

}  // namespace platform
