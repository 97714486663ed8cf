#include <gtest/gtest.h>

#include <cstring>

#include "core/clock.h"
#include "core/runtime_state.h"
#include "lang/number_convert.h"
#include "lang/random.h"
#include "support/test_runtime.h"

// Start-up seeds the generator with the low 32 bits of the time in
// milliseconds: the state it leaves is the one some seed between the times
// read before and after start-up gives.
TEST(StartUp, SeedsTheRandomGeneratorWithTheTime) {
    if (runtime.mainWindow) GTEST_SKIP() << "the runtime was started before this test";
    std::memset(&randomState, 0, sizeof randomState);
    uint32_t before = TimeSeed(Now());
    StartTestRuntime();
    uint32_t after = TimeSeed(Now());
    IsaacState seeded = randomState;
    ASSERT_EQ(seeded.resultCount, 256u);
    ASSERT_LT(after - before, 600000u);
    bool found = false;
    for (uint32_t s = before; !found && s != after + 1; ++s) {
        SeedRandom(s);
        found = std::memcmp(randomState.memory, seeded.memory, sizeof seeded.memory) == 0 &&
                std::memcmp(randomState.results, seeded.results, sizeof seeded.results) == 0;
    }
    EXPECT_TRUE(found) << "no seed in " << before << ".." << after;
}

// Seeds from time stamps past 2^31 ms (a machine up for 25 days) and past
// 2^32 ms still differ from one millisecond to the next.
TEST(StartUp, SeedsKeepChangingAtLargeUptimes) {
    const struct {
        double ms;
        uint32_t seed;
    } cases[] = {
        {1234.9, 1234u},
        {2147483647.0, 2147483647u},
        {2147483648.0, 2147483648u},
        {2147483649.5, 2147483649u},
        {4294967295.0, 4294967295u},
        {4294967296.0 + 7, 7u},
        {1e15 + 3, static_cast<uint32_t>(1000000000000003ull & 0xFFFFFFFFu)},
    };
    for (const auto& c : cases) EXPECT_EQ(TimeSeed(c.ms), c.seed) << c.ms;
}
