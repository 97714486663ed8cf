// Helpers for the network library's tests: the library set up per test,
// raw system sockets that speak to it byte by byte, and bounded polling.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "nl/hawkthreads.h"
#include "nl/nl.h"
#include "nl/sys.h"

class NlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(nlInit());
        nlSelectNetwork(NL_IP);
    }
    void TearDown() override { nlShutdown(); }
};

sockaddr_in Loopback(uint16_t port);
NLaddress LoopbackAddress(uint16_t port);
uint16_t LocalPort(NLsocket s);

// A plain system socket on 127.0.0.1.
class RawSocket {
public:
    explicit RawSocket(int type);  // SOCK_DGRAM or SOCK_STREAM; bound to a free port
    ~RawSocket();
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;

    uint16_t Port() const;
    void SendTo(uint16_t port, const std::string& data);
    void Connect(uint16_t port);
    void Send(const std::string& data);
    // One datagram (or what a stream has) within the time-out; false if none.
    bool Receive(std::string& data, uint16_t* fromPort = nullptr, int timeoutMs = 5000);
    void Listen();
    nlsys::Fd Accept(int timeoutMs = 5000);

    nlsys::Fd fd;
};

// Polls `done` every 5 ms for up to `ms`.
template <class Done>
bool Eventually(Done done, int ms = 10000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        htThreadSleep(5);
    }
    return true;
}

// Two NL_UDP sockets connected through the library's own set-up.
struct UdpPair {
    NLsocket listener = NL_INVALID, client = NL_INVALID, server = NL_INVALID;
};
UdpPair ConnectUdpPair();
