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

void DimArray(NumberArray& array, double size1, double size2 = 0, double size3 = 0,
              double size4 = 0);
void DimStringArray(StringArray& array, double size1, double size2 = 0, double size3 = 0,
                    double size4 = 0);
void ResizeArray(NumberArray& array, double size1, double size2 = 0, double size3 = 0,
                 double size4 = 0);
void CopyArray(NumberArray& destination, NumberArray& source);
double ArraySize(const NumberArray& array, double dimension);
double ArraySize(const StringArray& array, double dimension);
