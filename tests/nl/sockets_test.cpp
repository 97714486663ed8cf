// Sockets on loopback: the NL_UDP connection set-up byte by byte against
// raw system sockets, datagram rules, a refused peer, TCP streams and
// NL_TCP_PACKETS frames.
#include <cstring>
#include <thread>

#include "nl_test_support.h"

namespace {
const std::string kRequest("HawkNL request connection.\0", 27);
const std::string kReply("HawkNL connection OK.\0", 22);
}  // namespace

TEST_F(NlTest, UdpListenerAnswersWithTheNewPortFromTheListeningSocket) {
    NLsocket listener = nlOpen(0, NL_UDP);
    ASSERT_NE(listener, NL_INVALID);
    ASSERT_TRUE(nlListen(listener));
    uint16_t listenPort = LocalPort(listener);
    RawSocket client(SOCK_DGRAM);
    EXPECT_EQ(nlAcceptConnection(listener), NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_NO_PENDING);

    // The request text's 26 characters decide; what follows them does not.
    struct Case {
        std::string request;
        bool accepted;
    };
    const Case cases[] = {
        {kRequest.substr(0, 26), false},
        {kRequest.substr(0, 26) + "X", true},
        {kRequest + "trailing junk", true},
        {"HawkNL request connection!" + std::string(1, '\0'), false},
        {kRequest, true},
    };
    for (const Case& c : cases) {
        client.SendTo(listenPort, c.request);
        ASSERT_TRUE(nlPollSocket(listener, NL_READ_STATUS, 5000));
        NLsocket accepted = nlAcceptConnection(listener);  // reads that one datagram
        if (!c.accepted) {
            EXPECT_EQ(accepted, NL_INVALID) << c.request;
            EXPECT_EQ(nlGetError(), NL_NO_PENDING);
            continue;
        }
        ASSERT_NE(accepted, NL_INVALID) << c.request;
        std::string reply, empty;
        uint16_t from = 0, from2 = 0;
        ASSERT_TRUE(client.Receive(reply, &from));
        EXPECT_EQ(from, listenPort);
        ASSERT_EQ(reply.size(), 24u);
        uint16_t newPort = static_cast<uint16_t>(uint8_t(reply[0]) << 8 | uint8_t(reply[1]));
        EXPECT_EQ(newPort, LocalPort(accepted));
        EXPECT_EQ(reply.substr(2), kReply);
        ASSERT_TRUE(client.Receive(empty, &from2));
        EXPECT_EQ(empty.size(), 0u);
        EXPECT_EQ(from2, newPort);

        client.SendTo(newPort, "ping");
        char buffer[16];
        NLint n = 0;
        ASSERT_TRUE(Eventually([&] { return (n = nlRead(accepted, buffer, sizeof buffer)) > 0; }));
        EXPECT_EQ(std::string(buffer, static_cast<size_t>(n)), "ping");
        EXPECT_EQ(nlWrite(accepted, "pong", 4), 4);
        std::string pong;
        ASSERT_TRUE(client.Receive(pong));
        EXPECT_EQ(pong, "pong");
        nlClose(accepted);
    }
}

TEST_F(NlTest, UdpClientRequestsAndConnectsToTheAnnouncedPort) {
    RawSocket listener(SOCK_DGRAM), newSocket(SOCK_DGRAM);
    NLsocket s = nlOpen(0, NL_UDP);
    NLaddress to = LoopbackAddress(listener.Port());
    ASSERT_TRUE(nlConnect(s, &to));
    char buffer[32];
    EXPECT_EQ(nlRead(s, buffer, sizeof buffer), NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_CON_PENDING);
    EXPECT_FALSE(nlConnect(s, &to));
    EXPECT_EQ(nlGetError(), NL_CON_PENDING);

    std::string request;
    uint16_t clientPort = 0;
    ASSERT_TRUE(listener.Receive(request, &clientPort));
    EXPECT_EQ(request, kRequest);
    // A stray short datagram first: passed over.
    listener.SendTo(clientPort, "noise");
    uint16_t port = newSocket.Port();
    listener.SendTo(clientPort, std::string{char(port >> 8), char(port & 0xFF)} + kReply);
    std::string empty;
    uint16_t from = 0;
    ASSERT_TRUE(newSocket.Receive(empty, &from));
    EXPECT_EQ(empty, "");
    EXPECT_EQ(from, clientPort);
    ASSERT_TRUE(Eventually([&] { return nlWrite(s, "hi", 2) == 2; }));
    std::string hi;
    ASSERT_TRUE(newSocket.Receive(hi));
    EXPECT_EQ(hi, "hi");
    EXPECT_FALSE(nlConnect(s, &to));
    EXPECT_EQ(nlGetError(), NL_CONNECTED);
    NLaddress remote;
    ASSERT_TRUE(nlGetRemoteAddr(s, &remote));
    EXPECT_EQ(nlGetPortFromAddr(&remote), port);
}

