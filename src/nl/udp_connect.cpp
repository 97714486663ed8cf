// Connection set-up of NL_UDP sockets, byte for byte as HawkNL does it:
//   client -> listener:      "HawkNL request connection." + NUL (27 bytes)
//   listener -> client:      new port (2 bytes, big-endian) + "HawkNL connection OK." + NUL
//   new socket -> client:    an empty datagram
//   client -> new socket:    an empty datagram, once the client is connected to it
// A non-blocking connect runs the client's part on a helper thread; a
// blocking one inside nlConnect. Both give up after about six seconds.
#include <chrono>
#include <cstring>

#include "nl/internal.h"

using namespace nlimpl;

namespace {

constexpr int kRequestSize = sizeof kRequestText;    // 27
constexpr int kReplySize = 2 + sizeof kReplyText;    // 24

struct ConnectJob {
    SocketRef sock;
    sockaddr_in to;
};

// Sends the request and waits for the reply; true once connected to the
// listener's new socket. err receives the system error of a failed send or
// connect (0 when the listener did not answer in time).
bool RunClient(Socket& s, const sockaddr_in& to, int& err) {
    err = 0;
    if (nlsys::SendTo(s.fd, kRequestText, kRequestSize, to) != kRequestSize) {
        err = nlsys::LastError();
        return false;
    }
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(kConnectSeconds);
    for (;;) {
        if (s.closed) return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        // Short waits, so that a socket closed meanwhile is noticed.
        bool ready = false;
        int n = nlsys::Wait(&s.fd, 1, nlsys::Ready::Read, left < 100 ? static_cast<int>(left) : 100, &ready);
        if (n < 0) return false;
        if (n == 0) continue;
        unsigned char reply[64];
        sockaddr_in from{};
        int got = nlsys::RecvFrom(s.fd, reply, sizeof reply, from);
        if (got < 0 && nlsys::MessageTooLong(nlsys::LastError())) got = sizeof reply;
        // Anything else (the listener's empty datagram, a refusal reported
        // by the system, stray datagrams) is passed over.
        if (got < kReplySize || memcmp(reply + 2, kReplyText, sizeof kReplyText - 1) != 0) continue;
        sockaddr_in server = from;
        server.sin_port = htons(static_cast<uint16_t>(reply[0] << 8 | reply[1]));
        if (connect(s.fd, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
            err = nlsys::LastError();
            return false;
        }
        nlsys::Send(s.fd, reply, 0);
        std::lock_guard<std::mutex> hold(s.lock);
        ToAddress(server, s.remote);
        s.hasRemote = true;
        return true;
    }
}

void ConnectInBackground(void* data) {
    ConnectJob* job = static_cast<ConnectJob*>(data);
    int err = 0;
    bool ok = RunClient(*job->sock, job->to, err);
    job->sock->link = ok ? Link::Connected : Link::Refused;
    delete job;
}

}  // namespace

namespace nlimpl {

bool UdpConnect(const SocketRef& sock, const NLaddress& address) {
    sockaddr_in to = FromAddress(address);
    if (sock->blocking) {
        sock->link = Link::Pending;
        int err = 0;
        bool ok = RunClient(*sock, to, err);
        sock->link = ok ? Link::Connected : Link::None;
        if (ok) return true;
        if (err != 0)
            SetSystemError(err);
        else
            SetError(NL_CON_REFUSED);
        return false;
    }
    sock->link = Link::Pending;
    ConnectJob* job = new ConnectJob{sock, to};
    if (!StartDetached(ConnectInBackground, job)) {
        delete job;
        sock->link = Link::None;
        SetError(NL_OUT_OF_MEMORY);
        return false;
    }
    return true;
}

NLsocket UdpAccept(const SocketRef& listener) {
    unsigned char request[64];
    sockaddr_in from{};
    int got = nlsys::RecvFrom(listener->fd, request, sizeof request, from);
    if (got < 0) {
        int err = nlsys::LastError();
        if (nlsys::MessageTooLong(err)) {
            got = sizeof request;
        } else if (nlsys::WouldBlock(err) || nlsys::Disconnected(err) || nlsys::Refused(err) ||
                   nlsys::Interrupted(err)) {
            SetError(NL_NO_PENDING);
            return NL_INVALID;
        } else {
            SetSystemError(err);
            return NL_INVALID;
        }
    }
    // Bytes after the 26 characters of the text are not looked at.
    if (got < kRequestSize || memcmp(request, kRequestText, kRequestSize - 1) != 0) {
        SetError(NL_NO_PENDING);
        return NL_INVALID;
    }

    SocketRef n = std::make_shared<Socket>();
    n->type = NL_UDP;
    n->fd = nlsys::OpenSocket(SOCK_DGRAM);
    if (n->fd == nlsys::kNoFd) {
        RecordSystemFailure();
        return NL_INVALID;
    }
    sockaddr_in local{};
    socklen_t len = sizeof local;
    getsockname(listener->fd, reinterpret_cast<sockaddr*>(&local), &len);
    local.sin_port = 0;
    if (bind(n->fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        RecordSystemFailure();
        return NL_INVALID;
    }
    GrowReceiveBuffer(n->fd);
    len = sizeof local;
    getsockname(n->fd, reinterpret_cast<sockaddr*>(&local), &len);
    uint16_t port = ntohs(local.sin_port);

    unsigned char reply[kReplySize];
    reply[0] = static_cast<unsigned char>(port >> 8);
    reply[1] = static_cast<unsigned char>(port & 0xFF);
    memcpy(reply + 2, kReplyText, sizeof kReplyText);
    if (nlsys::SendTo(listener->fd, reply, kReplySize, from) != kReplySize ||
        connect(n->fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) {
        RecordSystemFailure();
        return NL_INVALID;
    }
    nlsys::Send(n->fd, reply, 0);  // opens the way through firewalls

    n->blocking = listener->blocking.load();
    nlsys::SetBlocking(n->fd, n->blocking);
    ToAddress(from, n->remote);
    n->hasRemote = true;
    n->localPort = port;
    n->link = Link::Connected;
    return AddSocket(n);
}

}  // namespace nlimpl
