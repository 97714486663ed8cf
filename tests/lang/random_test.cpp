#include <brindle/maths.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "lang/random.h"

namespace {

// ISAAC written out plainly, after the published readable version: mixing
// on an array of eight words, the generation loop with its four shifts.
struct ReferenceIsaac {
    uint32_t rsl[256] = {}, mm[256] = {};
    uint32_t aa = 0, bb = 0, cc = 0;

    static void Mix(uint32_t w[8]) {
        static const int shift[8] = {11, 2, 8, 16, 10, 4, 8, 9};
        for (int n = 0; n < 8; ++n) {
            uint32_t& x = w[n];
            const uint32_t& next = w[(n + 1) % 8];
            if (n % 2 == 0) x ^= next << shift[n];
            else x ^= next >> shift[n];
            w[(n + 3) % 8] += x;
            w[(n + 1) % 8] += w[(n + 2) % 8];
        }
    }

    void Generate() {
        cc = cc + 1;
        bb = bb + cc;
        for (int i = 0; i < 256; ++i) {
            uint32_t x = mm[i];
            switch (i % 4) {
                case 0: aa = aa ^ (aa << 13); break;
                case 1: aa = aa ^ (aa >> 6); break;
                case 2: aa = aa ^ (aa << 2); break;
                case 3: aa = aa ^ (aa >> 16); break;
            }
            aa = mm[(i + 128) % 256] + aa;
            uint32_t y = mm[(x >> 2) % 256] + aa + bb;
            mm[i] = y;
            bb = mm[(y >> 10) % 256] + x;
            rsl[i] = bb;
        }
    }

    // The two initialisation passes over rsl and mm, then one generation.
    void InitPasses(uint32_t w[8]) {
        for (int pass = 0; pass < 2; ++pass) {
            const uint32_t* source = pass == 0 ? rsl : mm;
            for (int i = 0; i < 256; i += 8) {
                for (int n = 0; n < 8; ++n) w[n] += source[i + n];
                Mix(w);
                for (int n = 0; n < 8; ++n) mm[i + n] = w[n];
            }
        }
        Generate();
    }

    // The published initialisation with rsl as the seed words.
    void StandardInit() {
        uint32_t w[8];
        for (auto& x : w) x = 0x9e3779b9;
        for (int i = 0; i < 4; ++i) Mix(w);
        InitPasses(w);
    }

    // The runtime's seeding: the seed added 32 times while the memory fills,
    // four more mixes, then the standard passes over a cleared result array.
    void RuntimeSeed(uint32_t seed) {
        uint32_t w[8];
        for (auto& x : w) x = 0x9e3779b9;
        for (int group = 0; group < 32; ++group) {
            w[0] += seed;
            Mix(w);
            for (int n = 0; n < 8; ++n) mm[group * 8 + n] = w[n];
        }
        for (int i = 0; i < 4; ++i) Mix(w);
        for (auto& x : rsl) x = 0;
        aa = bb = cc = 0;
        InitPasses(w);
    }
};

}  // namespace

// The reference itself against the published test vector: zero seed words,
// first result 0xf650e4c8.
TEST(Random, ReferenceMatchesPublishedVector) {
    ReferenceIsaac ref;
    ref.StandardInit();
    ref.Generate();
    EXPECT_EQ(ref.rsl[0], 0xf650e4c8u);
    EXPECT_EQ(ref.rsl[1], 0xe448e96du);
}

TEST(Random, GenerationStepEqualsReference) {
    ReferenceIsaac ref;
    ref.StandardInit();
    IsaacState state;
    std::copy(std::begin(ref.mm), std::end(ref.mm), state.memory);
    state.a = ref.aa;
    state.b = ref.bb;
    state.c = ref.cc;
    for (int step = 0; step < 5; ++step) {
        ref.Generate();
        IsaacGenerate(state);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(state.results[i], ref.rsl[i]) << step << " " << i;
        for (int i = 0; i < 256; ++i) ASSERT_EQ(state.memory[i], ref.mm[i]) << step << " " << i;
    }
}

TEST(Random, SeededSequenceEqualsReference) {
    for (uint32_t seed : {0u, 1u, 12345u, 0x9E3779B9u, 0xFFFFFFFFu}) {
        ReferenceIsaac ref;
        ref.RuntimeSeed(seed);
        SeedRandom(seed);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(randomState.memory[i], ref.mm[i]) << seed;
        EXPECT_EQ(randomState.resultCount, 256u);
        for (int draw = 0; draw < 50; ++draw) {
            ref.Generate();
            uint32_t word = ref.rsl[0];
            switch (draw % 3) {
                case 0: ASSERT_EQ(Random(4294967295.0), word) << seed << " " << draw; break;
                case 1: ASSERT_EQ(Random(5), word % 6) << seed << " " << draw; break;
                case 2: ASSERT_EQ(Random(1000.7), word % 1001) << seed << " " << draw; break;
            }
        }
    }
}

TEST(Random, SameSeedSameSequenceWhateverCameBefore) {
    SeedRandom(42);
    double first[20];
    for (double& x : first) x = Random(1e6);
    SeedRandom(7);
    for (int i = 0; i < 33; ++i) Random(9);
    SeedRandom(42);
    for (double x : first) EXPECT_EQ(Random(1e6), x);
}

TEST(Random, RangeEdges) {
    SeedRandom(99);
    std::set<double> seen;
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(Random(0), 0);
        double r = Random(1);
        EXPECT_TRUE(r == 0 || r == 1);
        seen.insert(r);
        double d = Random(6.9);  // truncates to 6: 0..6
        EXPECT_TRUE(d >= 0 && d <= 6 && d == static_cast<int>(d));
    }
    EXPECT_EQ(seen.size(), 2u);

    // n = -1 makes the modulus 0, which stands for 2^32: the whole word comes
    // back, as for n = 4294967295.
    ReferenceIsaac ref;
    ref.RuntimeSeed(5);
    SeedRandom(5);
    ref.Generate();
    EXPECT_EQ(Random(-1), ref.rsl[0]);
    ref.Generate();
    EXPECT_EQ(Random(-1.5), ref.rsl[0]);  // truncates to -1
    // Other negative n follow the 32-bit modulus: -2 gives n + 1 = 0xFFFFFFFF.
    ref.Generate();
    EXPECT_EQ(Random(-2), ref.rsl[0] % 0xFFFFFFFFu);
    // Not a number counts as the lowest 64-bit integer: modulus 1, result 0.
    EXPECT_EQ(Random(std::numeric_limits<double>::quiet_NaN()), 0);
}
