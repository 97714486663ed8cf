// The network thread: one per running network game, a cycle every 10 ms.
//
// Each program (the host included) talks to the host's relay through its
// own connection, clientSocket. Messages read from that connection are this
// program's mail: user messages go to the inboxes of its local players,
// welcomes and answers to the main thread. The host also reads the sockets
// of every connection to it (its own included); those messages are relayed
// only, never delivered locally, so that every program, the host too,
// receives each message once, through its own connection.
#include <algorithm>
#include <vector>

#include "net/net_game.h"

namespace {

constexpr int kCycleMs = 10;
constexpr int kMaxAcceptsPerCycle = 16;
constexpr int kMaxReadsPerSocket = 64;  // per cycle: a busy sender cannot stall the others
constexpr int kKeepAliveCycles = 100;   // an empty datagram to every connection about once a second

bool ConnectionGone(NLenum err) { return err == NL_SOCK_DISCONNECT || err == NL_MESSAGE_END; }

// Step 3: joins for new local players, leaves for discarded ones. A join is
// marked sent only once written, so a connection still being set up
// announces its players a cycle later instead of losing them.
void AnnounceLocalPlayers(NetGame& g) {
    std::vector<NetMessage> leaves, joins;
    {
        NetLockHold hold(g);
        for (auto it = g.localPlayers.begin(); it != g.localPlayers.end();) {
            if (it->id == kIdDiscard) {
                leaves.push_back(NetMessage{kNetLeave, kNetToHost, kIdDiscard, {}});
                it = g.localPlayers.erase(it);
                continue;
            }
            if (it->id == kIdUnsent) {
                PlayerData data;
                data.hidden = it->hidden;
                data.name = it->name;
                joins.push_back(NetMessage{kNetJoin, kNetToHost, kIdUnsent, WritePlayerData(data)});
            }
            ++it;
        }
    }
    for (const NetMessage& m : leaves) WriteDatagram(g.clientSocket, m);
    size_t sent = 0;
    for (const NetMessage& m : joins) {
        if (!WriteDatagram(g.clientSocket, m)) break;
        ++sent;
    }
    if (sent == 0) return;
    NetLockHold hold(g);
    for (LocalPlayer& p : g.localPlayers) {
        if (sent == 0) break;
        if (p.id == kIdUnsent) {
            p.id = kIdWaiting;
            --sent;
        }
    }
}

// Step 4: this program's own connection, until nothing valid is left.
void ReadOwnConnection(NetGame& g) {
    uint8_t buffer[kNetReadSize];
    std::list<NetMessage> got;
    for (;;) {
        NLint n = nlRead(g.clientSocket, buffer, kNetReadSize);
        NetMessage m;
        if (n <= 0 || !ReadNetMessage(buffer, static_cast<size_t>(n), m)) break;
        got.push_back(std::move(m));
    }
    if (got.empty()) return;
    NetLockHold hold(g);
    g.inQueue.splice(g.inQueue.end(), got);
}

// Steps 6, 8 and 9 for the own connection: user messages into the inboxes
// of the addressed local players (every player with an id for -1); from
// the host, answers to the main thread and welcomes to the first player
// waiting for its id; the rest is dropped.
void DeliverOwnMessages(NetGame& g) {
    NetLockHold hold(g);
    for (NetMessage& m : g.inQueue) {
        if (m.type == kNetText) {
            for (LocalPlayer& p : g.localPlayers) {
                bool addressed = m.recipient == kNetToAll ? p.id >= 0 : p.id == m.recipient;
                if (addressed) p.inbox.push_back(m);
            }
        } else if (m.sender == kNetFromHost) {
            if (m.type > 99) {
                g.answers.push_back(std::move(m));
            } else if (m.type == kNetWelcome) {
                for (LocalPlayer& p : g.localPlayers) {
                    if (p.id == kIdWaiting) {
                        p.id = m.recipient;
                        break;
                    }
                }
            }
        }
    }
    g.inQueue.clear();
}

// The host's relay: the connections to it and the players behind them.
class Relay {
public:
    explicit Relay(NetGame& g) : g_(g) { group_ = nlGroupCreate(); }

