// Addresses: text forms, name look-ups, local and remote addresses.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "nl/internal.h"

using namespace nlimpl;

namespace {

constexpr uint32_t kNoAddress = 0xFFFFFFFFu;

void SetIp(NLaddress& a, uint32_t ipNetworkOrder, uint16_t port) {
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    in.sin_addr.s_addr = ipNetworkOrder;
    ToAddress(in, a);
}

// The address, with its valid flag.
void SetAddress(NLaddress& a, uint32_t ipNetworkOrder, uint16_t port, NLboolean valid) {
    SetIp(a, ipNetworkOrder, port);
    a.valid = valid;
}

uint32_t IpOf(const NLaddress& a) {
    uint32_t ip;
    memcpy(&ip, a.addr + 4, 4);
    return ip;
}

bool TooLong(const NLchar* text) {
    size_t n = strnlen(text, NL_MAX_STRING_LENGTH);
    return n >= NL_MAX_STRING_LENGTH || memchr(text, '%', n) != nullptr;
}

// The checks of every call that reads an address from a text: the network
// is up, neither pointer is null (NL_NULL_POINTER), the text fits
// (NL_STRING_OVER_RUN).
bool TextToAddressReady(const NLchar* text, const NLaddress* address) {
    if (!NetworkReady()) return false;
    if (!text || !address) {
        SetError(NL_NULL_POINTER);
        return false;
    }
    if (TooLong(text)) {
        SetError(NL_STRING_OVER_RUN);
        return false;
    }
    return true;
}

// A decimal number as scanf's %d reads one: white space before it, an
// optional sign, at least one digit. Values beyond any valid part stay
// beyond it (no overflow).
bool ReadNumber(const char*& p, long& value) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (*p < '0' || *p > '9') return false;
    value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value < 1000000) value = value * 10 + (*p - '0');
        ++p;
    }
    if (negative) value = -value;
    return true;
}

// "a.b.c.d[:port]" read as "%d.%d.%d.%d:%d": white space may come before
// each number; trailing text is ignored; a part outside 0..255 or a port
// outside 0..65535 (a negative one too) is no address.
bool ParseNumeric(const char* p, uint32_t& ip, uint16_t& port) {
    unsigned parts[4];
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && *p++ != '.') return false;
        long v;
        if (!ReadNumber(p, v) || v < 0 || v > 255) return false;
        parts[i] = static_cast<unsigned>(v);
    }
    port = 0;
    long v;
    if (*p == ':' && ReadNumber(++p, v)) {
        if (v < 0 || v > 65535) return false;
        port = static_cast<uint16_t>(v);
    }
    ip = htonl(parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | parts[3]);
    return true;
}

bool LookUp(const char* text, NLaddress& out) {
    std::string host = text;
    uint16_t port = 0;
    size_t colon = host.rfind(':');
    if (colon != std::string::npos) {
        port = static_cast<uint16_t>(strtoul(host.c_str() + colon + 1, nullptr, 10));
        host.resize(colon);
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (rc != 0 || !found) {
        SetSystemError(0);
        SetAddress(out, kNoAddress, 0, NL_FALSE);
        return false;
    }
    uint32_t ip = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    SetAddress(out, ip, port, NL_TRUE);
    return true;
}

bool AddressFromName(const NLchar* name, NLaddress* address) {
    uint32_t ip;
    uint16_t port;
    if (ParseNumeric(name, ip, port)) {
        SetAddress(*address, ip, port, NL_TRUE);
        return true;
    }
    return LookUp(name, *address);
}

std::string NameOf(const NLaddress& a) {
    uint32_t ip = IpOf(a);
    uint16_t port = static_cast<uint16_t>(a.addr[2] << 8 | a.addr[3]);
    if (ip == kNoAddress) return "Bad address";
    sockaddr_in in = FromAddress(a);
    char host[NI_MAXHOST];
    std::string text;
    if (getnameinfo(reinterpret_cast<sockaddr*>(&in), sizeof in, host, sizeof host, nullptr, 0, NI_NAMEREQD) ==
        0) {
        text = host;
        if (port != 0) text += ":" + std::to_string(port);
    } else {
        char numeric[NL_MAX_STRING_LENGTH];
        nlAddrToString(&a, numeric);
        text = numeric;
    }
    if (text.size() >= NL_MAX_STRING_LENGTH) text.resize(NL_MAX_STRING_LENGTH - 1);
    return text;
}

struct NameJob {
    std::string name;
    NLaddress* address;
};

void AddressFromNameInBackground(void* data) {
    NameJob* job = static_cast<NameJob*>(data);
    NLaddress result{};
    AddressFromName(job->name.c_str(), &result);
    result.valid = NL_FALSE;
    memcpy(job->address, &result, sizeof result);
    // valid last, so that a poller sees a complete address
    __atomic_store_n(&job->address->valid, NL_TRUE, __ATOMIC_RELEASE);
    delete job;
}

struct ReverseJob {
    NLaddress address;
    NLchar* name;
};

void NameFromAddressInBackground(void* data) {
    ReverseJob* job = static_cast<ReverseJob*>(data);
    std::string text = NameOf(job->address);
    memcpy(job->name + 1, text.c_str() + 1, text.size());  // with the terminator
    __atomic_store_n(job->name, text[0], __ATOMIC_RELEASE);
    delete job;
}

}  // namespace

