#include <brindle/rtstring.h>
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <utility>

TEST(RtString, CapacityGrowsInSteps) {
    RtString s;
    EXPECT_EQ(s.capacity(), 4u);
    s.Assign("");
    EXPECT_EQ(s.capacity(), 4u);  // 0 < 4: the small block stays
    s.Assign("abcd");
    EXPECT_EQ(s.capacity(), 512u);
    s.Reserve(511);
    EXPECT_EQ(s.capacity(), 512u);
    s.Reserve(512);
    EXPECT_EQ(s.capacity(), 1024u);
    EXPECT_STREQ(s.Text(), "abcd");

    RtString fromText(std::string(511, 'x').c_str());
    EXPECT_EQ(fromText.capacity(), 512u);
    RtString longer(std::string(512, 'x').c_str());
    EXPECT_EQ(longer.capacity(), 1024u);
    RtString number(1.5);
    EXPECT_EQ(number.capacity(), 512u);
}

TEST(RtString, AppendKeepsTextAcrossGrowth) {
    RtString s;
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        s.Append("0123456789");
        expected += "0123456789";
        ASSERT_EQ(s.length(), expected.size());
        ASSERT_EQ(s.capacity() % 512, 0u);
        ASSERT_GT(s.capacity(), s.length());
    }
    EXPECT_EQ(std::string(s.Text()), expected);

    // A moved-from string has no block: appending gives it one.
    RtString taken(std::move(s));
    EXPECT_EQ(taken.length(), expected.size());
    s.Append("xy");
    EXPECT_STREQ(s.Text(), "xy");
    EXPECT_EQ(s.capacity(), 512u);
    RtString empty;
    RtString(std::move(empty)).Append("");
    empty.Append(RtString());
    EXPECT_STREQ(empty.Text(), "");
}

TEST(RtString, SelfAppendDoubles) {
    RtString s("abc");
    s.Append(s);
    EXPECT_STREQ(s.Text(), "abcabc");
    EXPECT_EQ(s.length(), 6u);
    RtString big(std::string(400, 'q').c_str());
    big.Append(big);  // grows while reading itself
    EXPECT_EQ(std::string(big.Text()), std::string(800, 'q'));
    big.Append(big.Text() + 790);
    EXPECT_EQ(big.length(), 810u);
}

// Appending a part of the string itself, just below, at and above the
// 512-byte step: the bytes are read from where the block is after growing.
TEST(RtString, AppendOwnTextAcrossTheStep) {
    for (uint32_t length : {500u, 505u, 506u, 511u}) {
        std::string start(length, 'a');
        for (uint32_t i = 0; i < length; ++i) start[i] = static_cast<char>('a' + i % 26);
        RtString s(start.c_str());
        s.Append(s.Text() + length - 6);  // the last six bytes once more
        std::string expected = start + start.substr(length - 6);
        ASSERT_EQ(s.length(), expected.size()) << length;
        EXPECT_EQ(std::string(s.Text()), expected) << length;
        EXPECT_EQ(s.capacity(), expected.size() < 512 ? 512u : 1024u) << length;
    }
}

TEST(RtString, EmbeddedNulLengthSemantics) {
    RtString s("abcdef");
    s.data()[2] = '\0';  // length stays 6, visible text "ab"
    EXPECT_EQ(s.length(), 6u);
    RtString copy(s);  // copies the stored length, not the visible text
    EXPECT_EQ(copy.length(), 6u);
    EXPECT_EQ(std::memcmp(copy.Text(), "ab\0def", 7), 0);
    s.Append("xy");  // goes behind the stored length; terminator at the new length
    EXPECT_EQ(s.length(), 8u);
    EXPECT_EQ(std::memcmp(s.Text(), "ab\0defxy", 9), 0);
    EXPECT_EQ(s.SyncLength(), 2u);
}

// Lengths whose block would not fit 32 bits are refused as a failed
// allocation, never wrapped round to a small block.
TEST(RtString, GrowthBeyondFourGigabytesIsRefused) {
    RtString s("abc");
    EXPECT_THROW(s.Reserve(0xFFFFFFFFu), std::bad_alloc);
    EXPECT_THROW(s.Reserve(0xFFFFFE00u), std::bad_alloc);
    EXPECT_THROW(s.Buffer(0xFFFFFFF0u), std::bad_alloc);
    EXPECT_STREQ(s.Text(), "abc");  // left as it was
    EXPECT_EQ(s.capacity(), 512u);
}

TEST(RtString, TruncateAndBuffer) {
    RtString s("hello");
    EXPECT_EQ(s.Truncate(0), 0u);
    EXPECT_STREQ(s.Text(), "");
    EXPECT_EQ(s.capacity(), 512u);
    char* b = s.Buffer(260);
    std::strcpy(b, "C:\\Temp\\");
    EXPECT_EQ(s.SyncLength(), 8u);
    EXPECT_STREQ(s.Text(), "C:\\Temp\\");
    EXPECT_EQ(s.Truncate(100000), 8u);  // beyond the block: nothing written
}

TEST(RtString, ConcatCopiesLeft) {
    RtString left("a");
    RtString r = RtString::Concat(left, "bc");
    EXPECT_STREQ(r.Text(), "abc");
    EXPECT_STREQ(left.Text(), "a");
}

struct FormatCase {
    double value;
    const char* text;
};

TEST(RtString, NumberFormatting) {
    const FormatCase cases[] = {
        {1.0, "1"},           {1.5, "1.5"},
        {-2.0, "-2"},         {0.5, "0.5"},
        {0.1, "0.1"},         {3.0, "3"},
        {1e20, "1e+20"},      {1e-7, "1e-07"},
        {-0.0, "-0"},         {123456789012.0, "1.23456789e+11"},
        {1234567890.0, "1234567890"}, {12345678901.0, "1.23456789e+10"},
        {0.0001, "0.0001"},   {0.00001, "1e-05"},
        {2.0 / 3.0, "0.6666666667"}, {59.94, "59.94"},
        {100.0, "100"},       {-123.456, "-123.456"},
    };
    for (const auto& c : cases) {
        RtString s(c.value);
        EXPECT_STREQ(s.Text(), c.text) << "value " << c.value;
        EXPECT_EQ(s.length(), std::strlen(c.text));
    }
    EXPECT_STREQ(RtString(0.1f).Text(), "0.1000000015");  // the float widened first
    EXPECT_STREQ(RtString(-2147483647 - 1).Text(), "-2147483648");
    EXPECT_STREQ(RtString(42).Text(), "42");
    RtString a;
    a.Assign(7);
    EXPECT_STREQ(a.Text(), "7");
    EXPECT_EQ(a.capacity(), 512u);
}
