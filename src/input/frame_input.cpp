#include "input/frame_input.h"

#include "core/frame.h"
#include "core/runtime_state.h"
#include "input/input_devices.h"

void RefreshInputAndCheckEndKeys() {
    InputDevices* in = runtime.input;
    if (!in) return;
    InputRefresh(*in);
    in->newFrame = 1;
    if (runtime.escapeEnds && KeyHeld(*in, kKeyEscape)) EndFromKeyboard();
    if (KeyHeld(*in, kKeyLeftAlt) && KeyHeld(*in, kKeyF4)) EndFromKeyboard();
}
