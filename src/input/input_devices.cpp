#include "input/input_devices.h"

#include <cstring>

#include "core/error_log.h"
#include "input/joysticks.h"
#include "input/mouse.h"
#include "platform/keyboard.h"
#include "platform/mouse_device.h"

void InputReset(InputDevices& in) {
    in.joystickCount = 0;
    in.mouseFree = 0;
    in.frameDX = in.frameDY = in.frameWheel = 0;
    in.newFrame = 1;
    in.mouseX = in.mouseY = 100;
    in.window = nullptr;
    in.directInput = nullptr;
    in.keyboardDevice = nullptr;
    in.mouseDevice = nullptr;
    for (platform::JoystickDevice& j : in.joystickDevices) j = nullptr;
    in.lastTypedChar = 0;
}

uint32_t InputInit(InputDevices& in, platform::NativeWindow window,
                   platform::AppInstance instance, bool useDirectMouse) {
    uint32_t status = kInputOk;
    in.directInput = platform::CreateDeviceInput(instance);
    if (!in.directInput) {
        AppendErrorLog("No DX_Input");
        status = kNoDeviceInput;
    }
    in.window = window;
    int x = 0, y = 0;
    platform::CursorClientPosition(window, x, y);
    in.mouseX = x;
    in.mouseY = y;

    if (!in.directInput) {
        SetUpMultimediaJoysticks(in);
        BuildKeyTable(in, false);
        return status;
    }

    bool acquired = false;
    in.keyboardDevice = platform::CreateKeyboardDevice(in.directInput, window, acquired);
    if (in.keyboardDevice && !acquired) {
        // Kept in use: every refresh acquires it again.
        AppendErrorLog("No DX_KB");
        status = kKeyboardNotAcquired;
    }
    BuildKeyTable(in, in.keyboardDevice != nullptr);
    in.mouseFree = 0;
    if (useDirectMouse) {
        uint32_t mouse = SetUpMouseDevice(in);
        if (mouse != kInputOk) status = mouse;
    }
    SetUpJoysticks(in);
    return status;
}

void InputRefresh(InputDevices& in) {
    ++in.keyboardReads;
    if (!in.keyboardDevice) {
        platform::ReadVirtualKeyState(in.keyState);
        return;
    }
    platform::DropOneInputMessage();
    // A keyboard that cannot be read (the window is not in the foreground)
    // reports no keys rather than the last state it had.
    if (!platform::ReadKeyboardDevice(in.keyboardDevice, in.window, in.keyState))
        std::memset(in.keyState, 0, sizeof in.keyState);
}

bool KeyHeld(const InputDevices& in, int scanCode) {
    scanCode &= 255;
    if (in.keyboardDevice) return (in.keyState[scanCode] & 0x80) != 0;
    return platform::AsyncKeyDown(in.keyTable[scanCode]);
}

void InputShutdown(InputDevices& in) {
    // A captured pointer is given back to the user.
    if (!in.mouseFree) SwitchMouseFree(in, true);
    if (in.mouseDevice) {
        platform::UnacquireMouse(in.mouseDevice);
        platform::ReleaseMouseDevice(in.mouseDevice);
    }
    in.mouseDevice = nullptr;
    if (in.keyboardDevice) platform::ReleaseKeyboardDevice(in.keyboardDevice);
    in.keyboardDevice = nullptr;
    ReleaseJoysticks(in);
    if (in.directInput) platform::ReleaseDeviceInput(in.directInput);
    in.directInput = nullptr;
}
