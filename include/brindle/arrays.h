// The language's arrays: numbers (doubles) or strings, up to four dimensions,
// the first index varying fastest. Every element access is checked; a bad
// access records a runtime error and ends the program.
#pragma once
#include <brindle/rtstring.h>

class NumberArray {
public:
    NumberArray();
    ~NumberArray();
    NumberArray(const NumberArray&) = delete;
    NumberArray& operator=(const NumberArray&) = delete;

    // Checked element access: error 8 without dimensions, 9 out of range.
    double& operator()(double i, double j = 0, double k = 0, double l = 0);

    double* data;            // the elements; the inline buffer while capacity <= 16
    double inlineBuffer[16];
    int stride2, stride3, stride4;
    int size1, size2, size3, size4;
    int dimensions;
    int capacity;            // elements allocated, a multiple of 8
};

class StringArray {
public:
    StringArray();
    ~StringArray();
    StringArray(const StringArray&) = delete;
    StringArray& operator=(const StringArray&) = delete;

    RtString& operator()(double i, double j = 0, double k = 0, double l = 0);

    RtString* items;
    int stride2, stride3, stride4;
    int size1, size2, size3, size4;
    int dimensions;
    int capacity;
};

// Dimensions the numeric array (sizes truncated; unused dimensions 0) and sets every element to 0; no memory: error 7, end.
void DimArray(NumberArray& array, double size1, double size2 = 0, double size3 = 0,
              double size4 = 0);
// Dimensions the string array and sets every element to ""; no memory: error 7, end.
void DimStringArray(StringArray& array, double size1, double size2 = 0, double size3 = 0,
                    double size4 = 0);
// Redimensions the numeric array keeping the elements whose indices exist in both shapes; new ones are 0.
void ResizeArray(NumberArray& array, double size1, double size2 = 0, double size3 = 0,
                 double size4 = 0);
// Dimensions the destination like the source and copies its elements.
void CopyArray(NumberArray& destination, NumberArray& source);
// The size of dimension 0 ... 3 (size1 ... size4); 0 for another dimension number.
double ArraySize(const NumberArray& array, double dimension);
double ArraySize(const StringArray& array, double dimension);
