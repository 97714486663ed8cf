#include <brindle/strings.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

TEST(StringOperators, ConcatenationOfEveryOperandKind) {
    RtString a("a"), x("x");
    EXPECT_STREQ((a + 1).Text(), "a1");
    EXPECT_STREQ((1.5 + x).Text(), "1.5x");
    EXPECT_STREQ((2.0 + x).Text(), "2x");  // no trailing point
    EXPECT_STREQ(Concat(0.1, "").Text(), "0.1");
    EXPECT_STREQ((a + x).Text(), "ax");
    EXPECT_STREQ((a + "bc").Text(), "abc");
    EXPECT_STREQ(("bc" + a).Text(), "bca");
    EXPECT_STREQ((a + 2.5f).Text(), "a2.5");
    EXPECT_STREQ((-3 + a).Text(), "-3a");
    EXPECT_STREQ((0.25f + a).Text(), "0.25a");
    EXPECT_STREQ((a + -0.0).Text(), "a-0");
    EXPECT_STREQ(Concat("p", "q").Text(), "pq");
    EXPECT_STREQ(Concat("p", 7).Text(), "p7");
    EXPECT_STREQ(Concat("p", 1e21).Text(), "p1e+21");
    EXPECT_STREQ(Concat(12, "z").Text(), "12z");
    EXPECT_STREQ(Concat(1.0f / 3, "z").Text(), "0.3333333433z");  // the float widened first
    EXPECT_STREQ(Concat(1.0 / 3, "z").Text(), "0.3333333333z");
    // The left operand is not changed, and a chain builds left to right.
    RtString chain = a + 1 + "-" + 2.5 + x;
    EXPECT_STREQ(chain.Text(), "a1-2.5x");
    EXPECT_STREQ(a.Text(), "a");
    // A result built from a number starts with a 512-byte block.
    EXPECT_EQ((5 + x).capacity(), 512u);
}

TEST(StringOperators, AppendAssign) {
    RtString s("n=");
    s += 3;
    s += "; ";
    s += 0.5;
    s += RtString("!");
    s += 1.25f;
    EXPECT_STREQ(s.Text(), "n=3; 0.5!1.25");
    EXPECT_EQ(s.length(), std::strlen(s.Text()));
    s += s;
    EXPECT_STREQ(s.Text(), "n=3; 0.5!1.25n=3; 0.5!1.25");

    // Appending numbers in a loop grows the block in 512-byte steps.
    RtString grow;
    std::string expected;
    uint32_t lastCapacity = grow.capacity();
    for (int i = 0; i < 400; ++i) {
        grow += i;
        expected += std::to_string(i);
        if (grow.capacity() != lastCapacity) {
            EXPECT_EQ(grow.capacity(), (grow.length() / 512 + 1) * 512) << i;
            lastCapacity = grow.capacity();
        }
    }
    EXPECT_EQ(std::string(grow.Text()), expected);
    EXPECT_EQ(grow.capacity() % 512, 0u);
}

TEST(StringComparisons, ByteOrder) {
    RtString B("B"), a("a");
    EXPECT_EQ(B < a, 1.0);  // upper case sorts before lower case
    EXPECT_EQ(Less("B", "a"), 1.0);
    EXPECT_EQ(Greater("a", B), 1.0);
    EXPECT_EQ(RtString("\xE9") > "z", 1.0);  // bytes compare unsigned
    EXPECT_EQ(RtString("abc") < "abd", 1.0);
    EXPECT_EQ(RtString("ab") < "abc", 1.0);
    EXPECT_EQ(LessEqual("abc", "abc"), 1.0);
    EXPECT_EQ(GreaterEqual("abc", RtString("abd")), 0.0);
    EXPECT_EQ(RtString("abc") != "abc", 0.0);
    EXPECT_EQ(NotEqual(RtString("x"), RtString("y")), 1.0);
    EXPECT_EQ(CompareText("B", "a"), -1);
    EXPECT_EQ(CompareText("b", "a"), 1);
    EXPECT_EQ(CompareText("same", "same"), 0);
    EXPECT_EQ(CompareText("\x80", "\x7F"), 1);
}

TEST(StringComparisons, EqualityAndStoredLength) {
    RtString one("same"), two("same");
    EXPECT_EQ(one == two, 1.0);
    EXPECT_EQ(one == "same", 1.0);
    EXPECT_EQ("same" == one, 1.0);
    EXPECT_EQ(Equal("same", "same"), 1.0);

    RtString cut("abcdef");
    cut.data()[2] = '\0';  // visible "ab", stored length 6
    RtString visible("ab");
    EXPECT_EQ(cut == visible, 0.0);  // both RtString: lengths differ
    EXPECT_EQ(cut == "ab", 1.0);     // against C text only the text counts
    EXPECT_EQ(cut != visible, 1.0);  // not-equal is always the negation of equal
    EXPECT_EQ(cut != "ab", 0.0);
    EXPECT_EQ(one != two, 0.0);
}

