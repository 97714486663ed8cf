// Typed characters: the held keys turned into characters through the
// keyboard layout, one report per key press.
#pragma once
#include "input/input_devices.h"

// The character of one scan code: Backspace 8, both Return keys 10, the
// modifier and lock keys 0, every other key through the keyboard layout
// (characters from 128 and control characters give 0).
int ScanCodeToChar(const InputDevices& in, int scanCode);
// The newly typed character, or 0: the first held key (scan codes 0 ... 254)
// that gives a character, capitalised when a Shift key is held; reported
// once until the keys are released or another character comes.
int NextTypedChar(InputDevices& in);
// NextTypedChar on the key state as it is, without reading the keyboard.
int TypedCharFromHeldKeys(InputDevices& in);
// 1 when NextTypedChar reports a character (it is taken), else 0.
int KeyTyped(InputDevices& in);
