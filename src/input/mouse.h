// The mouse: measured once per frame (the first read after ShowFrame), then
// the same motion for every further read of that frame. Captured, it moves
// mouseX / mouseY by relative motion; free, it follows the system cursor.
#pragma once
#include <cstdint>

#include "input/input_devices.h"

struct MouseReading {
    int16_t button0 = 0, button1 = 0, button2 = 0;  // left, right, middle; non-zero while held
    int16_t dx = 0, dy = 0, wheel = 0;
};

// With useDirectMouse: the device mouse, captured; its InputInit status
// (kInputOk, or kMouseNotSetUp after logging "No DX_Mouse").
uint32_t SetUpMouseDevice(InputDevices& in);
// 1, or 0 when a lost device mouse had to be acquired again (the reading is
// then all zero).
int ReadMouseState(InputDevices& in, MouseReading& reading);
// One read; true when any of the three buttons is held.
bool AnyMouseButton(InputDevices& in);
// Free (true) or captured; with a device mouse this changes its cooperation,
// and freeing puts the system cursor at the stored position with the arrow.
void SwitchMouseFree(InputDevices& in, bool free);
