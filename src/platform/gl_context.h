// The seam: the OpenGL context on the program window, its pixel format,
// buffer swaps, entry points and the display-mode switch.
// One implementation per target (platform/win32: WGL and GDI; platform/sdl).
#pragma once
#include <cstdint>

#include "platform/native_window.h"

namespace platform {

struct GlContextObject;  // HGLRC on Windows; SDL_GLContext on Linux
using GlContext = GlContextObject*;
struct PaletteObject;  // HPALETTE on Windows; never made on Linux
using PaletteHandle = PaletteObject*;
// A GL entry point as fetched by name; cast to its own type before calling.
using GlProc = void (*)();

// What the chosen pixel format turned out to be.
struct PixelFormatDescription {
    bool software = false;      // rendered by a software rasteriser
    bool needsPalette = false;  // palette-based format
    int colourBits = 0;
    int redBits = 0, redShift = 0;
    int greenBits = 0, greenShift = 0;
    int blueBits = 0, blueShift = 0;
    int depthBits = 0, stencilBits = 0;
    bool doubleBuffer = false;
};

int DesktopBitsPerPixel();
// Size of the window's outer rectangle.
void WindowRectSize(NativeWindow window, int& width, int& height);

// Chooses the pixel format nearest to the fixed request (draw to window,
// OpenGL, double buffer, RGBA with colourBits, 16 depth and 8 stencil bits),
// sets it on the window and describes it; false when it cannot be described.
bool SetupPixelFormat(NativeWindow window, int colourBits, PixelFormatDescription& out);
// Describes the window's current pixel format; false when it cannot.
bool DescribePixelFormat(NativeWindow window, PixelFormatDescription& out);
// Creates a logical palette from the entries (0x00BBGGRR each), selects it
// into the window's device context and realises it.
PaletteHandle RealizeRgbPalette(NativeWindow window, const uint32_t* entries, int count);
void DeletePalette(PaletteHandle palette);

// Creates the context for the window and makes it current (null on failure).
GlContext CreateGlContext(NativeWindow window);
// Releases the current context from the window and deletes it.
void DeleteGlContext(NativeWindow window, GlContext context);
void SwapWindowBuffers(NativeWindow window);
// Address of a GL entry point by name, or null.
GlProc GlProcAddress(const char* name);

// Switches the display to width x height (and bitsPerPixel when non-zero)
// for fullscreen use; false when no such mode can be set.
bool ChangeDisplayMode(NativeWindow window, int width, int height, int bitsPerPixel);
// Back to the desktop's display mode.
void RestoreDisplayMode(NativeWindow window);
// Popup style, shown, foreground and focused, top-most at (0, 0) with the size.
void PlaceFullscreen(NativeWindow window, int width, int height);
// Caption, system menu and minimise box; at the current normal position (or
// centred), not top-most, sized for a client area of width x height; shown.
void PlaceWindowed(NativeWindow window, int width, int height);

}  // namespace platform
