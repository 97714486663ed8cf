// The OpenGL context on Windows: WGL on the window's own device context,
// GDI palettes and the display settings.
#include <windows.h>

#include <vector>

#include "platform/gl.h"
#include "platform/gl_context.h"
#include "platform/win32/win32_handles.h"

namespace platform {

using win32::Handle;
using win32::Hwnd;

namespace {

void FromDescriptor(const PIXELFORMATDESCRIPTOR& pfd, PixelFormatDescription& out) {
    out.software = (pfd.dwFlags & PFD_GENERIC_FORMAT) != 0;
    out.needsPalette = (pfd.dwFlags & PFD_NEED_PALETTE) != 0;
    out.doubleBuffer = (pfd.dwFlags & PFD_DOUBLEBUFFER) != 0;
    out.colourBits = pfd.cColorBits;
    out.redBits = pfd.cRedBits;
    out.redShift = pfd.cRedShift;
    out.greenBits = pfd.cGreenBits;
    out.greenShift = pfd.cGreenShift;
    out.blueBits = pfd.cBlueBits;
    out.blueShift = pfd.cBlueShift;
    out.depthBits = pfd.cDepthBits;
    out.stencilBits = pfd.cStencilBits;
}
}  // namespace

int DesktopBitsPerPixel() {
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

void WindowRectSize(NativeWindow window, int& width, int& height) {
    RECT r = {};
    GetWindowRect(Hwnd(window), &r);
    width = r.right - r.left;
    height = r.bottom - r.top;
}

bool SetupPixelFormat(NativeWindow window, int colourBits, PixelFormatDescription& out) {
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = 40;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = static_cast<BYTE>(colourBits);
    request.cDepthBits = 16;
    request.cStencilBits = 8;
    request.iLayerType = PFD_MAIN_PLANE;
    HDC dc = GetDC(Hwnd(window));
    int format = ChoosePixelFormat(dc, &request);
    SetPixelFormat(dc, format, &request);
    PIXELFORMATDESCRIPTOR described = {};
    int ok = ::DescribePixelFormat(dc, format, sizeof described, &described);
    ReleaseDC(Hwnd(window), dc);
    if (!ok) return false;
    FromDescriptor(described, out);
    return true;
}

bool DescribePixelFormat(NativeWindow window, PixelFormatDescription& out) {
    HDC dc = GetDC(Hwnd(window));
    PIXELFORMATDESCRIPTOR described = {};
    int format = GetPixelFormat(dc);
    int ok = format ? ::DescribePixelFormat(dc, format, sizeof described, &described) : 0;
    ReleaseDC(Hwnd(window), dc);
    if (!ok) return false;
    FromDescriptor(described, out);
    return true;
}

PaletteHandle RealizeRgbPalette(NativeWindow window, const uint32_t* entries, int count) {
    std::vector<unsigned char> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    LOGPALETTE* table = reinterpret_cast<LOGPALETTE*>(storage.data());
    table->palVersion = 0x300;
    table->palNumEntries = static_cast<WORD>(count);
    for (int i = 0; i < count; ++i) {
        table->palPalEntry[i].peRed = static_cast<BYTE>(entries[i] & 0xFF);
        table->palPalEntry[i].peGreen = static_cast<BYTE>((entries[i] >> 8) & 0xFF);
        table->palPalEntry[i].peBlue = static_cast<BYTE>((entries[i] >> 16) & 0xFF);
        table->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(table);
    if (palette) {
        HDC dc = GetDC(Hwnd(window));
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        ReleaseDC(Hwnd(window), dc);
    }
    return Handle(palette);
}

void DeletePalette(PaletteHandle palette) {
    if (palette) DeleteObject(win32::Hpalette(palette));
}

GlContext CreateGlContext(NativeWindow window) {
    HDC dc = GetDC(Hwnd(window));
    HGLRC context = wglCreateContext(dc);
    if (context) wglMakeCurrent(dc, context);
    ReleaseDC(Hwnd(window), dc);
    return Handle(context);
}

void DeleteGlContext(NativeWindow window, GlContext context) {
    HDC dc = window ? GetDC(Hwnd(window)) : nullptr;
    wglMakeCurrent(dc, nullptr);
    if (dc) ReleaseDC(Hwnd(window), dc);
    if (context) wglDeleteContext(win32::Hglrc(context));
}

void SwapWindowBuffers(NativeWindow window) {
    HDC dc = GetDC(Hwnd(window));  // the class's own DC: always the same one
    SwapBuffers(dc);
    ReleaseDC(Hwnd(window), dc);
}

GlProc GlProcAddress(const char* name) {
    return reinterpret_cast<GlProc>(wglGetProcAddress(name));
}

bool ChangeDisplayMode(NativeWindow, int width, int height, int bitsPerPixel) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    if (bitsPerPixel) {
        mode.dmBitsPerPel = bitsPerPixel;
        mode.dmFields |= DM_BITSPERPEL;
    }
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void RestoreDisplayMode(NativeWindow) { ChangeDisplaySettingsA(nullptr, 0); }

void PlaceFullscreen(NativeWindow window, int width, int height) {
    HWND w = Hwnd(window);
    SetWindowLongA(w, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    ShowWindow(w, SW_RESTORE);
    UpdateWindow(w);
    SetForegroundWindow(w);
    SetFocus(w);
    SetWindowPos(w, HWND_TOPMOST, 0, 0, width, height, 0);
}

void PlaceWindowed(NativeWindow window, int width, int height) {
    HWND w = Hwnd(window);
    SetWindowLongA(w, GWL_EXSTYLE, 0);
    SetWindowLongA(w, GWL_STYLE, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    UpdateWindow(w);
    int x, y;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(w, &placement)) {
        x = placement.rcNormalPosition.left;
        y = placement.rcNormalPosition.top;
    } else {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    SetWindowPos(w, HWND_NOTOPMOST, x, y, width + 6 * GetSystemMetrics(SM_CXBORDER),
                 height + GetSystemMetrics(SM_CYCAPTION) + 6 * GetSystemMetrics(SM_CYBORDER),
                 SWP_SHOWWINDOW);
    ShowWindow(w, SW_SHOWNORMAL);
    UpdateWindow(w);
    BringWindowToTop(w);
}

}  // namespace platform
