// The waiting commands and the debugger breakpoint.
#include "core/waiting.h"

#include <brindle/core.h>

#include <cstdio>

#include "core/program_end.h"
#include "core/runtime_state.h"
#include "core/window.h"
#include "input/input_devices.h"
#include "lang/number_convert.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

void RefreshInput() {
    if (!runtime.input) return;
    InputRefresh(*runtime.input);
    runtime.input->newFrame = 1;
}

bool KeyIsDown(int code) { return runtime.input && KeyHeld(*runtime.input, code); }

// Input sources of later subsystems; each joins here when it exists.
// The mouse: position or either of the first two buttons changed since the
// previous pass (positions clamped to the screen).
bool MouseChangedSincePreviousPass() { return false; }
// Any joystick button, a deflected X, Y or Z axis, or a hat pointing.
bool AnyJoystickInput() { return false; }
// Any mouse button held.
bool AnyMouseButtonDown() { return false; }

// A character typed since the last call. Until typed characters exist a key
// that is held counts as typed.
bool KeyTypedSinceLastCall() {
    RefreshInput();
    for (int code = 1; code < 255; ++code)
        if (KeyIsDown(code)) return true;
    return false;
}

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
    while (AnyMouseButtonDown()) {
    }
}

void WaitForKey() {
    // A key still held from before is not the one waited for.
    while (KeyTypedSinceLastCall()) {
        PumpMessages();
    }
    while (!KeyTypedSinceLastCall()) IdleUntilInput();
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
