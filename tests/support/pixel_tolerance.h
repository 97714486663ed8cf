// Pixel checks in the suites both targets run. Identical GL calls leave a
// handful of pixels one unit apart on the two targets where the drawing goes
// through transforms (3D scenes, lights, fog, rotated or zoomed sprites):
// Mesa's i386 build keeps extended precision where its x86_64 build rounds
// each step, as a plain OpenGL program shows too. Such pixels are compared
// with EXPECT_CHANNEL(actual, expected), one unit either way; drawing without
// transforms (2D sprites at their size, text, read-backs, cleared
// backgrounds, pixels nothing was drawn on) is compared exactly.
#pragma once
#include <gtest/gtest.h>

constexpr int kTransformedPixelTolerance = 1;

#define EXPECT_CHANNEL(actual, expected) EXPECT_NEAR(actual, expected, kTransformedPixelTolerance)

// The same rule for colours packed as 0x00BBGGRR.
inline ::testing::AssertionResult ChannelsNear(unsigned actual, unsigned expected) {
    for (int shift = 0; shift < 24; shift += 8) {
        int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
        if (a - e > kTransformedPixelTolerance || e - a > kTransformedPixelTolerance)
            return ::testing::AssertionFailure() << std::hex << actual << " is not within "
                                                 << kTransformedPixelTolerance << " of " << expected;
    }
    return ::testing::AssertionSuccess();
}
