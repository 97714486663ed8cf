// The floor of the sprite frame-rate run on Windows: a plain Win32 + WGL
// program drawing the same sprites (plain_sprites.h), no runtime. Arguments:
// "per-quad" or "array" (how the quads are sent) and the sprite count.
#include <windows.h>

#include <cstring>

#include "plain_sprites.h"

namespace {
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE) PostQuitMessage(0);
    return DefWindowProcA(window, message, w, l);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    const plain_sprites::Mode mode = plain_sprites::ModeOf(arguments);
    const int sprites = sprite_scene::SpriteCount(arguments);
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "PlainSprites";
    if (!RegisterClassA(&wc)) return 1;
    RECT rect = {0, 0, sprite_scene::kWidth, sprite_scene::kHeight};
    AdjustWindowRect(&rect, WS_CAPTION, FALSE);
    HWND window = CreateWindowA("PlainSprites", "Plain sprites", WS_CAPTION | WS_VISIBLE,
                                CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left,
                                rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.iLayerType = PFD_MAIN_PLANE;
    if (!SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd)) return 1;
    HGLRC context = wglCreateContext(dc);
    if (!context || !wglMakeCurrent(dc, context)) return 1;
    plain_sprites::SetUp(mode);
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return 0;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        plain_sprites::DrawFrame(mode, sprites);
        SwapBuffers(dc);
    }
}