    // Step 5a. False when the listening socket can no longer be used.
    bool Accept() {
        for (int i = 0; i < kMaxAcceptsPerCycle; ++i) {
            NLsocket s = nlAcceptConnection(g_.listenSocket);
            if (s == NL_INVALID) {
                NLenum err = nlGetError();
                return !(err == NL_SYSTEM_ERROR || err == NL_NOT_LISTEN);
            }
            if (static_cast<int>(table_.size()) >= kHostSockets) {
                nlClose(s);  // no room: this one gets no id, the others go on
                continue;
            }
            table_.push_back(s);
            nlGroupAddSocket(group_, s);
        }
        return true;
    }

    // Step 5b: what the connections sent, in the order the poll lists them.
    // Right after the keep-alives every connection is read, polled ready or
    // not: a refusal does not make a socket readable everywhere (Wine).
    void Read() {
        NLsocket ready[kHostSockets];
        NLint n = nlPollGroup(group_, NL_READ_STATUS, ready, kHostSockets, 0);
        if (cycles_ == 0) {
            n = static_cast<NLint>(table_.size());
            std::copy(table_.begin(), table_.end(), ready);
        }
        uint8_t buffer[kNetReadSize];
        for (NLint i = 0; i < n; ++i) {
            for (int k = 0; k < kMaxReadsPerSocket; ++k) {
                NLint got = nlRead(ready[i], buffer, kNetReadSize);
                if (got < 0) {
                    if (ConnectionGone(nlGetError())) gone_.push_back(ready[i]);
                    break;
                }
                if (got == 0) break;
                NetMessage m;
                if (!ReadNetMessage(buffer, static_cast<size_t>(got), m)) continue;
                // Welcomes and answers come from the host alone: a joiner
                // sending one (or anything with the host's sender 0, joins
                // apart, whose sender the host sets) is forging it.
                if (m.type == kNetWelcome || (m.sender == kNetFromHost && m.type != kNetJoin)) continue;
                queue_.push_back(Incoming{std::move(m), ready[i]});
            }
        }
    }

    // Step 7 over everything read from the connections this cycle.
    void Process() {
        for (Incoming& in : queue_) Handle(in.message, in.origin);
        queue_.clear();
        if (++cycles_ >= kKeepAliveCycles) {
            cycles_ = 0;
            // A program that ended without a leave answers this with a
            // refusal, which the next read reports as a lost connection.
            for (NLsocket s : table_)
                if (nlWrite(s, "", 0) == NL_INVALID && ConnectionGone(nlGetError())) gone_.push_back(s);
        }
        DropLostConnections();
    }

    // The game is over: close every connection and forget its players.
    void Close() {
        for (NLsocket s : table_) nlClose(s);
        table_.clear();
        if (group_ != NL_INVALID) nlGroupDestroy(group_);
        NetLockHold hold(g_);
        g_.players.clear();
    }

private:
    struct Incoming {
        NetMessage message;
        NLsocket origin;
    };

    void Send(NLsocket s, const NetMessage& m) {
        if (!WriteDatagram(s, m) && ConnectionGone(nlGetError())) gone_.push_back(s);
    }

    void Answer(int32_t requester, uint8_t type, std::string payload) {
        NLsocket s = -1;
        {
            NetLockHold hold(g_);
            for (const PlayerRecord& p : g_.players)
                if (p.id == requester) {
                    s = p.socket;
                    break;
                }
        }
        if (s != -1) Send(s, NetMessage{type, requester, kNetFromHost, std::move(payload)});
    }

