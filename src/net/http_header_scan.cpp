#include "net/http_header_scan.h"

#include <cctype>

size_t HttpHeaderScanner::Feed(const uint8_t* data, size_t size) {
    if (inBody_) return 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            if (++lineFeeds_ == 2) {
                inBody_ = true;
                return i + 1;
            }
        } else if (data[i] != '\r') {
            lineFeeds_ = 0;
        }
    }
    return size;
}

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The value of a "Content-Length:" line, or false when it is not one.
bool LengthLine(const std::string& line, uint64_t& value, bool& malformed) {
    static const char kName[] = "content-length:";
    const size_t nameSize = sizeof kName - 1;
    if (line.size() < nameSize) return false;
    for (size_t i = 0; i < nameSize; ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != kName[i]) return false;
    size_t i = nameSize;
    while (i < line.size() && Blank(line[i])) ++i;
    size_t digits = 0;
    value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i, ++digits)
        if (digits < 18) value = value * 10 + static_cast<uint64_t>(line[i] - '0');
    while (i < line.size() && Blank(line[i])) ++i;
    malformed = digits == 0 || digits > 18 || i != line.size();
    return true;
}

}  // namespace

bool HttpContentLength(const std::string& headers, uint64_t& length) {
    bool found = false;
    for (size_t start = 0; start < headers.size();) {
        size_t end = headers.find('\n', start);
        if (end == std::string::npos) end = headers.size();
        uint64_t value;
        bool malformed = false;
        if (LengthLine(headers.substr(start, end - start), value, malformed)) {
            if (malformed || (found && value != length)) return false;
            length = value;
            found = true;
        }
        start = end + 1;
    }
    return found;
}
