#include <brindle/text.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/runtime_state.h"
#include "end_trace.h"
#include "platform/system.h"

namespace {
std::vector<std::string> Pieces(const StringArray& array, double count) {
    std::vector<std::string> out;
    for (int i = 0; i < static_cast<int>(count); ++i) out.push_back(array.items[i].Text());
    return out;
}
}  // namespace

TEST(FindText, FirstOccurrence) {
    RtString text("abcabc"), bc("bc");
    EXPECT_EQ(FindText(text, bc), 1);
    EXPECT_EQ(FindText(text, "ca"), 2);
    EXPECT_EQ(FindText("abcabc", bc), 1);
    EXPECT_EQ(FindText("abcabc", "x"), -1);
    EXPECT_EQ(FindText(text, ""), 0);
    EXPECT_EQ(FindText("", ""), 0);
    EXPECT_EQ(FindText("", "a"), -1);
    EXPECT_EQ(FindText(text, "abcabcd"), -1);
}

TEST(MidText, StartAndCountRules) {
    RtString text("abcdef");
    EXPECT_STREQ(MidText(text, 2, 3).Text(), "cde");
    EXPECT_STREQ(MidText(text, 6, 1).Text(), "");     // start at the length
    EXPECT_STREQ(MidText(text, 3, 100).Text(), "def");  // more than the rest
    EXPECT_STREQ(MidText(text, -1, 3).Text(), "");    // negative start
    EXPECT_STREQ(MidText(text, 0, -5).Text(), "abcdef");  // negative sum: to the end
    EXPECT_STREQ(MidText(text, 2, -1).Text(), "");    // positive sum, negative count
    EXPECT_STREQ(MidText(text, 4, -5).Text(), "ef");  // sum -1: to the end
    EXPECT_STREQ(MidText(text, 1.9, 2.9).Text(), "bc");  // both truncate
    EXPECT_STREQ(MidText(text, 0, 0).Text(), "");
    EXPECT_STREQ(MidText(text, 7, 2).Text(), "");
    EXPECT_STREQ(MidText(text, 0, 1e300).Text(), "abcdef");
    EXPECT_STREQ(MidText(text, 1e300, 1).Text(), "");
    EXPECT_STREQ(MidText(text, std::nan(""), 2).Text(), "");
    EXPECT_STREQ(MidText(text, 1, std::nan("")).Text(), "");
    EXPECT_STREQ(MidText(RtString(""), 0, 5).Text(), "");
}

TEST(ReplaceText, EveryOccurrenceOnceAndInPlace) {
    RtString text("a-b-c");
    RtString result = ReplaceText(text, "-", "--");  // grows, and terminates
    EXPECT_STREQ(result.Text(), "a--b--c");
    EXPECT_STREQ(text.Text(), "a--b--c");  // the caller's text holds the result
    EXPECT_EQ(text.length(), 7u);

    RtString contains("xx");
    EXPECT_STREQ(ReplaceText(contains, "x", "axa").Text(), "axaaxa");

    RtString shrink("aaaa");  // "aa" -> "a" does not look at the inserted byte again
    EXPECT_STREQ(ReplaceText(shrink, "aa", "a").Text(), "aa");

    RtString same("one two one");
    EXPECT_STREQ(ReplaceText(same, "one", "1-1").Text(), "1-1 two 1-1");
    RtString overlap("aaa");
    EXPECT_STREQ(ReplaceText(overlap, "aa", "bb").Text(), "bba");

    RtString gone("a.b.c");
    EXPECT_STREQ(ReplaceText(gone, ".", "").Text(), "abc");
    RtString untouched("abc");
    EXPECT_STREQ(ReplaceText(untouched, "", "x").Text(), "abc");
    EXPECT_STREQ(ReplaceText(untouched, "zz", "x").Text(), "abc");

    RtString self("ab");  // the text as its own search or replacement
    EXPECT_STREQ(ReplaceText(self, self, "<ab>").Text(), "<ab>");
    EXPECT_STREQ(ReplaceText(self, "b", self).Text(), "<a<ab>>");
}

