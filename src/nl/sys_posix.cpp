// BSD sockets (Linux).
#ifndef _WIN32
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <poll.h>
#include <string.h>
#include <unistd.h>

#include <vector>

#include "nl/sys.h"

namespace nlsys {

bool StartNetwork() { return true; }
void StopNetwork() {}

int LastError() { return errno; }
void SetLastError(int err) { errno = err; }
bool WouldBlock(int err) { return err == EAGAIN || err == EWOULDBLOCK; }
bool Interrupted(int err) { return err == EINTR; }
bool InProgress(int err) { return err == EINPROGRESS || err == EALREADY; }
bool Disconnected(int err) {
    return err == ENETRESET || err == EHOSTUNREACH || err == ECONNABORTED || err == ECONNRESET ||
           err == ENETUNREACH || err == ETIMEDOUT;
}
bool Refused(int err) { return err == ECONNREFUSED; }
bool MessageTooLong(int) { return false; }
int InvalidArgumentError() { return EINVAL; }
int PipeError() { return EPIPE; }

Fd OpenSocket(int type) { return ::socket(AF_INET, type | SOCK_CLOEXEC, 0); }

void CloseSocket(Fd fd) {
    if (fd != kNoFd) ::close(fd);
}

bool SetBlocking(Fd fd, bool blocking) {
    int flags = fcntl(fd, F_GETFL, 0);
    if (flags < 0) return false;
    flags = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return fcntl(fd, F_SETFL, flags) == 0;
}

bool SetReceiveTimeout(Fd fd, int ms) {
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    return setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0;
}

int HeldBackError(Fd) { return 0; }

int PendingError(Fd fd) {
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) return errno;
    return err;
}

int Send(Fd fd, const void* data, int size) {
    return static_cast<int>(::send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL));
}

int SendTo(Fd fd, const void* data, int size, const sockaddr_in& to) {
    return static_cast<int>(::sendto(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL,
                                     reinterpret_cast<const sockaddr*>(&to), sizeof to));
}

int Recv(Fd fd, void* data, int size) {
    return static_cast<int>(::recv(fd, data, static_cast<size_t>(size), 0));
}

int RecvFrom(Fd fd, void* data, int size, sockaddr_in& from) {
    socklen_t len = sizeof from;
    memset(&from, 0, sizeof from);
    return static_cast<int>(
        ::recvfrom(fd, data, static_cast<size_t>(size), 0, reinterpret_cast<sockaddr*>(&from), &len));
}

int Wait(const Fd* fds, int count, Ready what, int timeoutMs, bool* ready) {
    std::vector<pollfd> p(static_cast<size_t>(count));
    // Like select: a pending error makes a socket readable and writable.
    short events = what == Ready::Read ? POLLIN : what == Ready::Write ? POLLOUT : POLLPRI;
    for (int i = 0; i < count; ++i) p[static_cast<size_t>(i)] = pollfd{fds[i], events, 0};
    int n = ::poll(p.data(), p.size(), timeoutMs < 0 ? -1 : timeoutMs);
    if (n < 0) return errno == EINTR ? 0 : -1;
    int found = 0;
    for (int i = 0; i < count; ++i) {
        short r = p[static_cast<size_t>(i)].revents;
        if (r & POLLNVAL) {
            errno = EBADF;
            return -1;
        }
        bool yes = what == Ready::Error ? (r & POLLPRI) != 0 : (r & (events | POLLERR | POLLHUP)) != 0;
        ready[i] = yes;
        if (yes) ++found;
    }
    return found;
}

int LocalInterfaceAddresses(uint32_t* out, int max) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return 0;
    int n = 0;
    for (int pass = 0; pass < 2; ++pass) {  // others first, loop-back last
        for (ifaddrs* a = list; a; a = a->ifa_next) {
            if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !(a->ifa_flags & IFF_UP)) continue;
            bool loop = (a->ifa_flags & IFF_LOOPBACK) != 0;
            if (loop != (pass == 1)) continue;
            uint32_t ip = reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr;
            bool seen = false;
            for (int i = 0; i < n; ++i) seen = seen || out[i] == ip;
            if (!seen && n < max) out[n++] = ip;
        }
    }
    freeifaddrs(list);
    return n;
}

void IgnoreConnectionResets(Fd) {}

const char* ErrorText(int err) { return strerror(err); }

}  // namespace nlsys
#endif
