#include "net/http_header_scan.h"

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
