// Opening, connecting, reading, writing and closing sockets.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif
#include <algorithm>
#include <climits>
#include <cstring>

#include "nl/extensions.h"
#include "nl/internal.h"

using namespace nlimpl;

namespace {

bool SetIntOption(nlsys::Fd fd, int level, int name, int value) {
    return setsockopt(fd, level, name, reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

// The library's multicast time-to-live, set on the socket and kept with it.
void ApplyMulticastTtl(Socket& s) {
    int ttl;
    {
        std::lock_guard<std::mutex> hold(lib().lock);
        ttl = lib().ttl;
    }
    SetIntOption(s.fd, IPPROTO_IP, IP_MULTICAST_TTL, ttl);
    std::lock_guard<std::mutex> hold(s.lock);
    s.ttl = ttl;
}

NLushort BoundPort(nlsys::Fd fd) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return ntohs(a.sin_port);
}

bool BindTo(nlsys::Fd fd, NLushort port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    {
        std::lock_guard<std::mutex> hold(lib().lock);
        a.sin_addr.s_addr = lib().hasBindAddress ? lib().bindAddress : htonl(INADDR_ANY);
    }
    return bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
}

bool IsMulticast(const NLaddress& a) { return (a.addr[4] & 0xF0) == 0xE0; }

// A non-blocking TCP connect settles when the socket becomes writable (or,
// on Windows, reports an error).
void SettleTcpConnect(Socket& s) {
    if (s.link.load() != Link::Pending) return;
    bool ready = false;
    if (nlsys::Wait(&s.fd, 1, nlsys::Ready::Write, 0, &ready) > 0 ||
        nlsys::Wait(&s.fd, 1, nlsys::Ready::Error, 0, &ready) > 0) {
        s.link = nlsys::PendingError(s.fd) == 0 ? Link::Connected : Link::Refused;
    }
}

// Shared by nlRead and nlWrite: a connection still being set up, or one
// that could not be, fails the transfer.
bool UsableForTransfer(Socket& s) {
    if (s.tcp()) SettleTcpConnect(s);
    Link link = s.link.load();
    if (link == Link::Pending) {
        SetError(NL_CON_PENDING);
        return false;
    }
    if (link == Link::Refused) {
        SetError(NL_CON_REFUSED);
        return false;
    }
    return true;
}

NLint WriteGroup(NLint group, const NLvoid* buffer, NLint nbytes) {
    std::vector<NLsocket> members;
    {
        std::lock_guard<std::mutex> hold(lib().lock);
        size_t slot = static_cast<size_t>(group - kGroupBase);
        if (slot >= lib().groups.size() || !lib().groups[slot]) {
            SetError(NL_INVALID_GROUP);
            return NL_INVALID;
        }
        members = *lib().groups[slot];
    }
    NLint smallest = INT_MAX;
    bool any = false;
    for (NLsocket m : members) {
        if (!FindSocket(m)) continue;
        NLint r = nlWrite(m, buffer, nbytes);
        smallest = std::min(smallest, r);
        any = true;
    }
    return any ? smallest : 0;
}

}  // namespace

void nlimpl::GrowReceiveBuffer(nlsys::Fd fd) {
    int size = 0;
    socklen_t len = sizeof size;
    if (getsockopt(fd, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&size), &len) == 0 &&
        size >= kDatagramReceiveBuffer)
        return;
    SetIntOption(fd, SOL_SOCKET, SO_RCVBUF, kDatagramReceiveBuffer);
}