namespace nlimpl {

void ToAddress(const sockaddr_in& in, NLaddress& out) {
    // family (host order, little-endian on both targets), port, IPv4, zeros
    memset(out.addr, 0, sizeof out.addr);
    out.addr[0] = AF_INET & 0xFF;
    out.addr[1] = (AF_INET >> 8) & 0xFF;
    memcpy(out.addr + 2, &in.sin_port, 2);
    memcpy(out.addr + 4, &in.sin_addr.s_addr, 4);
    out.driver = NL_IP;
}

sockaddr_in FromAddress(const NLaddress& a) {
    sockaddr_in in{};
    in.sin_family = AF_INET;
    memcpy(&in.sin_port, a.addr + 2, 2);
    memcpy(&in.sin_addr.s_addr, a.addr + 4, 4);
    return in;
}

uint32_t PrimaryAddress() {
    {
        std::lock_guard<std::mutex> hold(lib().lock);
        if (lib().hasBindAddress && lib().bindAddress != 0) return lib().bindAddress;
    }
    uint32_t list[1];
    if (nlsys::LocalInterfaceAddresses(list, 1) == 1) return list[0];
    return htonl(INADDR_LOOPBACK);
}

}  // namespace nlimpl

extern "C" {

NLchar* HL_APIENTRY nlAddrToString(const NLaddress* address, NLchar* string) {
    if (!address || !string) {
        SetError(NL_NULL_POINTER);
        return nullptr;
    }
    const NLubyte* ip = address->addr + 4;
    uint16_t port = static_cast<uint16_t>(address->addr[2] << 8 | address->addr[3]);
    if (port != 0)
        snprintf(string, NL_MAX_STRING_LENGTH, "%u.%u.%u.%u:%u", ip[0], ip[1], ip[2], ip[3], port);
    else
        snprintf(string, NL_MAX_STRING_LENGTH, "%u.%u.%u.%u", ip[0], ip[1], ip[2], ip[3]);
    return string;
}

NLboolean HL_APIENTRY nlStringToAddr(const NLchar* string, NLaddress* address) {
    if (!TextToAddressReady(string, address)) return NL_FALSE;
    uint32_t ip;
    uint16_t port;
    if (!ParseNumeric(string, ip, port)) {
        SetAddress(*address, kNoAddress, 0, NL_FALSE);
        SetError(NL_BAD_ADDR);
        return NL_FALSE;
    }
    SetAddress(*address, ip, port, NL_TRUE);
    return NL_TRUE;
}

NLboolean HL_APIENTRY nlGetAddrFromName(const NLchar* name, NLaddress* address) {
    if (!TextToAddressReady(name, address)) return NL_FALSE;
    return AddressFromName(name, address) ? NL_TRUE : NL_FALSE;
}

NLboolean HL_APIENTRY nlGetAddrFromNameAsync(const NLchar* name, NLaddress* address) {
    if (!TextToAddressReady(name, address)) return NL_FALSE;
    address->valid = NL_FALSE;
    NameJob* job = new NameJob{name, address};
    if (!StartDetached(AddressFromNameInBackground, job)) {
        delete job;
        SetError(NL_OUT_OF_MEMORY);
        return NL_FALSE;
    }
    return NL_TRUE;
}

NLchar* HL_APIENTRY nlGetNameFromAddr(const NLaddress* address, NLchar* name) {
    if (!NetworkReady()) return nullptr;
    if (!address || !name) {
        SetError(NL_NULL_POINTER);
        return nullptr;
    }
    std::string text = NameOf(*address);
    memcpy(name, text.c_str(), text.size() + 1);
    return name;
}

NLboolean HL_APIENTRY nlGetNameFromAddrAsync(const NLaddress* address, NLchar* name) {
    if (!NetworkReady()) return NL_FALSE;
    if (!address || !name) {
        SetError(NL_NULL_POINTER);
        return NL_FALSE;
    }
    memset(name, 0, NL_MAX_STRING_LENGTH);
    ReverseJob* job = new ReverseJob{*address, name};
    if (!StartDetached(NameFromAddressInBackground, job)) {
        delete job;
        SetError(NL_OUT_OF_MEMORY);
        return NL_FALSE;
    }
    return NL_TRUE;
}

NLboolean HL_APIENTRY nlGetLocalAddr(NLsocket socket, NLaddress* address) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_FALSE;
    if (!Given(address)) return NL_FALSE;
    sockaddr_in in{};
    socklen_t len = sizeof in;
    if (getsockname(s->fd, reinterpret_cast<sockaddr*>(&in), &len) != 0) {
        RecordSystemFailure();
        return NL_FALSE;
    }
    if (in.sin_addr.s_addr == htonl(INADDR_ANY)) in.sin_addr.s_addr = PrimaryAddress();
    ToAddress(in, *address);
    address->valid = NL_TRUE;
    return NL_TRUE;
}