TEST_F(NlTest, UdpConnectToSilenceGivesUpAfterSixSeconds) {
    RawSocket silent(SOCK_DGRAM);
    NLaddress to = LoopbackAddress(silent.Port());
    NLsocket quiet = nlOpen(0, NL_UDP);
    ASSERT_TRUE(nlConnect(quiet, &to));  // non-blocking: settles later
    // A blocking connect, on another thread meanwhile, gives up too.
    NLboolean blockingResult = NL_TRUE;
    NLenum blockingError = 0;
    double blockingSeconds = 0;
    std::thread blocking([&] {
        nlEnable(NL_BLOCKING_IO);
        NLsocket s = nlOpen(0, NL_UDP);
        nlDisable(NL_BLOCKING_IO);
        auto start = std::chrono::steady_clock::now();
        blockingResult = nlConnect(s, &to);
        blockingError = nlGetError();
        blockingSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    });
    char b[4];
    EXPECT_TRUE(Eventually([&] { return nlRead(quiet, b, 4) == NL_INVALID && nlGetError() == NL_CON_REFUSED; },
                           20000));
    blocking.join();
    EXPECT_EQ(blockingResult, NL_FALSE);
    EXPECT_EQ(blockingError, static_cast<NLenum>(NL_CON_REFUSED));
    EXPECT_GT(blockingSeconds, 4.0);
    EXPECT_LT(blockingSeconds, 15.0);
    EXPECT_EQ(nlWrite(quiet, "x", 1), NL_INVALID);  // for good
    EXPECT_EQ(nlGetError(), NL_CON_REFUSED);
}

TEST_F(NlTest, UdpDatagramRulesAndARefusedPeer) {
    UdpPair p = ConnectUdpPair();
    std::string big(100, 'b');
    ASSERT_EQ(nlWrite(p.client, big.data(), 100), 100);
    char buffer[NL_MAX_PACKET_LENGTH + 1];
    NLint n = 0;
    ASSERT_TRUE(Eventually([&] { return (n = nlRead(p.server, buffer, 10)) > 0; }));
    EXPECT_EQ(n, 10);  // the rest of the datagram is dropped
    ASSERT_EQ(nlWrite(p.client, "next", 4), 4);
    ASSERT_TRUE(Eventually([&] { return (n = nlRead(p.server, buffer, sizeof buffer)) > 0; }));
    EXPECT_EQ(std::string(buffer, 4), "next");
    EXPECT_EQ(nlWrite(p.client, buffer, NL_MAX_PACKET_LENGTH), NL_MAX_PACKET_LENGTH);
    EXPECT_EQ(nlWrite(p.client, buffer, NL_MAX_PACKET_LENGTH + 1), NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_PACKET_SIZE);

    // The other side is gone: what it refuses reads as a lost connection.
    nlClose(p.client);
    bool gone = Eventually([&] {
        nlWrite(p.server, "anyone?", 7);
        htThreadSleep(10);
        while ((n = nlRead(p.server, buffer, sizeof buffer)) > 0) {
        }
        return n == NL_INVALID;
    });
    ASSERT_TRUE(gone);
    EXPECT_EQ(nlGetError(), NL_SOCK_DISCONNECT);
}

TEST_F(NlTest, TcpStream) {
    NLsocket listener = nlOpen(0, NL_TCP);
    ASSERT_TRUE(nlListen(listener));
    EXPECT_EQ(nlAcceptConnection(listener), NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_NO_PENDING);
    NLsocket client = nlOpen(0, NL_TCP);
    NLaddress to = LoopbackAddress(LocalPort(listener));
    ASSERT_TRUE(nlConnect(client, &to));
    NLsocket server = NL_INVALID;
    ASSERT_TRUE(Eventually([&] { return (server = nlAcceptConnection(listener)) != NL_INVALID; }));
    ASSERT_TRUE(Eventually([&] { return nlWrite(client, "stream", 6) == 6; }));
    char buffer[16];
    NLint n = 0;
    ASSERT_TRUE(Eventually([&] { return (n = nlRead(server, buffer, sizeof buffer)) > 0; }));
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(n)), "stream");
    nlClose(client);
    ASSERT_TRUE(Eventually([&] { return nlRead(server, buffer, sizeof buffer) == NL_INVALID; }));
    EXPECT_EQ(nlGetError(), NL_MESSAGE_END);
    EXPECT_EQ(nlRead(server, buffer, sizeof buffer), NL_INVALID);  // and so on
    EXPECT_EQ(nlGetError(), NL_MESSAGE_END);

    // Nobody listening: a blocking connect fails at once, a non-blocking one
    // reports the refusal on the next transfer.
    RawSocket closedPort(SOCK_STREAM);
    NLaddress nobody = LoopbackAddress(closedPort.Port());
    nlEnable(NL_BLOCKING_IO);
    NLsocket b = nlOpen(0, NL_TCP);
    nlDisable(NL_BLOCKING_IO);
    EXPECT_FALSE(nlConnect(b, &nobody));
    EXPECT_EQ(nlGetError(), NL_SYSTEM_ERROR);
    NLsocket nb = nlOpen(0, NL_TCP);
    ASSERT_TRUE(nlConnect(nb, &nobody));
    EXPECT_TRUE(Eventually([&] { return nlRead(nb, buffer, 4) == NL_INVALID && nlGetError() == NL_CON_REFUSED; }));
}