extern "C" {

NLsocket HL_APIENTRY nlOpen(NLushort port, NLenum type) {
    if (!NetworkReady()) return NL_INVALID;
    bool stream = type == NL_TCP || type == NL_TCP_PACKETS;
    bool datagram = type == NL_UDP || type == NL_UDP_BROADCAST || type == NL_UDP_MULTICAST;
    if (!stream && !datagram) {
        SetError(NL_INVALID_ENUM);
        return NL_INVALID;
    }
    SocketRef s = std::make_shared<Socket>();
    s->type = type;
    s->fd = nlsys::OpenSocket(stream ? SOCK_STREAM : SOCK_DGRAM);
    if (s->fd == nlsys::kNoFd) {
        RecordSystemFailure();
        return NL_INVALID;
    }
    bool reuse, noDelay;
    int ttl;
    {
        std::lock_guard<std::mutex> hold(lib().lock);
        reuse = lib().reuseAddress;
        noDelay = lib().noDelay;
        ttl = lib().ttl;
    }
    if (reuse || type == NL_UDP_MULTICAST) SetIntOption(s->fd, SOL_SOCKET, SO_REUSEADDR, 1);
    if ((datagram || port != 0) && !BindTo(s->fd, port)) {
        RecordSystemFailure();
        return NL_INVALID;
    }
    if (type == NL_UDP_BROADCAST) {
        SetIntOption(s->fd, SOL_SOCKET, SO_BROADCAST, 1);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
        ToAddress(to, s->remote);
        s->hasRemote = true;
    }
    if (stream && noDelay) {
        SetIntOption(s->fd, IPPROTO_TCP, TCP_NODELAY, 1);
        s->noDelay = true;
    }
    if (datagram) {
        nlsys::IgnoreConnectionResets(s->fd);
        GrowReceiveBuffer(s->fd);
    }
    s->ttl = ttl;
    s->blocking = lib().blockingDefault.load();
    nlsys::SetBlocking(s->fd, s->blocking);
    s->localPort = BoundPort(s->fd);
    return AddSocket(s);
}

NLboolean HL_APIENTRY nlListen(NLsocket socket) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_FALSE;
    if (s->listening) return NL_TRUE;
    if (s->tcp()) {
        if (BoundPort(s->fd) == 0 && !BindTo(s->fd, 0)) {
            RecordSystemFailure();
            return NL_FALSE;
        }
        int backlog;
        {
            std::lock_guard<std::mutex> hold(lib().lock);
            backlog = lib().backlog;
        }
        if (listen(s->fd, backlog) != 0) {
            RecordSystemFailure();
            return NL_FALSE;
        }
        std::lock_guard<std::mutex> hold(s->lock);
        s->localPort = BoundPort(s->fd);
    }
    s->listening = true;
    return NL_TRUE;
}

NLsocket HL_APIENTRY nlAcceptConnection(NLsocket socket) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_INVALID;
    if (!s->listening) {
        SetError(NL_NOT_LISTEN);
        return NL_INVALID;
    }
    if (s->type == NL_UDP) return UdpAccept(s);
    if (!s->tcp()) {
        SetError(NL_WRONG_TYPE);
        return NL_INVALID;
    }
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    nlsys::Fd fd = accept(s->fd, reinterpret_cast<sockaddr*>(&peer), &len);
    if (fd == nlsys::kNoFd) {
        int err = nlsys::LastError();
        if (nlsys::WouldBlock(err))
            SetError(NL_NO_PENDING);
        else
            SetSystemError(err);
        return NL_INVALID;
    }
    SocketRef n = std::make_shared<Socket>();
    n->fd = fd;
    n->type = s->type;
    n->blocking = s->blocking.load();
    nlsys::SetBlocking(fd, n->blocking);
    {
        std::lock_guard<std::mutex> hold(s->lock);
        n->noDelay = s->noDelay;
        n->ttl = s->ttl;
    }
    if (n->noDelay) SetIntOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
    ToAddress(peer, n->remote);
    n->hasRemote = true;
    n->localPort = BoundPort(fd);
    n->link = Link::Connected;
    return AddSocket(n);
}

NLboolean HL_APIENTRY nlConnect(NLsocket socket, const NLaddress* address) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_FALSE;
    if (!Given(address)) return NL_FALSE;
    if (s->tcp()) SettleTcpConnect(*s);
    Link link = s->link.load();
    if (link == Link::Connected) {
        SetError(NL_CONNECTED);
        return NL_FALSE;
    }
    if (link == Link::Pending) {
        SetError(NL_CON_PENDING);
        return NL_FALSE;
    }
    switch (s->type) {
        case NL_UDP:
            return UdpConnect(s, *address) ? NL_TRUE : NL_FALSE;
        case NL_UDP_BROADCAST:
            SetError(NL_WRONG_TYPE);
            return NL_FALSE;
        case NL_UDP_MULTICAST: {
            if (!IsMulticast(*address)) {
                SetError(NL_BAD_ADDR);
                return NL_FALSE;
            }
            ip_mreq join{};
            sockaddr_in to = FromAddress(*address);
            join.imr_multiaddr = to.sin_addr;
            join.imr_interface.s_addr = htonl(INADDR_ANY);
            if (setsockopt(s->fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&join),
                           sizeof join) != 0) {
                RecordSystemFailure();
                return NL_FALSE;
            }
            ApplyMulticastTtl(*s);
            std::lock_guard<std::mutex> hold(s->lock);
            s->remote = *address;
            s->hasRemote = true;
            return NL_TRUE;
        }
    }
    // TCP
    sockaddr_in to = FromAddress(*address);
    {
        std::lock_guard<std::mutex> hold(s->lock);
        s->remote = *address;
        s->hasRemote = true;
    }
    if (connect(s->fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
        s->link = Link::Connected;
        std::lock_guard<std::mutex> hold(s->lock);
        s->localPort = BoundPort(s->fd);
        return NL_TRUE;
    }
    int err = nlsys::LastError();
    if (!s->blocking && nlsys::InProgress(err)) {
        s->link = Link::Pending;
        std::lock_guard<std::mutex> hold(s->lock);
        s->localPort = BoundPort(s->fd);
        return NL_TRUE;
    }
    SetSystemError(err);
    return NL_FALSE;
}