NLboolean HL_APIENTRY nlGetRemoteAddr(NLsocket socket, NLaddress* address) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_FALSE;
    if (!Given(address)) return NL_FALSE;
    std::lock_guard<std::mutex> hold(s->lock);
    if (s->hasRemote) {
        *address = s->remote;
    } else {
        memset(address, 0, sizeof *address);
        SetIp(*address, 0, 0);
    }
    address->valid = NL_TRUE;
    return NL_TRUE;
}

NLboolean HL_APIENTRY nlSetRemoteAddr(NLsocket socket, const NLaddress* address) {
    SocketRef s = CheckedSocket(socket);
    if (!s) return NL_FALSE;
    if (!Given(address)) return NL_FALSE;
    std::lock_guard<std::mutex> hold(s->lock);
    s->remote = *address;
    s->hasRemote = true;
    return NL_TRUE;
}

NLaddress* HL_APIENTRY nlGetAllLocalAddr(NLint* count) {
    if (!NetworkReady()) return nullptr;
    if (!Given(count)) return nullptr;
    uint32_t ips[64];
    int n = nlsys::LocalInterfaceAddresses(ips, 64);
    // Loop-back only when the machine has no other address.
    int others = 0;
    for (int i = 0; i < n; ++i) others += ips[i] != htonl(INADDR_LOOPBACK) ? 1 : 0;
    std::lock_guard<std::mutex> hold(lib().lock);
    std::vector<NLaddress>& all = lib().allLocal;
    all.clear();
    for (int i = 0; i < n; ++i) {
        if (others > 0 && ips[i] == htonl(INADDR_LOOPBACK)) continue;
        all.emplace_back();
        SetAddress(all.back(), ips[i], 0, NL_TRUE);
    }
    if (all.empty()) {
        all.emplace_back();
        SetAddress(all.back(), htonl(INADDR_LOOPBACK), 0, NL_TRUE);
    }
    *count = static_cast<NLint>(all.size());
    return all.data();
}

NLboolean HL_APIENTRY nlSetLocalAddr(const NLaddress* address) {
    if (!NetworkReady()) return NL_FALSE;
    if (!Given(address)) return NL_FALSE;
    std::lock_guard<std::mutex> hold(lib().lock);
    lib().bindAddress = IpOf(*address);
    lib().hasBindAddress = true;
    return NL_TRUE;
}

NLboolean HL_APIENTRY nlAddrCompare(const NLaddress* address1, const NLaddress* address2) {
    if (!address1 || !address2) {
        SetError(NL_NULL_POINTER);
        return NL_FALSE;
    }
    return memcmp(address1->addr, address2->addr, 8) == 0 ? NL_TRUE : NL_FALSE;
}

NLushort HL_APIENTRY nlGetPortFromAddr(const NLaddress* address) {
    if (!NetworkReady()) return 0;
    if (!Given(address)) return 0;
    return static_cast<NLushort>(address->addr[2] << 8 | address->addr[3]);
}

NLboolean HL_APIENTRY nlSetAddrPort(NLaddress* address, NLushort port) {
    if (!NetworkReady()) return NL_FALSE;
    if (!Given(address)) return NL_FALSE;
    address->addr[2] = static_cast<NLubyte>(port >> 8);
    address->addr[3] = static_cast<NLubyte>(port & 0xFF);
    return NL_TRUE;
}

}  // extern "C"
