// Keyboard commands of the language.
#include <brindle/input.h>

#include "core/runtime_state.h"
#include "input/input_devices.h"

double KeyDown(double code) {
    if (!runtime.input) return 0;
    InputRefresh(*runtime.input);
    // Truncated towards zero, then taken modulo 256 as a key index.
    long long n = code > -9.2e18 && code < 9.2e18 ? static_cast<long long>(code) : 0;
    return KeyHeld(*runtime.input, static_cast<int>(n & 255)) ? 1 : 0;
}
