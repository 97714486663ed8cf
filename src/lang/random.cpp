#include "lang/random.h"

#include <brindle/maths.h>

#include <cstring>

#include "lang/number_convert.h"

IsaacState randomState;

namespace {

struct MixWords {
    uint32_t a, b, c, d, e, f, g, h;

    void Mix() {
        a ^= b << 11; d += a; b += c;
        b ^= c >> 2;  e += b; c += d;
        c ^= d << 8;  f += c; d += e;
        d ^= e >> 16; g += d; e += f;
        e ^= f << 10; h += e; f += g;
        f ^= g >> 4;  a += f; g += h;
        g ^= h << 8;  b += g; h += a;
        h ^= a >> 9;  c += h; a += b;
    }
    void Add(const uint32_t* w) {
        a += w[0]; b += w[1]; c += w[2]; d += w[3];
        e += w[4]; f += w[5]; g += w[6]; h += w[7];
    }
    void Store(uint32_t* w) const {
        w[0] = a; w[1] = b; w[2] = c; w[3] = d;
        w[4] = e; w[5] = f; w[6] = g; w[7] = h;
    }
};

}  // namespace

void IsaacGenerate(IsaacState& s) {
    uint32_t a = s.a;
    uint32_t b = s.b + ++s.c;
    for (int i = 0; i < 256; ++i) {
        uint32_t x = s.memory[i];
        switch (i & 3) {
            case 0: a ^= a << 13; break;
            case 1: a ^= a >> 6; break;
            case 2: a ^= a << 2; break;
            case 3: a ^= a >> 16; break;
        }
        a += s.memory[(i + 128) & 255];
        uint32_t y = s.memory[(x >> 2) & 255] + a + b;
        s.memory[i] = y;
        b = s.memory[(y >> 10) & 255] + x;
        s.results[i] = b;
    }
    s.a = a;
    s.b = b;
}

void SeedRandom(uint32_t seed) {
    IsaacState& s = randomState;
    // The initialisation passes fold the result array in; clearing it first
    // makes a seed give the same sequence whatever ran before.
    std::memset(s.results, 0, sizeof s.results);
    s.a = s.b = s.c = 0;
    MixWords w{0x9E3779B9u, 0x9E3779B9u, 0x9E3779B9u, 0x9E3779B9u,
               0x9E3779B9u, 0x9E3779B9u, 0x9E3779B9u, 0x9E3779B9u};
    for (int i = 0; i < 256; i += 8) {
        w.a += seed;
        w.Mix();
        w.Store(s.memory + i);
    }
    for (int i = 0; i < 4; ++i) w.Mix();
    for (int i = 0; i < 256; i += 8) {
        w.Add(s.results + i);
        w.Mix();
        w.Store(s.memory + i);
    }
    for (int i = 0; i < 256; i += 8) {
        w.Add(s.memory + i);
        w.Mix();
        w.Store(s.memory + i);
    }
    IsaacGenerate(s);
    s.resultCount = 256;
}

double Random(double n) {
    IsaacGenerate(randomState);
    uint32_t r = randomState.results[0];
    // The modulus is n + 1 taken to 32 bits. It is 0 for n = -1 (and for
    // n = 4294967295): that stands for 2^32, so the whole word is returned.
    uint32_t d = static_cast<uint32_t>(static_cast<uint64_t>(TruncToInt64(n)) + 1u);
    return d == 0 ? r : r % d;
}

uint32_t TimeSeed(double milliseconds) { return Low32Bits(milliseconds); }
