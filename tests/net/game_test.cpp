// A host in this process against real joiners and raw peers that speak the
// set-up and the message format themselves, as a hostile program would:
// the socket table, junk, forged senders, removed players and bursts.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "raw_peers.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The next message in a local player's inbox, waiting for it; "" when none
// came.
std::string Receive(NetGame& g, int32_t player, int ms = 20000) {
    std::string text;
    Eventually([&] { return ReceiveNetText(g, player, text); }, ms);
    return text;
}

}  // namespace

TEST(NetGameHost, FullSocketTableTurnsNewcomersAwayAndKeepsTheOthers) {
    HostedGame host;
    ASSERT_EQ(CreateNetPlayer(*host.game, "Host"), kFirstPlayerId);  // the host's own connection
    std::vector<std::unique_ptr<RawPeer>> peers;
    for (int i = 1; i < kHostSockets; ++i) {
        peers.emplace_back(new RawPeer(host.port));
        ASSERT_TRUE(peers.back()->connected()) << i;
        ASSERT_EQ(peers.back()->JoinAndWait("P" + std::to_string(i)), kFirstPlayerId + i);
    }
    RawPeer late(host.port);  // answered, then closed at once
    ASSERT_TRUE(late.connected());
    late.Join("Late");
    NetMessage m;
    EXPECT_FALSE(late.Next(m, 200));  // its join was refused on arrival
    EXPECT_EQ(NetPlayerCountOf(*host.game), kHostSockets);
    peers.front()->Send(NetMessage{kNetText, kFirstPlayerId, kFirstPlayerId + 1, "still here"});
    EXPECT_EQ(Receive(*host.game, kFirstPlayerId), "still here");
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
    JoinedGame joiner(host.port);
    ASSERT_TRUE(joiner.ok);
    auto start = Clock::now();
    EXPECT_EQ(NetPlayerCountOf(*joiner.game), 0);
    EXPECT_EQ(NetPlayerNameOf(*joiner.game, kFirstPlayerId), "");
    EXPECT_LT(MsSince(start), 2000);
}

// One socket repeating its connection request gets one connection, not a
// place in the table per request.
TEST(NetGameHost, RepeatedRequestsFromOneSocketTakeOnePlace) {
    HostedGame host;
    RawUdp repeater;
    // Read before the joiner's request: the listening socket keeps order.
    for (int i = 0; i < kHostSockets + 50; ++i)
        repeater.SendTo(host.port, std::string("HawkNL request connection.\0", 27));
    JoinedGame joiner(host.port);
    ASSERT_TRUE(joiner.ok);
    EXPECT_GT(CreateNetPlayer(*joiner.game, "Real"), kFirstPlayerId);
}

// Connections that never send a join are closed after a few seconds, so a
// table filled by them frees up; the host's own connection, which has no
// player yet, stays.
TEST(NetGameHost, ConnectionsThatNeverJoinAreClosed) {
    HostedGame host;
    auto start = Clock::now();
    std::vector<std::unique_ptr<RawPeer>> silent;
    for (int i = 1; i < kHostSockets; ++i) {
        silent.emplace_back(new RawPeer(host.port));
        ASSERT_TRUE(silent.back()->connected()) << i;
    }
    int32_t id = 0;
    ASSERT_TRUE(Eventually([&] {
        RawPeer newcomer(host.port);
        if (!newcomer.connected()) return false;
        newcomer.Join("Newcomer");
        NetMessage m;
        while (newcomer.Next(m, 300))
            if (m.type == kNetWelcome) id = m.recipient;
        return id != 0;
    }, 60000));
    EXPECT_GE(MsSince(start), 4000);  // not before they had their few seconds to join
    EXPECT_EQ(CreateNetPlayer(*host.game, "Host"), id + 1);
}

