// Joysticks: up to ten, read on demand. The values the commands report come
// from DirectInput's joystick state record, the same conversion on every
// target.
#pragma once
#include "input/input_devices.h"
#include "platform/joystick.h"

using platform::JoystickState;

// Enumerates the device joysticks into the record (InputInit's last step).
void SetUpJoysticks(InputDevices& in);
// Without the device-input layer: the multimedia joysticks' count and names.
void SetUpMultimediaJoysticks(InputDevices& in);
// The state of joystick index: from its device, else for ids 0 and 1 from
// the multimedia joystick calls, else all zero.
void ReadJoystickState(InputDevices& in, JoystickState& state, int index);
// A constant force on joystick index (nothing without a device there);
// forces are clamped to -1 ... 1.
void PlayJoystickForce(InputDevices& in, int index, int iterations, float durationMs, float forceX,
                       float forceY);
void ReleaseJoysticks(InputDevices& in);

// The command values of a state.
// An axis divided by 32767 and limited to -1 ... 1.
double JoystickAxisValue(int32_t raw);
// The first point-of-view value: 9000 right (1), 27000 left (-1); 0 up (-1),
// 18000 down (1); diagonals and centred 0.
double JoystickHatXValue(const JoystickState& state);
double JoystickHatYValue(const JoystickState& state);
// The raw button byte; 0 for buttons outside 0 ... 31.
double JoystickButtonValue(const JoystickState& state, int button);
// ReadJoystick's -1, 0 or 1: the axis divided by 30000, truncated.
double JoystickDirection(int32_t raw);
// Any button, a deflected X, Y or Z axis, or the hat pointing straight.
bool JoystickActive(const JoystickState& state);
