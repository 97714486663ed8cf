#include <brindle/maths.h>

#include <cstdint>

#include "lang/number_convert.h"
#include "lang/portable_maths.h"

namespace {
constexpr double kDegreesPerRadian = 57.2957795;
}

double Sin(double degrees) { return maths::sin(degrees / kDegreesPerRadian); }
double Cos(double degrees) { return maths::cos(degrees / kDegreesPerRadian); }
double Tan(double degrees) { return maths::tan(degrees / kDegreesPerRadian); }

double ArcSin(double x) {
    if (x >= 1) return 90;
    if (x <= -1) return -90;
    return maths::asin(x) * kDegreesPerRadian;
}

double ArcCos(double x) {
    if (x >= 1) return 0;
    if (x <= -1) return 180;
    return maths::acos(x) * kDegreesPerRadian;
}

double ArcTan2(double y, double x) { return maths::atan2(y, x) * kDegreesPerRadian; }

double Mod(double a, double b) {
    // Both operands truncate to 64-bit integers, so large whole numbers
    // (3e9 and beyond) keep their true remainder. NaN and values beyond that
    // range have none: 0.
    auto fits = [](double x) { return x >= -9223372036854775808.0 && x < 9223372036854775808.0; };
    if (!fits(a) || !fits(b)) return 0;
    int64_t divisor = static_cast<int64_t>(b);
    // A divisor that truncates to 0 (|b| < 1) has no remainder to give; the
    // lowest integer divided by -1 overflows, its remainder is 0.
    if (divisor == 0 || divisor == -1) return 0;
    return static_cast<double>(static_cast<int64_t>(a) % divisor);
}

double Power(double base, double exponent) { return maths::pow(base, exponent); }
double Sqrt(double x) { return maths::sqrt(x); }
double Abs(double x) { return maths::fabs(x); }

double CharCode(const char* text) {
    return text ? static_cast<double>(static_cast<signed char>(text[0])) : 0;
}
double CharCode(const RtString& text) { return CharCode(text.Text()); }

double NumberLength(double value) {
    char text[32];
    return FormatDouble(value, text);
}

double BoxesOverlap(double x1, double y1, double w1, double h1, double x2, double y2, double w2,
                    double h2, double& result) {
    auto overlap = [](double p1, double s1, double p2, double s2) {
        double lo1 = maths::fmin(p1, p1 + s1), hi1 = maths::fmax(p1, p1 + s1);
        double lo2 = maths::fmin(p2, p2 + s2), hi2 = maths::fmax(p2, p2 + s2);
        return lo1 <= hi2 && lo2 <= hi1;  // touching edges overlap
    };
    result = overlap(x1, w1, x2, w2) && overlap(y1, h1, y2, h2) ? 1 : 0;
    return result;
}
