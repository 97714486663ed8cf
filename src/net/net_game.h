// NetGame: the network game record (one per program, on the heap, in
// RuntimeState) and the engine operations the Net* commands are made of.
// The operations take the record as a parameter, so that tests and
// benchmarks can run a host and joiners side by side in one process.
#pragma once
#include <cstdint>
#include <list>
#include <string>

#include "net/net_message.h"
#include "nl/hawkthreads.h"
#include "nl/nl.h"

// LocalPlayer and PlayerRecord are the same node: a player's data and, for
// a local player, its inbox.
struct NetPlayer {
    int32_t socket = -1;  // the host's socket of a PlayerRecord
    // Local players: -1 join not yet sent, -3 join sent, -2 to be
    // discarded, 101 and up the id the host gave.
    int32_t id = -1;
    uint8_t hidden = 0;  // the probe player of NetJoin
    std::string name;    // at most 126 characters
    std::list<NetMessage> inbox;  // oldest first
    // A local player's number in this program, never reused: the main thread
    // finds its player again by it under the lock (the network thread may
    // drop players from the list meanwhile).
    uint32_t key = 0;
};
using LocalPlayer = NetPlayer;
using PlayerRecord = NetPlayer;

constexpr int32_t kIdUnsent = -1;
constexpr int32_t kIdDiscard = -2;
constexpr int32_t kIdWaiting = -3;
constexpr int32_t kFirstPlayerId = 101;
constexpr uint16_t kDefaultNetPort = 27013;
constexpr int kHostSockets = 100;  // the host's socket table (the poll limit)
// What one sender can make a program keep: players per connection on the
// host, unread messages per local player, answers nobody asked for yet.
// More is dropped, as a datagram may be.
constexpr size_t kMaxPlayersPerConnection = 64;
constexpr size_t kInboxLimit = 4096;
constexpr size_t kAnswersLimit = 16;

struct NetGame {
    uint8_t isHost = 0;
    uint8_t netIdle = 0;
    NLsocket listenSocket = -1;
    NLsocket clientSocket = -1;
    std::list<LocalPlayer> localPlayers;
    std::list<PlayerRecord> players;  // the host's table, in join order
    int32_t networkType = NL_IP;
    int32_t connectionType = NL_UNRELIABLE;
    uint8_t stopRequest = 1;
    uint8_t threadRunning = 0;
    HTmutex netLock = nullptr;
    std::list<NetMessage> inQueue;  // read from this program's own connection
    std::list<NetMessage> answers;  // answers (types above 99) for the main thread

    bool holdsLibrary = false;  // this record took one nlInit reference
    int32_t lastSender = 0;     // of the last successful NetReceive
    uint32_t nextKey = 1;       // of the next local player
};

// The record in its initial state (lock initialised), and its release at
// program end: stops the thread, sends a leave for every local player,
// destroys the lock and lets go of the network library.
NetGame* CreateNetGame();
void DestroyNetGame(NetGame* game);

// Sets stopRequest under the lock and sleeps 100 ms at a time until the
// network thread has stopped.
void StopNetThread(NetGame& game);
// Starts the network thread; false when no thread could be started.
bool StartNetThread(NetGame& game);

// The commands' work on a given record (see include/brindle/net.h).
double HostNetGame(NetGame& game, const char* portText);
double JoinNetGame(NetGame& game, const char* host, const char* portText);
double CreateNetPlayer(NetGame& game, const char* name);
double RemoveNetPlayer(NetGame& game, int32_t id);
double SendNetText(NetGame& game, int32_t sender, int32_t recipient, const std::string& text);
bool ReceiveNetText(NetGame& game, int32_t player, std::string& text);
double NetPlayerCountOf(NetGame& game);
double NetPlayerIdOf(NetGame& game, int32_t index);
std::string NetPlayerNameOf(NetGame& game, int32_t id);
std::string NetLocalAddressesOf(NetGame& game);

// Writes one datagram, retrying briefly while the system's buffer is full;
// false when it could not be sent.
bool WriteDatagram(NLsocket socket, const NetMessage& message);

// The network thread's body (net_thread.cpp).
void* RunNetThread(void* game);

// Held lock of a NetGame for a scope.
class NetLockHold {
public:
    explicit NetLockHold(NetGame& game) : game_(game) { htMutexLock(&game_.netLock); }
    ~NetLockHold() { htMutexUnlock(&game_.netLock); }
    NetLockHold(const NetLockHold&) = delete;
    NetLockHold& operator=(const NetLockHold&) = delete;

private:
    NetGame& game_;
};
