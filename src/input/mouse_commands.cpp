// The mouse commands of the language.
#include <brindle/input.h>

#include "core/runtime_state.h"
#include "input/mouse.h"
#include "lang/number_convert.h"

namespace {
int Clamp(int v, int limit) {
    if (v > limit - 1) v = limit - 1;  // the upper bound first, then negatives
    return v < 0 ? 0 : v;
}
}  // namespace

void ReadMouse(double& x, double& y, double& button1, double& button2) {
    InputDevices* in = runtime.input;
    if (!in) return;
    MouseReading reading;
    ReadMouseState(*in, reading);
    in->mouseX = Clamp(in->mouseX, runtime.renderer.screenWidth);
    in->mouseY = Clamp(in->mouseY, runtime.renderer.screenHeight);
    x = in->mouseX;
    y = in->mouseY;
    button1 = reading.button0 ? 1 : 0;
    button2 = reading.button1 ? 1 : 0;
}

double MouseAxis(double n) {
    InputDevices* in = runtime.input;
    if (!in) return 0;
    MouseReading reading;
    ReadMouseState(*in, reading);
    switch (TruncToInt(n)) {
        case 0: return reading.dx;
        case 1: return reading.dy;
        case 2: return reading.wheel;
        case 3: return reading.button0 ? 1 : 0;
        case 4: return reading.button1 ? 1 : 0;
        case 5: return reading.button2 ? 1 : 0;
        default: return 0;
    }
}

void SetMouseFree(double flag) {
    if (runtime.input) SwitchMouseFree(*runtime.input, flag != 0);
}

void SetMousePosition(double x, double y) {
    if (!runtime.input) return;
    runtime.input->mouseX = TruncToInt(x);
    runtime.input->mouseY = TruncToInt(y);
}