NLboolean HL_APIENTRY nlClose(NLsocket socket) {
    if (!NetworkReady()) return NL_FALSE;
    SocketRef s;
    {
        Library& l = lib();
        std::lock_guard<std::mutex> hold(l.lock);
        if (socket >= 0 && socket < static_cast<NLsocket>(l.sockets.size()))
            s.swap(l.sockets[static_cast<size_t>(socket)]);
    }
    if (!s) {
        SetError(NL_INVALID_SOCKET);
        return NL_TRUE;
    }
    s->closed = true;
    if (s->tcp()) {
        if (s->type == NL_TCP_PACKETS) PacketFlushBeforeClose(*s);
        linger l{};
        l.l_onoff = 1;
        l.l_linger = 10;
        setsockopt(s->fd, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
        shutdown(s->fd, 0);  // receive side: wakes a reader blocked on another thread
    } else {
        shutdown(s->fd, 2);  // nothing goes to the peer; wakes blocked readers
    }
    return NL_TRUE;  // the system socket closes when the last user lets go
}

NLint HL_APIENTRY nlRead(NLsocket socket, NLvoid* buffer, NLint nbytes) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_INVALID;
    if (!Given(buffer)) return NL_INVALID;
    if (nbytes < 0) return 0;
    if (!UsableForTransfer(*s)) return NL_INVALID;
    if (s->type == NL_TCP_PACKETS) return PacketRead(s, buffer, nbytes);

    int n;
    if (s->tcp() || s->link.load() == Link::Connected) {
        n = nlsys::Recv(s->fd, buffer, nbytes);
    } else {
        sockaddr_in from{};
        n = nlsys::RecvFrom(s->fd, buffer, nbytes, from);
        if (n >= 0 || nlsys::MessageTooLong(nlsys::LastError())) {
            std::lock_guard<std::mutex> hold(s->lock);
            ToAddress(from, s->remote);
            s->hasRemote = true;
        }
    }
    if (n < 0) {
        int err = nlsys::LastError();
        if (nlsys::WouldBlock(err)) {
            if (s->tcp() || s->link.load() != Link::Connected) return 0;
            err = nlsys::HeldBackError(s->fd);
            if (err == 0) return 0;
            RecordTransferFailure(*s, err);
            return NL_INVALID;
        }
        if (!s->tcp() && nlsys::MessageTooLong(err)) {
            n = nbytes;  // Windows: the datagram was cut to the buffer
        } else {
            RecordTransferFailure(*s, err);
            return NL_INVALID;
        }
    } else if (n == 0 && s->tcp() && nbytes > 0) {
        SetError(NL_MESSAGE_END);
        return NL_INVALID;
    }
    CountTransfer(*s, false, n);
    return n;
}

NLint HL_APIENTRY nlWrite(NLsocket socket, const NLvoid* buffer, NLint nbytes) {
    if (socket >= kGroupBase) {
        if (!NetworkReady()) return NL_INVALID;
        return WriteGroup(static_cast<NLint>(socket), buffer, nbytes);
    }
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_INVALID;
    if (!Given(buffer)) return NL_INVALID;
    if (nbytes < 0) return 0;
    if (nbytes > NL_MAX_PACKET_LENGTH && s->type != NL_TCP) {
        SetError(NL_PACKET_SIZE);
        return NL_INVALID;
    }
    if (!UsableForTransfer(*s)) return NL_INVALID;
    if (s->type == NL_TCP_PACKETS) return PacketWrite(s, buffer, nbytes);

    int n;
    if (s->tcp() || s->link.load() == Link::Connected) {
        n = nlsys::Send(s->fd, buffer, nbytes);
    } else {
        sockaddr_in to{};
        {
            std::lock_guard<std::mutex> hold(s->lock);
            if (!s->hasRemote) {
                SetSystemError(nlsys::InvalidArgumentError());
                return NL_INVALID;
            }
            to = FromAddress(s->remote);
        }
        n = nlsys::SendTo(s->fd, buffer, nbytes, to);
    }
    if (n < 0) {
        int err = nlsys::LastError();
        if (nlsys::WouldBlock(err)) return 0;
        RecordTransferFailure(*s, err);
        return NL_INVALID;
    }
    CountTransfer(*s, true, n);
    return n;
}

