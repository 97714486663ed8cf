// Key codes: the fallback table from scan codes to virtual keys, and the
// map from keyboard usages (SDL's scancodes) to DirectInput scan codes.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "input/input_devices.h"
#include "platform/key_usage_map.h"

namespace {

using platform::KeyUsageScanCode;
using platform::KeyUsageTable;
using platform::ScanCodeForKeyUsage;

InputDevices FallbackTable() {
    InputDevices in{};
    BuildKeyTable(in, false);
    return in;
}

// scan code -> virtual key, as the fallback keyboard documents it.
std::map<int, int> DocumentedFallback() {
    std::map<int, int> m;
    auto run = [&](int scan, std::initializer_list<int> keys) {
        for (int k : keys) m[scan++] = k;
    };
    run(0, {13, 27, 49, 50, 51, 52, 53, 54, 55, 56, 57, 48, 219, 221, 8, 9});
    run(16, {81, 87, 69, 82, 84, 90, 85, 73, 79, 80, 186, 187, 13, 17});
    run(30, {65, 83, 68, 70, 71, 72, 74, 75, 76, 192, 222, 220, 16, 191});
    run(44, {89, 88, 67, 86, 66, 78, 77, 188, 190, 189, 16, 106, 18, 32, 0});
    run(59, {112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 144, 145});
    run(71, {103, 104, 105, 109, 100, 101, 102, 107, 97, 98, 99, 96, 110});
    run(86, {226, 122, 123});
    run(156, {13, 17});
    run(181, {111});
    run(184, {18});
    run(199, {36, 38, 33});
    run(203, {37});
    run(205, {39});
    run(207, {35, 40, 34, 45, 46});
    run(219, {91, 92, 93});
    return m;
}

TEST(FallbackKeyTable, EveryScanCodeMapsAsDocumented) {
    InputDevices in = FallbackTable();
    std::map<int, int> documented = DocumentedFallback();
    for (int scan = 0; scan < 256; ++scan) {
        auto it = documented.find(scan);
        int expected = it == documented.end() ? 255 : it->second;
        EXPECT_EQ(in.keyTable[scan], expected) << "scan code " << scan;
    }
}

TEST(FallbackKeyTable, GermanLayoutAndSpecialKeys) {
    InputDevices in = FallbackTable();
    EXPECT_EQ(in.keyTable[21], 'Z');  // QWERTZ: the key right of T
    EXPECT_EQ(in.keyTable[44], 'Y');
    EXPECT_EQ(in.keyTable[58], 0);    // Caps Lock has no virtual key here
    EXPECT_EQ(in.keyTable[1], 27);    // Escape
    EXPECT_EQ(in.keyTable[56], 18);   // left Alt
    EXPECT_EQ(in.keyTable[62], 115);  // F4
    EXPECT_EQ(in.keyTable[255], 255);
}

TEST(FallbackKeyTable, WithDeviceEveryCodeIsItself) {
    InputDevices in{};
    BuildKeyTable(in, false);
    BuildKeyTable(in, true);
    for (int scan = 0; scan < 256; ++scan) EXPECT_EQ(in.keyTable[scan], scan);
}

// Usage numbers are the USB HID keyboard page (SDL's scancode numbers).
TEST(KeyUsageMap, KnownKeys) {
    EXPECT_EQ(ScanCodeForKeyUsage(41), 1);     // Escape
    EXPECT_EQ(ScanCodeForKeyUsage(40), 28);    // Return
    EXPECT_EQ(ScanCodeForKeyUsage(225), 42);   // left Shift
    EXPECT_EQ(ScanCodeForKeyUsage(229), 54);   // right Shift
    EXPECT_EQ(ScanCodeForKeyUsage(44), 57);    // Space
    EXPECT_EQ(ScanCodeForKeyUsage(58), 59);    // F1
    EXPECT_EQ(ScanCodeForKeyUsage(67), 68);    // F10
    EXPECT_EQ(ScanCodeForKeyUsage(61), 62);    // F4
    EXPECT_EQ(ScanCodeForKeyUsage(226), 56);   // left Alt
    EXPECT_EQ(ScanCodeForKeyUsage(82), 200);   // cursor up
    EXPECT_EQ(ScanCodeForKeyUsage(81), 208);   // cursor down
    EXPECT_EQ(ScanCodeForKeyUsage(80), 203);   // cursor left
    EXPECT_EQ(ScanCodeForKeyUsage(79), 205);   // cursor right
    EXPECT_EQ(ScanCodeForKeyUsage(30), 2);     // digit 1
    EXPECT_EQ(ScanCodeForKeyUsage(39), 11);    // digit 0
    EXPECT_EQ(ScanCodeForKeyUsage(20), 16);    // Q
    EXPECT_EQ(ScanCodeForKeyUsage(4), 30);     // A
    EXPECT_EQ(ScanCodeForKeyUsage(29), 44);    // Z (bottom row, left)
    EXPECT_EQ(ScanCodeForKeyUsage(88), 156);   // keypad Enter
    EXPECT_EQ(ScanCodeForKeyUsage(228), 157);  // right Control
    EXPECT_EQ(ScanCodeForKeyUsage(230), 184);  // right Alt
    EXPECT_EQ(ScanCodeForKeyUsage(0), 0);      // no key
    EXPECT_EQ(ScanCodeForKeyUsage(-1), 0);
    EXPECT_EQ(ScanCodeForKeyUsage(100000), 0);
}

TEST(KeyUsageMap, CoversAPcKeyboardWithDistinctCodes) {
    int count = 0;
    const KeyUsageScanCode* table = KeyUsageTable(count);
    std::set<int> usages, codes;
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(usages.insert(table[i].usage).second) << "usage twice: " << table[i].usage;
        EXPECT_TRUE(codes.insert(table[i].scanCode).second)
            << "scan code " << table[i].scanCode << " shared, usage " << table[i].usage;
        EXPECT_GT(table[i].scanCode, 0);
        EXPECT_LT(table[i].scanCode, 256);
        EXPECT_EQ(ScanCodeForKeyUsage(table[i].usage), table[i].scanCode);
    }
    // Every key of the 105-key layout: letters, digits, the main block,
    // function keys, the navigation block, the keypad and the modifiers.
    for (int usage = 4; usage <= 49; ++usage) EXPECT_NE(ScanCodeForKeyUsage(usage), 0) << usage;
    for (int usage = 51; usage <= 101; ++usage) EXPECT_NE(ScanCodeForKeyUsage(usage), 0) << usage;
    for (int usage = 224; usage <= 231; ++usage) EXPECT_NE(ScanCodeForKeyUsage(usage), 0) << usage;
    // The scan codes of the full scan-code set for those keys are 1..88.
    for (int scan = 1; scan <= 88; ++scan) {
        if (scan == 84 || scan == 85) continue;  // no key on a PC keyboard
        EXPECT_TRUE(codes.count(scan)) << "no key gives scan code " << scan;
    }
}

TEST(InputRecord, ResetValues) {
    InputDevices in;
    std::memset(&in, 0xA5, sizeof in);
    InputReset(in);
    EXPECT_EQ(in.joystickCount, 0);
    EXPECT_EQ(in.mouseFree, 0);
    EXPECT_EQ(in.frameDX, 0);
    EXPECT_EQ(in.frameDY, 0);
    EXPECT_EQ(in.frameWheel, 0);
    EXPECT_EQ(in.newFrame, 1);
    EXPECT_EQ(in.mouseX, 100);
    EXPECT_EQ(in.mouseY, 100);
    EXPECT_EQ(in.window, nullptr);
    EXPECT_EQ(in.directInput, nullptr);
    EXPECT_EQ(in.keyboardDevice, nullptr);
    EXPECT_EQ(in.mouseDevice, nullptr);
    for (platform::JoystickDevice j : in.joystickDevices) EXPECT_EQ(j, nullptr);
}

}  // namespace