// A steady stream of junk at the listening port while a real program joins.
TEST(NetGameHost, JunkAtTheListeningPortKeepsNobodyOut) {
    HostedGame host;
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::thread junk([&] {
        RawUdp sender;
        const std::string kinds[] = {"x", std::string("HawkNL request connection.", 26), "HawkNL request"};
        // About 2000 datagrams a second, at most 40000.
        for (int i = 0; i < 40000 && !stop; ++i) {
            sender.SendTo(host.port, kinds[i % 3]);
            if (i % 20 == 19) htThreadSleep(10);
            ++sent;
        }
    });
    // More than the listening socket's buffer holds is under way before
    // the joiner comes.
    EXPECT_TRUE(Eventually([&] { return sent >= 1000; }));
    JoinedGame joiner(host.port);
    double id = joiner.ok ? CreateNetPlayer(*joiner.game, "Through") : 0;
    stop = true;
    junk.join();
    EXPECT_TRUE(joiner.ok);
    EXPECT_EQ(id, kFirstPlayerId + 1);
}

// Junk on a joined connection, then a real message: it arrives without
// waiting for the junk to be read a datagram per cycle.
TEST(NetGameHost, JunkOnAConnectionDelaysNothing) {
    HostedGame host;
    ASSERT_EQ(CreateNetPlayer(*host.game, "Host"), kFirstPlayerId);
    RawPeer peer(host.port);
    ASSERT_TRUE(peer.connected());
    int32_t id = peer.JoinAndWait("Junk");
    ASSERT_GT(id, kFirstPlayerId);
    std::string valid = Datagram(NetMessage{kNetText, kFirstPlayerId, id, "x"});
    struct Case {
        const char* name;
        std::string junk;
    };
    const Case cases[] = {
        {"empty", ""},
        {"short", "BRDN\x03"},
        {"magic", "XRDN" + valid.substr(4)},
        {"length", valid.substr(0, 5) + std::string("\x05\0\0\0", 4) + valid.substr(9)},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 200; ++i) peer.Send(c.junk);
        auto start = Clock::now();
        peer.Send(NetMessage{kNetText, kFirstPlayerId, id, c.name});
        EXPECT_EQ(Receive(*host.game, kFirstPlayerId), c.name);
        // Read a datagram per 10 ms cycle, 200 would take 2 s at least.
        EXPECT_LT(MsSince(start), 2000) << c.name;
    }
}

// Messages, leaves and requests count only from the connection of the
// player they name as sender; joins need the whole player data.
TEST(NetGameHost, OnlyAPlayersOwnConnectionSpeaksForIt) {
    HostedGame host;
    ASSERT_EQ(CreateNetPlayer(*host.game, "Host"), 101);
    JoinedGame ann(host.port);
    ASSERT_TRUE(ann.ok);
    ASSERT_EQ(CreateNetPlayer(*ann.game, "Ann"), 103);
    RawPeer mallory(host.port);
    ASSERT_TRUE(mallory.connected());
    ASSERT_EQ(mallory.JoinAndWait("Mallory"), 104);

    mallory.Send(NetMessage{kNetText, 101, 103, "forged to one"});
    mallory.Send(NetMessage{kNetText, kNetToAll, 101, "forged to all"});
    mallory.Send(NetMessage{kNetLeave, kNetToHost, 103, {}});
    mallory.Send(NetMessage{kNetCountRequest, kNetToHost, 103, {}});
    mallory.Send(NetMessage{kNetJoin, kNetToHost, -1, std::string(9, '\0')});
    mallory.Send(NetMessage{kNetJoin, kNetToHost, -1, std::string(kPlayerDataSize + 1, '\0')});
    mallory.Send(NetMessage{kNetText, 103, 104, "sync"});
    mallory.Send(NetMessage{kNetText, 101, 104, "own"});
    EXPECT_EQ(Receive(*host.game, 101), "own");
    EXPECT_EQ(host.game->lastSender, 104);
    EXPECT_EQ(Receive(*ann.game, 103), "sync");
    {
        NetLockHold hold(*ann.game);
        EXPECT_TRUE(ann.game->answers.empty());  // no answer to a request Ann never made
    }
    NetMessage m;
    EXPECT_FALSE(mallory.Next(m, 200));  // no welcome for the short and long joins
    EXPECT_EQ(NetPlayerCountOf(*host.game), 3);
    EXPECT_EQ(NetPlayerNameOf(*host.game, 103), "Ann");

    mallory.Send(NetMessage{kNetLeave, kNetToHost, 104, {}});  // its own: it goes
    EXPECT_TRUE(Eventually([&] { return NetPlayerCountOf(*host.game) == 2; }));
}

