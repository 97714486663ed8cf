// Library state: initialisation (reference counted), the selected network,
// switches, hints, strings, statistics and the socket table.
#include <ctime>

#include "nl/internal.h"

namespace nlimpl {

Library& lib() {
    static Library* state = new Library;  // never destroyed: threads may outlive exit
    return *state;
}

bool NetworkReady() {
    std::lock_guard<std::mutex> hold(lib().lock);
    if (lib().selected) return true;
    SetError(NL_NO_NETWORK);
    return false;
}

SocketRef FindSocket(NLsocket s) {
    Library& l = lib();
    std::lock_guard<std::mutex> hold(l.lock);
    if (s < 0 || s >= static_cast<NLsocket>(l.sockets.size())) return nullptr;
    return l.sockets[static_cast<size_t>(s)];
}

SocketRef CheckedSocket(NLsocket s) {
    if (!NetworkReady()) return nullptr;
    SocketRef sock = FindSocket(s);
    if (!sock) SetError(NL_INVALID_SOCKET);
    return sock;
}

NLsocket AddSocket(const SocketRef& sock) {
    Library& l = lib();
    std::lock_guard<std::mutex> hold(l.lock);
    for (size_t i = 0; i < l.sockets.size(); ++i) {
        if (!l.sockets[i]) {
            l.sockets[i] = sock;
            return static_cast<NLsocket>(i);
        }
    }
    l.sockets.push_back(sock);
    return static_cast<NLsocket>(l.sockets.size() - 1);
}

void CountTransfer(Socket& sock, bool sent, NLint bytes) {
    if (bytes <= 0 || !lib().statsOn.load()) return;
    sock.stats.Count(sent, bytes);
    lib().stats.Count(sent, bytes);
}

Socket::~Socket() { nlsys::CloseSocket(fd); }

void Stats::Direction::Roll(int64_t now) {
    if (now == second) return;
    if (now < second || now - second >= 8) {
        for (NLlong& b : buckets) b = 0;
    } else {
        for (int64_t t = second + 1; t <= now; ++t) buckets[t % 8] = 0;
    }
    second = now;
}

void Stats::Count(bool sent, NLint bytes) {
    std::lock_guard<std::mutex> hold(lock_);
    Direction& d = sent ? sent_ : received_;
    d.Roll(static_cast<int64_t>(time(nullptr)));
    d.packets += 1;
    d.bytes += bytes;
    NLlong& now = d.buckets[d.second % 8];
    now += bytes;
    if (now > d.high) d.high = now;
}

NLlong Stats::Get(NLenum name) {
    std::lock_guard<std::mutex> hold(lock_);
    bool sent = name <= NL_HIGH_BYTES_SENT;
    Direction& d = sent ? sent_ : received_;
    switch (name) {
        case NL_PACKETS_SENT:
        case NL_PACKETS_RECEIVED:
            return d.packets;
        case NL_BYTES_SENT:
        case NL_BYTES_RECEIVED:
            return d.bytes;
        case NL_AVE_BYTES_SENT:
        case NL_AVE_BYTES_RECEIVED: {
            d.Roll(static_cast<int64_t>(time(nullptr)));
            NLlong sum = 0;
            for (NLlong b : d.buckets) sum += b;
            return sum / 8;
        }
        case NL_HIGH_BYTES_SENT:
        case NL_HIGH_BYTES_RECEIVED:
            return d.high;
    }
    return 0;
}

bool Stats::Clear(NLenum name) {
    std::lock_guard<std::mutex> hold(lock_);
    switch (name) {
        case NL_PACKETS_SENT: sent_.packets = 0; return true;
        case NL_BYTES_SENT: sent_.bytes = 0; return true;
        case NL_AVE_BYTES_SENT: for (NLlong& b : sent_.buckets) b = 0; return true;
        case NL_HIGH_BYTES_SENT: sent_.high = 0; return true;
        case NL_PACKETS_RECEIVED: received_.packets = 0; return true;
        case NL_BYTES_RECEIVED: received_.bytes = 0; return true;
        case NL_AVE_BYTES_RECEIVED: for (NLlong& b : received_.buckets) b = 0; return true;
        case NL_HIGH_BYTES_RECEIVED: received_.high = 0; return true;
        case NL_ALL_STATS: sent_ = Direction(); received_ = Direction(); return true;
    }
    return false;
}

}  // namespace nlimpl

using namespace nlimpl;

