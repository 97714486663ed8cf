// Network games: hosting, joining, players, messages and requests. The
// network thread (net_thread.cpp) does the socket work of a running game;
// the main thread's waits for the host are bounded: 250 checks 20 ms apart.
#include "net/net_game.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "lang/number_convert.h"

namespace {

constexpr int kWaitChecks = 250;
constexpr int kWaitStepMs = 20;
constexpr int kStopStepMs = 100;
constexpr size_t kAddressTextLimit = 4096 - 32;

// Checks `done` under the lock every 20 ms, at most 250 times.
template <class Done>
bool WaitForHost(NetGame& g, Done done) {
    for (int i = 0; i < kWaitChecks; ++i) {
        {
            NetLockHold hold(g);
            if (done()) return true;
        }
        htThreadSleep(kWaitStepMs);
    }
    NetLockHold hold(g);
    return done();
}

uint16_t PortFromText(const char* text) {
    double port = std::atof(text ? text : "");
    if (!(port > 0)) return kDefaultNetPort;
    return static_cast<uint16_t>(TruncToInt64(port));  // taken as 16-bit
}

// HawkNL for this record: one nlInit reference, kept until program end, so
// that an HTTP download in between (its own init and shutdown) leaves the
// game's sockets alone.
bool HoldLibrary(NetGame& g) {
    g.networkType = NL_IP;
    g.connectionType = NL_UNRELIABLE;
    if (g.holdsLibrary) return true;
    if (!nlInit()) return false;
    nlSelectNetwork(NL_IP);  // fails harmlessly when already selected
    g.holdsLibrary = true;
    return true;
}

// Ends the game in progress, if any: the thread stops, its sockets close.
void EndCurrentGame(NetGame& g) {
    StopNetThread(g);
    if (g.listenSocket != -1) nlClose(g.listenSocket);
    if (g.clientSocket != -1) nlClose(g.clientSocket);
    g.listenSocket = g.clientSocket = -1;
    g.isHost = 0;
    NetLockHold hold(g);
    g.inQueue.clear();
    g.answers.clear();
}

// The (re)initialisation before hosting or joining.
bool PrepareNewGame(NetGame& g) {
    EndCurrentGame(g);
    g.netIdle = 1;
    return HoldLibrary(g);
}

// A new local player at the end of the list; its key. Called under the lock.
uint32_t AddLocalPlayer(NetGame& g, uint8_t hidden, std::string name) {
    LocalPlayer p;
    p.hidden = hidden;
    p.name = std::move(name);
    p.key = g.nextKey++;
    g.localPlayers.push_back(std::move(p));
    return g.localPlayers.back().key;
}

// The local player with this key, or null once it is gone. Under the lock.
LocalPlayer* FindLocalPlayer(NetGame& g, uint32_t key) {
    for (LocalPlayer& p : g.localPlayers)
        if (p.key == key) return &p;
    return nullptr;
}

// Waits for the host to give the local player with this key its id; the
// id, or -1 after 5 s, when the player is marked to be discarded.
int32_t WaitForId(NetGame& g, uint32_t key) {
    int32_t id = -1;
    if (WaitForHost(g, [&] {
            LocalPlayer* p = FindLocalPlayer(g, key);
            id = p ? p->id : -1;
            return id >= 0;
        }))
        return id;
    NetLockHold hold(g);
    if (LocalPlayer* p = FindLocalPlayer(g, key)) p->id = kIdDiscard;
    return -1;
}

// A request to the host from the newest local player that is not being
// discarded; the first answer of the same type, or false after 5 s (or
// without a local player).
bool Ask(NetGame& g, uint8_t type, const std::string& payload, NetMessage& answer) {
    int32_t from = 0;
    {
        NetLockHold hold(g);
        auto newest = std::find_if(g.localPlayers.rbegin(), g.localPlayers.rend(),
                                   [](const LocalPlayer& p) { return p.id != kIdDiscard; });
        if (newest == g.localPlayers.rend()) return false;
        from = newest->id;
        g.answers.clear();
    }
    if (!WriteDatagram(g.clientSocket, NetMessage{type, kNetToHost, from, payload})) return false;
    return WaitForHost(g, [&] {
        for (auto it = g.answers.begin(); it != g.answers.end(); ++it) {
            if (it->type != type) continue;
            answer = std::move(*it);
            g.answers.erase(it);
            return true;
        }
        return false;
    });
}

}  // namespace

