// Library state, errors, groups and polling, statistics, threads.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "nl_test_support.h"

TEST(NlLibrary, ErrorsArePerThreadAndSticky) {
    // Nothing initialised: every call that needs a network says so first.
    NLaddress a;
    EXPECT_EQ(nlOpen(0, NL_UDP), NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_NO_NETWORK);
    EXPECT_FALSE(nlStringToAddr("1.2.3.4:5", &a));
    EXPECT_EQ(nlGetError(), NL_NO_NETWORK);
    nlInit();  // clears the error: the next one must be set anew
    nlShutdown();
    EXPECT_FALSE(nlClose(0));
    EXPECT_EQ(nlGetError(), NL_NO_NETWORK);
    NLenum seenByNewThread = 1;
    std::thread([&] { seenByNewThread = nlGetError(); }).join();
    EXPECT_EQ(seenByNewThread, static_cast<NLenum>(NL_NO_ERROR));
    ASSERT_TRUE(nlInit());  // clears it
    EXPECT_EQ(nlGetError(), NL_NO_ERROR);
    EXPECT_TRUE(nlSelectNetwork(NL_IP));
    EXPECT_FALSE(nlSelectNetwork(NL_IP));
    EXPECT_EQ(nlGetError(), NL_SELECT_NET_ERROR);
    NLsocket s = nlOpen(0, NL_UDP);
    EXPECT_NE(s, NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_SELECT_NET_ERROR);  // success does not clear
    EXPECT_STREQ(nlGetErrorStr(NL_SELECT_NET_ERROR), "A network type is already selected.");
    EXPECT_STREQ(nlGetErrorStr(0x999), "Undefined HawkNL error.");
    nlShutdown();
}

TEST_F(NlTest, SwitchesStringsAndReferenceCounting) {
    struct Case {
        NLenum name;
        NLboolean initial;
    };
    for (Case c : {Case{NL_BLOCKING_IO, 0}, Case{NL_SOCKET_STATS, 0}, Case{NL_BIG_ENDIAN_DATA, 1},
                   Case{NL_LITTLE_ENDIAN_DATA, 0}})
        EXPECT_EQ(nlGetBoolean(c.name), c.initial) << c.name;
    EXPECT_FALSE(nlEnable(NL_MULTIPLE_DRIVERS));
    EXPECT_EQ(nlGetError(), NL_INVALID_ENUM);
    EXPECT_STREQ(nlGetString(NL_VERSION), "HawkNL 1.7 beta 1");
    EXPECT_EQ(nlOpen(0, NL_UDP_ENHANCED), NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_INVALID_ENUM);
    EXPECT_TRUE(nlClose(12345));  // as HawkNL: true, with the error set
    EXPECT_EQ(nlGetError(), NL_INVALID_SOCKET);

    NLsocket first = nlOpen(0, NL_UDP);
    NLsocket second = nlOpen(0, NL_UDP);
    EXPECT_EQ(nlGetInteger(NL_OPEN_SOCKETS), 2);
    nlClose(first);
    EXPECT_EQ(nlOpen(0, NL_UDP), first);  // the lowest free slot again
    // A second user of the library: its shutdown leaves the first one's sockets.
    ASSERT_TRUE(nlInit());
    nlShutdown();
    NLaddress a;
    EXPECT_TRUE(nlGetLocalAddr(second, &a));
}

TEST_F(NlTest, GroupsAndPolling) {
    NLint group = nlGroupCreate();
    EXPECT_EQ(group, 200004);  // after the two slots HawkNL's drivers take
    NLsocket ready[4];
    EXPECT_EQ(nlPollGroup(group, NL_READ_STATUS, ready, 4, 1000), 0);  // empty: at once
    UdpPair a = ConnectUdpPair(), b = ConnectUdpPair();
    ASSERT_TRUE(nlGroupAddSocket(group, a.server));
    ASSERT_TRUE(nlGroupAddSocket(group, b.server));
    NLsocket members[4];
    NLint n = 4;
    ASSERT_TRUE(nlGroupGetSockets(group, members, &n));
    ASSERT_EQ(n, 2);
    EXPECT_EQ(members[1], b.server);

    char buffer[32];
    for (NLint k; (k = nlPollGroup(group, NL_READ_STATUS, ready, 4, 0)) > 0;)  // the set-up's empty datagrams
        for (NLint i = 0; i < k; ++i) nlRead(ready[i], buffer, sizeof buffer);
    ASSERT_EQ(nlWrite(b.client, "to b", 4), 4);
    ASSERT_EQ(nlPollGroup(group, NL_READ_STATUS, ready, 4, 5000), 1);
    EXPECT_EQ(ready[0], b.server);
    ASSERT_EQ(nlWrite(a.client, "to a", 4), 4);
    ASSERT_TRUE(Eventually([&] { return nlPollGroup(group, NL_READ_STATUS, ready, 4, 0) == 2; }));
    EXPECT_EQ(nlPollGroup(group, NL_READ_STATUS, ready, 1, 0), NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_BUFFER_SIZE);

    // A group id writes to every member.
    NLint clients = nlGroupCreate();
    nlGroupAddSocket(clients, a.client);
    nlGroupAddSocket(clients, b.client);
    EXPECT_EQ(nlWrite(clients, "both", 4), 4);

    EXPECT_FALSE(nlGroupDeleteSocket(group, 9999));
    EXPECT_EQ(nlGetError(), NL_SOCKET_NOT_FOUND);
    nlClose(a.server);  // closed but still a member: polling reports it
    EXPECT_EQ(nlPollGroup(group, NL_READ_STATUS, ready, 4, 0), NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_INVALID_SOCKET);
    EXPECT_TRUE(nlGroupDeleteSocket(group, a.server));
    EXPECT_TRUE(nlGroupDestroy(group));
    EXPECT_EQ(nlPollGroup(group, NL_READ_STATUS, ready, 4, 0), NL_INVALID);
    EXPECT_EQ(nlGetError(), NL_INVALID_GROUP);
}

