// NL_TCP_PACKETS: each nlWrite becomes one frame on the stream,
// 'N' 'L', payload length (16 bits, big-endian), payload; each nlRead
// returns one whole payload.
#include <chrono>
#include <cstring>

#include "nl/internal.h"

using namespace nlimpl;

namespace {

constexpr size_t kHeader = 4;

enum class Frame { Incomplete, Complete, Broken };

Frame Inspect(const std::vector<uint8_t>& in, size_t& payload) {
    if (in.size() >= 1 && in[0] != 'N') return Frame::Broken;
    if (in.size() >= 2 && in[1] != 'L') return Frame::Broken;
    if (in.size() < kHeader) return Frame::Incomplete;
    payload = static_cast<size_t>(in[2] << 8 | in[3]);
    if (payload > NL_MAX_PACKET_LENGTH) return Frame::Broken;
    return in.size() >= kHeader + payload ? Frame::Complete : Frame::Incomplete;
}

// Appends what the socket has now (without waiting) to the input buffer.
// Returns false on the end of the stream or an error (err = 0 at the end).
bool Pull(Socket& s, bool wait, int& err) {
    uint8_t chunk[8192];
    for (;;) {
        if (!wait) {
            bool ready = false;
            if (nlsys::Wait(&s.fd, 1, nlsys::Ready::Read, 0, &ready) <= 0) return true;
        }
        int n = nlsys::Recv(s.fd, chunk, sizeof chunk);
        if (n > 0) {
            s.inFrames.insert(s.inFrames.end(), chunk, chunk + n);
            return true;
        }
        if (n == 0) {
            err = 0;
            return false;
        }
        err = nlsys::LastError();
        if (nlsys::WouldBlock(err)) return true;
        if (nlsys::Interrupted(err)) continue;
        return false;
    }
}

// Sends the unsent rest of the buffered frame; false on an error.
bool FlushSome(Socket& s) {
    while (s.outSent < s.outFrame.size()) {
        int n = nlsys::Send(s.fd, s.outFrame.data() + s.outSent, static_cast<int>(s.outFrame.size() - s.outSent));
        if (n < 0) {
            int err = nlsys::LastError();
            return nlsys::WouldBlock(err) || nlsys::Interrupted(err);
        }
        s.outSent += static_cast<size_t>(n);
        if (n == 0) break;
    }
    if (s.outSent >= s.outFrame.size()) {
        s.outFrame.clear();
        s.outSent = 0;
    }
    return true;
}

struct FlushJob {
    SocketRef sock;
};

void FlushInBackground(void* data) {
    FlushJob* job = static_cast<FlushJob*>(data);
    Socket& s = *job->sock;
    for (;;) {
        bool ready = false;
        nlsys::Wait(&s.fd, 1, nlsys::Ready::Write, 100, &ready);
        std::lock_guard<std::mutex> hold(s.writeLock);
        if (s.closed || !FlushSome(s) || s.outFrame.empty()) {
            s.flusherRunning = false;
            break;
        }
    }
    delete job;
}

}  // namespace

namespace nlimpl {

bool PacketBuffered(Socket& s) {
    std::lock_guard<std::mutex> hold(s.readLock);
    if (s.outOfSync || s.atEnd) return true;
    int err = 0;
    if (!Pull(s, false, err)) return true;  // the end or an error is news too
    size_t payload = 0;
    return Inspect(s.inFrames, payload) != Frame::Incomplete;
}

NLint PacketRead(const SocketRef& sock, void* buffer, NLint nbytes) {
    Socket& s = *sock;
    std::lock_guard<std::mutex> hold(s.readLock);
    for (;;) {
        if (s.outOfSync) {
            SetError(NL_PACKET_SYNC);
            return NL_INVALID;
        }
        size_t payload = 0;
        Frame f = Inspect(s.inFrames, payload);
        if (f == Frame::Broken) {
            s.outOfSync = true;
            continue;
        }
        if (f == Frame::Complete) {
            if (payload > static_cast<size_t>(nbytes)) {
                SetError(NL_BUFFER_SIZE);  // the frame stays for a larger buffer
                return NL_INVALID;
            }
            memcpy(buffer, s.inFrames.data() + kHeader, payload);
            s.inFrames.erase(s.inFrames.begin(), s.inFrames.begin() + static_cast<long>(kHeader + payload));
            CountTransfer(s, false, static_cast<NLint>(payload));
            return static_cast<NLint>(payload);
        }
        if (s.atEnd) {
            SetError(NL_MESSAGE_END);
            return NL_INVALID;
        }
        size_t before = s.inFrames.size();
        int err = 0;
        if (!Pull(s, s.blocking, err)) {
            if (err == 0) {
                s.atEnd = true;
                continue;
            }
            RecordTransferFailure(s, err);
            return NL_INVALID;
        }
        if (s.inFrames.size() == before && !s.blocking) return 0;  // nothing new yet
    }
}

NLint PacketWrite(const SocketRef& sock, const void* buffer, NLint nbytes) {
    Socket& s = *sock;
    std::lock_guard<std::mutex> hold(s.writeLock);
    if (!s.outFrame.empty()) {
        if (!FlushSome(s)) {
            RecordTransferFailure(s, nlsys::LastError());
            return NL_INVALID;
        }
        if (!s.outFrame.empty()) return 0;  // the previous frame is still going out
    }
    std::vector<uint8_t> frame(kHeader + static_cast<size_t>(nbytes));
    frame[0] = 'N';
    frame[1] = 'L';
    frame[2] = static_cast<uint8_t>(nbytes >> 8);
    frame[3] = static_cast<uint8_t>(nbytes & 0xFF);
    if (nbytes > 0) memcpy(frame.data() + kHeader, buffer, static_cast<size_t>(nbytes));
    s.outFrame.swap(frame);
    s.outSent = 0;
    if (!FlushSome(s)) {
        int err = nlsys::LastError();
        s.outFrame.clear();
        RecordTransferFailure(s, err);
        return NL_INVALID;
    }
    if (!s.outFrame.empty() && !s.flusherRunning) {
        FlushJob* job = new FlushJob{sock};
        s.flusherRunning = StartDetached(FlushInBackground, job);
        if (!s.flusherRunning) delete job;
    }
    CountTransfer(s, true, nbytes);
    return nbytes;
}

void PacketFlushBeforeClose(Socket& s) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    std::lock_guard<std::mutex> hold(s.writeLock);
    while (!s.outFrame.empty() && Clock::now() < deadline) {
        bool ready = false;
        nlsys::Wait(&s.fd, 1, nlsys::Ready::Write, 100, &ready);
        if (!FlushSome(s)) break;
    }
}

}  // namespace nlimpl
