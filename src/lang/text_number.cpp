#include "lang/text_number.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
}  // namespace

double ParseLeadingNumber(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    const char* start = p;

    // Magnitude of the first significant digit (its power of ten plus one),
    // to tell overflow from underflow when the value is out of range.
    long long magnitude = 0;
    bool significant = false;
    int digits = 0;
    for (; IsDigit(*p); ++p, ++digits) {
        if (*p != '0') significant = true;
        if (significant) ++magnitude;
    }
    if (*p == '.') {
        ++p;
        for (; IsDigit(*p); ++p, ++digits) {
            if (*p != '0') significant = true;
            if (!significant) --magnitude;
        }
    }
    if (digits == 0) return 0;  // no number at the start
    const char* end = p;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        bool expNegative = false;
        if (*q == '+' || *q == '-') expNegative = *q++ == '-';
        if (IsDigit(*q)) {
            long long exponent = 0;
            for (; IsDigit(*q); ++q)
                if (exponent < 100000000) exponent = exponent * 10 + (*q - '0');
            magnitude += expNegative ? -exponent : exponent;
            end = q;
        }
    }
    if (!significant) return negative ? -0.0 : 0.0;

    double value = 0;
    auto r = std::from_chars(start, end, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) value = magnitude > 0 ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}