TEST_F(NlTest, StatisticsWhileSwitchedOn) {
    UdpPair p = ConnectUdpPair();
    nlEnable(NL_SOCKET_STATS);
    nlClear(NL_ALL_STATS);
    ASSERT_EQ(nlWrite(p.client, "12345", 5), 5);
    ASSERT_EQ(nlWrite(p.client, "123", 3), 3);
    char buffer[8];
    NLint got = 0;
    ASSERT_TRUE(Eventually([&] {
        NLint n = nlRead(p.server, buffer, sizeof buffer);
        got += n > 0 ? n : 0;
        return got == 8;
    }));
    EXPECT_EQ(nlGetSocketStat(p.client, NL_PACKETS_SENT), 2);
    EXPECT_EQ(nlGetSocketStat(p.client, NL_BYTES_SENT), 8);
    EXPECT_EQ(nlGetSocketStat(p.server, NL_BYTES_RECEIVED), 8);
    EXPECT_EQ(nlGetInteger(NL_BYTES_SENT), 8);
    EXPECT_EQ(nlGetInteger(NL_HIGH_BYTES_SENT), 8);
    nlDisable(NL_SOCKET_STATS);
    ASSERT_EQ(nlWrite(p.client, "x", 1), 1);
    EXPECT_EQ(nlGetSocketStat(p.client, NL_BYTES_SENT), 8);
}

namespace {
void* Twice(void* p) {
    return reinterpret_cast<void*>(reinterpret_cast<intptr_t>(p) * 2);
}
std::atomic<int> detachedRan{0};
void* CountRun(void*) {
    ++detachedRan;
    return nullptr;
}
}  // namespace

TEST(NlThreads, ThreadsMutexesConditions) {
    HThreadID t = htThreadCreate(Twice, reinterpret_cast<void*>(21), HT_TRUE);
    ASSERT_NE(t, reinterpret_cast<HThreadID>(HT_INVALID));
    void* result = nullptr;
    EXPECT_EQ(htThreadJoin(t, &result), 0);
    EXPECT_EQ(reinterpret_cast<intptr_t>(result), 42);
    EXPECT_EQ(htThreadCreate(CountRun, nullptr, HT_FALSE), nullptr);  // detached: NULL on success
    EXPECT_TRUE(Eventually([] { return detachedRan == 1; }));

    auto start = std::chrono::steady_clock::now();
    htThreadSleep(50);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(45));

    HTmutex m = nullptr;
    ASSERT_EQ(htMutexInit(&m), 0);
    EXPECT_EQ(htMutexLock(&m), 0);
    EXPECT_EQ(htMutexLock(&m), EDEADLK);
    int otherUnlock = 0;
    std::thread([&] { otherUnlock = htMutexUnlock(&m); }).join();
    EXPECT_EQ(otherUnlock, EPERM);
    EXPECT_EQ(htMutexUnlock(&m), 0);
    EXPECT_EQ(htMutexDestroy(&m), 0);
    EXPECT_EQ(m, nullptr);
    EXPECT_EQ(htMutexLock(&m), EINVAL);
    EXPECT_EQ(htMutexLock(nullptr), EINVAL);

    HTcond c = nullptr;
    ASSERT_EQ(htCondInit(&c), 0);
    EXPECT_EQ(htCondWait(&c, 30), ETIMEDOUT);
    std::atomic<bool> waiting{false};
    std::atomic<int> woken{-1};
    std::thread waiter([&] {
        waiting = true;
        woken = htCondWait(&c, 0);
    });
    ASSERT_TRUE(Eventually([&] { return waiting.load(); }));
    // Signal until the waiter is woken (a signal before it waits is lost).
    ASSERT_TRUE(Eventually([&] {
        htCondSignal(&c);
        return woken == 0;
    }));
    waiter.join();
    EXPECT_EQ(htCondDestroy(&c), 0);
    EXPECT_EQ(c, nullptr);
}
