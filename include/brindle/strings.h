// String expressions: concatenation, append-assign and comparisons over
// RtString, C text (literals) and the numbers int, float and double.
// Numbers become text as RtString formats them; text becomes a number by its
// longest decimal prefix (TextToNumber). Truth values are 1.0 and 0.0.
//
// C++ has operators only where an RtString takes part; the named functions
// cover every combination, including C text with C text or a number.
#pragma once
#include <brindle/rtstring.h>

// Concatenation: the left operand first (a number on the left is formatted
// first), then the right one appended.
RtString Concat(const RtString& left, const RtString& right);
RtString Concat(const RtString& left, const char* right);
RtString Concat(const RtString& left, int right);
RtString Concat(const RtString& left, float right);
RtString Concat(const RtString& left, double right);
RtString Concat(const char* left, const RtString& right);
RtString Concat(const char* left, const char* right);
RtString Concat(const char* left, int right);
RtString Concat(const char* left, float right);
RtString Concat(const char* left, double right);
RtString Concat(int left, const RtString& right);
RtString Concat(int left, const char* right);
RtString Concat(float left, const RtString& right);
RtString Concat(float left, const char* right);
RtString Concat(double left, const RtString& right);
RtString Concat(double left, const char* right);

inline RtString operator+(const RtString& l, const RtString& r) { return Concat(l, r); }
inline RtString operator+(const RtString& l, const char* r) { return Concat(l, r); }
inline RtString operator+(const RtString& l, int r) { return Concat(l, r); }
inline RtString operator+(const RtString& l, float r) { return Concat(l, r); }
inline RtString operator+(const RtString& l, double r) { return Concat(l, r); }
inline RtString operator+(const char* l, const RtString& r) { return Concat(l, r); }
inline RtString operator+(int l, const RtString& r) { return Concat(l, r); }
inline RtString operator+(float l, const RtString& r) { return Concat(l, r); }
inline RtString operator+(double l, const RtString& r) { return Concat(l, r); }

// Append-assign: modifies and returns the left string.
inline RtString& operator+=(RtString& left, const char* right) { return left.Append(right); }
inline RtString& operator+=(RtString& left, const RtString& right) { return left.Append(right); }
RtString& operator+=(RtString& left, int right);
RtString& operator+=(RtString& left, float right);
RtString& operator+=(RtString& left, double right);

// Text with text: byte order (unsigned, no locale, upper case before lower
// case). Equality of two RtStrings also needs equal stored lengths.
// Text with a number: the text's number compared with the number as doubles.
#define BRINDLE_COMPARISON(Name)                       \
    double Name(const RtString& l, const RtString& r); \
    double Name(const RtString& l, const char* r);     \
    double Name(const char* l, const RtString& r);     \
    double Name(const char* l, const char* r);         \
    double Name(const RtString& l, double r);          \
    double Name(double l, const RtString& r);          \
    double Name(const char* l, double r);              \
    double Name(double l, const char* r);
BRINDLE_COMPARISON(Equal)
BRINDLE_COMPARISON(NotEqual)
BRINDLE_COMPARISON(Less)
BRINDLE_COMPARISON(Greater)
BRINDLE_COMPARISON(LessEqual)
BRINDLE_COMPARISON(GreaterEqual)
#undef BRINDLE_COMPARISON

// The operators; int and float operands are widened to double.
#define BRINDLE_OPERATOR(op, Name)                                                                  \
    inline double operator op(const RtString& l, const RtString& r) { return Name(l, r); }         \
    inline double operator op(const RtString& l, const char* r) { return Name(l, r); }             \
    inline double operator op(const char* l, const RtString& r) { return Name(l, r); }             \
    inline double operator op(const RtString& l, double r) { return Name(l, r); }                  \
    inline double operator op(const RtString& l, float r) { return Name(l, double(r)); }           \
    inline double operator op(const RtString& l, int r) { return Name(l, double(r)); }             \
    inline double operator op(double l, const RtString& r) { return Name(l, r); }                  \
    inline double operator op(float l, const RtString& r) { return Name(double(l), r); }           \
    inline double operator op(int l, const RtString& r) { return Name(double(l), r); }
BRINDLE_OPERATOR(==, Equal)
BRINDLE_OPERATOR(!=, NotEqual)
BRINDLE_OPERATOR(<, Less)
BRINDLE_OPERATOR(>, Greater)
BRINDLE_OPERATOR(<=, LessEqual)
BRINDLE_OPERATOR(>=, GreaterEqual)
#undef BRINDLE_OPERATOR

// Text to number: leading white space skipped, then the longest decimal
// prefix (sign, digits, point, exponent); 0 when there is none.
double TextToNumber(const RtString& text);
double TextToNumber(const char* text);
// -1, 0 or 1 as the text's number is below, equal to or above the number.
double CompareNumber(const RtString& text, double number);
double CompareNumber(const char* text, double number);
// Byte-order comparison of two C texts: -1, 0 or 1.
int CompareText(const char* left, const char* right);
// The byte at an index as a signed value; 0 outside the text.
double ByteAt(double index, const RtString& text);
double ByteAt(double index, const char* text);
// Stores the low byte of the value at an index inside the string's block
// (a buffer being filled before SyncLength); indices outside are ignored.
void SetByteAt(double index, RtString& text, double value);
