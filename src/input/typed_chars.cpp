#include "input/typed_chars.h"

#include "platform/keyboard.h"

namespace {
constexpr int kBackspace = 14, kReturn = 28, kKeypadEnter = 156;
constexpr int kLeftShift = 42, kRightShift = 54;
}  // namespace

int ScanCodeToChar(const InputDevices& in, int scanCode) {
    switch (scanCode) {
        case kBackspace: return 8;
        case kReturn:
        case kKeypadEnter: return 10;
        // Ctrl, both Shifts, Alt, Caps Lock, Num Lock, Application.
        case 29: case kLeftShift: case kRightShift: case 56: case 58: case 69: case 221: return 0;
        default: break;
    }
    platform::HeldModifiers held;
    held.shift = KeyHeld(in, kLeftShift) || KeyHeld(in, kRightShift);
    held.control = KeyHeld(in, 29) || KeyHeld(in, 157);
    held.alt = KeyHeld(in, 56);
    held.rightAlt = KeyHeld(in, 184);
    const int c = platform::TranslateScanCode(in.window, scanCode, held);
    if (c <= 0 || c >= 128) return 0;
    return c < 32 && c != 8 && c != 10 ? 0 : c;
}

int NextTypedChar(InputDevices& in) {
    InputRefresh(in);
    return TypedCharFromHeldKeys(in);
}

int TypedCharFromHeldKeys(InputDevices& in) {
    int c = 0;
    for (int code = 0; code < 255 && c == 0; ++code)
        if (KeyHeld(in, code)) c = ScanCodeToChar(in, code);
    if (c == 0) {
        in.lastTypedChar = 0;
        return 0;
    }
    if (c >= 'a' && c <= 'z' && (KeyHeld(in, kLeftShift) || KeyHeld(in, kRightShift))) c -= 32;
    if (c == in.lastTypedChar) return 0;
    in.lastTypedChar = static_cast<uint8_t>(c);
    return c;
}

int KeyTyped(InputDevices& in) { return NextTypedChar(in) != 0 ? 1 : 0; }
