// The language's numeric built-ins. Angles are in degrees; the conversion
// divides by 57.2957795 (not the exact 180/pi), as games written for the
// runtime expect.
#pragma once
#include <brindle/rtstring.h>

// The sine of the angle in degrees.
double Sin(double degrees);
// The cosine of the angle in degrees.
double Cos(double degrees);
// The tangent of the angle in degrees.
double Tan(double degrees);
double ArcSin(double x);  // in degrees; 90 at or above 1, -90 at or below -1
double ArcCos(double x);  // in degrees; 0 at or above 1, 180 at or below -1
double ArcTan2(double y, double x);  // the angle of (x, y) in degrees, -180 ... 180

double Mod(double a, double b);  // int(a) % int(b) in 64 bits, sign of a; 0 when int(b) is 0 or for NaN
double Power(double base, double exponent);  // base to the power of exponent
double Sqrt(double x);  // the square root (NaN for a negative x)
double Abs(double x);  // the absolute value

double CharCode(const RtString& text);  // first byte, -128..127; 0 for ""
double CharCode(const char* text);
double NumberLength(double value);      // length of the number's text form

// 1 when the rectangles (negative sizes allowed, edges included) overlap,
// else 0; written to `result` and returned.
double BoxesOverlap(double x1, double y1, double w1, double h1, double x2, double y2, double w2,
                    double h2, double& result);

// A whole number from 0 to n (ISAAC generator, one generation step per call).
double Random(double n);