NLboolean HL_APIENTRY nlPollSocket(NLsocket socket, NLenum name, NLint timeout) {
    ClearError();
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_FALSE;
    nlsys::Ready what;
    switch (name) {
        case NL_READ_STATUS: what = nlsys::Ready::Read; break;
        case NL_WRITE_STATUS: what = nlsys::Ready::Write; break;
        case NL_ERROR_STATUS: what = nlsys::Ready::Error; break;
        default: SetError(NL_INVALID_ENUM); return NL_FALSE;
    }
    if (what == nlsys::Ready::Read && s->type == NL_TCP_PACKETS && PacketBuffered(*s)) return NL_TRUE;
    bool ready = false;
    int n = nlsys::Wait(&s->fd, 1, what, timeout, &ready);
    if (n < 0) {
        RecordSystemFailure();
        return NL_FALSE;
    }
    if (n > 0 && what == nlsys::Ready::Read && s->type == NL_TCP_PACKETS) return PacketBuffered(*s);
    return ready ? NL_TRUE : NL_FALSE;
}

NLboolean HL_APIENTRY nlSetSocketOpt(NLsocket socket, NLenum name, NLint arg) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_FALSE;
    switch (name) {
        case NL_BLOCKING_IO:
            s->blocking = arg != 0;
            if (!nlsys::SetBlocking(s->fd, arg != 0)) {
                RecordSystemFailure();
                return NL_FALSE;
            }
            return NL_TRUE;
        case NL_REUSE_ADDRESS:
            SetIntOption(s->fd, SOL_SOCKET, SO_REUSEADDR, 1);
            return NL_TRUE;
        case NL_TCP_NO_DELAY:
            if (!s->tcp()) {
                SetError(NL_WRONG_TYPE);
                return NL_FALSE;
            }
            SetIntOption(s->fd, IPPROTO_TCP, TCP_NODELAY, arg != 0);
            {
                std::lock_guard<std::mutex> hold(s->lock);
                s->noDelay = arg != 0;
            }
            return NL_TRUE;
        case NL_MULTICAST_TTL: {
            if (s->type != NL_UDP_MULTICAST) {
                SetError(NL_WRONG_TYPE);
                return NL_FALSE;
            }
            ApplyMulticastTtl(*s);
            return NL_TRUE;
        }
    }
    SetError(NL_INVALID_ENUM);
    return NL_FALSE;
}

NLint HL_APIENTRY nlGetSocketOpt(NLsocket socket, NLenum name) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_INVALID;
    switch (name) {
        case NL_BLOCKING_IO:
            return s->blocking ? 1 : 0;
        case NL_REUSE_ADDRESS: {
            int value = 0;
            socklen_t len = sizeof value;
            getsockopt(s->fd, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<char*>(&value), &len);
            return value != 0 ? 1 : 0;
        }
        case NL_TCP_NO_DELAY: {
            std::lock_guard<std::mutex> hold(s->lock);
            return s->noDelay ? 1 : 0;
        }
        case NL_MULTICAST_TTL: {
            std::lock_guard<std::mutex> hold(s->lock);
            return s->ttl;
        }
    }
    SetError(NL_INVALID_ENUM);
    return NL_INVALID;
}

NLlong HL_APIENTRY nlGetSocketStat(NLsocket socket, NLenum name) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_INVALID;
    if (name < NL_PACKETS_SENT || name > NL_HIGH_BYTES_RECEIVED) {
        SetError(NL_INVALID_ENUM);
        return NL_INVALID;
    }
    return s->stats.Get(name);
}

NLboolean HL_APIENTRY nlClearSocketStat(NLsocket socket, NLenum name) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_FALSE;
    if (s->stats.Clear(name)) return NL_TRUE;
    SetError(NL_INVALID_ENUM);
    return NL_FALSE;
}

}  // extern "C"

bool nlSetReceiveTimeout(NLsocket socket, int ms) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return false;
    return nlsys::SetReceiveTimeout(s->fd, ms);
}
