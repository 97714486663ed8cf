// The waiting commands and the debugger breakpoint.
#include "input/waiting.h"

#include <brindle/core.h>

#include <cstdio>

#include "core/program_end.h"
#include "core/runtime_state.h"
#include "core/window.h"
#include "input/input_devices.h"
#include "input/joysticks.h"
#include "input/mouse.h"
#include "input/typed_chars.h"
#include "lang/number_convert.h"
#include "platform/system.h"
#include "platform/native_window.h"

namespace {

void RefreshInput() {
    if (!runtime.input) return;
    InputRefresh(*runtime.input);
    runtime.input->newFrame = 1;
}

bool KeyIsDown(int code) { return runtime.input && KeyHeld(*runtime.input, code); }

// The mouse: position or either of the first two buttons changed since the
// previous pass (positions clamped to the screen).
bool MouseChangedSincePreviousPass() {
    static int kept[4] = {0, 0, 0, 0};
    InputDevices* in = runtime.input;
    if (!in) return false;
    MouseReading reading;
    ReadMouseState(*in, reading);
    const OpenGLZadederu& r = runtime.renderer;
    int x = in->mouseX, y = in->mouseY;
    x = x > r.screenWidth - 1 ? r.screenWidth - 1 : x;
    y = y > r.screenHeight - 1 ? r.screenHeight - 1 : y;
    const int now[4] = {x < 0 ? 0 : x, y < 0 ? 0 : y, reading.button0 ? 1 : 0, reading.button1 ? 1 : 0};
    bool changed = false;
    for (int i = 0; i < 4; ++i) changed |= now[i] != kept[i];
    if (changed)
        for (int i = 0; i < 4; ++i) kept[i] = now[i];
    return changed;
}

// Any joystick button, a deflected X, Y or Z axis, or a hat pointing.
bool AnyJoystickInput() {
    InputDevices* in = runtime.input;
    if (!in) return false;
    for (int i = in->joystickCount - 1; i >= 0; --i) {
        JoystickState state;
        ReadJoystickState(*in, state, i);
        if (JoystickActive(state)) return true;
    }
    return false;
}

bool AnyMouseButtonDown() { return runtime.input && AnyMouseButton(*runtime.input); }

bool KeyTypedNow() { return runtime.input && KeyTyped(*runtime.input); }

}  // namespace

void IdleUntilInput() {
    for (int pass = 0; pass < 8; ++pass) {
        PumpMessages();
        RefreshInput();
        if (runtime.escapeEnds && KeyIsDown(kKeyEscape)) EndProgram();
        // One keyboard read per pass (above): on Windows every read drops
        // one queued input message.
        for (int code = 0; code < 255; ++code)
            if (KeyIsDown(code)) return;
        if (MouseChangedSincePreviousPass()) return;
        if (AnyJoystickInput()) return;
        platform::SleepMs(30);
    }
}

void WaitForClick() {
    if (!AnyMouseButtonDown()) {
        do {
            PumpMessages();
            IdleUntilInput();
        } while (!AnyMouseButtonDown());
    }
    // Waiting for the release keeps the window alive (and closable).
    while (AnyMouseButtonDown()) PumpMessages();
}

void WaitForKey() {
    // A key still held from before is not the one waited for.
    while (KeyTypedNow()) PumpMessages();
    while (!KeyTypedNow()) IdleUntilInput();
}

void DebugBreakpoint(double number) {
    if (!platform::DebuggerAttached()) return;
    platform::HideWindow(runtime.mainWindow);
    char text[48];
    // The number as a 32-bit int in lower-case hexadecimal (negative values
    // in two's complement, as _itoa base 16 writes them).
    std::snprintf(text, sizeof text, "BP%x", static_cast<unsigned>(TruncToInt(number)));
    platform::DebugOutput(text);
    platform::ShowAndActivate(runtime.mainWindow);
    runtime.paused = 0;
    RefreshInput();
}
