// The keyboard on Linux: SDL's keyboard state, delivered in DirectInput scan
// codes. SDL itself is the device-input layer here, so a keyboard device
// always exists and follows the window's focus as an exclusive foreground
// DirectInput keyboard does (SDL clears its state when the focus leaves).
#include <SDL.h>

#include <cstring>

#include "platform/key_usage_map.h"
#include "platform/keyboard.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {

namespace {
// Stand for the device-input interface and the keyboard device: SDL has one
// implicit keyboard, so the handles only need to be distinct and non-null.
int deviceInputToken;
int keyboardToken;
}  // namespace

DeviceInput CreateDeviceInput(AppInstance) {
    return sdl::EnsureVideo() ? reinterpret_cast<DeviceInput>(&deviceInputToken) : nullptr;
}
void ReleaseDeviceInput(DeviceInput) {}

KeyboardDevice CreateKeyboardDevice(DeviceInput, NativeWindow, bool& acquired) {
    acquired = true;
    return reinterpret_cast<KeyboardDevice>(&keyboardToken);
}

bool ReadKeyboardDevice(KeyboardDevice, NativeWindow, uint8_t keyState[256]) {
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

void ReleaseKeyboardDevice(KeyboardDevice) {}

void DropOneInputMessage() {}

// Not reached on Linux (the keyboard device always exists); kept empty.
void ReadVirtualKeyState(uint8_t keyState[256]) { std::memset(keyState, 0, 256); }
bool AsyncKeyDown(int) { return false; }

void CursorClientPosition(NativeWindow window, int& x, int& y) {
    int gx = 0, gy = 0, wx = 0, wy = 0;
    sdl::GlobalPointer(gx, gy);
    if (window) SDL_GetWindowPosition(sdl::Win(window), &wx, &wy);
    x = gx - wx;
    y = gy - wy;
}

}  // namespace platform
