#include "nl_test_support.h"

#include <cstring>

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

NLaddress LoopbackAddress(uint16_t port) {
    NLaddress a;
    std::string text = "127.0.0.1:" + std::to_string(port);
    EXPECT_TRUE(nlStringToAddr(text.c_str(), &a));
    return a;
}

uint16_t LocalPort(NLsocket s) {
    NLaddress a;
    EXPECT_TRUE(nlGetLocalAddr(s, &a));
    return nlGetPortFromAddr(&a);
}

RawSocket::RawSocket(int type) {
    nlsys::StartNetwork();
    fd = nlsys::OpenSocket(type);
    sockaddr_in a = Loopback(0);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
}

RawSocket::~RawSocket() {
    nlsys::CloseSocket(fd);
    nlsys::StopNetwork();
}

uint16_t RawSocket::Port() const {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

void RawSocket::SendTo(uint16_t port, const std::string& data) {
    EXPECT_EQ(nlsys::SendTo(fd, data.data(), static_cast<int>(data.size()), Loopback(port)),
              static_cast<int>(data.size()));
}

void RawSocket::Connect(uint16_t port) {
    sockaddr_in a = Loopback(port);
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
}

void RawSocket::Send(const std::string& data) {
    EXPECT_EQ(nlsys::Send(fd, data.data(), static_cast<int>(data.size())), static_cast<int>(data.size()));
}

bool RawSocket::Receive(std::string& data, uint16_t* fromPort, int timeoutMs) {
    bool ready = false;
    if (nlsys::Wait(&fd, 1, nlsys::Ready::Read, timeoutMs, &ready) <= 0) return false;
    char buffer[70000];
    sockaddr_in from{};
    int n = nlsys::RecvFrom(fd, buffer, sizeof buffer, from);
    if (n < 0) return false;
    data.assign(buffer, static_cast<size_t>(n));
    if (fromPort) *fromPort = ntohs(from.sin_port);
    return true;
}

void RawSocket::Listen() { EXPECT_EQ(listen(fd, 8), 0); }

nlsys::Fd RawSocket::Accept(int timeoutMs) {
    bool ready = false;
    if (nlsys::Wait(&fd, 1, nlsys::Ready::Read, timeoutMs, &ready) <= 0) return nlsys::kNoFd;
    return accept(fd, nullptr, nullptr);
}

UdpPair ConnectUdpPair() {
    UdpPair p;
    p.listener = nlOpen(0, NL_UDP);
    EXPECT_TRUE(nlListen(p.listener));
    p.client = nlOpen(0, NL_UDP);
    NLaddress to = LoopbackAddress(LocalPort(p.listener));
    EXPECT_TRUE(nlConnect(p.client, &to));
    EXPECT_TRUE(Eventually([&] { return (p.server = nlAcceptConnection(p.listener)) != NL_INVALID; }));
    // Connected once a write no longer says the set-up is pending.
    EXPECT_TRUE(Eventually([&] { return nlWrite(p.client, "", 0) == 0; }));
    return p;
}
