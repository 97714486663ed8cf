// Finds where an HTTP response's body starts: the headers end at the first
// empty line, found by counting consecutive line feeds (a carriage return
// leaves the count alone, any other byte resets it). The count carries over
// from one chunk to the next, so a header end split across reads is found.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class HttpHeaderScanner {
public:
    // The offset in this chunk where the body starts: `size` while the
    // headers go on past the chunk, 0 for every chunk after their end.
    size_t Feed(const uint8_t* data, size_t size);
    bool InBody() const { return inBody_; }

private:
    int lineFeeds_ = 0;
    bool inBody_ = false;
};

// The length a response's headers give its body ("Content-Length", any
// case, white space around the digits); false when they give none, or give
// one that is not a plain number or two that differ.
bool HttpContentLength(const std::string& headers, uint64_t& length);
