// The seam: the keyboard source of the device-input layer. On Windows this is
// DirectInput (interface version 0x0500) with the plain Win32 key calls as
// fallback; on Linux SDL's keyboard state, delivered in the same scan codes.
#pragma once
#include <cstdint>

#include "platform/device_input.h"
#include "platform/native_window.h"

namespace platform {

// Creates the system keyboard device with the standard keyboard data format
// and exclusive foreground cooperation on the window; null when it cannot be
// created. `acquired` tells whether acquiring it worked.
KeyboardDevice CreateKeyboardDevice(DeviceInput deviceInput, NativeWindow window, bool& acquired);
// Acquires the keyboard (setting format and cooperation again when that
// fails) and reads the 256-byte state, indexed by scan code, bit 7 = held.
// False when the state could not be read.
bool ReadKeyboardDevice(KeyboardDevice keyboard, NativeWindow window, uint8_t keyState[256]);
void ReleaseKeyboardDevice(KeyboardDevice keyboard);

// Drops one waiting keyboard or mouse message, as the device keyboard read
// did with the Win32 message queue; nothing where no such queue exists.
void DropOneInputMessage();

// Without a keyboard device: the 256-byte virtual-key state of the thread,
// and whether a virtual key is down right now.
void ReadVirtualKeyState(uint8_t keyState[256]);
bool AsyncKeyDown(int virtualKey);

// The modifier keys the runtime's key state holds (device keyboard or
// fallback). The layout translation takes the modifiers from here, not from
// the system's own key state, which can miss them (Wine's thread key state
// misses keys an exclusive device keyboard took) or be ahead of or behind
// the state the held keys were read from; lock toggles and the layout group
// are the system's.
struct HeldModifiers {
    bool shift, control, alt, rightAlt;
};
// The character the keyboard layout gives for a scan code (DirectInput
// numbering) with the modifier keys held now (Shift levels, AltGr, Caps
// Lock), as one 8-bit code; 0 when the key gives no single character.
int TranslateScanCode(NativeWindow window, int scanCode, const HeldModifiers& held);

// The system cursor position in client coordinates of the window.
void CursorClientPosition(NativeWindow window, int& x, int& y);

}  // namespace platform