extern "C" {

NLboolean HL_APIENTRY nlInit(void) {
    Library& l = lib();
    std::lock_guard<std::mutex> hold(l.lock);
    ClearError();
    if (l.initCount > 0) {
        ++l.initCount;
        return NL_TRUE;
    }
    if (!nlsys::StartNetwork()) {
        SetError(NL_NO_NETWORK);
        return NL_FALSE;
    }
    l.initCount = 1;
    l.selected = false;
    l.blockingDefault = false;
    l.statsOn = false;
    l.bigEndianData = true;
    l.backlog = SOMAXCONN;
    l.ttl = 1;
    l.reuseAddress = false;
    l.noDelay = false;
    l.hasBindAddress = false;
    l.groups.clear();
    l.groups.resize(NL_MAX_GROUPS);
    // The slots HawkNL's own drivers take, so user groups start at 200004.
    for (int i = 1; i < kReservedGroups; ++i) l.groups[static_cast<size_t>(i)].reset(new std::vector<NLsocket>);
    l.stats.Clear(NL_ALL_STATS);
    return NL_TRUE;
}

void HL_APIENTRY nlShutdown(void) {
    Library& l = lib();
    std::vector<SocketRef> closing;
    {
        std::lock_guard<std::mutex> hold(l.lock);
        if (l.initCount == 0) {
            SetError(NL_NO_NETWORK);
            return;
        }
        if (--l.initCount > 0) return;
        closing.swap(l.sockets);
        l.groups.clear();
        l.allLocal.clear();
        l.selected = false;
    }
    for (SocketRef& s : closing) {
        if (!s) continue;
        s->closed = true;
        if (s->type == NL_TCP_PACKETS) PacketFlushBeforeClose(*s);
        if (s->fd != nlsys::kNoFd) shutdown(s->fd, 2);
    }
    closing.clear();
    nlsys::StopNetwork();
}

NLboolean HL_APIENTRY nlSelectNetwork(NLenum network) {
    Library& l = lib();
    std::lock_guard<std::mutex> hold(l.lock);
    if (l.selected) {
        SetError(NL_SELECT_NET_ERROR);
        return NL_FALSE;
    }
    switch (network) {
        case NL_IP:
            if (l.initCount == 0) {
                SetError(NL_INVALID_TYPE);
                return NL_FALSE;
            }
            l.selected = true;
            return NL_TRUE;
        case NL_LOOP_BACK:
        case NL_IPV6:
        case NL_SERIAL:
        case NL_MODEM:
        case NL_PARALLEL:
            // Known networks this library does not provide.
            SetError(NL_INVALID_TYPE);
            return NL_FALSE;
    }
    SetError(NL_INVALID_ENUM);
    return NL_FALSE;
}

static NLboolean SetSwitch(NLenum name, bool on) {
    Library& l = lib();
    switch (name) {
        case NL_BLOCKING_IO: l.blockingDefault = on; return NL_TRUE;
        case NL_SOCKET_STATS: l.statsOn = on; return NL_TRUE;
        case NL_BIG_ENDIAN_DATA: l.bigEndianData = on; return NL_TRUE;
        case NL_LITTLE_ENDIAN_DATA: l.bigEndianData = !on; return NL_TRUE;
        case NL_TCP_NO_DELAY: return nlHint(NL_TCP_NO_DELAY, on ? 1 : 0);
    }
    SetError(NL_INVALID_ENUM);
    return NL_FALSE;
}

NLboolean HL_APIENTRY nlEnable(NLenum name) { return SetSwitch(name, true); }
NLboolean HL_APIENTRY nlDisable(NLenum name) { return SetSwitch(name, false); }

NLboolean HL_APIENTRY nlGetBoolean(NLenum name) {
    Library& l = lib();
    switch (name) {
        case NL_BLOCKING_IO: return l.blockingDefault ? NL_TRUE : NL_FALSE;
        case NL_SOCKET_STATS: return l.statsOn ? NL_TRUE : NL_FALSE;
        case NL_BIG_ENDIAN_DATA: return l.bigEndianData ? NL_TRUE : NL_FALSE;
        case NL_LITTLE_ENDIAN_DATA: return l.bigEndianData ? NL_FALSE : NL_TRUE;
    }
    SetError(NL_INVALID_ENUM);
    return NL_FALSE;
}

NLboolean HL_APIENTRY nlHint(NLenum name, NLint arg) {
    Library& l = lib();
    std::lock_guard<std::mutex> hold(l.lock);
    switch (name) {
        case NL_LISTEN_BACKLOG: l.backlog = arg; return NL_TRUE;
        case NL_MULTICAST_TTL: l.ttl = arg < 1 ? 1 : arg > 255 ? 255 : arg; return NL_TRUE;
        case NL_REUSE_ADDRESS: l.reuseAddress = arg != 0; return NL_TRUE;
        case NL_TCP_NO_DELAY: l.noDelay = arg != 0; return NL_TRUE;
    }
    SetError(NL_INVALID_ENUM);
    return NL_FALSE;
}

const NLchar* HL_APIENTRY nlGetString(NLenum name) {
    ClearError();
    switch (name) {
        case NL_VERSION:
            return NL_VERSION_STRING;
        case NL_NETWORK_TYPES: {
            std::lock_guard<std::mutex> hold(lib().lock);
            return lib().initCount > 0 ? "NL_IP " : "";
        }
        case NL_CONNECTION_TYPES:
            if (!NetworkReady()) return nullptr;
            return "NL_RELIABLE NL_UNRELIABLE NL_RELIABLE_PACKETS NL_BROADCAST NL_UDP_MULTICAST NL_MULTICAST";
    }
    SetError(NL_INVALID_ENUM);
    return nullptr;
}

NLlong HL_APIENTRY nlGetInteger(NLenum name) {
    if (name >= NL_PACKETS_SENT && name <= NL_HIGH_BYTES_RECEIVED) return lib().stats.Get(name);
    if (name == NL_OPEN_SOCKETS) {
        std::lock_guard<std::mutex> hold(lib().lock);
        NLlong n = 0;
        for (const SocketRef& s : lib().sockets) n += s ? 1 : 0;
        return n;
    }
    SetError(NL_INVALID_ENUM);
    return 0;
}

NLboolean HL_APIENTRY nlClear(NLenum name) {
    if (lib().stats.Clear(name)) return NL_TRUE;
    SetError(NL_INVALID_ENUM);
    return NL_FALSE;
}

}  // extern "C"