TEST_F(NlTest, TcpPacketFrames) {
    NLsocket listener = nlOpen(0, NL_TCP_PACKETS);
    ASSERT_TRUE(nlListen(listener));
    NLsocket client = nlOpen(0, NL_TCP_PACKETS);
    NLaddress to = LoopbackAddress(LocalPort(listener));
    ASSERT_TRUE(nlConnect(client, &to));
    NLsocket server = NL_INVALID;
    ASSERT_TRUE(Eventually([&] { return (server = nlAcceptConnection(listener)) != NL_INVALID; }));
    ASSERT_TRUE(Eventually([&] { return nlWrite(client, "hello", 5) == 5; }));
    ASSERT_EQ(nlWrite(client, "", 0), 0);
    std::string big(NL_MAX_PACKET_LENGTH, 'z');
    ASSERT_EQ(nlWrite(client, big.data(), NL_MAX_PACKET_LENGTH), NL_MAX_PACKET_LENGTH);
    EXPECT_EQ(nlWrite(client, big.data(), NL_MAX_PACKET_LENGTH + 1), NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_PACKET_SIZE);

    char buffer[NL_MAX_PACKET_LENGTH];
    NLint n = 0;
    ASSERT_TRUE(Eventually([&] { return (n = nlRead(server, buffer, sizeof buffer)) != 0; }));
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(n)), "hello");
    ASSERT_TRUE(Eventually([&] { return nlPollSocket(server, NL_READ_STATUS, 0); }));
    EXPECT_EQ(nlRead(server, buffer, sizeof buffer), 0);  // the empty frame
    ASSERT_TRUE(Eventually([&] { return nlPollSocket(server, NL_READ_STATUS, 0); }));
    EXPECT_EQ(nlRead(server, buffer, 100), NL_INVALID);  // too small: the frame waits
    EXPECT_EQ(nlGetError(), NL_BUFFER_SIZE);
    EXPECT_EQ(nlRead(server, buffer, sizeof buffer), NL_MAX_PACKET_LENGTH);
    EXPECT_EQ(buffer[NL_MAX_PACKET_LENGTH - 1], 'z');

    // On the wire, and a stream that is not made of frames.
    RawSocket raw(SOCK_STREAM);
    raw.Listen();
    NLsocket framed = nlOpen(0, NL_TCP_PACKETS);
    NLaddress rawAddress = LoopbackAddress(raw.Port());
    ASSERT_TRUE(nlConnect(framed, &rawAddress));
    nlsys::Fd peer = raw.Accept();
    ASSERT_NE(peer, nlsys::kNoFd);
    ASSERT_TRUE(Eventually([&] { return nlWrite(framed, "hello", 5) == 5; }));
    std::string wire;
    char chunk[16];
    ASSERT_TRUE(Eventually([&] {
        int got = nlsys::Recv(peer, chunk, sizeof chunk);
        if (got > 0) wire.append(chunk, static_cast<size_t>(got));
        return wire.size() >= 9;
    }));
    EXPECT_EQ(wire, std::string("NL\0\5hello", 9));
    nlsys::Send(peer, "XY\0\1!", 5);
    ASSERT_TRUE(Eventually([&] { return nlRead(framed, buffer, sizeof buffer) == NL_INVALID; }));
    EXPECT_EQ(nlGetError(), NL_PACKET_SYNC);
    nlsys::Send(peer, "NL\0\1!", 5);
    EXPECT_EQ(nlRead(framed, buffer, sizeof buffer), NL_INVALID);  // for good
    EXPECT_EQ(nlGetError(), NL_PACKET_SYNC);
    nlsys::CloseSocket(peer);
}
