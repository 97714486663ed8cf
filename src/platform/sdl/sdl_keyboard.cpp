// The keyboard on Linux: SDL's keyboard state, delivered in DirectInput scan
// codes. SDL itself is the device-input layer here, so a keyboard device
// always exists and follows the window's focus as an exclusive foreground
// DirectInput keyboard does (SDL clears its state when the focus leaves).
#include <SDL.h>

#include <cstring>

#include "input/scan_code_map.h"
#include "platform/keyboard.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {

namespace {
// Stands for the device-input interface and the keyboard device.
int deviceInputToken;
int keyboardToken;
}  // namespace

void* CreateDeviceInput(void*) { return sdl::EnsureVideo() ? &deviceInputToken : nullptr; }
void ReleaseDeviceInput(void*) {}

void* CreateKeyboardDevice(void*, NativeWindow, bool& acquired) {
    acquired = true;
    return &keyboardToken;
}

bool ReadKeyboardDevice(void*, NativeWindow, uint8_t keyState[256]) {
    SDL_PumpEvents();  // events stay queued for the message pump
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    std::memset(keyState, 0, 256);
    if (!state) return false;
    for (int usage = 0; usage < count; ++usage) {
        if (!state[usage]) continue;
        int code = ScanCodeForKeyUsage(usage);
        if (code) keyState[code] = 0x80;
    }
    return true;
}

void ReleaseKeyboardDevice(void*) {}

void DropOneInputMessage() {}

// Not reached on Linux (the keyboard device always exists); kept empty.
void ReadVirtualKeyState(uint8_t keyState[256]) { std::memset(keyState, 0, 256); }
bool AsyncKeyDown(int) { return false; }

void CursorClientPosition(NativeWindow window, int& x, int& y) {
    int gx = 0, gy = 0, wx = 0, wy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    if (window) SDL_GetWindowPosition(static_cast<SDL_Window*>(window), &wx, &wy);
    x = gx - wx;
    y = gy - wy;
}

}  // namespace platform
