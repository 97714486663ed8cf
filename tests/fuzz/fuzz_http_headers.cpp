// Response bytes from any server, cut into reads anywhere: the header scanner
// must find the same body start however the bytes are split, and the one a
// plain search for LF CR* LF finds. The headers' Content-Length, when one is
// read, is a number of at most 18 digits.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/http_header_scan.h"

namespace {
size_t Reference(const uint8_t* d, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (d[i] != '\n') continue;
        size_t j = i + 1;
        while (j < n && d[j] == '\r') ++j;
        if (j < n && d[j] == '\n') return j + 1;
    }
    return SIZE_MAX;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose where the reads are cut.
    size_t cutA = data[0], cutB = data[1];
    data += 2;
    size -= 2;
    size_t cuts[3] = {cutA % (size + 1), 0, size};
    cuts[1] = cuts[0] + cutB % (size - cuts[0] + 1);
    HttpHeaderScanner s;
    size_t body = SIZE_MAX, from = 0;
    for (size_t to : cuts) {
        size_t at = s.Feed(data + from, to - from);
        if (body == SIZE_MAX && s.InBody()) body = from + at;
        if (at > to - from) __builtin_trap();
        from = to;
    }
    if (body != Reference(data, size)) __builtin_trap();
    uint64_t length = 0;
    std::string headers(reinterpret_cast<const char*>(data), body == SIZE_MAX ? size : body);
    if (HttpContentLength(headers, length) && length >= 1000000000000000000ull) __builtin_trap();
    return 0;
}