// One program's joins beyond its share get no player and no welcome.
TEST(NetGameHost, AProgramHasAtMost64Players) {
    HostedGame host;
    ASSERT_EQ(CreateNetPlayer(*host.game, "Host"), kFirstPlayerId);
    RawPeer many(host.port);
    ASSERT_TRUE(many.connected());
    for (size_t i = 0; i < kMaxPlayersPerConnection + 6; ++i) many.Join("M" + std::to_string(i));
    // Welcomes until the count asked by the first of them: it comes after all.
    NetMessage m;
    size_t welcomes = 0;
    bool asked = false;
    while (many.Next(m, 10000)) {
        if (m.type == kNetWelcome && !asked) {
            many.Send(NetMessage{kNetCountRequest, kNetToHost, m.recipient, {}});
            asked = true;
        }
        welcomes += m.type == kNetWelcome ? 1 : 0;
        if (m.type == kNetCountRequest) break;
    }
    EXPECT_EQ(welcomes, kMaxPlayersPerConnection);
    EXPECT_EQ(PayloadInt32(m.payload), static_cast<int32_t>(kMaxPlayersPerConnection) + 1);
}

TEST(NetGameHost, MessagesTooLongForADatagramAreNotSent) {
    HostedGame host;
    ASSERT_EQ(CreateNetPlayer(*host.game, "P"), kFirstPlayerId);
    EXPECT_EQ(SendNetText(*host.game, kFirstPlayerId, kFirstPlayerId, std::string(kNetMaxPayload + 1, 'x')), 0);
    EXPECT_EQ(SendNetText(*host.game, kFirstPlayerId, kFirstPlayerId, std::string(5000, 'x')), 0);
    std::string longest(kNetMaxPayload, 'y');
    EXPECT_EQ(SendNetText(*host.game, kFirstPlayerId, kFirstPlayerId, longest), 1);
    EXPECT_EQ(Receive(*host.game, kFirstPlayerId), longest);  // the first to arrive
}

// A removed local player leaves the list: it collects no more messages, and
// requests go out from the newest player still there.
TEST(NetGameHost, RemovedLocalPlayersAreGone) {
    HostedGame host;
    ASSERT_EQ(CreateNetPlayer(*host.game, "A"), 101);
    ASSERT_EQ(CreateNetPlayer(*host.game, "B"), 102);
    EXPECT_EQ(RemoveNetPlayer(*host.game, 102), 1);
    EXPECT_EQ(NetPlayerCountOf(*host.game), 1);  // asked by 101: 102 would get no answer
    ASSERT_EQ(CreateNetPlayer(*host.game, "C"), 103);
    EXPECT_EQ(RemoveNetPlayer(*host.game, 101), 1);
    for (int i = 0; i < 20; ++i) SendNetText(*host.game, 103, 0, "to all " + std::to_string(i));
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Receive(*host.game, 103), "to all " + std::to_string(i));
    std::string text;
    EXPECT_FALSE(ReceiveNetText(*host.game, 101, text));
    EXPECT_EQ(NetPlayerNameOf(*host.game, 101), "");
    NetLockHold hold(*host.game);
    EXPECT_EQ(host.game->localPlayers.size(), 1u);
}

// 400 messages sent in one go while the host is busy all arrive: the
// receive buffers hold such a burst.
TEST(NetGameHost, ABurstOfMessagesFitsTheReceiveBuffers) {
    HostedGame host;
    ASSERT_EQ(CreateNetPlayer(*host.game, "Host"), 101);
    JoinedGame joiner(host.port);
    ASSERT_TRUE(joiner.ok);
    ASSERT_EQ(CreateNetPlayer(*joiner.game, "Sender"), 103);
    const int burst = 400;
    {
        NetLockHold busy(*host.game);  // the host's network thread waits
        for (int i = 0; i < burst; ++i) {
            std::string text = std::to_string(i);
            text.resize(100, '.');
            ASSERT_EQ(SendNetText(*joiner.game, 103, 101, text), 1);
        }
    }
    int got = 0;
    std::string text;
    Eventually([&] {
        while (ReceiveNetText(*host.game, 101, text)) ++got;
        return got == burst;
    }, 20000);
    EXPECT_EQ(got, burst);
}
