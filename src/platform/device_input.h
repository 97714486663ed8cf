// The seam: the device-input layer (DirectInput on Windows; SDL on Linux) and
// the typed handles of its devices. The keyboard's calls are in
// platform/keyboard.h; the mouse and joysticks add theirs beside it.
#pragma once

#include "platform/native_window.h"

namespace platform {

struct DeviceInputObject;  // IDirectInputA* on Windows; a token on Linux
using DeviceInput = DeviceInputObject*;
struct KeyboardDeviceObject;  // IDirectInputDeviceA* on Windows; a token on Linux
using KeyboardDevice = KeyboardDeviceObject*;
struct MouseDeviceObject;
using MouseDevice = MouseDeviceObject*;
struct JoystickDeviceObject;
using JoystickDevice = JoystickDeviceObject*;

// The device-input interface for the program instance; null when there is none.
DeviceInput CreateDeviceInput(AppInstance instance);
void ReleaseDeviceInput(DeviceInput deviceInput);

}  // namespace platform
