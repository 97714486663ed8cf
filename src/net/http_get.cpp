// One HTTP/1.0 GET over a blocking TCP socket; the body goes to a file.
#include "net/http_get.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/error_log.h"
#include "core/file_writer.h"
#include "lang/number_convert.h"
#include "net/http_header_scan.h"
#include "nl/extensions.h"
#include "nl/nl.h"

namespace {

// Reads of up to 64 KiB: a system call per 4 KiB made downloads a quarter
// slower than curl's; what is read and stored is the same.
constexpr int kChunk = 64 * 1024;
// Header bytes kept for their Content-Length; longer headers are not read
// for it.
constexpr size_t kMaxHeaderText = 64 * 1024;

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

double Transfer(const char* host, const char* path, double port, const char* fileName, int idleLimitMs,
                int totalLimitMs) {
    SwitchesKept kept;
    nlSelectNetwork(NL_IP);  // already selected when a game shares the library
    nlEnable(NL_SOCKET_STATS);
    nlEnable(NL_BLOCKING_IO);
    NLaddress address;
    if (!nlGetAddrFromName(host, &address) ||
        !nlSetAddrPort(&address, static_cast<NLushort>(TruncToInt64(port))))
        return 0;
    // The body goes to a new file beside the target, which takes the
    // target's place only when the whole body arrived: a failed download
    // leaves the old file as it was. A target that cannot be written is
    // refused before anything is asked (the writer logs why).
    FileWriter file;
    if (!file.Open(fileName)) return 0;
    NLsocket s = nlOpen(0, NL_RELIABLE);
    if (s == NL_INVALID) return 0;
    if (!nlConnect(s, &address)) {
        nlClose(s);
        return 0;
    }

    std::string request = std::string("GET ") + path + " HTTP/1.0\r\nHost:" + host +
                          "\r\nAccept: */*\r\nUser-Agent: Brindle game\r\n\r\n";
    bool closed = false;  // by the server, normally
    bool timedOut = false;
    bool stored = true;  // every body byte so far is in the file
    uint64_t body = 0;
    std::string headerText;
    HttpHeaderScanner headers;
    bool asked = WriteAll(s, request);
    if (asked) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(totalLimitMs);
        std::vector<uint8_t> chunk(kChunk);
        uint8_t* buffer = chunk.data();
        for (;;) {
            // A server silent for the idle limit is gone; one that trickles
            // is given the total limit, not for ever.
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                timedOut = true;
                break;
            }
            int wait = static_cast<int>(std::min<int64_t>(idleLimitMs, left.count()));
            nlSetReceiveTimeout(s, wait);
            auto started = std::chrono::steady_clock::now();
            NLint n = nlRead(s, buffer, kChunk - 1);
            if (n <= 0) {
                // Blocking, nothing read means the time-out ran out (Linux:
                // 0, Windows: an error), or the connection ended.
                closed = n < 0 && nlGetError() == NL_MESSAGE_END;
                timedOut = !closed && std::chrono::steady_clock::now() - started >= std::chrono::milliseconds(wait);
                break;
            }
            size_t from = headers.Feed(buffer, static_cast<size_t>(n));
            if (headerText.size() < kMaxHeaderText) headerText.append(reinterpret_cast<char*>(buffer), from);
            if (!headers.InBody() || from >= static_cast<size_t>(n)) continue;
            body += static_cast<uint64_t>(n) - from;
            // A file that cannot take the body ends the download (the
            // writer has logged it).
            stored = file.Write(buffer + from, static_cast<size_t>(n) - from);
            if (!stored) break;
        }
    }
    nlClose(s);
    if (!stored) return 0;
    // A body short of the length the headers give was cut off, however the
    // connection ended.
    uint64_t length = 0;
    bool complete = closed && !(HttpContentLength(headerText, length) && body < length);
    if (asked && !complete)
        AppendErrorLog((std::string(timedOut ? "Download timed out: " : "Download cut short: ") + fileName).c_str());
    if (!complete) return 0;  // the writer is abandoned: the old file stays
    return file.Commit() ? 1 : 0;
}

}  // namespace

double HttpDownload(const char* host, const char* path, double port, const char* fileName, int idleLimitMs,
                    int totalLimitMs) {
    if (!nlInit()) return 0;
    double result = Transfer(host, path, port, fileName, idleLimitMs, totalLimitMs);
    nlShutdown();  // counted: a running network game keeps the library
    return result;
}
