// A joining program in this process against a host of the test's own that
// lies: welcomes for ids nobody asked for, junk before its messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "raw_peers.h"

namespace {

using Clock = std::chrono::steady_clock;

// A host that welcomes the probe player of NetJoin with 150 and the next
// player with 151, each after the given false welcomes.
class LyingHost {
public:
    explicit LyingHost(std::vector<int32_t> falseIds = {}) : falseIds_(std::move(falseIds)) {
        script_ = std::thread([this] {
            if (!host.Accept()) return;
            host.Serve(2, [this](const NetMessage&) {
                for (int32_t id : falseIds_) host.Send(NetMessage{kNetWelcome, id, kNetFromHost, {}});
                host.Send(NetMessage{kNetWelcome, next_++, kNetFromHost, {}});
            });
        });
    }
    // Joins a new record to it; the record, or null when NetJoin gave 0.
    NetGame* Join() {
        NetGame* g = CreateNetGame();
        joined_ = JoinNetGame(*g, "127.0.0.1", std::to_string(host.port()).c_str()) == 1;
        return g;
    }
    bool joined() const { return joined_; }
    ~LyingHost() { script_.join(); }

    RawHost host;

private:
    std::vector<int32_t> falseIds_;
    int32_t next_ = 150;
    bool joined_ = false;
    std::thread script_;
};

}  // namespace

// Welcomes below 101 (-2 would have the network thread discard the player
// the main thread still waits on) are not taken.
TEST(NetGameJoiner, WelcomesForIdsNobodyAskedForAreIgnored) {
    LyingHost lying({kIdDiscard, kIdUnsent, kIdWaiting, 0, 5, 100});
    NetGame* joiner = lying.Join();
    EXPECT_TRUE(lying.joined());
    EXPECT_EQ(CreateNetPlayer(*joiner, "Ann"), 151);
    {
        NetLockHold hold(*joiner);
        ASSERT_EQ(joiner->localPlayers.size(), 1u);
        EXPECT_EQ(joiner->localPlayers.front().id, 151);
    }
    DestroyNetGame(joiner);
}

// Junk from the host, then a real message: it arrives at once, not after
// the junk was read a datagram per cycle; and after a flood, messages get
// through again.
TEST(NetGameJoiner, JunkFromTheHostDelaysNothing) {
    LyingHost lying;
    NetGame* joiner = lying.Join();
    ASSERT_TRUE(lying.joined());
    ASSERT_EQ(CreateNetPlayer(*joiner, "Ann"), 151);
    std::string valid = Datagram(NetMessage{kNetText, 151, 150, "x"});
    // Read a datagram per 10 ms cycle, 200 would take 2 s at least; after
    // a flood the message only has to get through.
    struct Case {
        const char* name;
        std::string junk;
        int count;
        int boundMs;
    };
    const Case cases[] = {
        {"empty", "", 200, 2000},
        {"short", "BRDN\x03", 200, 2000},
        {"magic", "XRDN" + valid.substr(4), 200, 2000},
        {"length", valid.substr(0, 5) + std::string("\x05\0\0\0", 4) + valid.substr(9), 200, 2000},
        {"flood", "z", 10000, 20000},  // more than the receive buffer holds
    };
    for (const Case& c : cases) {
        for (int i = 0; i < c.count; ++i) lying.host.Send(c.junk);
        auto start = Clock::now();
        // Sent again until it arrives (the flood may have filled the
        // buffer); copies of earlier cases' messages are passed over.
        auto arrived = [&] {
            std::string text;
            while (ReceiveNetText(*joiner, 151, text))
                if (text == c.name) return true;
            return false;
        };
        EXPECT_TRUE(Eventually([&] {
            lying.host.Send(NetMessage{kNetText, 151, 150, c.name});
            return Eventually(arrived, 50);
        }, 20000)) << c.name;
        EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), c.boundMs)
            << c.name;
    }
    DestroyNetGame(joiner);
}

// A host flooding one player with messages, and the main thread with
// answers it never asked for, fills no more than the bounds.
TEST(NetGameJoiner, FloodedInboxesAndAnswersStayBounded) {
    LyingHost lying;
    NetGame* joiner = lying.Join();
    ASSERT_TRUE(lying.joined());
    ASSERT_EQ(CreateNetPlayer(*joiner, "Ann"), 151);
    auto held = [&] {
        NetLockHold hold(*joiner);
        return joiner->localPlayers.front().inbox.size();
    };
    for (int i = 0; i < 40; ++i) lying.host.Send(NetMessage{kNetCountRequest, 151, kNetFromHost, Int32Payload(i)});
    size_t sent = 0;
    while (sent < kInboxLimit + 500) {
        // In steps that the receive buffer holds, each taken in before the next.
        for (int i = 0; i < 100; ++i) lying.host.Send(NetMessage{kNetText, 151, 150, std::to_string(sent++)});
        ASSERT_TRUE(Eventually([&] { return held() >= std::min(sent, kInboxLimit); })) << sent;
    }
    EXPECT_EQ(held(), kInboxLimit);
    std::string text;
    EXPECT_TRUE(ReceiveNetText(*joiner, 151, text));
    EXPECT_EQ(text, "0");  // the oldest kept, the newest dropped
    {
        NetLockHold hold(*joiner);
        EXPECT_EQ(joiner->answers.size(), kAnswersLimit);
    }
    DestroyNetGame(joiner);
}
