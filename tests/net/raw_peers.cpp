#include "raw_peers.h"

#include <gtest/gtest.h>

#include <random>

sockaddr_in LoopbackTo(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

std::string Datagram(const NetMessage& m) {
    std::vector<uint8_t> d = WriteNetMessage(m);
    return std::string(d.begin(), d.end());
}

RawUdp::RawUdp() {
    nlsys::StartNetwork();
    fd = nlsys::OpenSocket(SOCK_DGRAM);
    sockaddr_in a = LoopbackTo(0);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
}

RawUdp::~RawUdp() {
    nlsys::CloseSocket(fd);
    nlsys::StopNetwork();
}

uint16_t RawUdp::Port() const {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

void RawUdp::SendTo(uint16_t port, const std::string& data) {
    nlsys::SendTo(fd, data.data(), static_cast<int>(data.size()), LoopbackTo(port));
}

void RawUdp::Send(const std::string& data) { nlsys::Send(fd, data.data(), static_cast<int>(data.size())); }

bool RawUdp::Connect(const sockaddr_in& to) { return connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0; }

bool RawUdp::Receive(std::string& data, sockaddr_in* from, int timeoutMs) {
    bool ready = false;
    if (nlsys::Wait(&fd, 1, nlsys::Ready::Read, timeoutMs, &ready) <= 0) return false;
    char b[4096];
    sockaddr_in f{};
    int n = nlsys::RecvFrom(fd, b, sizeof b, f);
    if (n < 0) return false;
    data.assign(b, static_cast<size_t>(n));
    if (from) *from = f;
    return true;
}

bool RawUdp::Next(NetMessage& m, int timeoutMs) {
    std::string d;
    while (Receive(d, nullptr, timeoutMs))
        if (ReadNetMessage(reinterpret_cast<const uint8_t*>(d.data()), d.size(), m)) return true;
    return false;
}

RawPeer::RawPeer(uint16_t hostPort) {
    SendTo(hostPort, std::string("HawkNL request connection.\0", 27));
    std::string reply;
    sockaddr_in from{};
    if (!Receive(reply, &from) || reply.size() != 24) return;
    from.sin_port = htons(static_cast<uint16_t>(uint8_t(reply[0]) << 8 | uint8_t(reply[1])));
    connected_ = Connect(from);
}

void RawPeer::Join(const std::string& name, uint8_t hidden) {
    PlayerData p;
    p.name = name;
    p.hidden = hidden;
    Send(NetMessage{kNetJoin, 0, -1, WritePlayerData(p)});
}

int32_t RawPeer::JoinAndWait(const std::string& name) {
    Join(name);
    NetMessage m;
    while (Next(m, 10000))
        if (m.type == kNetWelcome) return m.recipient;
    return 0;
}

RawHost::RawHost() {}

bool RawHost::Accept(int timeoutMs) {
    std::string request;
    sockaddr_in from{};
    if (!listener_.Receive(request, &from, timeoutMs) || request.size() < 27) return false;
    uint16_t port = connection_.Port();
    std::string reply = {static_cast<char>(port >> 8), static_cast<char>(port & 0xFF)};
    reply += std::string("HawkNL connection OK.\0", 22);
    nlsys::SendTo(listener_.fd, reply.data(), static_cast<int>(reply.size()), from);
    if (!connection_.Connect(from)) return false;
    connection_.Send("");
    return true;
}

bool RawHost::Serve(int joins, const std::function<void(const NetMessage& join)>& welcome) {
    NetMessage m;
    while (joins > 0 && Next(m, 10000)) {
        if (m.type == kNetJoin) {
            welcome(m);
            --joins;
        } else if (m.type == kNetAliveRequest) {
            Send(NetMessage{kNetAliveRequest, m.sender, kNetFromHost, Int32Payload(1)});
        }
    }
    return joins == 0;
}

HostedGame::HostedGame() {
    game = CreateNetGame();
    for (int attempt = 0; attempt < 5; ++attempt) {
        port = static_cast<uint16_t>(20000 + std::random_device()() % 40000);
        if (HostNetGame(*game, std::to_string(port).c_str())) {
            // The host's own connection is made in the background: once it
            // is answered (it has a remote address: the host's new socket)
            // it is in the host's table, ahead of any peer the test connects
            // next, which could otherwise take its place in a full table.
            EXPECT_TRUE(Eventually([&] {
                NLaddress remote{};
                if (!nlGetRemoteAddr(game->clientSocket, &remote)) return false;
                uint16_t to = nlGetPortFromAddr(&remote);
                return to != 0 && to != port;
            })) << "the host's own connection";
            return;
        }
    }
    ADD_FAILURE() << "no free port to host on";
}

JoinedGame::JoinedGame(uint16_t port) {
    game = CreateNetGame();
    ok = JoinNetGame(*game, "127.0.0.1", std::to_string(port).c_str()) == 1;
}
