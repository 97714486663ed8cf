// InputDevices: the one record of input state. Start-up creates and resets
// it, ShowFrame refreshes it once per frame, the program end shuts it down.
// Key codes are DirectInput keyboard scan codes (1 = Escape, 28 = Return,
// 57 = Space, 200 = cursor up ...) whichever backend is in use.
#pragma once
#include <cstdint>

#include "platform/device_input.h"
#include "platform/native_window.h"

constexpr int kMaxJoysticks = 10;
constexpr int kJoystickNameSize = 522;  // instance name, ", ", product name

struct InputDevices {
    int32_t mouseX, mouseY;
    platform::DeviceInput directInput;
    platform::KeyboardDevice keyboardDevice;  // null: the fallback key calls and keyTable
    platform::MouseDevice mouseDevice;
    platform::JoystickDevice joystickDevices[kMaxJoysticks];
    char joystickNames[kMaxJoysticks][kJoystickNameSize];
    platform::NativeWindow window;
    uint8_t keyState[256];  // bit 7 set = held
    uint8_t mouseFree;
    uint32_t mouseCooperation;
    int32_t joystickCount;
    uint8_t newFrame;
    int16_t frameDX, frameDY, frameWheel;
    uint16_t keyTable[256];  // scan code -> virtual key, without a keyboard device
    uint32_t keyboardReads;  // InputRefresh calls so far (each may drop an input message)
    uint8_t lastTypedChar;   // the character typed characters last reported
};

constexpr int kKeyEscape = 1;
constexpr int kKeyLeftAlt = 56;
constexpr int kKeyF4 = 62;

// InputInit status values.
constexpr uint32_t kInputOk = 1;
constexpr uint32_t kNoDeviceInput = 0x8000000A;
constexpr uint32_t kKeyboardNotAcquired = 0x8000000B;
constexpr uint32_t kMouseNotSetUp = 0x8000000C;

void InputReset(InputDevices& in);
uint32_t InputInit(InputDevices& in, platform::NativeWindow window,
                   platform::AppInstance instance, bool useDirectMouse);
void InputShutdown(InputDevices& in);
void InputRefresh(InputDevices& in);
// Held test shared by ShowFrame, the wait loops and typed characters.
bool KeyHeld(const InputDevices& in, int scanCode);
void BuildKeyTable(InputDevices& in, bool hasKeyboardDevice);
