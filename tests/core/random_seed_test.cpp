#include <gtest/gtest.h>

#include <cstring>

#include "core/clock.h"
#include "core/runtime_state.h"
#include "lang/number_convert.h"
#include "lang/random.h"
#include "support/test_runtime.h"

// Start-up seeds the generator with the time in milliseconds truncated to 32
// bits: the state it leaves is the one some seed between the times read
// before and after start-up gives.
TEST(StartUp, SeedsTheRandomGeneratorWithTheTime) {
    if (runtime.mainWindow) GTEST_SKIP() << "the runtime was started before this test";
    std::memset(&randomState, 0, sizeof randomState);
    uint32_t before = static_cast<uint32_t>(TruncToInt(Now()));
    StartTestRuntime();
    uint32_t after = static_cast<uint32_t>(TruncToInt(Now()));
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
