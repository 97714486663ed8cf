// Text functions: search, cut, replace, split, case, characters, number
// formatting, and the platform query.
#include <brindle/text.h>

#include <charconv>
#include <cmath>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lang/number_convert.h"
#include "lang/portable_maths.h"
#include "platform/system.h"

namespace {

double Find(const char* text, const char* search) {
    if (!search || !*search) return 0;
    const char* found = std::strstr(text ? text : "", search);
    return found ? static_cast<double>(found - text) : -1;
}

// The string's bytes up to its stored length with the ASCII letters of one
// case turned into the other.
void ChangeCase(RtString& s, char from, char to) {
    char* p = s.data();
    for (uint32_t i = 0; i < s.length(); ++i)
        if (p[i] >= from && p[i] <= static_cast<char>(from + 25)) p[i] = static_cast<char>(p[i] - from + to);
}

// The value of "ID" combines the volume serial with this mask, so the text
// does not hand out the serial number itself.
constexpr uint32_t kMachineIdMask = 0x2B7E1516u;
// Reported when the serial number cannot be read.
constexpr uint32_t kUnknownSerial = 16390125u;

}  // namespace

double FindText(const RtString& text, const RtString& search) { return Find(text.Text(), search.Text()); }
double FindText(const RtString& text, const char* search) { return Find(text.Text(), search); }
double FindText(const char* text, const RtString& search) { return Find(text, search.Text()); }
double FindText(const char* text, const char* search) { return Find(text, search); }

RtString MidText(const RtString& text, double start, double count) {
    RtString result;
    if (std::isnan(start) || std::isnan(count)) return result;
    double len = text.length();
    // The end is taken to 32 unsigned bits: a negative sum reads as very large
    // and so as "to the end".
    uint32_t end = static_cast<uint32_t>(static_cast<uint64_t>(TruncToInt64(start + count)));
    if (end > len) count = len - start;
    if (count <= 0 || len < start || start < 0) return result;
    const char* from = text.Text() + static_cast<uint32_t>(start);  // start <= len
    double rest = static_cast<double>(std::strlen(from));
    double take = count < rest ? maths::trunc(count) : rest;
    return RtString(std::string(from, static_cast<size_t>(take)).c_str());
}

RtString ReplaceText(RtString& text, const RtString& findArg, const RtString& replacementArg) {
    // Copies: the search and replacement texts may be the text itself.
    RtString find(findArg), replacement(replacementArg);
    size_t findLength = std::strlen(find.Text());
    size_t replacementLength = std::strlen(replacement.Text());
    if (findLength == 0) return text;
    if (findLength == replacementLength) {
        char* base = text.data();
        for (char* at = std::strstr(base, find.Text()); at;
             at = std::strstr(at + replacementLength, find.Text()))
            std::memcpy(at, replacement.Text(), replacementLength);
        return text;
    }
    // One pass over the text gives what replacing occurrence by occurrence
    // gives: the scan resumes behind each insertion, where the old text goes on.
    const char* base = text.Text();
    const char* at = std::strstr(base, find.Text());
    if (!at) return text;
    std::string built;
    const char* p = base;
    for (; at; at = std::strstr(p, find.Text())) {
        built.append(p, at);
        built.append(replacement.Text(), replacementLength);
        p = at + findLength;
    }
    built.append(p);
    text.Assign(built.c_str());
    return text;
}

double SplitText(const RtString& text, StringArray& array, const RtString& separators) {
    DimStringArray(array, 0);
    const char* seps = separators.Text();
    auto isSeparator = [seps](char c) { return c != '\0' && std::strchr(seps, c) != nullptr; };
    struct Piece { size_t start, length; };
    std::vector<Piece> pieces;
    const char* base = text.Text();
    const char* p = base;
    for (;;) {
        while (isSeparator(*p)) ++p;
        if (*p == '\0') break;
        const char* start = p;
        while (*p != '\0' && !isSeparator(*p)) ++p;
        pieces.push_back({static_cast<size_t>(start - base), static_cast<size_t>(p - start)});
    }
    if (pieces.empty()) return 0;
    DimStringArray(array, static_cast<double>(pieces.size()));
    for (size_t i = 0; i < pieces.size(); ++i)
        array(static_cast<double>(i)) = std::string(base + pieces[i].start, pieces[i].length).c_str();
    return static_cast<double>(pieces.size());
}

RtString UpperCase(const RtString& text) {
    RtString result(text);
    ChangeCase(result, 'a', 'A');
    return result;
}

RtString LowerCase(const RtString& text) {
    RtString result(text);
    ChangeCase(result, 'A', 'a');
    return result;
}

RtString CharText(double code) {
    char text[2] = {static_cast<char>(static_cast<uint32_t>(TruncToInt(code)) & 0xFFu), '\0'};
    return RtString(text);
}

RtString HexBytes(const void* bytes, double count) {
    static const char kDigits[] = "0123456789ABCDEF";
    RtString result;
    int n = TruncToInt(count);
    if (!bytes || n <= 0) return RtString("");
    const unsigned char* b = static_cast<const unsigned char*>(bytes);
    char* out = result.Buffer(2u * static_cast<uint32_t>(n));
    for (int i = 0; i < n; ++i) {
        out[2 * i] = kDigits[b[i] >> 4];
        out[2 * i + 1] = kDigits[b[i] & 15];
    }
    out[2 * n] = '\0';
    result.SyncLength();
    return result;
}

RtString FormatNumber(double width, double decimals, double value) {
    constexpr int kMaxText = 511;  // the result has room for 512 bytes
    int w = TruncToInt(width);
    int d = TruncToInt(decimals);
    bool padRight = w < 0;
    long long field = padRight ? -static_cast<long long>(w) : w;
    if (field > kMaxText) field = kMaxText;
    if (d < 0) d = 6;  // as C treats a negative precision
    if (d > kMaxText) d = kMaxText;
    // The digits come from the exact binary value, as printf's "%f" gives them.
    char digits[1100];
    auto r = std::to_chars(digits, digits + sizeof digits - 1, value, std::chars_format::fixed, d);
    size_t n = static_cast<size_t>(r.ptr - digits);
    if (n > kMaxText) n = kMaxText;
    size_t pad = static_cast<size_t>(field) > n ? static_cast<size_t>(field) - n : 0;
    std::string text;
    if (!padRight) text.append(pad, ' ');
    text.append(digits, n);
    if (padRight) text.append(pad, ' ');
    return RtString(text.c_str());
}

RtString PlatformInfo(RtString& key) {
    ChangeCase(key, 'a', 'A');  // the caller's key changes too
    const char* k = key.Text();
    if (*k == '\0') return RtString(platform::PlatformName());
    if (std::strcmp(k, "ID") == 0) {
        uint32_t serial;
        if (!platform::MachineSerial(serial)) serial = kUnknownSerial;
        uint32_t id = serial ^ kMachineIdMask;
        unsigned char bytes[4] = {static_cast<unsigned char>(id), static_cast<unsigned char>(id >> 8),
                                  static_cast<unsigned char>(id >> 16),
                                  static_cast<unsigned char>(id >> 24)};
        return HexBytes(bytes, 4);
    }
    if (std::strcmp(k, "DEVICE") == 0) return RtString("DESKTOP");
    return RtString("NO_DATA");
}
