// Raw peers for the network game tests: they speak the connection set-up and
// the message format byte by byte over plain system sockets on 127.0.0.1,
// independently of the runtime, and can lie as a hostile program would.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "net/net_game.h"
#include "net/net_message.h"
#include "nl/sys.h"

sockaddr_in LoopbackTo(uint16_t port);
std::string Datagram(const NetMessage& m);

// A plain UDP socket on 127.0.0.1 (a free port).
class RawUdp {
public:
    RawUdp();
    ~RawUdp();
    RawUdp(const RawUdp&) = delete;
    RawUdp& operator=(const RawUdp&) = delete;

    uint16_t Port() const;
    void SendTo(uint16_t port, const std::string& data);
    void Send(const std::string& data);  // once connected
    bool Connect(const sockaddr_in& to);
    // One datagram within the time-out; false if none.
    bool Receive(std::string& data, sockaddr_in* from = nullptr, int timeoutMs = 5000);
    // The next valid message within the time-out, skipping anything else.
    bool Next(NetMessage& m, int timeoutMs = 5000);

    nlsys::Fd fd;
};

// A program joining a host: the set-up, then messages on the connection.
class RawPeer : public RawUdp {
public:
    explicit RawPeer(uint16_t hostPort);
    bool connected() const { return connected_; }
    void Send(const NetMessage& m) { RawUdp::Send(Datagram(m)); }
    using RawUdp::Send;
    void Join(const std::string& name, uint8_t hidden = 0);
    // A join, then the id its welcome gives (0 when none comes).
    int32_t JoinAndWait(const std::string& name);

private:
    bool connected_ = false;
};

// A host of the test's own: a listening socket that answers one connection
// request from a new socket, as the network library's set-up does.
class RawHost {
public:
    RawHost();
    uint16_t port() const { return listener_.Port(); }
    bool Accept(int timeoutMs = 10000);
    void Send(const NetMessage& m) { connection_.Send(Datagram(m)); }
    void Send(const std::string& datagram) { connection_.Send(datagram); }
    bool Next(NetMessage& m, int timeoutMs = 5000) { return connection_.Next(m, timeoutMs); }
    // Answers joins (through `welcome`, which sends whatever welcomes it
    // likes) and alive requests until `joins` joins were answered.
    bool Serve(int joins, const std::function<void(const NetMessage& join)>& welcome);

private:
    RawUdp listener_;
    RawUdp connection_;
};

// A network game hosted by this process on a free port.
struct HostedGame {
    HostedGame();
    ~HostedGame() { DestroyNetGame(game); }
    NetGame* game;
    uint16_t port;
};

// A second program's record joined to a host in this process; `ok` when
// NetJoin gave 1.
struct JoinedGame {
    explicit JoinedGame(uint16_t port);
    ~JoinedGame() { DestroyNetGame(game); }
    NetGame* game;
    bool ok;
};

// Polls `done` every 5 ms for up to `ms`.
template <class Done>
bool Eventually(Done done, int ms = 20000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        htThreadSleep(5);
    }
    return true;
}