TEST(SplitText, PiecesBetweenSeparators) {
    StringArray parts;
    RtString text("a,,b");
    EXPECT_EQ(SplitText(text, parts, ","), 2);
    EXPECT_EQ(Pieces(parts, 2), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(parts.size1, 2);
    EXPECT_STREQ(text.Text(), "a,,b");  // the source stays whole
    EXPECT_EQ(text.length(), 4u);

    RtString words("  the quick;brown  ");
    EXPECT_EQ(SplitText(words, parts, " ;"), 3);
    EXPECT_EQ(Pieces(parts, 3), (std::vector<std::string>{"the", "quick", "brown"}));

    EXPECT_EQ(SplitText(RtString("one"), parts, ","), 1);
    EXPECT_STREQ(parts(0).Text(), "one");
    EXPECT_EQ(SplitText(RtString("one,two"), parts, ""), 1);  // no separators at all
    EXPECT_STREQ(parts(0).Text(), "one,two");
}

TEST(SplitText, EmptyAndSeparatorOnlyTexts) {
    StringArray parts;
    DimStringArray(parts, 5);
    EXPECT_EQ(SplitText(RtString(""), parts, ","), 0);
    EXPECT_EQ(parts.size1, 0);
    EXPECT_ENDS_WITH_ERROR(parts(0), 8);  // the array is left without elements
    EXPECT_EQ(SplitText(RtString(",,,"), parts, ","), 0);
    EXPECT_EQ(SplitText(RtString("a,b,,"), parts, ","), 2);  // trailing separators
    EXPECT_EQ(Pieces(parts, 2), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitText(RtString(",a"), parts, ","), 1);
    EXPECT_STREQ(parts(0).Text(), "a");

    // Text behind an embedded terminator is not read.
    RtString cut("x,y,z");
    cut.data()[3] = '\0';
    EXPECT_EQ(SplitText(cut, parts, ","), 2);
    EXPECT_EQ(Pieces(parts, 2), (std::vector<std::string>{"x", "y"}));

    // Many pieces: the array grows past the first block.
    std::string many;
    for (int i = 0; i < 700; ++i) many += std::to_string(i) + ",";
    EXPECT_EQ(SplitText(RtString(many.c_str()), parts, ","), 700);
    EXPECT_STREQ(parts(699).Text(), "699");
}

TEST(CaseAndCharacters, AsciiOnly) {
    EXPECT_STREQ(UpperCase(RtString("abc XYZ 09 \xE9\xFF")).Text(), "ABC XYZ 09 \xE9\xFF");
    EXPECT_STREQ(LowerCase(RtString("ABC xyz @[`{ \xC9")).Text(), "abc xyz @[`{ \xC9");
    EXPECT_STREQ(CharText(65).Text(), "A");
    EXPECT_STREQ(CharText(321).Text(), "A");  // the low byte
    EXPECT_STREQ(CharText(65.9).Text(), "A");
    EXPECT_EQ(CharText(0).length(), 0u);
    EXPECT_EQ(CharText(512).length(), 0u);
    EXPECT_STREQ(CharText(233).Text(), "\xE9");
    EXPECT_STREQ(CharText(-191).Text(), "A");  // -191 & 0xFF = 65

    const unsigned char bytes[] = {0x00, 0x7F, 0xA5, 0xFF, 0x10};
    EXPECT_STREQ(HexBytes(bytes, 5).Text(), "007FA5FF10");
    EXPECT_STREQ(HexBytes(bytes, 0).Text(), "");
    EXPECT_STREQ(HexBytes(bytes, -3).Text(), "");
}

TEST(FormatNumber, FixedPointWidthAndDecimals) {
    EXPECT_STREQ(FormatNumber(0, 1, 59.94).Text(), "59.9");
    EXPECT_STREQ(FormatNumber(6, 1, 59.94).Text(), "  59.9");
    EXPECT_STREQ(FormatNumber(-6, 1, 59.94).Text(), "59.9  ");
    EXPECT_STREQ(FormatNumber(0, 0, 2.5).Text(), "2");   // ties go to even, as printf
    EXPECT_STREQ(FormatNumber(0, 0, 3.5).Text(), "4");
    EXPECT_STREQ(FormatNumber(0, 2, 0.125).Text(), "0.12");
    EXPECT_STREQ(FormatNumber(0, 2, 1.005).Text(), "1.00");  // 1.00499999...
    EXPECT_STREQ(FormatNumber(8, 3, -3.14159).Text(), "  -3.142");
    EXPECT_STREQ(FormatNumber(1, 2, 123.456).Text(), "123.46");  // wider than the field
    EXPECT_STREQ(FormatNumber(0, -1, 1.5).Text(), "1.500000");
    EXPECT_STREQ(FormatNumber(0, 0, 1e20).Text(), "100000000000000000000");
    EXPECT_EQ(FormatNumber(0, 1000, 1).length(), 511u);  // bounded
    EXPECT_EQ(FormatNumber(5000, 0, 1).length(), 511u);
    EXPECT_EQ(FormatNumber(0, 0, 1e308).length(), 309u);
}

TEST(ProgramQueries, CommandLineAndPlatform) {
    runtime.commandLine.Assign("-level 3 \"my file\"");
    RtString line = CommandLine();
    EXPECT_STREQ(line.Text(), "-level 3 \"my file\"");
    line.Append("x");  // a copy
    EXPECT_STREQ(runtime.commandLine.Text(), "-level 3 \"my file\"");

    RtString empty("");
    RtString name = PlatformInfo(empty);
    // The one answer that differs between the targets by design.
#ifdef _WIN32
    EXPECT_STREQ(name.Text(), "WIN32");
#else
    EXPECT_STREQ(name.Text(), "LINUX");
#endif

    RtString device("Device");
    EXPECT_STREQ(PlatformInfo(device).Text(), "DESKTOP");
    EXPECT_STREQ(device.Text(), "DEVICE");
    RtString other("colour");
    EXPECT_STREQ(PlatformInfo(other).Text(), "NO_DATA");
    EXPECT_STREQ(other.Text(), "COLOUR");

    RtString lower("id"), upper("ID");
    RtString id = PlatformInfo(lower);
    EXPECT_STREQ(lower.Text(), "ID");  // the caller's key turned to upper case
    EXPECT_STREQ(PlatformInfo(upper).Text(), id.Text());
    ASSERT_EQ(id.length(), 8u);
    for (uint32_t i = 0; i < 8; ++i)
        EXPECT_TRUE(std::strchr("0123456789ABCDEF", id.Text()[i])) << id.Text();
    // Two digits per byte, least significant byte first: the value read back
    // that way changes with the machine serial bit for bit.
    uint32_t value = 0;
    for (int byte = 3; byte >= 0; --byte)
        value = (value << 8) | static_cast<uint32_t>(std::stoul(std::string(id.Text() + 2 * byte, 2), nullptr, 16));
    uint32_t serial;
    if (!platform::MachineSerial(serial)) serial = 16390125u;
    EXPECT_NE(value, serial);  // masked, not the serial itself
    EXPECT_EQ(value ^ serial, 0x2B7E1516u);
}
