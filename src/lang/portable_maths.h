// The maths functions of the runtime's commands and engine. Every one comes
// from one library, compiled from musl's portable C sources with the same
// flags for both targets (scripts/build-maths), so Linux and Windows get the
// same bits: the C libraries of the two systems (glibc, mingw-w64 and
// msvcrt) disagree by up to many thousand ulps near multiples of 90 degrees
// and for large arguments. Use these instead of <cmath>'s functions; a test
// checks that the runtime library references none of the C library's maths.
//
// The overloads mirror <cmath>: float arguments get the float functions.
// The library holds all of musl's double and float functions (log2, cbrt,
// sinh, ...): declare more in platform/musl_maths.h and wrap them here when
// the runtime needs them.
// Square roots use the SSE2 instruction on both targets (the i386 build is
// compiled for SSE2): it is exactly rounded, as IEEE 754 requires, so it
// matches musl's own sqrt bit for bit without the cost of a call.
#pragma once
#include <emmintrin.h>

#include "platform/musl_maths.h"

namespace maths {

inline double sin(double x) { return musl_sin(x); }
inline double cos(double x) { return musl_cos(x); }
inline double tan(double x) { return musl_tan(x); }
inline double asin(double x) { return musl_asin(x); }
inline double acos(double x) { return musl_acos(x); }
inline double atan(double x) { return musl_atan(x); }
inline double atan2(double y, double x) { return musl_atan2(y, x); }
inline double exp(double x) { return musl_exp(x); }
inline double log(double x) { return musl_log(x); }
inline double log10(double x) { return musl_log10(x); }
inline double pow(double x, double y) { return musl_pow(x, y); }
inline double hypot(double x, double y) { return musl_hypot(x, y); }
inline double fmod(double x, double y) { return musl_fmod(x, y); }
inline double floor(double x) { return musl_floor(x); }
inline double ceil(double x) { return musl_ceil(x); }
inline double trunc(double x) { return musl_trunc(x); }
inline double round(double x) { return musl_round(x); }
inline double fmin(double x, double y) { return musl_fmin(x, y); }
inline double fmax(double x, double y) { return musl_fmax(x, y); }
inline double fabs(double x) { return __builtin_fabs(x); }  // clears the sign bit, no call
inline double sqrt(double x) { return _mm_cvtsd_f64(_mm_sqrt_sd(_mm_setzero_pd(), _mm_set_sd(x))); }

inline float sin(float x) { return musl_sinf(x); }
inline float cos(float x) { return musl_cosf(x); }
inline float tan(float x) { return musl_tanf(x); }
inline float asin(float x) { return musl_asinf(x); }
inline float acos(float x) { return musl_acosf(x); }
inline float atan(float x) { return musl_atanf(x); }
inline float atan2(float y, float x) { return musl_atan2f(y, x); }
inline float exp(float x) { return musl_expf(x); }
inline float log(float x) { return musl_logf(x); }
inline float pow(float x, float y) { return musl_powf(x, y); }
inline float hypot(float x, float y) { return musl_hypotf(x, y); }
inline float fmod(float x, float y) { return musl_fmodf(x, y); }
inline float floor(float x) { return musl_floorf(x); }
inline float ceil(float x) { return musl_ceilf(x); }
inline float trunc(float x) { return musl_truncf(x); }
inline float round(float x) { return musl_roundf(x); }
inline float fmin(float x, float y) { return musl_fminf(x, y); }
inline float fmax(float x, float y) { return musl_fmaxf(x, y); }
inline float fabs(float x) { return __builtin_fabsf(x); }
inline float sqrt(float x) { return _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(x))); }

}  // namespace maths
