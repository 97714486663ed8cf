// The maths library both targets link: musl's portable C sources compiled
// with the same flags for each (scripts/build-maths), its functions renamed
// musl_*. It stands below every folder, as the C library does; behaviour code
// calls it through lang/portable_maths.h, a backend that must compute as
// Windows does (the SDL mixer's volume law) calls it here.
#pragma once

extern "C" {
double musl_sin(double);
double musl_cos(double);
double musl_tan(double);
double musl_asin(double);
double musl_acos(double);
double musl_atan(double);
double musl_atan2(double, double);
double musl_exp(double);
double musl_log(double);
double musl_log10(double);
double musl_pow(double, double);
double musl_hypot(double, double);
double musl_fmod(double, double);
double musl_floor(double);
double musl_ceil(double);
double musl_trunc(double);
double musl_round(double);
double musl_fmin(double, double);
double musl_fmax(double, double);
float musl_sinf(float);
float musl_cosf(float);
float musl_tanf(float);
float musl_asinf(float);
float musl_acosf(float);
float musl_atanf(float);
float musl_atan2f(float, float);
float musl_expf(float);
float musl_logf(float);
float musl_powf(float, float);
float musl_hypotf(float, float);
float musl_fmodf(float, float);
float musl_floorf(float);
float musl_ceilf(float);
float musl_truncf(float);
float musl_roundf(float);
float musl_fminf(float, float);
float musl_fmaxf(float, float);
}
