// Time, checksums and byte order.
#include <chrono>
#include <cstring>

#include "nl/internal.h"

using namespace nlimpl;

namespace {

struct Crc16Table {
    NLushort entries[256];
    Crc16Table() {
        for (int i = 0; i < 256; ++i) {
            NLushort crc = static_cast<NLushort>(i << 8);
            for (int bit = 0; bit < 8; ++bit)
                crc = static_cast<NLushort>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
            entries[i] = crc;
        }
        // HawkNL's table has entries 192..199 and 200..207 the other way
        // round; checksums already stored or sent depend on that.
        for (int i = 0; i < 8; ++i) {
            NLushort t = entries[192 + i];
            entries[192 + i] = entries[200 + i];
            entries[200 + i] = t;
        }
    }
};

struct Crc32Table {
    uint32_t entries[256];
    Crc32Table() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t crc = i;
            for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
            entries[i] = crc;
        }
    }
};

// Data is little-endian on every target here; big-endian data is swapped.
bool SwapData() { return lib().bigEndianData.load(); }

uint16_t Swap16(uint16_t x) { return static_cast<uint16_t>(x >> 8 | x << 8); }
uint32_t Swap32(uint32_t x) {
    return x >> 24 | (x >> 8 & 0xFF00u) | (x << 8 & 0xFF0000u) | x << 24;
}

}  // namespace

extern "C" {

NLboolean HL_APIENTRY nlTime(NLtime* t) {
    if (!Given(t)) return NL_FALSE;
    auto now = std::chrono::system_clock::now().time_since_epoch();
    long long us = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    t->seconds = static_cast<NLlong>(us / 1000000);
    t->useconds = static_cast<NLlong>(us % 1000000);
    t->mseconds = t->useconds / 1000;
    return NL_TRUE;
}

NLushort HL_APIENTRY nlGetCRC16(NLubyte* data, NLint len) {
    static const Crc16Table table;
    NLushort crc = 0xFFFF;
    for (NLint i = 0; data && i < len; ++i)
        crc = static_cast<NLushort>(crc << 8 ^ table.entries[(crc >> 8 ^ data[i]) & 0xFF]);
    return crc;
}

NLulong HL_APIENTRY nlGetCRC32(NLubyte* data, NLint len) {
    static const Crc32Table table;
    uint32_t crc = 0xFFFFFFFFu;
    for (NLint i = 0; data && i < len; ++i) crc = crc >> 8 ^ table.entries[(crc ^ data[i]) & 0xFF];
    return crc;  // no final complement, as HawkNL
}

NLushort HL_APIENTRY nlSwaps(NLushort x) { return SwapData() ? Swap16(x) : x; }

// Longs are 32-bit values on the wire on every target (as on i386).
NLulong HL_APIENTRY nlSwapl(NLulong x) {
    uint32_t v = static_cast<uint32_t>(x);
    return SwapData() ? Swap32(v) : v;
}

NLfloat HL_APIENTRY nlSwapf(NLfloat f) {
    if (!SwapData()) return f;
    uint32_t v;
    memcpy(&v, &f, 4);
    v = Swap32(v);
    memcpy(&f, &v, 4);
    return f;
}

NLdouble HL_APIENTRY nlSwapd(NLdouble d) {
    if (!SwapData()) return d;
    uint64_t v;
    memcpy(&v, &d, 8);
    v = static_cast<uint64_t>(Swap32(static_cast<uint32_t>(v))) << 32 | Swap32(static_cast<uint32_t>(v >> 32));
    memcpy(&d, &v, 8);
    return d;
}

}  // extern "C"
