// The joystick commands of the language.
#include <brindle/input.h>

#include "core/runtime_state.h"
#include "input/joysticks.h"
#include "lang/number_convert.h"

namespace {
JoystickState Read(double n) {
    JoystickState state;
    if (runtime.input) {
        ReadJoystickState(*runtime.input, state, TruncToInt(n));
    } else {
        InputDevices none{};
        ReadJoystickState(none, state, -1);
    }
    return state;
}
}  // namespace

double JoystickCount() { return runtime.input ? runtime.input->joystickCount : 0; }

RtString JoystickName(double n) {
    const int i = TruncToInt(n);
    if (!runtime.input || i < 0 || i >= runtime.input->joystickCount || i >= kMaxJoysticks) return RtString();
    return RtString(runtime.input->joystickNames[i]);
}

double JoystickX(double n) { return JoystickAxisValue(Read(n).x); }
double JoystickY(double n) { return JoystickAxisValue(Read(n).y); }
double JoystickZ(double n) { return JoystickAxisValue(Read(n).z); }
double JoystickRX(double n) { return JoystickAxisValue(Read(n).rx); }
double JoystickRY(double n) { return JoystickAxisValue(Read(n).ry); }
double JoystickRZ(double n) { return JoystickAxisValue(Read(n).rz); }
double JoystickHatX(double n) { return JoystickHatXValue(Read(n)); }
double JoystickHatY(double n) { return JoystickHatYValue(Read(n)); }

double JoystickButton(double n, double button) { return JoystickButtonValue(Read(n), TruncToInt(button)); }

void ReadJoystick(double& x, double& y, double& button1, double& button2) {
    const JoystickState state = Read(0);
    x = JoystickDirection(state.x);
    y = JoystickDirection(state.y);
    button1 = state.buttons[0];
    button2 = state.buttons[1];
}

void JoystickForce(double n, double durationMs, double forceX, double forceY) {
    if (!runtime.input) return;
    PlayJoystickForce(*runtime.input, TruncToInt(n), 1, ToFloat(durationMs), ToFloat(forceX),
                      ToFloat(forceY));
}