TEST(StringComparisons, TextAgainstNumber) {
    RtString ten("10");
    EXPECT_EQ(ten > 9, 1.0);  // as numbers, though "10" sorts before "9"
    EXPECT_EQ(ten > RtString("9"), 0.0);
    EXPECT_EQ(Greater("10", 9.0), 1.0);
    EXPECT_EQ(9 < ten, 1.0);
    EXPECT_EQ(ten == 10, 1.0);
    EXPECT_EQ(ten == 10.0f, 1.0);
    EXPECT_EQ(Equal(10.0, "10"), 1.0);
    EXPECT_EQ(RtString("abc") == 0, 1.0);  // no numeric prefix reads as 0
    EXPECT_EQ(Equal("", 0.0), 1.0);
    EXPECT_EQ(RtString(" 2.5e1xyz") == 25, 1.0);
    EXPECT_EQ(LessEqual(RtString("-1"), -1.0), 1.0);
    EXPECT_EQ(GreaterEqual(3.5, "3.4"), 1.0);
    EXPECT_EQ(NotEqual("7", 7.0), 0.0);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(RtString("1") == nan, 0.0);
    EXPECT_EQ(RtString("1") != nan, 1.0);
    EXPECT_EQ(Less(nan, "1"), 0.0);
    EXPECT_EQ(RtString("1e400") == std::numeric_limits<double>::infinity(), 1.0);
}

TEST(StringConversions, TextToNumberTakesTheLongestDecimalPrefix) {
    struct Case { const char* text; double value; } cases[] = {
        {"12.5abc", 12.5}, {"  \t\n-1e3x", -1000}, {"1e", 1}, {"1e+", 1}, {"2E-2", 0.02},
        {".5", 0.5}, {"5.", 5}, {".", 0}, {"-", 0}, {"+7", 7}, {"abc", 0}, {"", 0},
        {"0x10", 0}, {"inf", 0}, {"nan", 0}, {"1,5", 1}, {"007", 7},
        {"0.1", 0.1}, {"123456789012345678901234567890", 1.2345678901234568e29},
        {"1e400", std::numeric_limits<double>::infinity()}, {"-1e400", -std::numeric_limits<double>::infinity()},
        {"1e-400", 0}, {"0.000001e-320", 0}, {"1000000e-315", 1e-309},
        {"2.2250738585072011e-308", 2.2250738585072011e-308},
        {"1e99999999999999999999", std::numeric_limits<double>::infinity()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextToNumber(c.text), c.value) << c.text;
        EXPECT_EQ(TextToNumber(RtString(c.text)), c.value) << c.text;
    }
    EXPECT_TRUE(std::signbit(TextToNumber("-0")));
    EXPECT_EQ(CompareNumber("3", 4), -1);
    EXPECT_EQ(CompareNumber(RtString("5x"), 4), 1);
    EXPECT_EQ(CompareNumber("4.0", 4), 0);
    EXPECT_EQ(CompareNumber("x", std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(StringConversions, ByteAccess) {
    RtString s("A\xE9z");
    EXPECT_EQ(ByteAt(0, s), 65);
    EXPECT_EQ(ByteAt(1, s), -23);
    EXPECT_EQ(ByteAt(2.7, "A\xE9z"), 'z');
    EXPECT_EQ(ByteAt(3, s), 0);
    EXPECT_EQ(ByteAt(-1, s), 0);
    EXPECT_EQ(ByteAt(100, "abc"), 0);

    SetByteAt(0, s, 66 + 256);  // the low byte
    EXPECT_STREQ(s.Text(), "B\xE9z");
    SetByteAt(-1, s, 67);
    SetByteAt(1e9, s, 67);
    EXPECT_STREQ(s.Text(), "B\xE9z");
    // Filling a buffer byte by byte, then taking its length.
    RtString buffer;
    buffer.Buffer(10);
    for (int i = 0; i < 4; ++i) SetByteAt(i, buffer, 'w' + i);
    SetByteAt(4, buffer, 0);
    EXPECT_EQ(buffer.SyncLength(), 4u);
    EXPECT_STREQ(buffer.Text(), "wxyz");
}

// One list of operations whose texts must come out byte for byte the same on
// both targets (the same list runs in both builds of this suite).
TEST(SharedTexts, SameOnEveryTarget) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case { RtString got; const char* expected; } cases[] = {
        {Concat("", 0.1 + 0.2), "0.3"},
        {Concat("", 1.0 / 3), "0.3333333333"},
        {Concat("", 2.0 / 3), "0.6666666667"},
        {Concat("", 1e-5), "1e-05"},
        {Concat("", 123456789.0), "123456789"},
        {Concat("", 1234567890.0), "1234567890"},
        {Concat("", 12345678901.0), "1.23456789e+10"},
        {Concat("", -0.0), "-0"},
        {Concat("", 1e100), "1e+100"},
        {Concat("", inf), "inf"},
        {Concat("", -inf), "-inf"},
        {Concat("", 2147483647), "2147483647"},
        {Concat("", -2147483647 - 1), "-2147483648"},
        {Concat("", 0.1f), "0.1000000015"},
        {Concat("", 16777217.0f), "16777216"},
        {Concat(TextToNumber("3.14159265358979"), ""), "3.141592654"},
        {Concat(TextToNumber("1e-320"), ""), "9.999888672e-321"},
        {RtString(5.5) + "|" + 6 + "|" + 7.25f, "5.5|6|7.25"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.got.Text(), c.expected);
}
