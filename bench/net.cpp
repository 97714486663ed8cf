// Network games and HTTP download, each beside a plain peer in the same run
// (medians of 5 interleaved repetitions, then their ratios):
// - relay: a message from one joining program's player to another's through
//   a host (three games in this process, on loopback): the median delivery
//   latency and the messages per second with 32 in flight, beside a plain
//   UDP echo over loopback measured the same way;
// - HttpGetFile of a 64 MiB file from a local server beside curl fetching
//   the same file from the same server.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "median_reporter.h"
#include "net/http_get.h"
#include "net/net_game.h"
#include "nl/sys.h"
#include "platform/system.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWindow = 32;
constexpr int kBatch = 1000;

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

uint16_t PortOf(nlsys::Fd fd) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

// A host with its own player and two joining games with one player each.
struct Relay {
    NetGame* host = CreateNetGame();
    NetGame* a = CreateNetGame();
    NetGame* b = CreateNetGame();
    int32_t from = 0, to = 0;
    bool ok = false;
    Relay() {
        std::string port;
        for (int i = 0; i < 5 && !host->isHost; ++i) {
            port = std::to_string(20000 + std::random_device()() % 40000);
            HostNetGame(*host, port.c_str());
        }
        ok = host->isHost && CreateNetPlayer(*host, "host") > 0 && JoinNetGame(*a, "127.0.0.1", port.c_str()) &&
             JoinNetGame(*b, "127.0.0.1", port.c_str());
        from = ok ? static_cast<int32_t>(CreateNetPlayer(*a, "a")) : 0;
        to = ok ? static_cast<int32_t>(CreateNetPlayer(*b, "b")) : 0;
        ok = ok && from > 0 && to > 0;
    }
    int Drain() {
        std::string text;
        int n = 0;
        while (ReceiveNetText(*b, to, text)) ++n;
        return n;
    }
};
Relay& TheRelay() {
    static Relay* r = new Relay;  // games run until the process ends
    return *r;
}

// A plain UDP echo on loopback, on its own thread.
struct Echo {
    nlsys::Fd server, client;
    uint16_t serverPort;
    Echo() {
        nlsys::StartNetwork();
        server = nlsys::OpenSocket(SOCK_DGRAM);
        client = nlsys::OpenSocket(SOCK_DGRAM);
        sockaddr_in a = Loopback(0);
        bind(server, reinterpret_cast<sockaddr*>(&a), sizeof a);
        bind(client, reinterpret_cast<sockaddr*>(&a), sizeof a);
        serverPort = PortOf(server);
        std::thread([this] {
            char b[2048];
            for (;;) {
                sockaddr_in from{};
                int n = nlsys::RecvFrom(server, b, sizeof b, from);
                if (n >= 0) nlsys::SendTo(server, b, n, from);
            }
        }).detach();
        nlsys::SetBlocking(client, false);
    }
    void Send() { nlsys::SendTo(client, "ping from the benchmark", 23, Loopback(serverPort)); }
    int Drain() {
        char b[2048];
        sockaddr_in from{};
        int n = 0;
        while (nlsys::RecvFrom(client, b, sizeof b, from) >= 0) ++n;
        return n;
    }
};
Echo& TheEcho() {
    static Echo* e = new Echo;
    return *e;
}

void Wait() { std::this_thread::sleep_for(std::chrono::microseconds(50)); }

// One message at a time: the time from sending to its arrival.
template <class Peer>
void Latency(benchmark::State& state, Peer& peer, bool ok) {
    if (!ok) return state.SkipWithError("could not set up");
    std::vector<double> ms;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        peer.Send();
        while (peer.Drain() == 0) {
            Wait();
            if (Clock::now() - start > std::chrono::seconds(2)) break;  // lost: counts as 2 s
        }
        double t = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        ms.push_back(t);
        state.SetIterationTime(t / 1000);
    }
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
}

// kBatch messages with at most kWindow on the way; lost ones are not waited for long.
template <class Peer>
void Throughput(benchmark::State& state, Peer& peer, bool ok) {
    if (!ok) return state.SkipWithError("could not set up");
    double delivered = 0, seconds = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now(), last = start;
        int sent = 0, got = 0;
        while (got < kBatch && Clock::now() - last < std::chrono::milliseconds(500)) {
            while (sent < kBatch && sent - got < kWindow) {
                peer.Send();
                ++sent;
            }
            int n = peer.Drain();
            if (n > 0) last = Clock::now();
            got += n;
            if (n == 0) Wait();
        }
        double t = std::chrono::duration<double>(last - start).count();
        delivered += got;
        seconds += t;
        state.SetIterationTime(t);
    }
    state.counters["msgs_per_s"] = seconds > 0 ? delivered / seconds : 0;
}

