#include <brindle/maths.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Degrees convert with the divisor 57.2957795, slightly above 180/pi: the
// results sit a little off the exact angles (sin 180 is -7.17e-10, where the
// exact constant would give 1.2e-16).
TEST(Maths, TrigonometryUsesTheRuntimeDivisor) {
    EXPECT_NEAR(Sin(180), -7.173185264593126e-10, 1e-15);
    EXPECT_NEAR(Cos(90), -3.586592632296563e-10, 1e-15);
    EXPECT_NEAR(Tan(45), 1.0000000003586593, 1e-13);
    EXPECT_NEAR(ArcSin(0.5), 29.999999993150116, 1e-11);
    EXPECT_NEAR(ArcTan2(1, -1), 134.99999996917552, 1e-10);
    EXPECT_NEAR(Sin(30), 0.5, 1e-9);
}

TEST(Maths, InverseFunctionsClampTheirDomain) {
    EXPECT_EQ(ArcSin(1.5), 90);
    EXPECT_EQ(ArcSin(1), 90);
    EXPECT_EQ(ArcSin(-1), -90);
    EXPECT_EQ(ArcSin(-7), -90);
    EXPECT_EQ(ArcCos(1), 0);
    EXPECT_EQ(ArcCos(3), 0);
    EXPECT_EQ(ArcCos(-1), 180);
    EXPECT_EQ(ArcCos(-1.0001), 180);
    EXPECT_FALSE(std::isnan(ArcSin(1e300)));
}

TEST(Maths, ModTruncatesAndKeepsTheSignOfTheDividend) {
    EXPECT_EQ(Mod(7, -3), 1);
    EXPECT_EQ(Mod(-7, 3), -1);
    EXPECT_EQ(Mod(7.9, 3.9), 1);  // both truncate first: 7 % 3
    EXPECT_EQ(Mod(-7.9, 3), -1);
    EXPECT_EQ(Mod(5, 0), 0);
    // Divisors that truncate to 0 give 0 instead of dividing by zero.
    EXPECT_EQ(Mod(5, 0.5), 0);
    EXPECT_EQ(Mod(5, -0.99), 0);
    // The lowest int divided by -1 overflows in hardware; its remainder is 0.
    EXPECT_EQ(Mod(-2147483648.0, -1), 0);
    EXPECT_EQ(Mod(-2147483648.0, -1.5), 0);
    EXPECT_EQ(Mod(2147483647.0, 10), 7);
    // Operands beyond 32 bits keep their true remainder.
    EXPECT_EQ(Mod(3e9, 7), 4);
    EXPECT_EQ(Mod(-3e9, 7), -4);
    EXPECT_EQ(Mod(1e15 + 3, 1e12), 3);
    EXPECT_EQ(Mod(12, 5e9), 12);
    EXPECT_EQ(Mod(-9223372036854775808.0, -1), 0);
    EXPECT_EQ(Mod(-9223372036854775808.0, 1e18), -223372036854775808.0);
    // NaN, infinities and values beyond 64 bits have no remainder.
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = INFINITY;
    for (double x : {nan, inf, -inf, 1e19, -1e300}) {
        EXPECT_EQ(Mod(x, 3), 0) << x;
        EXPECT_EQ(Mod(3, x), 0) << x;
    }
}

TEST(Maths, PowerSqrtAbs) {
    EXPECT_EQ(Power(2, 10), 1024);
    EXPECT_EQ(Power(9, 0.5), 3);
    EXPECT_EQ(Sqrt(16), 4);
    EXPECT_TRUE(std::isnan(Sqrt(-1)));
    EXPECT_EQ(Abs(-3.25), 3.25);
    EXPECT_EQ(Abs(2), 2);
}

TEST(Maths, CharCodeIsASignedByte) {
    EXPECT_EQ(CharCode("A"), 65);
    EXPECT_EQ(CharCode("ab"), 97);
    EXPECT_EQ(CharCode("\xE9"), -23);
    EXPECT_EQ(CharCode("\x80"), -128);
    EXPECT_EQ(CharCode(""), 0);
    EXPECT_EQ(CharCode(RtString("\x7F")), 127);
}

TEST(Maths, NumberLengthCountsTheTextForm) {
    EXPECT_EQ(NumberLength(3.0), 1);   // "3": no trailing point
    EXPECT_EQ(NumberLength(-2.5), 4);  // "-2.5"
    EXPECT_EQ(NumberLength(0.1), 3);
    EXPECT_EQ(NumberLength(1234567890123.0), 14);  // "1.23456789e+12"
}

TEST(Maths, BoxesOverlapIncludesEdgesAndNegativeSizes) {
    double r = -1;
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, 10, 10, 5, 5, r), 1);  // corners touch
    EXPECT_EQ(r, 1);
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, 10.001, 0, 5, 5, r), 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, 5, 20, 1, 1, r), 0);  // x overlaps, y does not
    EXPECT_EQ(BoxesOverlap(10, 10, -10, -10, 0, 0, 1, 1, r), 1);
    EXPECT_EQ(BoxesOverlap(10, 10, -4, -4, 0, 0, 5.9, 5.9, r), 0);
    EXPECT_EQ(BoxesOverlap(2, 2, 0, 0, 0, 0, 4, 4, r), 1);  // a point inside
}
