// The language's text functions. Positions are 0-based byte offsets; a search
// that finds nothing gives -1; number arguments truncate towards zero.
#pragma once
#include <brindle/arrays.h>
#include <brindle/rtstring.h>

// Position of the first occurrence, -1 when absent; an empty search gives 0.
double FindText(const RtString& text, const RtString& search);
double FindText(const RtString& text, const char* search);
double FindText(const char* text, const RtString& search);
double FindText(const char* text, const char* search);

// Up to `count` bytes from `start`; empty for a negative start, a start past
// the end or a count of 0 or less. When start + count, taken to 32 unsigned
// bits, passes the end, the rest is taken: so start 0 and count -5 give the
// whole text, while start 2 and count -1 give "".
RtString MidText(const RtString& text, double start, double count);

// Replaces every occurrence of `find` (left to right, never inside inserted
// text). The caller's text holds the result too; an empty find changes nothing.
RtString ReplaceText(RtString& text, const RtString& find, const RtString& replacement);

// Splits at any of the separator bytes into the string array (redimensioned
// to the piece count) and returns the count. Runs of separators count as
// one; leading and trailing separators give no empty pieces, so an empty text
// or one of separators only gives 0 pieces. The text itself is not changed.
double SplitText(const RtString& text, StringArray& array, const RtString& separators);

RtString UpperCase(const RtString& text);  // a-z to A-Z, other bytes unchanged
RtString LowerCase(const RtString& text);  // A-Z to a-z
// A one-byte text of the code's low byte; "" when that byte is 0.
RtString CharText(double code);
// Two upper-case hexadecimal digits per byte, in memory order.
RtString HexBytes(const void* bytes, double count);
// printf's "%<width>.<decimals>f": a negative width pads on the right, a
// negative decimals count means the default 6; at most 511 bytes.
RtString FormatNumber(double width, double decimals, double value);
// The command line after the program name, quoted by the Windows rules on every target.
RtString CommandLine();
// "" -> the platform ("WIN32" or "LINUX"), "ID" -> a machine identifier as 8
// hexadecimal digits, "DEVICE" -> "DESKTOP", others "NO_DATA". The key is
// turned to upper case in place.
RtString PlatformInfo(RtString& key);
