#include <brindle/arrays.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "end_trace.h"
#include "lang/fatal_error.h"

TEST(DimArray, CapacityInlineAndHeap) {
    NumberArray a;
    DimArray(a, 10);
    EXPECT_EQ(a.capacity, 16);
    EXPECT_EQ(a.data, a.inlineBuffer);
    EXPECT_EQ(a.dimensions, 1);

    NumberArray b;
    DimArray(b, 16);  // 16 rounds up to 24: past the inline buffer
    EXPECT_EQ(b.capacity, 24);
    EXPECT_NE(b.data, b.inlineBuffer);
    b(15) = 1;  // the last element
    EXPECT_EQ(b(15), 1);

    NumberArray c;
    DimArray(c, 0);
    EXPECT_EQ(c.capacity, 8);
    EXPECT_EQ(c.size1, 0);
    EXPECT_EQ(c.data, c.inlineBuffer);

    // Growing out of the inline buffer and back: a smaller size keeps the block
    // and clears its whole capacity.
    DimArray(b, 3, 3);
    EXPECT_EQ(b.capacity, 24);
    EXPECT_NE(b.data, b.inlineBuffer);
    for (int n = 0; n < b.capacity; ++n) EXPECT_EQ(b.data[n], 0) << n;
    // A size below 1 takes a fresh block even though the old one is large.
    DimArray(b, 0.5);
    EXPECT_EQ(b.capacity, 8);
    EXPECT_EQ(b.data, b.inlineBuffer);
}

TEST(DimArray, ShapeSizesAndStrides) {
    NumberArray a;
    DimArray(a, 5, 0, 0, 0);
    EXPECT_EQ(a.dimensions, 1);
    DimArray(a, 5, 1, 0, 0);
    EXPECT_EQ(a.dimensions, 2);
    EXPECT_EQ(a.size2, 1);
    DimArray(a, 4.9, 3.2, 2, 0);
    EXPECT_EQ(a.dimensions, 3);
    EXPECT_EQ(a.size1, 4);
    EXPECT_EQ(a.size2, 3);
    EXPECT_EQ(a.stride2, 4);
    EXPECT_EQ(a.stride3, 12);
    DimArray(a, 2, 3, 4, 5);
    EXPECT_EQ(a.dimensions, 4);
    EXPECT_EQ(a.stride4, 24);
    EXPECT_EQ(a.capacity, 128);  // 120 elements -> next multiple of 8 above
    // The first index varies fastest.
    a(1, 2, 3, 4) = 7;
    EXPECT_EQ(a.data[1 + 2 * 2 + 3 * 6 + 4 * 24], 7);
    a(1, 0, 0, 0) = 8;
    EXPECT_EQ(a.data[1], 8);
    // Indices truncate towards zero.
    EXPECT_EQ(a(1.9, 2.99, 3.5, 4.01), 7);

    EXPECT_EQ(ArraySize(a, 0), 2);
    EXPECT_EQ(ArraySize(a, 1), 3);
    EXPECT_EQ(ArraySize(a, 2), 4);
    EXPECT_EQ(ArraySize(a, 3), 5);
    EXPECT_EQ(ArraySize(a, 4), 0);
    EXPECT_EQ(ArraySize(a, -1), 0);
    EXPECT_EQ(ArraySize(a, 0.7), 2);
}

// A dimension of size 0 between used ones holds one index: the strides count
// it as 1, as the element count does, so the planes beyond it stay apart.
TEST(DimArray, ZeroSizedMiddleDimensionsKeepElementsApart) {
    NumberArray a;
    DimArray(a, 5, 0, 3);
    for (int k = 0; k < 3; ++k) a(4, 0, k) = 10 + k;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(a(4, 0, k), 10 + k) << k;
    EXPECT_EQ(a.data[4 + 2 * 5], 12);
    DimArray(a, 2, 0, 0, 4);
    for (int l = 0; l < 4; ++l) a(1, 0, 0, l) = l + 1;
    for (int l = 0; l < 4; ++l) EXPECT_EQ(a(1, 0, 0, l), l + 1) << l;
    ResizeArray(a, 3, 0, 0, 4);
    for (int l = 0; l < 4; ++l) EXPECT_EQ(a(1, 0, 0, l), l + 1) << l;

    StringArray s;
    DimStringArray(s, 2, 0, 3);
    s(1, 0, 0) = "first";
    s(1, 0, 2) = "last";
    EXPECT_STREQ(s(1, 0, 0).Text(), "first");
    EXPECT_STREQ(s.items[1 + 2 * 2].Text(), "last");
}

TEST(DimArray, RedimensionClears) {
    NumberArray a;
    DimArray(a, 30);
    for (int i = 0; i < 30; ++i) a(i) = i + 1;
    DimArray(a, 30);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(a(i), 0);
}

TEST(ArrayAccess, BoundsOfEachDimension) {
    NumberArray a;
    DimArray(a, 3, 2);
    a(2, 1) = 5;  // size1 - 1, size2 - 1
    EXPECT_EQ(a(2, 1), 5);
    EXPECT_ENDS_WITH_ERROR(a(3, 0), 9);  // i = size1
    EXPECT_ENDS_WITH_ERROR(a(0, 2), 9);  // j = size2
    EXPECT_ENDS_WITH_ERROR(a(-0.5, 0), 9);  // truncates to 0 but is negative
    EXPECT_ENDS_WITH_ERROR(a(0, -1), 9);
    EXPECT_ENDS_WITH_ERROR(a(std::nan(""), 0), 9);
    EXPECT_ENDS_WITH_ERROR(a(1e300, 0), 9);
    // Unused dimensions take only index 0: anything else would reach past the
    // elements through the strides.
    EXPECT_ENDS_WITH_ERROR(a(0, 0, 1), 9);
    EXPECT_ENDS_WITH_ERROR(a(0, 0, 0, 3), 9);
    EXPECT_EQ(a(0, 0, 0.9, 0), 0);  // truncates to 0
}

