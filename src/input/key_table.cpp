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

const uint16_t kDigits[] = {49, 50, 51, 52, 53, 54, 55, 56, 57, 48};  // 2..11
const uint16_t k12[] = {219, 221, 8, 9};                              // 12..15
const uint16_t kTopRow[] = {81, 87, 69, 82, 84, 90, 85, 73, 79, 80};  // 16..25
const uint16_t k26[] = {186, 187, 13, 17};                            // 26..29
const uint16_t kHomeRow[] = {65, 83, 68, 70, 71, 72, 74, 75, 76};     // 30..38
const uint16_t k39[] = {192, 222, 220, 16, 191};                      // 39..43
const uint16_t kBottomRow[] = {89, 88, 67, 86, 66, 78, 77};           // 44..50
const uint16_t k51[] = {188, 190, 189, 16, 106, 18, 32, 0};           // 51..58
const uint16_t kFunction[] = {112, 113, 114, 115, 116, 117, 118, 119, 120, 121};  // 59..68
const uint16_t k69[] = {144, 145, 103, 104, 105, 109, 100, 101, 102, 107,
                        97, 98, 99, 96, 110};                         // 69..83
const uint16_t k86[] = {226, 122, 123};                               // 86..88
const uint16_t k156[] = {13, 17};                                     // 156..157
const uint16_t k181[] = {111};
const uint16_t k184[] = {18};
const uint16_t k199[] = {36, 38, 33};                                 // 199..201
const uint16_t k203[] = {37};
const uint16_t k205[] = {39};
const uint16_t k207[] = {35, 40, 34, 45, 46};                         // 207..211
const uint16_t k219[] = {91, 92, 93};                                 // 219..221
const uint16_t kEscape[] = {27};
const uint16_t kZero[] = {13};

const Range kRanges[] = {
    {0, 1, kZero},      {1, 1, kEscape},     {2, 10, kDigits},    {12, 4, k12},
    {16, 10, kTopRow},  {26, 4, k26},        {30, 9, kHomeRow},   {39, 5, k39},
    {44, 7, kBottomRow}, {51, 8, k51},       {59, 10, kFunction}, {69, 15, k69},
    {86, 3, k86},       {156, 2, k156},      {181, 1, k181},      {184, 1, k184},
    {199, 3, k199},     {203, 1, k203},      {205, 1, k205},      {207, 5, k207},
    {219, 3, k219},
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
