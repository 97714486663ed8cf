// The runtime's maths functions against a reference table that mpmath
// computes at build time (maths_reference.py): every result within one unit
// in the last place of the exact value (exactly rounded where IEEE 754
// demands it), and the same bits on both targets: each function's results
// must hash to the digest recorded below, on Linux and on Windows alike.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "lang/portable_maths.h"

namespace {

struct Function {
    bool isFloat;
    int arity;
    bool exactlyRounded;
    double (*call)(double, double);
    uint64_t digest;  // FNV-1a of the results' bits in table order, the same on both targets
};

// The table's calls; float functions convert exactly both ways.
#define D1(f) [](double x, double) { return maths::f(x); }
#define D2(f) [](double x, double y) { return maths::f(x, y); }
#define F1(f) [](double x, double) { return double(maths::f(float(x))); }
#define F2(f) [](double x, double y) { return double(maths::f(float(x), float(y))); }

const std::map<std::string, Function>& Functions() {
    static const std::map<std::string, Function> table = {
        {"sin", {false, 1, false, D1(sin), 0x4c2043a31c6f0d7aull}},
        {"cos", {false, 1, false, D1(cos), 0x6c9145472b75e4e0ull}},
        {"tan", {false, 1, false, D1(tan), 0xa0ce359e03c9c7daull}},
        {"asin", {false, 1, false, D1(asin), 0x939d96628f4b3ca9ull}},
        {"acos", {false, 1, false, D1(acos), 0x01e9ac47e2ebbd17ull}},
        {"atan", {false, 1, false, D1(atan), 0x192cd63b05b0cbb6ull}},
        {"atan2", {false, 2, false, D2(atan2), 0x8afd2860f6c9fa35ull}},
        {"exp", {false, 1, false, D1(exp), 0xd5d274c3e1405883ull}},
        {"log", {false, 1, false, D1(log), 0x4548ea3562bbe8f0ull}},
        {"log10", {false, 1, false, D1(log10), 0xc42241931b1aba91ull}},
        {"pow", {false, 2, false, D2(pow), 0x609b7868f0981d96ull}},
        {"sqrt", {false, 1, true, D1(sqrt), 0x5f4fe2a0db8d2f23ull}},
        {"fmod", {false, 2, true, D2(fmod), 0x2dd9c1f10f0b9058ull}},
        {"floor", {false, 1, true, D1(floor), 0x967316ee343facfdull}},
        {"ceil", {false, 1, true, D1(ceil), 0x0ee466fba3d24593ull}},
        {"trunc", {false, 1, true, D1(trunc), 0x23db43c475777c77ull}},
        {"sinf", {true, 1, false, F1(sin), 0x212d968daa511f98ull}},
        {"cosf", {true, 1, false, F1(cos), 0xfcf336fae84c765cull}},
        {"tanf", {true, 1, false, F1(tan), 0x9af3ebeb23fda40cull}},
        {"sqrtf", {true, 1, true, F1(sqrt), 0x9b1c1899c02f7e32ull}},
        {"fmodf", {true, 2, true, F2(fmod), 0x826f6b921b2c0afeull}},
        {"truncf", {true, 1, true, F1(trunc), 0xdc829136b4906956ull}},
        {"ceilf", {true, 1, true, F1(ceil), 0x0c102ec08584902dull}},
    };
    return table;
}

double FromBits(const std::string& hex, bool isFloat) {
    uint64_t b = std::stoull(hex, nullptr, 16);
    if (isFloat) {
        uint32_t b32 = static_cast<uint32_t>(b);
        float f;
        std::memcpy(&f, &b32, 4);
        return f;
    }
    double d;
    std::memcpy(&d, &b, 8);
    return d;
}

uint64_t Bits(double v, bool isFloat) {
    if (isFloat) {
        float f = static_cast<float>(v);
        uint32_t b;
        std::memcpy(&b, &f, 4);
        return b;
    }
    uint64_t b;
    std::memcpy(&b, &v, 8);
    return b;
}

// Position on the number line in units in the last place: neighbouring
// values differ by 1, and -0 and +0 share 0.
int64_t Ordinal(double v, bool isFloat) {
    uint64_t b = Bits(v, isFloat);
    uint64_t sign = isFloat ? 0x80000000u : 0x8000000000000000u;
    int64_t magnitude = static_cast<int64_t>(b & ~sign);
    return (b & sign) ? -magnitude : magnitude;
}

struct Summary {
    int count = 0;
    int notExactlyRounded = 0;
    double worst = 0;  // units in the last place
    uint64_t digest = 14695981039346656037ull;
};

TEST(MathsLibrary, WithinOneUlpOfMpmathAndTheSameBitsOnBothTargets) {
    std::ifstream in(BRINDLE_MATHS_TABLE);
    ASSERT_TRUE(in) << "missing " << BRINDLE_MATHS_TABLE;
    std::map<std::string, Summary> summaries;
    std::string line;
    int failures = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name, a, b, expected;
        double offset;
        fields >> name >> a;
        auto found = Functions().find(name);
        ASSERT_NE(found, Functions().end()) << line;
        const Function& f = found->second;
        if (f.arity == 2) fields >> b;
        fields >> expected >> offset;
        ASSERT_FALSE(fields.fail()) << line;
        double x = FromBits(a, f.isFloat), y = f.arity == 2 ? FromBits(b, f.isFloat) : 0;
        double result = f.call(x, y);

        Summary& s = summaries[name];
        ++s.count;
        uint64_t bits = Bits(result, f.isFloat);
        for (int i = 0; i < (f.isFloat ? 4 : 8); ++i) {
            s.digest ^= (bits >> (8 * i)) & 0xFF;
            s.digest *= 1099511628211ull;
        }
        bool ok;
        if (expected == "nan") {
            ok = std::isnan(result);
        } else if (std::isnan(result)) {
            ok = false;
        } else {
            double want = FromBits(expected, f.isFloat);
            int64_t k = Ordinal(result, f.isFloat) - Ordinal(want, f.isFloat);
            double error = std::fabs(static_cast<double>(k) - offset);
            if (k != 0) ++s.notExactlyRounded;
            if (error > s.worst) s.worst = error;
            ok = error <= (f.exactlyRounded ? 0.5 : 1.0) &&
                 (want != 0 || std::signbit(result) == std::signbit(want));
        }
        if (!ok && ++failures <= 20) {
            char text[64];
            std::snprintf(text, sizeof text, "%.17g", result);
            ADD_FAILURE() << line << ": got " << text << " (bits " << std::hex << bits << ")";
        }
    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(summaries.size(), Functions().size());
    for (const auto& [name, s] : summaries) {
        std::printf("%-7s %5d arguments, worst %.3f ulp, %4d not exactly rounded, digest %016" PRIx64 "\n",
                    name.c_str(), s.count, s.worst, s.notExactlyRounded, s.digest);
        EXPECT_EQ(s.digest, Functions().at(name).digest)
            << name << ": results differ from the bits recorded for both targets";
    }
}

}  // namespace
