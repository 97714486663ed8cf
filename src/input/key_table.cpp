// Scan code to virtual key, for the fallback keyboard. The letter rows and
// punctuation follow the German (QWERTZ) layout the runtime was made for:
// scan code 21 is the Z key's virtual key, 44 the Y key's.
#include "input/input_devices.h"

namespace {
struct Range {
    int firstScan;
    int count;
    const uint16_t* keys;
};

// Virtual keys of consecutive scan codes, named after the keys they cover.
const uint16_t kNoKey[] = {13};                                         // 0
const uint16_t kEscape[] = {27};                                        // 1
const uint16_t kDigits[] = {49, 50, 51, 52, 53, 54, 55, 56, 57, 48};    // 2..11
// 12..15: sz, accent, Backspace, Tab
const uint16_t kDigitRowEnd[] = {219, 221, 8, 9};
const uint16_t kTopRow[] = {81, 87, 69, 82, 84, 90, 85, 73, 79, 80};    // 16..25
// 26..29: ue, plus, Return, left Control
const uint16_t kTopRowEnd[] = {186, 187, 13, 17};
const uint16_t kHomeRow[] = {65, 83, 68, 70, 71, 72, 74, 75, 76};       // 30..38
// 39..43: oe, ae, caret, left Shift, hash
const uint16_t kHomeRowEnd[] = {192, 222, 220, 16, 191};
const uint16_t kBottomRow[] = {89, 88, 67, 86, 66, 78, 77};             // 44..50
// 51..58: , . - right Shift, keypad *, Alt, Space, Caps Lock
const uint16_t kBottomRowEnd[] = {188, 190, 189, 16, 106, 18, 32, 0};
const uint16_t kFunction[] = {112, 113, 114, 115, 116, 117, 118, 119, 120, 121};  // 59..68
// 69..83: Num Lock, Scroll Lock, the keypad
const uint16_t kKeypad[] = {144, 145, 103, 104, 105, 109, 100, 101, 102, 107, 97, 98, 99, 96, 110};
const uint16_t kIsoKeyF11F12[] = {226, 122, 123};                       // 86..88
const uint16_t kKeypadEnterRightControl[] = {13, 17};                   // 156..157
const uint16_t kKeypadDivide[] = {111};                                 // 181
const uint16_t kRightAlt[] = {18};                                      // 184
const uint16_t kHomeUpPageUp[] = {36, 38, 33};                          // 199..201
const uint16_t kLeft[] = {37};                                          // 203
const uint16_t kRight[] = {39};                                         // 205
const uint16_t kEndDownPageDownInsertDelete[] = {35, 40, 34, 45, 46};   // 207..211
const uint16_t kWindowsKeysMenu[] = {91, 92, 93};                       // 219..221

const Range kRanges[] = {
    {0, 1, kNoKey},
    {1, 1, kEscape},
    {2, 10, kDigits},
    {12, 4, kDigitRowEnd},
    {16, 10, kTopRow},
    {26, 4, kTopRowEnd},
    {30, 9, kHomeRow},
    {39, 5, kHomeRowEnd},
    {44, 7, kBottomRow},
    {51, 8, kBottomRowEnd},
    {59, 10, kFunction},
    {69, 15, kKeypad},
    {86, 3, kIsoKeyF11F12},
    {156, 2, kKeypadEnterRightControl},
    {181, 1, kKeypadDivide},
    {184, 1, kRightAlt},
    {199, 3, kHomeUpPageUp},
    {203, 1, kLeft},
    {205, 1, kRight},
    {207, 5, kEndDownPageDownInsertDelete},
    {219, 3, kWindowsKeysMenu},
};
}  // namespace

void BuildKeyTable(InputDevices& in, bool hasKeyboardDevice) {
    for (int i = 0; i < 255; ++i) in.keyTable[i] = static_cast<uint16_t>(i);
    in.keyTable[255] = 255;
    if (hasKeyboardDevice) return;  // not consulted with a device
    for (int i = 0; i < 255; ++i) in.keyTable[i] = 255;
    for (const Range& r : kRanges)
        for (int i = 0; i < r.count; ++i) in.keyTable[r.firstScan + i] = r.keys[i];
}
