// The seam: joysticks. On Windows DirectInput's joysticks (second-generation
// device interface, polled, with force feedback) and the multimedia joystick
// calls as the fallback; on Linux SDL's joystick and haptic subsystems,
// delivering DirectInput's values.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/device_input.h"
#include "platform/native_window.h"

namespace platform {

constexpr int kJoystickSlots = 10;
constexpr int kJoystickNameBytes = 522;  // instance name, ", ", product name
constexpr uint32_t kPovCentred = 0xFFFFFFFFu;

// DirectInput's standard joystick state: axes in the range set up
// (-32768 ... 32768), point-of-view values in hundredths of a degree
// (centred: 0xFFFFFFFF), buttons 0x80 while held.
struct JoystickState {
    int32_t x, y, z, rx, ry, rz;
    int32_t sliders[2];
    uint32_t pov[4];
    uint8_t buttons[32];
};

// Attached joysticks, at most ten, each set up with absolute axes ranging
// -32768 ... 32768 and a 30 % dead zone on X and Y, exclusive in the
// foreground and acquired; ones that refuse the dead zone are skipped.
// Names are "instance, product". The count, or -1 when enumerating failed.
int EnumerateJoysticks(DeviceInput deviceInput, NativeWindow window, JoystickDevice devices[kJoystickSlots],
                       char names[kJoystickSlots][kJoystickNameBytes]);
// Polls (acquiring again when input was lost) and reads the state; false
// when it could not be read.
bool ReadJoystickDevice(JoystickDevice joystick, JoystickState& state);
// Plays a constant force (direction in -32767 ... 32767 per axis, magnitude
// 0 ... 10000) for durationUs microseconds, iterations times, when the
// device has force feedback (after resetting its force feedback); nothing
// otherwise. The effect plays on after the call.
void PlayConstantForce(JoystickDevice joystick, int iterations, uint32_t durationUs, int32_t directionX,
                       int32_t directionY, int32_t magnitude);
void ReleaseJoystickDevice(JoystickDevice joystick);

// The multimedia joystick fallback (ids counted from 0): the number of ids
// the driver supports, a product name, and a reading with the raw positions,
// the point-of-view value and buttons as their bit values (1, 2, 4, ...
// 128). False when there is no such joystick.
int MultimediaJoystickCount();
bool MultimediaJoystickName(int id, char* name, size_t size);
bool ReadMultimediaJoystick(int id, JoystickState& state);

}  // namespace platform