TEST(ArrayAccess, ArrayWithoutElements) {
    NumberArray never;
    EXPECT_ENDS_WITH_ERROR(never(0), 8);
    NumberArray empty;
    DimArray(empty, 0);
    EXPECT_ENDS_WITH_ERROR(empty(0), 8);
    DimArray(empty, -3, 4);
    EXPECT_ENDS_WITH_ERROR(empty(0, 0), 8);
    StringArray strings;
    EXPECT_ENDS_WITH_ERROR(strings(0), 8);
    // A negative later size leaves nothing addressable.
    NumberArray negative;
    DimArray(negative, 4, -2);
    EXPECT_ENDS_WITH_ERROR(negative(0, 0), 9);
}

TEST(DimArray, TooManyElementsIsOutOfMemory) {
    NumberArray a;
    EXPECT_ENDS_WITH_ERROR(DimArray(a, 1e6, 1e6), 7);
    EXPECT_ENDS_WITH_ERROR(DimArray(a, 1e300), 7);
    StringArray s;
    EXPECT_ENDS_WITH_ERROR(DimStringArray(s, 65536, 65536), 7);
}

TEST(StringArrays, DimensionClearAndAccess) {
    StringArray s;
    DimStringArray(s, 3, 2);
    EXPECT_EQ(s.capacity, 8);
    EXPECT_EQ(s.dimensions, 2);
    s(2, 1) = "last";
    s(0, 0) = "first";
    EXPECT_STREQ(s.items[5].Text(), "last");
    EXPECT_ENDS_WITH_ERROR(s(0, 2), 9);
    EXPECT_ENDS_WITH_ERROR(s(-1), 9);
    RtString* block = s.items;
    DimStringArray(s, 2);  // smaller: same block, every element emptied
    EXPECT_EQ(s.items, block);
    for (int n = 0; n < s.capacity; ++n) EXPECT_EQ(s.items[n].length(), 0u) << n;
    DimStringArray(s, 20);
    EXPECT_EQ(s.capacity, 24);
    EXPECT_EQ(ArraySize(s, 0), 20);
    EXPECT_EQ(ArraySize(s, 1), 0);
    DimStringArray(s, 0);
    EXPECT_EQ(s.capacity, 8);
    EXPECT_ENDS_WITH_ERROR(s(0), 8);
}

TEST(ResizeArray, KeepsCommonElements) {
    NumberArray a;
    DimArray(a, 4, 3);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) a(i, j) = 10 * i + j + 1;
    ResizeArray(a, 6, 2);
    EXPECT_EQ(a.size1, 6);
    EXPECT_EQ(a.size2, 2);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 6; ++i) EXPECT_EQ(a(i, j), i < 4 ? 10 * i + j + 1 : 0) << i << "," << j;

    // A one-dimensional array keeps its elements when it grows out of the
    // inline buffer and when it shrinks back into it.
    NumberArray b;
    DimArray(b, 5);
    for (int i = 0; i < 5; ++i) b(i) = i + 1;
    ResizeArray(b, 40);
    EXPECT_NE(b.data, b.inlineBuffer);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(b(i), i < 5 ? i + 1 : 0);
    ResizeArray(b, 3);
    EXPECT_EQ(b.data, b.inlineBuffer);
    EXPECT_EQ(b.capacity, 8);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(b(i), i + 1);
    EXPECT_ENDS_WITH_ERROR(b(3), 9);

    // From one to two dimensions: the old elements become the first row.
    ResizeArray(b, 3, 2);
    EXPECT_EQ(b(2, 0), 3);
    EXPECT_EQ(b(2, 1), 0);
    NumberArray never;
    ResizeArray(never, 2);
    EXPECT_EQ(never(1), 0);
}

TEST(CopyArray, CopiesShapeAndElements) {
    NumberArray source, destination;
    DimArray(source, 3, 4, 2);
    for (int n = 0; n < 24; ++n) source.data[n] = n * 0.5;
    DimArray(destination, 100);
    CopyArray(destination, source);
    EXPECT_EQ(destination.size1, 3);
    EXPECT_EQ(destination.size2, 4);
    EXPECT_EQ(destination.size3, 2);
    EXPECT_EQ(destination.dimensions, 3);
    for (int n = 0; n < 24; ++n) EXPECT_EQ(destination.data[n], n * 0.5);
    EXPECT_ENDS_WITH_ERROR(destination(0, 4), 9);
    // Copying an array onto itself keeps it.
    CopyArray(source, source);
    EXPECT_EQ(source(1, 3, 1), (1 + 3 * 3 + 12) * 0.5);

    NumberArray blank;
    CopyArray(destination, blank);
    EXPECT_EQ(destination.size1, 0);
    EXPECT_ENDS_WITH_ERROR(destination(0), 8);
}

// Arrays know nothing of the runtime: they hand their errors to the handler
// set in lang, which the runtime fills in and anyone else may replace.
TEST(ArrayAccess, ErrorsGoToTheHandlerSet) {
    NumberArray a;
    DimArray(a, 3);
    EXPECT_EXIT(
        {
            SetFatalErrorHandler([](int code) { std::_Exit(100 + code); });
            a(3);
        },
        ::testing::ExitedWithCode(109), "");
    EXPECT_EXIT(
        {
            SetFatalErrorHandler(nullptr);  // lang alone: the process aborts
            a(-1);
        },
        [](int status) { return status != 0; }, "fatal error 9");
}