    void Handle(const NetMessage& m, NLsocket origin) {
        if (m.type == kNetText) {
            std::vector<NLsocket> to;
            {
                NetLockHold hold(g_);
                for (const PlayerRecord& p : g_.players) {
                    if (m.recipient == kNetToAll) {
                        // Once per connection: the program there hands it
                        // to each of its players.
                        if (std::find(to.begin(), to.end(), p.socket) == to.end()) to.push_back(p.socket);
                    } else if (p.id == m.recipient) {
                        to.push_back(p.socket);
                        break;
                    }
                }
            }
            for (NLsocket s : to) Send(s, m);
            return;
        }
        if (m.recipient != kNetToHost) return;
        switch (m.type) {
            case kNetJoin: {
                PlayerData data;
                if (!ReadPlayerData(m.payload, data)) return;
                int32_t id = nextId_++;
                {
                    NetLockHold hold(g_);
                    PlayerRecord record;
                    record.socket = static_cast<int32_t>(origin);
                    record.id = id;
                    record.hidden = data.hidden;
                    record.name = data.name;
                    g_.players.push_back(std::move(record));
                }
                Send(origin, NetMessage{kNetWelcome, id, kNetFromHost, {}});
                return;
            }
            case kNetLeave: {
                NetLockHold hold(g_);
                g_.players.remove_if([&](const PlayerRecord& p) { return p.id == m.sender; });
                return;
            }
            case kNetCountRequest: {
                int32_t count = 0;
                {
                    NetLockHold hold(g_);
                    for (const PlayerRecord& p : g_.players) count += p.hidden ? 0 : 1;
                }
                Answer(m.sender, m.type, Int32Payload(count));
                return;
            }
            case kNetIdRequest: {
                bool present = false;
                int32_t n = PayloadInt32(m.payload, &present);
                int32_t id = 0;
                if (present && n >= 0) {
                    NetLockHold hold(g_);
                    for (const PlayerRecord& p : g_.players) {
                        if (p.hidden) continue;
                        if (n-- == 0) {
                            id = p.id;
                            break;
                        }
                    }
                }
                Answer(m.sender, m.type, Int32Payload(id));
                return;
            }
            case kNetNameRequest: {
                bool present = false;
                int32_t id = PayloadInt32(m.payload, &present);
                std::string name;
                if (present) {
                    NetLockHold hold(g_);
                    for (const PlayerRecord& p : g_.players)
                        if (p.id == id) {
                            name = p.name;
                            break;
                        }
                }
                Answer(m.sender, m.type, name);
                return;
            }
            case kNetAliveRequest:
                Answer(m.sender, m.type, Int32Payload(1));
                return;
        }
    }

    // A connection that is gone: out of the group and the table, closed,
    // and every player behind it removed.
    void DropLostConnections() {
        for (NLsocket s : gone_) {
            auto it = std::find(table_.begin(), table_.end(), s);
            if (it == table_.end()) continue;
            table_.erase(it);
            nlGroupDeleteSocket(group_, s);
            nlClose(s);
            NetLockHold hold(g_);
            g_.players.remove_if([&](const PlayerRecord& p) { return p.socket == static_cast<int32_t>(s); });
        }
        gone_.clear();
    }

    NetGame& g_;
    NLint group_ = NL_INVALID;
    std::vector<NLsocket> table_;
    std::vector<NLsocket> gone_;
    std::vector<Incoming> queue_;
    int32_t nextId_ = kFirstPlayerId;
    int cycles_ = 0;
};

}  // namespace

void* RunNetThread(void* data) {
    NetGame& g = *static_cast<NetGame*>(data);
    bool hosting = g.listenSocket != -1;
    Relay relay(g);
    for (;;) {
        {
            NetLockHold hold(g);
            if (g.stopRequest) break;
        }
        AnnounceLocalPlayers(g);
        ReadOwnConnection(g);
        if (hosting) {
            if (!relay.Accept()) {
                // The listening socket failed: this game is over.
                NetLockHold hold(g);
                g.stopRequest = 1;
                g.netIdle = 0;
                break;
            }
            relay.Read();
        }
        DeliverOwnMessages(g);
        if (hosting) relay.Process();
        htThreadSleep(kCycleMs);
    }
    relay.Close();
    NetLockHold hold(g);
    g.threadRunning = 0;
    g.stopRequest = 1;
    return nullptr;
}
