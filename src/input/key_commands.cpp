// Keyboard commands of the language.
#include <brindle/input.h>

#include "core/runtime_state.h"
#include "input/input_devices.h"
#include "lang/number_convert.h"

double KeyDown(double code) {
    if (!runtime.input) return 0;
    InputRefresh(*runtime.input);
    return KeyHeld(*runtime.input, TruncToInt(code) & 255) ? 1 : 0;
}
