// A host in this process against raw peers that speak the set-up and the
// message format themselves: the host's socket table limit and names.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "net/net_game.h"
#include "nl/sys.h"

namespace {

class RawPeer {
public:
    explicit RawPeer(uint16_t hostPort) {
        fd_ = nlsys::OpenSocket(SOCK_DGRAM);
        sockaddr_in a = Loopback(0);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        std::string request("HawkNL request connection.\0", 27);
        nlsys::SendTo(fd_, request.data(), 27, Loopback(hostPort));
        std::string reply;
        sockaddr_in from{};
        if (!Receive(reply, &from) || reply.size() != 24) return;
        from.sin_port = htons(static_cast<uint16_t>(uint8_t(reply[0]) << 8 | uint8_t(reply[1])));
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&from), sizeof from) == 0;
    }
    ~RawPeer() { nlsys::CloseSocket(fd_); }
    bool connected() const { return connected_; }

    void Join(const std::string& name, uint8_t hidden = 0) {
        PlayerData p;
        p.name = name;
        p.hidden = hidden;
        std::vector<uint8_t> d = WriteNetMessage(NetMessage{kNetJoin, 0, -1, WritePlayerData(p)});
        nlsys::Send(fd_, d.data(), static_cast<int>(d.size()));
    }
    // The next message within the time-out, skipping empty datagrams.
    bool Next(NetMessage& m, int timeoutMs) {
        std::string d;
        while (Receive(d, nullptr, timeoutMs))
            if (ReadNetMessage(reinterpret_cast<const uint8_t*>(d.data()), d.size(), m)) return true;
        return false;
    }

private:
    static sockaddr_in Loopback(uint16_t port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }
    bool Receive(std::string& d, sockaddr_in* from = nullptr, int timeoutMs = 5000) {
        bool ready = false;
        if (nlsys::Wait(&fd_, 1, nlsys::Ready::Read, timeoutMs, &ready) <= 0) return false;
        char b[4096];
        sockaddr_in f{};
        int n = nlsys::RecvFrom(fd_, b, sizeof b, f);
        if (n < 0) return false;
        d.assign(b, static_cast<size_t>(n));
        if (from) *from = f;
        return true;
    }
    nlsys::Fd fd_;
    bool connected_ = false;
};

struct HostedGame {
    HostedGame() {
        game = CreateNetGame();
        for (int attempt = 0; attempt < 5 && !HostNetGame(*game, std::to_string(port).c_str()); ++attempt)
            port = static_cast<uint16_t>(20000 + std::random_device()() % 40000);
    }
    ~HostedGame() { DestroyNetGame(game); }
    NetGame* game;
    uint16_t port = static_cast<uint16_t>(20000 + std::random_device()() % 40000);
};

}  // namespace

TEST(NetGameHost, FullSocketTableTurnsNewcomersAwayAndKeepsTheOthers) {
    HostedGame host;
    ASSERT_EQ(host.game->isHost, 1);
    ASSERT_EQ(CreateNetPlayer(*host.game, "Host"), kFirstPlayerId);  // the host's own connection
    std::vector<std::unique_ptr<RawPeer>> peers;
    for (int i = 1; i < kHostSockets; ++i) {
        peers.emplace_back(new RawPeer(host.port));
        ASSERT_TRUE(peers.back()->connected()) << i;
    }
    RawPeer late(host.port);  // answered, then closed at once
    ASSERT_TRUE(late.connected());
    late.Join("Late");
    peers.front()->Join("Early");
    NetMessage m;
    ASSERT_TRUE(peers.front()->Next(m, 5000));
    EXPECT_EQ(m.type, kNetWelcome);
    EXPECT_EQ(m.recipient, kFirstPlayerId + 1);
    EXPECT_FALSE(late.Next(m, 200));  // its join was refused on arrival
    EXPECT_EQ(NetPlayerCountOf(*host.game), 2);
}

TEST(NetGameHost, LongNamesAreCutTo126Characters) {
    HostedGame host;
    std::string name(300, 'q');
    double id = CreateNetPlayer(*host.game, name.c_str());
    ASSERT_EQ(id, kFirstPlayerId);
    EXPECT_EQ(NetPlayerNameOf(*host.game, kFirstPlayerId), name.substr(0, 126));
    EXPECT_EQ(NetPlayerNameOf(*host.game, 999), "");
    EXPECT_EQ(CreateNetPlayer(*host.game, ""), kFirstPlayerId + 1);  // empty names count
    EXPECT_EQ(NetPlayerCountOf(*host.game), 2);
}

TEST(NetGameHost, HiddenPlayersAreNeitherCountedNorListed) {
    HostedGame host;
    ASSERT_EQ(CreateNetPlayer(*host.game, "Shown"), kFirstPlayerId);
    RawPeer probe(host.port);
    ASSERT_TRUE(probe.connected());
    probe.Join("", 1);
    NetMessage welcome;
    ASSERT_TRUE(probe.Next(welcome, 5000));
    ASSERT_EQ(welcome.type, kNetWelcome);
    EXPECT_EQ(NetPlayerCountOf(*host.game), 1);
    EXPECT_EQ(NetPlayerIdOf(*host.game, 0), kFirstPlayerId);
    EXPECT_EQ(NetPlayerIdOf(*host.game, 1), 0);
    EXPECT_EQ(NetPlayerIdOf(*host.game, -1), 0);

    // A joined program without players of its own asks nothing: 0 at once.
    NetGame* joiner = CreateNetGame();
    ASSERT_EQ(JoinNetGame(*joiner, "127.0.0.1", std::to_string(host.port).c_str()), 1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(NetPlayerCountOf(*joiner), 0);
    EXPECT_EQ(NetPlayerNameOf(*joiner, kFirstPlayerId), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    DestroyNetGame(joiner);
}
