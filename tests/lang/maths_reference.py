#!/usr/bin/env python3
"""Writes the reference table of the maths library test: for each function a
few thousand arguments (ordinary values, angles near multiples of 90 degrees,
huge and tiny values, signed zeros, NaN, infinities) with the exact result
computed by mpmath at high precision, rounded to the nearest double (or
float).

    maths_reference.py OUTPUT

Each line: NAME ARG [ARG2] RESULT OFFSET
ARG, ARG2 and RESULT are the IEEE bits in hex (16 digits for doubles, 8 for
floats); RESULT is "nan" where the result is not a number. OFFSET is
(exact - RESULT) in units of RESULT's last place, from -0.5 to 0.5, so a
computed value k places from RESULT is |k - OFFSET| units from the exact one.
The arguments come from a fixed seed: every run writes the same table.
"""
import math
import random
import struct
import sys
from fractions import Fraction

import mpmath
from mpmath import mp, mpf

mp.prec = 200
DEGREES = 57.2957795  # the runtime's divisor for angles in degrees

DOUBLE = (53, -1022, 1023, 'd', 'Q', 16)
FLOAT = (24, -126, 127, 'f', 'I', 8)


def bits(x, fmt):
    return struct.unpack('<' + fmt[4], struct.pack('<' + fmt[3], x))[0]


def from_bits(b, fmt):
    return struct.unpack('<' + fmt[3], struct.pack('<' + fmt[4], b))[0]


def to_float32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


def hexbits(x, fmt):
    return '%0*x' % (fmt[5], bits(x, fmt))


def round_exact(v, fmt, zero_sign=1.0):
    """Rounds the exact value v (mpf or Fraction) to the nearest value of the
    format, ties to even; returns (value, offset in last-place units)."""
    p, emin, emax = fmt[0], fmt[1], fmt[2]
    if v == 0:
        return math.copysign(0.0, zero_sign), 0.0
    v = Fraction(v) if not isinstance(v, Fraction) else v
    a = abs(v)
    e = a.numerator.bit_length() - a.denominator.bit_length()
    if Fraction(2) ** e > a:
        e -= 1
    quantum = Fraction(2) ** (max(e, emin) - (p - 1))
    n = v / quantum
    k = round(n)  # Python rounds Fractions half to even
    result = k * quantum
    sign = 1.0 if v > 0 else -1.0
    if abs(result) >= Fraction(2) ** (emax + 1):
        return math.copysign(math.inf, sign), 0.0
    offset = float((v - result) / quantum)
    return math.copysign(float(result), sign), offset


def mp_fraction(r):
    """The exact value of an mpf as a Fraction."""
    if r == 0:
        return Fraction(0)
    sign, m, e, _ = r._mpf_
    value = Fraction(int(m)) * (Fraction(2) ** e if e >= 0 else Fraction(1, 2 ** -e))
    return -value if sign else value


def ref(f, fmt, *args):
    return round_exact(mp_fraction(f(*[mpf(a) for a in args])), fmt)


NAN = float('nan')
INF = float('inf')


def nan_result():
    return None, 0.0


# --- the functions with their special cases (C99 Annex F) ---------------

def r_sin(x, fmt, f=mpmath.sin):
    if math.isnan(x) or math.isinf(x):
        return nan_result()
    if x == 0:
        return x, 0.0
    return ref(f, fmt, x)


def r_cos(x, fmt):
    if math.isnan(x) or math.isinf(x):
        return nan_result()
    return ref(mpmath.cos, fmt, x)


def r_tan(x, fmt):
    return r_sin(x, fmt, mpmath.tan)


def r_asin(x, fmt, f=mpmath.asin):
    if math.isnan(x) or abs(x) > 1:
        return nan_result()
    if x == 0 and f is mpmath.asin:
        return x, 0.0
    return ref(f, fmt, x)


def r_acos(x, fmt):
    return r_asin(x, fmt, mpmath.acos)