bool WriteDatagram(NLsocket socket, const NetMessage& message) {
    if (socket == -1) return false;
    std::vector<uint8_t> bytes = WriteNetMessage(message);
    for (int attempt = 0; attempt < 100; ++attempt) {
        NLint n = nlWrite(socket, bytes.data(), static_cast<NLint>(bytes.size()));
        if (n == static_cast<NLint>(bytes.size())) return true;
        if (n < 0) return false;
        htThreadSleep(1);  // the system's send buffer is full for now
    }
    return false;
}

NetGame* CreateNetGame() {
    NetGame* g = new NetGame;
    htMutexInit(&g->netLock);
    return g;
}

void DestroyNetGame(NetGame* g) {
    if (!g) return;
    StopNetThread(*g);
    g->netIdle = 0;
    std::vector<int32_t> ids;
    {
        NetLockHold hold(*g);
        for (const LocalPlayer& p : g->localPlayers) ids.push_back(p.id);
    }
    for (int32_t id : ids) WriteDatagram(g->clientSocket, NetMessage{kNetLeave, kNetToHost, id, {}});
    htMutexDestroy(&g->netLock);
    if (g->holdsLibrary) nlShutdown();
    delete g;
}

void StopNetThread(NetGame& g) {
    {
        NetLockHold hold(g);
        g.stopRequest = 1;
    }
    for (;;) {
        {
            NetLockHold hold(g);
            if (!g.threadRunning) return;
        }
        htThreadSleep(kStopStepMs);
    }
}

bool StartNetThread(NetGame& g) {
    {
        // Set here, not by the thread, so that a stop requested before the
        // thread first runs is not lost.
        NetLockHold hold(g);
        g.stopRequest = 0;
        g.threadRunning = 1;
    }
    if (htThreadCreate(RunNetThread, &g, HT_FALSE) != reinterpret_cast<HThreadID>(HT_INVALID)) return true;
    NetLockHold hold(g);
    g.threadRunning = 0;
    g.stopRequest = 1;
    return false;
}

double HostNetGame(NetGame& g, const char* portText) {
    if (!PrepareNewGame(g)) return 0;
    uint16_t port = PortFromText(portText);
    g.netIdle = 0;
    g.listenSocket = nlOpen(port, static_cast<NLenum>(g.connectionType));
    if (g.listenSocket == NL_INVALID) {
        g.listenSocket = -1;
        return 0;
    }
    if (!nlListen(g.listenSocket)) {
        EndCurrentGame(g);
        return 0;
    }
    // The host joins its own game like every other program.
    g.clientSocket = nlOpen(0, static_cast<NLenum>(g.connectionType));
    NLaddress self;
    if (g.clientSocket == NL_INVALID || !nlGetLocalAddr(g.clientSocket, &self) || !nlSetAddrPort(&self, port) ||
        !nlConnect(g.clientSocket, &self)) {
        if (g.clientSocket == NL_INVALID) g.clientSocket = -1;
        EndCurrentGame(g);
        return 0;
    }
    if (!StartNetThread(g)) {
        EndCurrentGame(g);
        return 0;
    }
    g.isHost = 1;
    return 1;
}

