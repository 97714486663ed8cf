// Winsock 2 (Windows).
#ifdef _WIN32
#include <mswsock.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "nl/sys.h"

namespace nlsys {

bool StartNetwork() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}
void StopNetwork() { WSACleanup(); }

int LastError() { return WSAGetLastError(); }
void SetLastError(int err) { WSASetLastError(err); }
bool WouldBlock(int err) { return err == WSAEWOULDBLOCK; }
bool Interrupted(int err) { return err == WSAEINTR; }
bool InProgress(int err) { return err == WSAEWOULDBLOCK || err == WSAEINPROGRESS || err == WSAEALREADY; }
bool Disconnected(int err) {
    return err == WSAENETRESET || err == WSAEHOSTUNREACH || err == WSAECONNABORTED || err == WSAECONNRESET ||
           err == WSAENETUNREACH || err == WSAETIMEDOUT;
}
bool Refused(int err) { return err == WSAECONNREFUSED; }
bool MessageTooLong(int err) { return err == WSAEMSGSIZE; }
int InvalidArgumentError() { return WSAEINVAL; }
int PipeError() { return WSAESHUTDOWN; }

Fd OpenSocket(int type) {
    SOCKET s = ::socket(AF_INET, type, 0);
    if (s != INVALID_SOCKET) SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    return s;
}

void CloseSocket(Fd fd) {
    if (fd != kNoFd) ::closesocket(fd);
}

bool SetBlocking(Fd fd, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(fd, FIONBIO, &nonBlocking) == 0;
}

bool SetReceiveTimeout(Fd fd, int ms) {
    DWORD value = static_cast<DWORD>(ms);
    return setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

int HeldBackError(Fd fd) { return PendingError(fd); }

int PendingError(Fd fd) {
    int err = 0;
    int len = sizeof err;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) != 0) return WSAGetLastError();
    return err;
}

int Send(Fd fd, const void* data, int size) { return ::send(fd, static_cast<const char*>(data), size, 0); }

int SendTo(Fd fd, const void* data, int size, const sockaddr_in& to) {
    return ::sendto(fd, static_cast<const char*>(data), size, 0, reinterpret_cast<const sockaddr*>(&to),
                    sizeof to);
}

int Recv(Fd fd, void* data, int size) { return ::recv(fd, static_cast<char*>(data), size, 0); }

int RecvFrom(Fd fd, void* data, int size, sockaddr_in& from) {
    int len = sizeof from;
    memset(&from, 0, sizeof from);
    return ::recvfrom(fd, static_cast<char*>(data), size, 0, reinterpret_cast<sockaddr*>(&from), &len);
}

namespace {
// An fd_set with room for any number of sockets: Winsock reads fd_count and
// the array that follows it, whatever FD_SETSIZE was at compile time.
struct SocketSet {
    explicit SocketSet(const Fd* fds, int count) : words(1 + static_cast<size_t>(count) + 1) {
        set()->fd_count = static_cast<u_int>(count);
        for (int i = 0; i < count; ++i) set()->fd_array[i] = fds[i];
    }
    fd_set* set() { return reinterpret_cast<fd_set*>(words.data()); }
    bool Has(Fd fd) {
        for (u_int i = 0; i < set()->fd_count; ++i)
            if (set()->fd_array[i] == fd) return true;
        return false;
    }
    std::vector<SOCKET> words;  // SOCKET and u_int are both 4 bytes on i386
};
static_assert(sizeof(SOCKET) == sizeof(u_int), "fd_set layout");
}  // namespace

int Wait(const Fd* fds, int count, Ready what, int timeoutMs, bool* ready) {
    if (count == 0) {
        if (timeoutMs > 0) Sleep(static_cast<DWORD>(timeoutMs));
        return 0;
    }
    SocketSet set(fds, count);
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    fd_set* r = what == Ready::Read ? set.set() : nullptr;
    fd_set* w = what == Ready::Write ? set.set() : nullptr;
    fd_set* e = what == Ready::Error ? set.set() : nullptr;
    int n = ::select(0, r, w, e, timeoutMs < 0 ? nullptr : &tv);
    if (n == SOCKET_ERROR) return WSAGetLastError() == WSAEINTR ? 0 : -1;
    int found = 0;
    for (int i = 0; i < count; ++i) {
        ready[i] = n > 0 && set.Has(fds[i]);
        if (ready[i]) ++found;
    }
    return found;
}

int LocalInterfaceAddresses(uint32_t* out, int max) {
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) return 0;
    std::vector<INTERFACE_INFO> list(64);
    DWORD bytes = 0;
    int n = 0;
    if (WSAIoctl(s, SIO_GET_INTERFACE_LIST, nullptr, 0, list.data(),
                 static_cast<DWORD>(list.size() * sizeof(INTERFACE_INFO)), &bytes, nullptr, nullptr) == 0) {
        size_t count = bytes / sizeof(INTERFACE_INFO);
        for (int pass = 0; pass < 2; ++pass) {  // others first, loop-back last
            for (size_t i = 0; i < count; ++i) {
                const INTERFACE_INFO& info = list[i];
                if (!(info.iiFlags & IFF_UP) || info.iiAddress.Address.sa_family != AF_INET) continue;
                bool loop = (info.iiFlags & IFF_LOOPBACK) != 0;
                if (loop != (pass == 1)) continue;
                uint32_t ip = info.iiAddress.AddressIn.sin_addr.s_addr;
                bool seen = false;
                for (int k = 0; k < n; ++k) seen = seen || out[k] == ip;
                if (!seen && n < max) out[n++] = ip;
            }
        }
    }
    closesocket(s);
    return n;
}

void IgnoreConnectionResets(Fd fd) {
    BOOL report = FALSE;
    DWORD bytes = 0;
    WSAIoctl(fd, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &bytes, nullptr, nullptr);
}

const char* ErrorText(int err) {
    static thread_local char text[256];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(err), 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ')) text[--n] = 0;
    if (n == 0) snprintf(text, sizeof text, "Unknown error %d", err);
    return text;
}

}  // namespace nlsys
#endif
