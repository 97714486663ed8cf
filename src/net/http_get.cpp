// One HTTP/1.0 GET over a blocking TCP socket; the body goes to a file.
#include "net/http_get.h"

#include <cstdio>
#include <string>
#include <vector>

#include "lang/number_convert.h"
#include "net/http_header_scan.h"
#include "nl/extensions.h"
#include "nl/nl.h"

namespace {

// Reads of up to 64 KiB: a system call per 4 KiB made downloads a quarter
// slower than curl's; what is read and stored is the same.
constexpr int kChunk = 64 * 1024;

// Restores the library's switches when the download is done: a network
// game sharing the library keeps its non-blocking sockets.
class SwitchesKept {
public:
    SwitchesKept() : blocking_(nlGetBoolean(NL_BLOCKING_IO)), stats_(nlGetBoolean(NL_SOCKET_STATS)) {}
    ~SwitchesKept() {
        if (!blocking_) nlDisable(NL_BLOCKING_IO);
        if (!stats_) nlDisable(NL_SOCKET_STATS);
    }

private:
    NLboolean blocking_, stats_;
};

bool WriteAll(NLsocket s, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        NLint n = nlWrite(s, text.data() + sent, static_cast<NLint>(text.size() - sent));
        if (n < 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

double Transfer(const char* host, const char* path, double port, const char* fileName, int idleLimitMs) {
    SwitchesKept kept;
    nlSelectNetwork(NL_IP);  // already selected when a game shares the library
    nlEnable(NL_SOCKET_STATS);
    nlEnable(NL_BLOCKING_IO);
    NLaddress address;
    if (!nlGetAddrFromName(host, &address) ||
        !nlSetAddrPort(&address, static_cast<NLushort>(TruncToInt64(port))))
        return 0;
    NLsocket s = nlOpen(0, NL_RELIABLE);
    if (s == NL_INVALID) return 0;
    if (!nlConnect(s, &address)) {
        nlClose(s);
        return 0;
    }
    nlSetReceiveTimeout(s, idleLimitMs);  // a server silent for this long is gone
    // No file is no reason to stop: the transfer runs, nothing is stored.
    std::FILE* file = std::fopen(fileName, "wb");
    if (file) std::setvbuf(file, nullptr, _IOFBF, 1 << 16);

    std::string request = std::string("GET ") + path + " HTTP/1.0\r\nHost:" + host +
                          "\r\nAccept: */*\r\nUser-Agent: Brindle game\r\n\r\n";
    double result = 0;
    if (WriteAll(s, request)) {
        HttpHeaderScanner headers;
        std::vector<uint8_t> chunk(kChunk);
        uint8_t* buffer = chunk.data();
        for (;;) {
            NLint n = nlRead(s, buffer, kChunk - 1);
            if (n < 0) {
                result = nlGetError() == NL_MESSAGE_END ? 1 : 0;
                break;
            }
            if (n == 0) break;  // blocking: only when the receive time-out ran out
            size_t from = headers.Feed(buffer, static_cast<size_t>(n));
            if (file && headers.InBody() && from < static_cast<size_t>(n))
                std::fwrite(buffer + from, 1, static_cast<size_t>(n) - from, file);
        }
    }
    if (file) std::fclose(file);
    nlClose(s);
    return result;
}

}  // namespace

double HttpDownload(const char* host, const char* path, double port, const char* fileName, int idleLimitMs) {
    if (!nlInit()) return 0;
    double result = Transfer(host, path, port, fileName, idleLimitMs);
    nlShutdown();  // counted: a running network game keeps the library
    return result;
}
