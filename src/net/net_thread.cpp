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
#include <chrono>
#include <cstdint>
#include <vector>

#include "net/net_game.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCycleMs = 10;
// Each cycle reads everything waiting, up to these bounds, so that junk
// costs no cycles of its own and a flood cannot keep the thread from the
// game's messages.
constexpr int kMaxAcceptsPerCycle = 256;  // datagrams at the listening socket
constexpr int kMaxReadsPerSocket = 64;    // per connection: a busy sender cannot stall the others
constexpr int kMaxOwnReadsPerCycle = 512; // this program's own connection
constexpr int kKeepAliveCycles = 100;     // an empty datagram to every connection about once a second
// A connection that has sent no valid join this long after it was set up
// gives its place in the table back.
constexpr auto kJoinLimit = std::chrono::seconds(5);

bool ConnectionGone(NLenum err) { return err == NL_SOCK_DISCONNECT || err == NL_MESSAGE_END; }

// Something waits to be read: a datagram (perhaps an empty one, which
// nlRead cannot tell from nothing) or an error the next read reports.
bool Pending(NLsocket s) { return nlPollSocket(s, NL_READ_STATUS, 0) == NL_TRUE; }

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

// Step 4: this program's own connection, everything waiting (up to the
// bound); what is not a message is passed over.
void ReadOwnConnection(NetGame& g) {
    uint8_t buffer[kNetReadSize];
    std::list<NetMessage> got;
    for (int i = 0; i < kMaxOwnReadsPerCycle; ++i) {
        if (i > 0 && !Pending(g.clientSocket)) break;
        NLint n = nlRead(g.clientSocket, buffer, kNetReadSize);
        if (n < 0) break;
        NetMessage m;
        if (n > 0 && ReadNetMessage(buffer, static_cast<size_t>(n), m)) got.push_back(std::move(m));
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
                if (addressed && p.inbox.size() < kInboxLimit) p.inbox.push_back(m);
            }
        } else if (m.sender == kNetFromHost) {
            if (m.type > 99) {
                if (g.answers.size() < kAnswersLimit) g.answers.push_back(std::move(m));
            } else if (m.type == kNetWelcome && m.recipient >= kFirstPlayerId) {
                // Only ids a host hands out: a lower one (-2 discards the
                // player) is no answer to a join.
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
// Messages count only from the connection of the player they name as their
// sender; one connection per remote address and port.
class Relay {
public:
    explicit Relay(NetGame& g) : g_(g) {
        group_ = nlGroupCreate();
        // This program's own connection comes from the client socket's
        // address; it joins when the game creates a player, however late.
        if (g_.listenSocket != -1 && !nlGetLocalAddr(g_.clientSocket, &self_)) self_ = NLaddress{};
    }

    // Step 5a, for every datagram waiting at the listening socket (junk
    // included: each is consumed by one accept). False when the listening
    // socket can no longer be used.
    bool Accept() {
        for (int i = 0; i < kMaxAcceptsPerCycle && Pending(g_.listenSocket); ++i) {
            NLsocket s = nlAcceptConnection(g_.listenSocket);
            if (s == NL_INVALID) {
                NLenum err = nlGetError();
                if (err == NL_SYSTEM_ERROR || err == NL_NOT_LISTEN) return false;
                continue;
            }
            NLaddress remote{};
            nlGetRemoteAddr(s, &remote);
            bool known = std::any_of(table_.begin(), table_.end(),
                                     [&](const Connection& c) { return nlAddrCompare(&c.remote, &remote); });
            // A repeated request keeps the first connection; no room: this
            // one gets no id, the others go on.
            if (known || static_cast<int>(table_.size()) >= kHostSockets) {
                nlClose(s);
                continue;
            }
            table_.push_back(Connection{s, remote, Clock::now(), nlAddrCompare(&remote, &self_) == NL_TRUE});
            nlGroupAddSocket(group_, s);
        }
        return true;
    }

    // Step 5b: what the connections sent, in the order the poll lists them,
    // everything waiting on each (up to the bound). Right after the
    // keep-alives every connection is read, polled ready or not: a refusal
    // does not make a socket readable everywhere (Wine).
    void Read() {
        NLsocket ready[kHostSockets];
        NLint n = nlPollGroup(group_, NL_READ_STATUS, ready, kHostSockets, 0);
        if (cycles_ == 0) {
            n = 0;
            for (const Connection& c : table_) ready[n++] = c.socket;
        }
        uint8_t buffer[kNetReadSize];
        for (NLint i = 0; i < n; ++i) {
            for (int k = 0; k < kMaxReadsPerSocket; ++k) {
                if (k > 0 && !Pending(ready[i])) break;
                NLint got = nlRead(ready[i], buffer, kNetReadSize);
                if (got < 0) {
                    if (ConnectionGone(nlGetError())) gone_.push_back(ready[i]);
                    break;
                }
                NetMessage m;
                if (got == 0 || !ReadNetMessage(buffer, static_cast<size_t>(got), m)) continue;
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
            for (const Connection& c : table_)
                if (nlWrite(c.socket, "", 0) == NL_INVALID && ConnectionGone(nlGetError())) gone_.push_back(c.socket);
        }
        Clock::time_point now = Clock::now();
        for (const Connection& c : table_)
            if (!c.joined && now - c.opened > kJoinLimit) gone_.push_back(c.socket);
        DropLostConnections();
    }

    // The game is over: close every connection and forget its players.
    void Close() {
        for (const Connection& c : table_) nlClose(c.socket);
        table_.clear();
        if (group_ != NL_INVALID) nlGroupDestroy(group_);
        NetLockHold hold(g_);
        g_.players.clear();
    }

private:
    struct Connection {
        NLsocket socket;
        NLaddress remote;
        Clock::time_point opened;
        bool joined;  // sent a valid join, or is this program's own
    };
    struct Incoming {
        NetMessage message;
        NLsocket origin;
    };

    void Send(NLsocket s, const NetMessage& m) {
        if (!WriteDatagram(s, m) && ConnectionGone(nlGetError())) gone_.push_back(s);
    }

    // The player with this id has its record on this connection. Under the
    // lock.
    bool SpeaksFor(int32_t id, NLsocket origin) const {
        return std::any_of(g_.players.begin(), g_.players.end(), [&](const PlayerRecord& p) {
            return p.id == id && p.socket == static_cast<int32_t>(origin);
        });
    }

    void Handle(const NetMessage& m, NLsocket origin) {
        if (m.type == kNetText) {
            std::vector<NLsocket> to;
            {
                NetLockHold hold(g_);
                if (!SpeaksFor(m.sender, origin)) return;
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
        if (m.type == kNetJoin) {
            Join(m, origin);
            return;
        }
        if (m.type == kNetLeave) {
            NetLockHold hold(g_);
            g_.players.remove_if([&](const PlayerRecord& p) {
                return p.id == m.sender && p.socket == static_cast<int32_t>(origin);
            });
            return;
        }
        std::string answer;
        {
            NetLockHold hold(g_);
            if (!SpeaksFor(m.sender, origin)) return;
            switch (m.type) {
                case kNetCountRequest: {
                    int32_t count = 0;
                    for (const PlayerRecord& p : g_.players) count += p.hidden ? 0 : 1;
                    answer = Int32Payload(count);
                    break;
                }
                case kNetIdRequest: {
                    bool present = false;
                    int32_t n = PayloadInt32(m.payload, &present);
                    int32_t id = 0;
                    if (present && n >= 0) {
                        for (const PlayerRecord& p : g_.players) {
                            if (p.hidden) continue;
                            if (n-- == 0) {
                                id = p.id;
                                break;
                            }
                        }
                    }
                    answer = Int32Payload(id);
                    break;
                }
                case kNetNameRequest: {
                    bool present = false;
                    int32_t id = PayloadInt32(m.payload, &present);
                    for (const PlayerRecord& p : g_.players)
                        if (present && p.id == id) {
                            answer = p.name;
                            break;
                        }
                    break;
                }
                case kNetAliveRequest:
                    answer = Int32Payload(1);
                    break;
                default:
                    return;
            }
        }
        Send(origin, NetMessage{m.type, m.sender, kNetFromHost, std::move(answer)});
    }

    // A join carries the whole player data, or it is refused; so is one
    // over a connection's share of players.
    void Join(const NetMessage& m, NLsocket origin) {
        PlayerData data;
        if (m.payload.size() != static_cast<size_t>(kPlayerDataSize) || !ReadPlayerData(m.payload, data)) return;
        for (Connection& c : table_)
            if (c.socket == origin) c.joined = true;
        int32_t id;
        {
            NetLockHold hold(g_);
            size_t behind = std::count_if(g_.players.begin(), g_.players.end(), [&](const PlayerRecord& p) {
                return p.socket == static_cast<int32_t>(origin);
            });
            // Ids are never reused: once they run out, nobody joins.
            if (behind >= kMaxPlayersPerConnection || nextId_ == INT32_MAX) return;
            id = nextId_++;
            PlayerRecord record;
            record.socket = static_cast<int32_t>(origin);
            record.id = id;
            record.hidden = data.hidden;
            record.name = data.name;
            g_.players.push_back(std::move(record));
        }
        Send(origin, NetMessage{kNetWelcome, id, kNetFromHost, {}});
    }

    // A connection that is gone: out of the group and the table, closed,
    // and every player behind it removed.
    void DropLostConnections() {
        for (NLsocket s : gone_) {
            auto it = std::find_if(table_.begin(), table_.end(), [&](const Connection& c) { return c.socket == s; });
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
    NLaddress self_{};
    std::vector<Connection> table_;
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
