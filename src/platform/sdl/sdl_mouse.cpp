// The mouse on Linux. The device mouse is SDL's: captured (exclusive) it is
// SDL's relative mouse mode (on X11 the raw motion of XInput 2, which also
// carries synthetic XTest motion), free the ordinary pointer; motion is what
// SDL accumulates between reads, as DirectInput's relative axes report it,
// and the wheel counts 120 a notch. The cursor calls ask the X server.
#include <SDL.h>
#include <X11/Xlib.h>

#include "platform/mouse_device.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {

namespace {
int mouseToken;     // SDL has one implicit mouse
int32_t wheelTotal;  // wheel motion since the last read

void TakeWheelEvents() {
    SDL_Event events[16];
    int n;
    while ((n = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_MOUSEWHEEL, SDL_MOUSEWHEEL)) > 0)
        for (int i = 0; i < n; ++i) sdl::ForwardEvent(events[i]);
}
}  // namespace

void sdl::ForwardEvent(const SDL_Event& e) {
    if (e.type == SDL_MOUSEWHEEL) {
        const int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        wheelTotal += 120 * notches;
    }
}

MouseDevice CreateMouseDevice(DeviceInput deviceInput) {
    if (!deviceInput) return nullptr;
    return reinterpret_cast<MouseDevice>(&mouseToken);
}

void SetMouseDataFormat(MouseDevice) {}

bool SetMouseCooperation(MouseDevice, NativeWindow, uint32_t level) {
    const bool capture = level == kMouseExclusive;
    if (SDL_SetRelativeMouseMode(capture ? SDL_TRUE : SDL_FALSE) != 0) return false;
    // The switch is in force once the X server has the new event selection:
    // motion right after it must not be lost.
    if (Display* display = sdl::X11Display()) XSync(display, False);
    SDL_GetRelativeMouseState(nullptr, nullptr);  // motion counts from here
    return true;
}

// SDL hands the mouse to the focused window itself; there is nothing to lose.
bool AcquireMouse(MouseDevice) { return true; }
void UnacquireMouse(MouseDevice) {}

bool ReadMouseDevice(MouseDevice, MouseDeviceState& state) {
    SDL_PumpEvents();
    TakeWheelEvents();
    int dx = 0, dy = 0;
    SDL_GetRelativeMouseState(&dx, &dy);
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    state.x = dx;
    state.y = dy;
    state.z = wheelTotal;
    wheelTotal = 0;
    state.buttons[0] = (buttons & SDL_BUTTON_LMASK) ? 0x80 : 0;
    state.buttons[1] = (buttons & SDL_BUTTON_RMASK) ? 0x80 : 0;
    state.buttons[2] = (buttons & SDL_BUTTON_MMASK) ? 0x80 : 0;
    state.buttons[3] = (buttons & SDL_BUTTON_X1MASK) ? 0x80 : 0;
    return true;
}

void ReleaseMouseDevice(MouseDevice) { SDL_SetRelativeMouseMode(SDL_FALSE); }

void CursorScreenPosition(int& x, int& y) { sdl::GlobalPointer(x, y); }

void MoveCursorTo(int screenX, int screenY) { SDL_WarpMouseGlobal(screenX, screenY); }

void ClientToScreenPosition(NativeWindow window, int& x, int& y) {
    int wx = 0, wy = 0;
    if (window) SDL_GetWindowPosition(sdl::Win(window), &wx, &wy);
    x += wx;
    y += wy;
}

void ClientCentreOnScreen(NativeWindow window, int& x, int& y) {
    int w = 0, h = 0;
    if (window) SDL_GetWindowSize(sdl::Win(window), &w, &h);
    x = w / 2;
    y = h / 2;
    ClientToScreenPosition(window, x, y);
}

void HidePointerOverWindow(NativeWindow) { SDL_ShowCursor(SDL_DISABLE); }

void ShowArrowPointer() {
    SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_ShowCursor(SDL_ENABLE);
}

int16_t AsyncMouseButton(int virtualKey) {
    int x = 0, y = 0;
    const Uint32 buttons = sdl::GlobalPointer(x, y);
    const Uint32 mask = virtualKey == 1 ? SDL_BUTTON_LMASK
                        : virtualKey == 2 ? SDL_BUTTON_RMASK
                        : virtualKey == 4 ? SDL_BUTTON_MMASK
                                          : 0;
    // As the asynchronous key state answers for a held key: the top bit.
    return (buttons & mask) ? static_cast<int16_t>(-32768) : 0;
}

}  // namespace platform