double JoinNetGame(NetGame& g, const char* host, const char* portText) {
    uint16_t port = PortFromText(portText);
    if (!PrepareNewGame(g)) return 0;
    g.netIdle = 0;
    g.clientSocket = nlOpen(0, static_cast<NLenum>(g.connectionType));
    if (g.clientSocket == NL_INVALID) {
        g.clientSocket = -1;
        return 0;
    }
    NLaddress to;
    bool found = host && host[0] ? nlGetAddrFromName(host, &to) : nlGetLocalAddr(g.clientSocket, &to);
    if (!found || !nlSetAddrPort(&to, port) || !nlConnect(g.clientSocket, &to)) {
        EndCurrentGame(g);
        return 0;
    }
    g.isHost = 0;
    if (!StartNetThread(g)) {
        EndCurrentGame(g);
        return 0;
    }

    // A hidden probe player: its id shows that the host is there, and an
    // alive request that it answers.
    uint32_t probe;
    {
        NetLockHold hold(g);
        probe = AddLocalPlayer(g, 1, {});
    }
    bool answered = false;
    int32_t probeId = WaitForId(g, probe);
    if (probeId >= 0) {
        NetMessage answer;
        answered = Ask(g, kNetAliveRequest, {}, answer);
        WriteDatagram(g.clientSocket, NetMessage{kNetLeave, kNetToHost, probeId, {}});
        // Its work is done: without it, its inbox would collect every
        // message to all players for the rest of the run.
        NetLockHold hold(g);
        g.localPlayers.remove_if([&](const LocalPlayer& p) { return p.key == probe; });
    }
    if (answered) return 1;
    EndCurrentGame(g);
    g.netIdle = 0;
    return 0;
}

double CreateNetPlayer(NetGame& g, const char* name) {
    uint32_t key;
    {
        NetLockHold hold(g);
        key = AddLocalPlayer(g, 0, PlayerName(name ? name : "", name ? strlen(name) : 0));
    }
    return WaitForId(g, key);
}

double RemoveNetPlayer(NetGame& g, int32_t id) {
    if (id >= 0) {
        // Gone at once: it collects no more messages, and requests go out
        // from the newest player still there.
        NetLockHold hold(g);
        g.localPlayers.remove_if([&](const LocalPlayer& p) { return p.id == id; });
    }
    WriteDatagram(g.clientSocket, NetMessage{kNetLeave, kNetToHost, id, {}});
    return 1;
}

double SendNetText(NetGame& g, int32_t sender, int32_t recipient, const std::string& text) {
    if (text.size() > static_cast<size_t>(kNetMaxPayload)) return 0;  // a message cannot carry it
    if (recipient == 0) recipient = kNetToAll;
    return WriteDatagram(g.clientSocket, NetMessage{kNetText, recipient, sender, text}) ? 1 : 0;
}

bool ReceiveNetText(NetGame& g, int32_t player, std::string& text) {
    NetLockHold hold(g);
    for (LocalPlayer& p : g.localPlayers) {
        if (p.id != player || p.inbox.empty()) continue;
        NetMessage& m = p.inbox.front();
        // The payload as text: up to its first NUL.
        text.assign(m.payload.c_str());
        g.lastSender = m.sender;
        p.inbox.pop_front();
        return true;
    }
    return false;
}

double NetPlayerCountOf(NetGame& g) {
    NetMessage answer;
    return Ask(g, kNetCountRequest, {}, answer) ? PayloadInt32(answer.payload) : 0;
}

double NetPlayerIdOf(NetGame& g, int32_t index) {
    NetMessage answer;
    return Ask(g, kNetIdRequest, Int32Payload(index), answer) ? PayloadInt32(answer.payload) : 0;
}

std::string NetPlayerNameOf(NetGame& g, int32_t id) {
    NetMessage answer;
    if (!Ask(g, kNetNameRequest, Int32Payload(id), answer)) return {};
    return PlayerName(answer.payload.c_str(), answer.payload.size());
}

std::string NetLocalAddressesOf(NetGame& g) {
    // Initialises the library when needed, without ending a running game.
    if (!HoldLibrary(g)) return {};
    // A probe socket shows that sockets can be opened at all; on a port of
    // the system's choice, so that it never collides with a game hosted on
    // the default port.
    NLsocket probe = nlOpen(0, static_cast<NLenum>(g.connectionType));
    if (probe == NL_INVALID) return {};
    NLint count = 0;
    NLaddress* all = nlGetAllLocalAddr(&count);
    std::string text;
    for (NLint i = 0; all && i < count; ++i) {
        char one[NL_MAX_STRING_LENGTH];
        if (!nlAddrToString(&all[i], one)) continue;
        size_t add = strlen(one) + (text.empty() ? 0 : 1);
        if (text.size() + add > kAddressTextLimit) break;
        if (!text.empty()) text += '|';
        text += one;
    }
    nlClose(probe);
    return text;
}