struct RelayPeer {
    Relay& r;
    void Send() { SendNetText(*r.a, r.from, r.to, "ping from the benchmark"); }
    int Drain() { return r.Drain(); }
};

void RelayLatency(benchmark::State& state) {
    RelayPeer p{TheRelay()};
    Latency(state, p, p.r.ok);
}
void UdpEchoLatency(benchmark::State& state) { Latency(state, TheEcho(), true); }
void RelayThroughput(benchmark::State& state) {
    RelayPeer p{TheRelay()};
    Throughput(state, p, p.r.ok);
}
void UdpEchoThroughput(benchmark::State& state) { Throughput(state, TheEcho(), true); }

// An HTTP/1.0 server on loopback that sends the same 64 MiB to every client.
constexpr size_t kFileSize = 64u << 20;
struct FileServer {
    nlsys::Fd listener;
    uint16_t port;
    std::string body;
    FileServer() : body(kFileSize, '\0') {
        std::mt19937 random(3);
        for (size_t i = 0; i < kFileSize; i += 4) {
            uint32_t v = random();
            std::copy_n(reinterpret_cast<char*>(&v), 4, &body[i]);
        }
        nlsys::StartNetwork();
        listener = nlsys::OpenSocket(SOCK_STREAM);
        sockaddr_in a = Loopback(0);
        bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener, 8);
        port = PortOf(listener);
        std::thread([this] {
            for (;;) {
                nlsys::Fd c = accept(listener, nullptr, nullptr);
                if (c == nlsys::kNoFd) continue;
                std::thread([this, c] {
                    char request[4096];
                    nlsys::Recv(c, request, sizeof request);
                    std::string header = "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(kFileSize) + "\r\n\r\n";
                    nlsys::Send(c, header.data(), static_cast<int>(header.size()));
                    for (size_t sent = 0; sent < body.size();) {
                        int n = nlsys::Send(c, body.data() + sent, static_cast<int>(std::min<size_t>(body.size() - sent, 1 << 20)));
                        if (n <= 0) break;
                        sent += static_cast<size_t>(n);
                    }
                    shutdown(c, 1);
                    nlsys::CloseSocket(c);
                }).detach();
            }
        }).detach();
    }
};
FileServer& TheServer() {
    static FileServer* s = new FileServer;
    return *s;
}
std::string OutFile(const char* name) { return platform::TempDirectory() + name; }

void HttpGetFile64MiB(benchmark::State& state) {
    FileServer& s = TheServer();
    std::string out = OutFile("brindle-bench-http.bin");
    for (auto _ : state)
        if (HttpDownload("127.0.0.1", "/file.bin", s.port, out.c_str(), kHttpIdleLimitMs) != 1)
            state.SkipWithError("download failed");
    std::remove(out.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

void Curl64MiB(benchmark::State& state) {
    FileServer& s = TheServer();
    std::string out = OutFile("brindle-bench-curl.bin");
    std::string command = "curl -s -o '" + out + "' http://127.0.0.1:" + std::to_string(s.port) + "/file.bin";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("curl failed");
    std::remove(out.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

BENCHMARK(RelayLatency)->Iterations(200)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(UdpEchoLatency)->Iterations(200)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(RelayThroughput)->Iterations(3)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(UdpEchoThroughput)->Iterations(3)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HttpGetFile64MiB)->Repetitions(5)->Unit(benchmark::kMillisecond);
BENCHMARK(Curl64MiB)->Repetitions(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    InitializeInterleaved(argc, argv);
    MedianReporter reporter({"median_ms", "msgs_per_s"});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& m = reporter.medians;
    if (m["RelayLatency"] > 0 && m["UdpEchoLatency"] > 0)
        std::printf("delivery latency medians: relay %.2f ms, UDP echo round trip %.3f ms (relay / echo = %.0f)\n",
                    m["RelayLatency"], m["UdpEchoLatency"], m["RelayLatency"] / m["UdpEchoLatency"]);
    if (m["RelayThroughput"] > 0 && m["UdpEchoThroughput"] > 0)
        std::printf("messages per second, %d in flight: relay %.0f, UDP echo %.0f (relay / echo = %.3f)\n", kWindow,
                    m["RelayThroughput"], m["UdpEchoThroughput"], m["RelayThroughput"] / m["UdpEchoThroughput"]);
    if (m["HttpGetFile64MiB"] > 0 && m["Curl64MiB"] > 0)
        std::printf("64 MiB download medians: HttpGetFile %.1f ms, curl %.1f ms (throughput HttpGetFile / curl = %.2f, goal: at least 0.8)\n",
                    m["HttpGetFile64MiB"], m["Curl64MiB"], m["Curl64MiB"] / m["HttpGetFile64MiB"]);
    benchmark::Shutdown();
    return 0;
}
