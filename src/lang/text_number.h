// Text to number for string expressions: white space skipped, then the
// longest decimal prefix. Parsed here rather than by the C library so that
// both targets read the same texts the same way (no hexadecimal, "inf" or
// "nan" forms, no locale) and round the same (correctly rounded).
#pragma once

double ParseLeadingNumber(const char* text);
