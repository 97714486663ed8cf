// Shared state of the network library: the per-thread error, the socket
// table, groups and the global switches. Sockets are shared_ptr records so
// that a socket closed by one thread stays valid for a call still running on
// another; the system socket is closed when the last user lets go.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "nl/nl.h"
#include "nl/sys.h"

namespace nlimpl {

// Errors: per thread and sticky (success does not clear them).
void SetError(NLenum err);
void SetSystemError(int systemError);  // NL_SYSTEM_ERROR with the system's number
void ClearError();
// False, with NL_NULL_POINTER, when a pointer argument is null.
inline bool Given(const void* p) {
    if (!p) SetError(NL_NULL_POINTER);
    return p != nullptr;
}

// Byte and packet counts for one socket or the whole library; counted only
// while NL_SOCKET_STATS is on. Averages are bytes per second over the last
// eight whole seconds; "high" is the best whole second so far.
class Stats {
public:
    void Count(bool sent, NLint bytes);
    NLlong Get(NLenum name);
    bool Clear(NLenum name);

private:
    struct Direction {
        NLlong packets = 0, bytes = 0, high = 0;
        NLlong buckets[8] = {};
        int64_t second = 0;  // the second buckets[second % 8] is counting
        void Roll(int64_t now);
    };
    std::mutex lock_;
    Direction sent_, received_;
};

enum class Link { None, Pending, Connected, Refused };

struct Socket {
    ~Socket();

    nlsys::Fd fd = nlsys::kNoFd;
    NLenum type = 0;
    std::atomic<bool> blocking{false};
    std::atomic<bool> listening{false};
    std::atomic<Link> link{Link::None};
    std::atomic<bool> closed{false};
    bool tcp() const { return type == NL_TCP || type == NL_TCP_PACKETS; }

    std::mutex lock;  // guards the fields below
    NLaddress remote{};
    bool hasRemote = false;
    NLushort localPort = 0;
    bool noDelay = false;
    int ttl = 1;

    // NL_TCP_PACKETS framing: received bytes not yet returned, and the unsent
    // rest of a partly written frame.
    std::mutex readLock;
    std::vector<uint8_t> inFrames;
    bool outOfSync = false;
    bool atEnd = false;
    std::mutex writeLock;
    std::vector<uint8_t> outFrame;
    size_t outSent = 0;
    bool flusherRunning = false;

    Stats stats;
};
using SocketRef = std::shared_ptr<Socket>;

struct Library {
    std::mutex lock;
    int initCount = 0;
    bool selected = false;
    std::atomic<bool> blockingDefault{false};
    std::atomic<bool> statsOn{false};
    std::atomic<bool> bigEndianData{true};
    int backlog = SOMAXCONN;
    int ttl = 1;
    bool reuseAddress = false;
    bool noDelay = false;
    bool hasBindAddress = false;
    uint32_t bindAddress = 0;  // network order, from nlSetLocalAddr
    std::vector<SocketRef> sockets;
    std::vector<std::unique_ptr<std::vector<NLsocket>>> groups;  // by slot; null = free
    std::vector<NLaddress> allLocal;
    Stats stats;
};
Library& lib();

constexpr NLint kGroupBase = 200001;  // group id = slot + kGroupBase
constexpr int kReservedGroups = 3;    // slot 0 unused, two kept for the drivers

// The checks most calls start with: a selected network, then a valid socket.
bool NetworkReady();
SocketRef FindSocket(NLsocket s);           // null if not open
SocketRef CheckedSocket(NLsocket s);        // sets NL_NO_NETWORK / NL_INVALID_SOCKET
NLsocket AddSocket(const SocketRef& sock);  // lowest free slot
void CountTransfer(Socket& sock, bool sent, NLint bytes);
void RecordSystemFailure();                 // NL_SYSTEM_ERROR with LastError()
// Maps a failed transfer's system error: disconnects and (on connected UDP
// sockets) refusals become NL_SOCK_DISCONNECT, others NL_SYSTEM_ERROR.
void RecordTransferFailure(const Socket& sock, int err);

// Addresses: NLaddress <-> sockaddr_in.
void ToAddress(const sockaddr_in& in, NLaddress& out);
sockaddr_in FromAddress(const NLaddress& a);
uint32_t PrimaryAddress();  // network order

// Datagram sockets get a receive buffer of at least this size, so that a
// burst a game sends in one frame (a few hundred small messages) is not
// dropped while the reader is busy.
constexpr int kDatagramReceiveBuffer = 256 * 1024;
void GrowReceiveBuffer(nlsys::Fd fd);

// Connection set-up of NL_UDP sockets.
constexpr char kRequestText[] = "HawkNL request connection.";  // 26 chars + NUL
constexpr char kReplyText[] = "HawkNL connection OK.";         // 21 chars + NUL
constexpr int kConnectSeconds = 6;
bool UdpConnect(const SocketRef& sock, const NLaddress& to);
NLsocket UdpAccept(const SocketRef& listener);

// NL_TCP_PACKETS framing.
NLint PacketRead(const SocketRef& sock, void* buffer, NLint nbytes);
NLint PacketWrite(const SocketRef& sock, const void* buffer, NLint nbytes);
bool PacketBuffered(Socket& sock);  // a whole frame (or the end) is waiting
void PacketFlushBeforeClose(Socket& sock);

// Detached helper threads of the library.
bool StartDetached(void (*func)(void*), void* data);

}  // namespace nlimpl