def r_atan(x, fmt):
    if math.isnan(x):
        return nan_result()
    if x == 0:
        return x, 0.0
    if math.isinf(x):
        return round_exact(mp_fraction(mpmath.pi / 2) * (1 if x > 0 else -1), fmt)
    return ref(mpmath.atan, fmt, x)


def r_atan2(y, x, fmt):
    if math.isnan(x) or math.isnan(y):
        return nan_result()
    sy = math.copysign(1.0, y)
    pi = mp_fraction(mpmath.pi)
    if y == 0:
        if math.copysign(1.0, x) > 0:  # +0 or positive x
            return math.copysign(0.0, sy), 0.0
        return round_exact(pi * int(sy), fmt)
    if math.isinf(y):
        if math.isinf(x):
            q = pi / 4 if x > 0 else 3 * pi / 4
        else:
            q = pi / 2
        return round_exact(q * int(sy), fmt)
    if math.isinf(x):
        if x > 0:
            return math.copysign(0.0, sy), 0.0
        return round_exact(pi * int(sy), fmt)
    if x == 0:
        return round_exact(pi / 2 * int(sy), fmt)
    return ref(mpmath.atan2, fmt, y, x)


def r_exp(x, fmt):
    if math.isnan(x):
        return nan_result()
    if math.isinf(x):
        return (INF if x > 0 else 0.0), 0.0
    if x > 1000:
        return INF, 0.0
    if x < -1000:
        return 0.0, 0.0
    return ref(mpmath.exp, fmt, x)


def r_log(x, fmt, f=mpmath.log):
    if math.isnan(x) or x < 0:
        return nan_result()
    if x == 0:
        return -INF, 0.0
    if math.isinf(x):
        return INF, 0.0
    if x == 1:
        return 0.0, 0.0
    return ref(f, fmt, x)


def r_log10(x, fmt):
    return r_log(x, fmt, mpmath.log10)


def is_integer(y):
    return math.isfinite(y) and y == math.floor(y)


def is_odd_integer(y):
    return is_integer(y) and abs(y) < 2 ** 53 and int(y) % 2 == 1


def r_pow(x, y, fmt):
    if y == 0 or x == 1:
        return 1.0, 0.0
    if math.isnan(x) or math.isnan(y):
        return nan_result()
    if x == 0:
        if y < 0:
            return (math.copysign(INF, x) if is_odd_integer(y) else INF), 0.0
        return (x if is_odd_integer(y) else 0.0), 0.0
    if x == -1 and math.isinf(y):
        return 1.0, 0.0
    if math.isinf(y):
        big = abs(x) > 1
        return (INF if big == (y > 0) else 0.0), 0.0
    if math.isinf(x):
        if x < 0:
            if y < 0:
                return (-0.0 if is_odd_integer(y) else 0.0), 0.0
            return (-INF if is_odd_integer(y) else INF), 0.0
        return (INF if y > 0 else 0.0), 0.0
    if x < 0 and not is_integer(y):
        return nan_result()
    sign = -1 if x < 0 and is_odd_integer(y) else 1
    magnitude = mpmath.power(mpf(abs(x)), mpf(y))
    value = mp_fraction(magnitude) * sign
    # Beyond the format's range the 200-bit value is still far off the boundary.
    return round_exact(value, fmt, zero_sign=sign)


def r_sqrt(x, fmt):
    if math.isnan(x) or x < 0:
        return nan_result()
    if x == 0 or math.isinf(x):
        return x, 0.0
    return ref(mpmath.sqrt, fmt, x)


def r_fmod(x, y, fmt):
    if math.isnan(x) or math.isnan(y) or math.isinf(x) or y == 0:
        return nan_result()
    if math.isinf(y) or x == 0:
        return x, 0.0
    fx, fy = Fraction(x), Fraction(y)
    q = math.trunc(fx / fy)
    r = fx - q * fy
    return round_exact(r, fmt, zero_sign=math.copysign(1.0, x))


