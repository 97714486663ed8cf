// The mouse on Windows: DirectInput 0x0500's system mouse, with the plain
// cursor calls as the fallback.
#define DIRECTINPUT_VERSION 0x0500
#include <windows.h>
#include <dinput.h>

#include "platform/mouse_device.h"
#include "platform/win32/win32_handles.h"

namespace platform {

namespace {
IDirectInputA* Input(DeviceInput p) { return reinterpret_cast<IDirectInputA*>(p); }
IDirectInputDeviceA* Device(MouseDevice p) { return reinterpret_cast<IDirectInputDeviceA*>(p); }
}  // namespace

MouseDevice CreateMouseDevice(DeviceInput deviceInput) {
    IDirectInputDeviceA* mouse = nullptr;
    if (!deviceInput || FAILED(Input(deviceInput)->CreateDevice(GUID_SysMouse, &mouse, nullptr)) || !mouse)
        return nullptr;
    mouse->SetDataFormat(&c_dfDIMouse);
    return reinterpret_cast<MouseDevice>(mouse);
}

void SetMouseDataFormat(MouseDevice mouse) { Device(mouse)->SetDataFormat(&c_dfDIMouse); }

bool SetMouseCooperation(MouseDevice mouse, NativeWindow window, uint32_t level) {
    return SUCCEEDED(Device(mouse)->SetCooperativeLevel(win32::Hwnd(window), level));
}

bool AcquireMouse(MouseDevice mouse) { return SUCCEEDED(Device(mouse)->Acquire()); }

void UnacquireMouse(MouseDevice mouse) { Device(mouse)->Unacquire(); }

bool ReadMouseDevice(MouseDevice mouse, MouseDeviceState& state) {
    DIMOUSESTATE s;  // 16 bytes: lX, lY, lZ, four buttons
    if (FAILED(Device(mouse)->GetDeviceState(sizeof s, &s))) return false;
    state.x = s.lX;
    state.y = s.lY;
    state.z = s.lZ;
    for (int i = 0; i < 4; ++i) state.buttons[i] = s.rgbButtons[i];
    return true;
}

void ReleaseMouseDevice(MouseDevice mouse) { Device(mouse)->Release(); }

void CursorScreenPosition(int& x, int& y) {
    POINT p = {0, 0};
    GetCursorPos(&p);
    x = p.x;
    y = p.y;
}

void MoveCursorTo(int screenX, int screenY) { SetCursorPos(screenX, screenY); }

void ClientToScreenPosition(NativeWindow window, int& x, int& y) {
    POINT p = {x, y};
    ClientToScreen(win32::Hwnd(window), &p);
    x = p.x;
    y = p.y;
}

void ClientCentreOnScreen(NativeWindow window, int& x, int& y) {
    RECT r = {0, 0, 0, 0};
    GetClientRect(win32::Hwnd(window), &r);
    x = (r.right - r.left) / 2;
    y = (r.bottom - r.top) / 2;
    ClientToScreenPosition(window, x, y);
}

// The program's own module has no arrow cursor resource: this sets none,
// and the pointer is hidden over the window (its class has no cursor).
void HidePointerOverWindow(NativeWindow) { SetCursor(LoadCursorA(GetModuleHandleA(nullptr), IDC_ARROW)); }

void ShowArrowPointer() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }

int16_t AsyncMouseButton(int virtualKey) { return GetAsyncKeyState(virtualKey); }

}  // namespace platform
