// The seam: the mouse of the device-input layer (DirectInput's system mouse
// on Windows; SDL's relative mouse mode on Linux) and the plain cursor calls
// the runtime falls back to without it.
#pragma once
#include <cstdint>

#include "platform/device_input.h"
#include "platform/native_window.h"

namespace platform {

// DirectInput cooperative levels used for the mouse.
constexpr uint32_t kMouseExclusive = 5;     // exclusive, foreground: the pointer is captured
constexpr uint32_t kMouseNonExclusive = 6;  // non-exclusive, foreground: the pointer is free

// One read of the device: motion since the previous read (wheel in the
// device's units, 120 a notch), buttons 0x80 when held.
struct MouseDeviceState {
    int32_t x, y, z;
    uint8_t buttons[4];
};

// The system mouse with the standard mouse data format; null when it cannot
// be created.
MouseDevice CreateMouseDevice(DeviceInput deviceInput);
void SetMouseDataFormat(MouseDevice mouse);
// False when the level cannot be set.
bool SetMouseCooperation(MouseDevice mouse, NativeWindow window, uint32_t level);
// False when the mouse cannot be acquired (with foreground cooperation: the
// window is not in the foreground).
bool AcquireMouse(MouseDevice mouse);
void UnacquireMouse(MouseDevice mouse);
// False when the state could not be read.
bool ReadMouseDevice(MouseDevice mouse, MouseDeviceState& state);
void ReleaseMouseDevice(MouseDevice mouse);

// The system cursor in screen coordinates; moving it.
void CursorScreenPosition(int& x, int& y);
void MoveCursorTo(int screenX, int screenY);
// Client coordinates of the window to screen coordinates.
void ClientToScreenPosition(NativeWindow window, int& x, int& y);
// The centre of the window's client area in screen coordinates.
void ClientCentreOnScreen(NativeWindow window, int& x, int& y);
// The pointer over the window: none (hidden), or the system arrow.
void HidePointerOverWindow(NativeWindow window);
void ShowArrowPointer();
// Mouse buttons without a device, as the asynchronous key state of the
// button's virtual key (1 left, 2 right, 4 middle): the raw 16-bit answer,
// non-zero while held.
int16_t AsyncMouseButton(int virtualKey);

}  // namespace platform
