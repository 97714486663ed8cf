// Concatenation, append-assign and comparison of strings and numbers.
#include <brindle/strings.h>

#include <cstdint>
#include <cstring>

#include "lang/number_convert.h"
#include "lang/text_number.h"

RtString Concat(const RtString& left, const RtString& right) {
    RtString result(left);
    result.Append(right);
    return result;
}
RtString Concat(const RtString& left, const char* right) { return RtString::Concat(left, right); }
RtString Concat(const RtString& left, int right) { return Concat(left, RtString(right)); }
RtString Concat(const RtString& left, float right) { return Concat(left, RtString(right)); }
RtString Concat(const RtString& left, double right) { return Concat(left, RtString(right)); }
RtString Concat(const char* left, const RtString& right) { return Concat(RtString(left), right); }
RtString Concat(const char* left, const char* right) { return Concat(RtString(left), right); }
RtString Concat(const char* left, int right) { return Concat(RtString(left), RtString(right)); }
RtString Concat(const char* left, float right) { return Concat(RtString(left), RtString(right)); }
RtString Concat(const char* left, double right) { return Concat(RtString(left), RtString(right)); }
RtString Concat(int left, const RtString& right) { return Concat(RtString(left), right); }
RtString Concat(int left, const char* right) { return Concat(RtString(left), right); }
RtString Concat(float left, const RtString& right) { return Concat(RtString(left), right); }
RtString Concat(float left, const char* right) { return Concat(RtString(left), right); }
RtString Concat(double left, const RtString& right) { return Concat(RtString(left), right); }
RtString Concat(double left, const char* right) { return Concat(RtString(left), right); }

RtString& operator+=(RtString& left, int right) { return left.Append(RtString(right)); }
RtString& operator+=(RtString& left, float right) { return left.Append(RtString(right)); }
RtString& operator+=(RtString& left, double right) { return left.Append(RtString(right)); }

double TextToNumber(const char* text) { return ParseLeadingNumber(text); }
double TextToNumber(const RtString& text) { return ParseLeadingNumber(text.Text()); }

int CompareText(const char* left, const char* right) {
    int c = std::strcmp(left ? left : "", right ? right : "");  // unsigned byte order
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

double CompareNumber(const char* text, double number) {
    double value = TextToNumber(text);
    return value < number ? -1 : value > number ? 1 : 0;
}
double CompareNumber(const RtString& text, double number) {
    return CompareNumber(text.Text(), number);
}

namespace {
const char* Chars(const RtString& s) { return s.Text(); }
const char* Chars(const char* s) { return s ? s : ""; }
double Truth(bool b) { return b ? 1.0 : 0.0; }
}  // namespace

// Text with text compares the visible texts in byte order; Equal of two
// RtStrings (below) also compares the stored lengths.
#define NUMBER_COMPARISONS(Name, op)                                                          \
    double Name(const RtString& l, double r) { return Truth(TextToNumber(l) op r); }         \
    double Name(double l, const RtString& r) { return Truth(l op TextToNumber(r)); }         \
    double Name(const char* l, double r) { return Truth(TextToNumber(l) op r); }             \
    double Name(double l, const char* r) { return Truth(l op TextToNumber(r)); }

#define COMPARISONS(Name, op)                                                                \
    double Name(const RtString& l, const char* r) { return Truth(CompareText(Chars(l), Chars(r)) op 0); } \
    double Name(const char* l, const RtString& r) { return Truth(CompareText(Chars(l), Chars(r)) op 0); } \
    double Name(const char* l, const char* r) { return Truth(CompareText(Chars(l), Chars(r)) op 0); }     \
    NUMBER_COMPARISONS(Name, op)

COMPARISONS(Equal, ==)
COMPARISONS(NotEqual, !=)
COMPARISONS(Less, <)
COMPARISONS(Greater, >)
COMPARISONS(LessEqual, <=)
COMPARISONS(GreaterEqual, >=)

double Equal(const RtString& l, const RtString& r) {
    return Truth(l.length() == r.length() && CompareText(l.Text(), r.Text()) == 0);
}
double NotEqual(const RtString& l, const RtString& r) { return Truth(Equal(l, r) == 0); }
double Less(const RtString& l, const RtString& r) { return Truth(CompareText(l.Text(), r.Text()) < 0); }
double Greater(const RtString& l, const RtString& r) { return Truth(CompareText(l.Text(), r.Text()) > 0); }
double LessEqual(const RtString& l, const RtString& r) { return Truth(CompareText(l.Text(), r.Text()) <= 0); }
double GreaterEqual(const RtString& l, const RtString& r) { return Truth(CompareText(l.Text(), r.Text()) >= 0); }

double ByteAt(double index, const char* text) {
    if (!text || !(index >= 0)) return 0;
    size_t n = std::strlen(text);
    if (!(index < static_cast<double>(n))) return 0;
    return static_cast<signed char>(text[static_cast<size_t>(index)]);
}

double ByteAt(double index, const RtString& text) {
    if (!(index >= 0) || !(index < static_cast<double>(text.length()))) return 0;
    return static_cast<signed char>(text.Text()[static_cast<size_t>(index)]);
}

void SetByteAt(double index, RtString& text, double value) {
    char* block = text.data();
    if (!block || !(index >= 0) || !(index < static_cast<double>(text.capacity()) - 1)) return;
    size_t at = static_cast<size_t>(index);
    block[at] = static_cast<char>(static_cast<uint32_t>(TruncToInt(value)) & 0xFF);
    // The last byte of the block stays a terminator, so the text always ends
    // inside its block whatever was written behind the old terminator.
    if (at >= text.length()) block[text.capacity() - 1] = '\0';
}
