// What the SDL backend asks the X server directly: SDL caches the global
// pointer state between the input events it has seen, and synthetic moves
// (XTest, another program warping the pointer) may not reach that cache.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include "platform/sdl/sdl_backend.h"

namespace platform::sdl {

Display* X11Display() {
    SDL_Window* window = MainWindow();
    if (!window) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    return info.info.x11.display;
}

Uint32 GlobalPointer(int& x, int& y) {
    Display* display = X11Display();
    if (!display) return SDL_GetGlobalMouseState(&x, &y);
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX, &winY, &mask))
        return SDL_GetGlobalMouseState(&x, &y);
    x = rootX;
    y = rootY;
    return ((mask & Button1Mask) ? SDL_BUTTON_LMASK : 0) | ((mask & Button2Mask) ? SDL_BUTTON_MMASK : 0) |
           ((mask & Button3Mask) ? SDL_BUTTON_RMASK : 0);
}

}  // namespace platform::sdl
