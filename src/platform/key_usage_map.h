// Keyboard usage codes (the USB HID keyboard page, as SDL's scancodes number
// them; SDL's own codes from 258 for the media keys) to DirectInput scan codes.
// Used by the SDL keyboard backend; plain data with no SDL dependency, so it
// is built (and tested) on both targets.
#pragma once

namespace platform {

struct KeyUsageScanCode {
    int usage;
    int scanCode;
};

// The DirectInput scan code of a key usage, or 0 for keys without one.
int ScanCodeForKeyUsage(int usage);
// The whole table: every key of a PC keyboard, one entry per physical key.
const KeyUsageScanCode* KeyUsageTable(int& count);

}  // namespace platform
