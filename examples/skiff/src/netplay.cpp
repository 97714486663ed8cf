// Two players over the network. One program hosts, the other joins by
// address; each creates one player. The joiner says "HELLO name" to
// everyone until the host answers "WELCOME level name". Then every frame
// each side sends its skiff and shots ("S ..."); the host also sends the
// snappers, pickups, score and sounds ("W ..."), and the joiner the
// snappers it sank and the pickups it took ("S ... K ... G ..."), which the
// host applies. "BYE" says a player left; a partner not heard from for
// four seconds has left too.
#include "skiff.h"

namespace skiff {

struct Partner {
    bool host = false;
    RtString me, peer;  // player ids as text
    std::string name;
    double heard = 0;   // ElapsedTime of the last message from the partner
    bool said = false;  // said BYE
    std::vector<Shot> shots;
    std::vector<int> kills, claims;  // the joiner's, sent a few times each
    int repeats = 0;
};

namespace {
constexpr double kSilentMs = 4000;

// A frame with a few centred lines, for the lobby and the waits.
void Notice(const std::string& a, const std::string& b, const std::string& c) {
    DrawSprite(kTitle, 0, 0);
    Banner(a);
    CentreText(b, 300, kFontText);
    CentreText(c, 330, kFontText);
    ShowFrame();
}

RtString Num(double value) { return FormatNumber(0, 1, value); }

struct Words {
    StringArray items;
    int count = 0, at = 0;
    explicit Words(const RtString& text) { count = int(SplitText(text, items, " ")); }
    bool More() const { return at < count; }
    RtString Text() { return at < count ? items(at++) : RtString(""); }
    double Number() { return TextToNumber(Text()); }
    // A count read from the message, never more than the words left.
    int Count(int most) {
        int n = int(Number());
        return n < 0 ? 0 : n > most ? most : n;
    }
};

bool Waiting(const Partner& p) { return p.peer == ""; }

std::string PlayerName() { return options.name.empty() ? "Skipper" : options.name; }
}  // namespace

bool HostGame(Partner*& partner) {
    RtString port = RtString(options.port);
    // The addresses first: listing them starts the network library afresh,
    // which would stop a game already hosted.
    RtString addresses = NetLocalAddresses();
    Notice("HOSTING", "Starting a game on port " + std::to_string(options.port), "");
    if (NetHost(port) == 0) {
        Log("host failed on port " + std::to_string(options.port));
        return false;
    }
    double id = NetCreatePlayer(PlayerName().c_str());
    if (id < 0) return false;
    Partner* p = new Partner;
    p->host = true;
    p->me = RtString(id);
    Log("hosting on port " + std::to_string(options.port) + " as player " + p->me.Text());
    while (Waiting(*p)) {
        for (RtString m = NetReceive(p->me); m != ""; m = NetReceive(p->me)) {
            Words w(m);
            if (w.Text() != "HELLO" || NetLastSender() == p->me) continue;
            p->peer = NetLastSender();
            p->name = MidText(m, 6, 40).Text();
        }
        ReadInputEdges();
        if (Pressed(kEsc)) {
            delete p;
            return false;
        }
        Notice("WAITING", "for a partner on port " + std::to_string(options.port),
               std::string(ReplaceText(addresses, "|", " ").Text()).substr(0, 38));
    }
    NetSend(p->me, p->peer, RtString("WELCOME 1 ") + PlayerName().c_str());
    p->heard = ElapsedTime();
    Log("partner joined " + p->name);
    partner = p;
    return true;
}

bool JoinGame(Partner*& partner, const std::string& address) {
    Notice("JOINING", address + " port " + std::to_string(options.port), "");
    if (NetJoin(address.c_str(), RtString(options.port)) == 0) {
        Log("join failed: no game at " + address);
        return false;
    }
    double id = NetCreatePlayer(PlayerName().c_str());
    if (id < 0) return false;
    Partner* p = new Partner;
    p->me = RtString(id);
    Log("joined " + address + " as player " + p->me.Text());
    double start = ElapsedTime(), said = -1000;
    while (Waiting(*p)) {
        if (ElapsedTime() - said > 500) {
            NetSend(p->me, "0", RtString("HELLO ") + PlayerName().c_str());
            said = ElapsedTime();
        }
        for (RtString m = NetReceive(p->me); m != ""; m = NetReceive(p->me)) {
            Words w(m);
            if (w.Text() != "WELCOME" || NetLastSender() == p->me) continue;
            p->peer = NetLastSender();
            w.Number();
            p->name = w.Text().Text();
        }
        ReadInputEdges();
        if (Pressed(kEsc) || ElapsedTime() - start > 10000) {
            delete p;
            return false;
        }
        Notice("JOINING", "waiting for the host to answer", "");
    }
    p->heard = ElapsedTime();
    Log("partner joined " + p->name);
    partner = p;
    return true;
}

int Exchange(Partner& p, World& world, int me) {
    int other = 1 - me;
    const Skiff& s = world.skiffs[me];
    RtString out = RtString("S ") + Num(s.x) + " " + Num(s.y) + " " + s.heading + " " + int(s.alive) + " " +
                   s.safeTicks + " " + s.lives + " " + int(world.shots.size());
    for (const Shot& shot : world.shots)
        out = out + " " + Num(shot.x) + " " + Num(shot.y) + " " + Num(shot.dx) + " " + Num(shot.dy);
    if (!p.host) {
        // Claims are sent with the next few frames, in case one is lost.
        if (!world.kills.empty() || !world.claims.empty()) p.repeats = 5;
        for (int k : world.kills) p.kills.push_back(k);
        for (int c : world.claims) p.claims.push_back(c);
        world.kills.clear();
        world.claims.clear();
        out = out + " " + int(p.kills.size());
        for (int k : p.kills) out = out + " " + k;
        out = out + " " + int(p.claims.size());
        for (int c : p.claims) out = out + " " + c;
        if (p.repeats > 0 && --p.repeats == 0) {
            p.kills.clear();
            p.claims.clear();
        }
    }
    NetSend(p.me, p.peer, out);
    if (p.host) {
        RtString w = RtString("W ") + world.level + " " + world.score + " " + world.clearTicks + " " +
                     world.overTicks + " ";
        for (const Pickup& k : world.pickups) w = w + (k.live ? "1" : "0");
        w = w + " " + int(world.snappers.size());
        for (const Snapper& n : world.snappers) w = w + " " + n.id + " " + Num(n.x) + " " + Num(n.y);
        w = w + " " + int(world.events.size());
        for (const Event& e : world.events) w = w + " " + int(e.sound) + " " + Num(e.x);
        NetSend(p.me, p.peer, w);
    }

    int nextLevel = 0;
    for (RtString m = NetReceive(p.me); m != ""; m = NetReceive(p.me)) {
        if (NetLastSender() != p.peer) continue;
        p.heard = ElapsedTime();
        Words w(m);
        RtString kind = w.Text();
        if (kind == "BYE") {
            p.said = true;
        } else if (kind == "S") {
            Skiff& k = world.skiffs[other];
            k.x = w.Number();
            k.y = w.Number();
            k.heading = int(w.Number()) & 15;
            k.alive = w.Number() != 0;
            k.safeTicks = int(w.Number());
            k.lives = int(w.Number());
            p.shots.clear();
            for (int n = w.Count(8); n > 0; n--) {
                Shot shot{w.Number(), w.Number(), w.Number(), w.Number(), other, 1};
                p.shots.push_back(shot);
            }
            if (!p.host) continue;
            for (int n = w.Count(16); n > 0; n--) {
                int id = int(w.Number());
                for (Snapper& sn : world.snappers) {
                    if (sn.id != id) continue;
                    world.Kill(sn, other, true);
                    break;
                }
            }
            for (int n = w.Count(64); n > 0; n--) {
                int at = int(w.Number());
                if (at < 0 || at >= int(world.pickups.size()) || !world.pickups[at].live) continue;
                world.pickups[at].live = false;
                if (world.pickups[at].kind == '*') world.score += 50;
            }
        } else if (kind == "W" && !p.host) {
            int level = int(w.Number());
            if (level != world.level) nextLevel = level;
            world.score = int(w.Number());
            world.clearTicks = int(w.Number());
            world.overTicks = int(w.Number());
            RtString live = w.Text();
            for (size_t k = 0; k < world.pickups.size() && k < live.length(); k++)
                world.pickups[k].live = live.Text()[k] == '1';
            world.snappers.clear();
            for (int n = w.Count(32); n > 0; n--) {
                Snapper sn;
                sn.id = int(w.Number());
                sn.x = w.Number();
                sn.y = w.Number();
                world.snappers.push_back(sn);
            }
            for (int n = w.Count(32); n > 0; n--) {
                int sound = int(w.Number()) & 7;
                Play(Sound(sound), w.Number());
            }
        }
    }
    return nextLevel;
}

bool PartnerGone(const Partner& p) { return p.said || ElapsedTime() - p.heard > kSilentMs; }

const std::string& PartnerName(const Partner& p) { return p.name; }
const std::vector<Shot>& PartnerShots(const Partner& p) { return p.shots; }

void LeaveGame(Partner*& p) {
    if (!p) return;
    NetSend(p->me, p->peer, "BYE");
    NetRemovePlayer(p->me);
    Log("left the game");
    delete p;
    p = nullptr;
}

}  // namespace skiff