def rounding(op):
    def r(x, fmt):
        if math.isnan(x):
            return nan_result()
        if math.isinf(x) or x == 0:
            return x, 0.0
        v = op(Fraction(x))
        return round_exact(Fraction(v), fmt, zero_sign=math.copysign(1.0, x))
    return r


# --- argument sets -------------------------------------------------------

rng = random.Random(22)
SPECIAL = [0.0, -0.0, NAN, INF, -INF]


def log_uniform(lo_exp, hi_exp):
    m = rng.uniform(1, 2)
    return m * 2.0 ** rng.randint(lo_exp, hi_exp) * rng.choice((1, -1))


def angle_args(n):
    args = list(SPECIAL)
    # Angles in degrees as the language's commands convert them, at and near
    # multiples of 90.
    for k in range(-400, 401):
        args.append(k * 90 / DEGREES)
        for offset in (1e-9, -1e-6, 1e-3):
            args.append((k * 90 + offset) / DEGREES)
    # Doubles next to multiples of pi/2: the hard cases of argument reduction.
    for k in range(1, 200):
        v = k * math.pi / 2
        args += [v, math.nextafter(v, 0), math.nextafter(v, INF)]
    # Huge (up to the largest double) and tiny (down to subnormals).
    args += [1e22, -1e22, 1e300, 5e20, 1.7976931348623157e308, -1.7976931348623157e308]
    args += [log_uniform(40, 1023) for _ in range(300)]
    args += [log_uniform(-1074, -20) for _ in range(150)]
    args += [rng.uniform(-10, 10) for _ in range(n // 4)]
    args += [rng.uniform(-1e6, 1e6) for _ in range(n // 8)]
    return args


def unit_args(n):
    args = list(SPECIAL) + [1.0, -1.0, 0.5, -0.5, 1.5, -2.0, 1e300]
    args += [1 - 2.0 ** -k for k in range(1, 53)] + [-1 + 2.0 ** -k for k in range(1, 53)]
    args += [log_uniform(-1074, -1) for _ in range(n // 4)]
    args += [rng.uniform(-1, 1) for _ in range(n)]
    return args


def wide_args(n):
    args = list(SPECIAL) + [1.0, -1.0, 1.7976931348623157e308, 5e-324]
    args += [log_uniform(-1074, 1023) for _ in range(n // 2)]
    args += [rng.uniform(-20, 20) for _ in range(n // 2)]
    return args


def exp_args(n):
    args = list(SPECIAL) + [709.782712893384, 709.79, -708.39, -745.1332191019411, -745.14, 1e-300]
    args += [rng.uniform(-750, 712) for _ in range(n // 2)]
    args += [rng.uniform(-2, 2) for _ in range(n // 4)]
    args += [log_uniform(-1074, -1) for _ in range(n // 4)]
    return args


def positive_args(n):
    args = list(SPECIAL) + [1.0, -1.0, 5e-324, 1.7976931348623157e308, 10.0, 100.0, 1e22]
    args += [1 + 2.0 ** -k for k in range(1, 53)] + [1 - 2.0 ** -k for k in range(1, 53)]
    args += [abs(log_uniform(-1074, 1023)) for _ in range(n // 2)]
    args += [rng.uniform(0, 100) for _ in range(n // 4)]
    args += [-abs(log_uniform(-10, 10)) for _ in range(20)]
    return args


def atan2_args(n):
    edges = [0.0, -0.0, 1.0, -1.0, INF, -INF, NAN, 5e-324]
    pairs = [(y, x) for y in edges for x in edges]
    for _ in range(n):
        pairs.append((log_uniform(-30, 30), log_uniform(-30, 30)))
    for _ in range(n // 8):
        pairs.append((log_uniform(-1074, 1023), log_uniform(-1074, 1023)))
    return pairs


def pow_args(n):
    edges = [0.0, -0.0, 1.0, -1.0, 0.5, 2.0, -2.0, INF, -INF, NAN, 3.0, -3.0, 0.5, 1e-300]
    pairs = [(x, y) for x in edges for y in edges]
    pairs += [(1.0000001, 1e9), (2.0, 1023.0), (2.0, 1024.0), (2.0, -1074.0), (2.0, -1075.0),
              (10.0, 308.0), (10.0, -323.0), (-8.0, 1.0 / 3)]
    for _ in range(n // 2):
        pairs.append((abs(log_uniform(-20, 20)), rng.uniform(-40, 40)))
    for _ in range(n // 4):
        pairs.append((1 + rng.uniform(-1e-6, 1e-6), rng.uniform(-1e9, 1e9)))
    for _ in range(n // 8):
        pairs.append((-abs(log_uniform(-5, 5)), float(rng.randint(-60, 60))))
    for _ in range(n // 8):
        pairs.append((rng.uniform(0, 10), rng.uniform(-300, 300)))
    return pairs


def fmod_args(n):
    edges = [0.0, -0.0, 1.0, -1.0, INF, -INF, NAN, 5e-324, 1.7976931348623157e308]
    pairs = [(x, y) for x in edges for y in edges]
    pairs += [(3e9, 7.0), (360.5, 360.0), (-725.25, 360.0)]
    for _ in range(n // 2):
        pairs.append((rng.uniform(-1000, 1000), rng.uniform(-50, 50)))
    for _ in range(n // 2):
        pairs.append((log_uniform(-1074, 1023), log_uniform(-1074, 1023)))
    return pairs


def rounding_args(n):
    args = list(SPECIAL) + [0.5, -0.5, 1.5, -1.5, 2.5, 4503599627370495.5, 1e300, 5e-324, -5e-324]
    args += [rng.uniform(-1000, 1000) for _ in range(n // 2)]
    args += [log_uniform(-1074, 1023) for _ in range(n // 2)]
    return args


N = 2000
FUNCTIONS = [
    ('sin', DOUBLE, r_sin, angle_args(N)),
    ('cos', DOUBLE, r_cos, angle_args(N)),
    ('tan', DOUBLE, r_tan, angle_args(N)),
    ('asin', DOUBLE, r_asin, unit_args(N)),
    ('acos', DOUBLE, r_acos, unit_args(N)),
    ('atan', DOUBLE, r_atan, wide_args(N)),
    ('atan2', DOUBLE, r_atan2, atan2_args(N)),
    ('exp', DOUBLE, r_exp, exp_args(N)),
    ('log', DOUBLE, r_log, positive_args(N)),
    ('log10', DOUBLE, r_log10, positive_args(N)),
    ('pow', DOUBLE, r_pow, pow_args(N)),
    ('sqrt', DOUBLE, r_sqrt, positive_args(N)),
    ('fmod', DOUBLE, r_fmod, fmod_args(N)),
    ('floor', DOUBLE, rounding(math.floor), rounding_args(N)),
    ('ceil', DOUBLE, rounding(math.ceil), rounding_args(N)),
    ('trunc', DOUBLE, rounding(math.trunc), rounding_args(N)),
    ('sinf', FLOAT, r_sin, angle_args(N)),
    ('cosf', FLOAT, r_cos, angle_args(N)),
    ('tanf', FLOAT, r_tan, angle_args(N)),
    ('sqrtf', FLOAT, r_sqrt, positive_args(N)),
    ('fmodf', FLOAT, r_fmod, fmod_args(N)),
    ('truncf', FLOAT, rounding(math.trunc), rounding_args(N)),
    ('ceilf', FLOAT, rounding(math.ceil), rounding_args(N)),
]


def main():
    out = []
    for name, fmt, reference, args in FUNCTIONS:
        for a in args:
            a = a if isinstance(a, tuple) else (a,)
            if fmt is FLOAT:
                a = tuple(to_float32(v) if abs(v) < 3.4e38 or not math.isfinite(v)
                          else math.copysign(INF, v) for v in a)
            value, offset = reference(*a, fmt)
            fields = [name] + [hexbits(v, fmt) for v in a]
            fields.append('nan' if value is None else hexbits(value, fmt))
            fields.append(repr(offset))
            out.append(' '.join(fields))
    with open(sys.argv[1], 'w') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
