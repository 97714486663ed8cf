// HttpGetFile against a server of the test's own on loopback that answers
// as told: headers and body in chunks, then a normal close, a reset, or
// silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "core/error_log.h"
#include "net/http_get.h"
#include "net/net_game.h"
#include "nl/sys.h"

namespace {

namespace fs = std::filesystem;

enum class Ending { Close, Reset, Silence };

class TestServer {
public:
    TestServer(std::vector<std::string> chunks, Ending ending) : chunks_(std::move(chunks)), ending_(ending) {
        nlsys::StartNetwork();
        listener_ = nlsys::OpenSocket(SOCK_STREAM);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener_, 4);
        socklen_t len = sizeof a;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TestServer() {
        released_ = true;
        thread_.join();
        nlsys::CloseSocket(listener_);
        nlsys::StopNetwork();
    }
    uint16_t port() const { return port_; }
    std::string request() const { return request_; }

private:
    void Serve() {
        bool ready = false;
        if (nlsys::Wait(&listener_, 1, nlsys::Ready::Read, 20000, &ready) <= 0) return;
        nlsys::Fd c = accept(listener_, nullptr, nullptr);
        char b[4096];
        // A reset: the request stays unread, so that closing resets the
        // connection (as a zero linger time does, where it is honoured).
        if (ending_ == Ending::Reset) nlsys::Wait(&c, 1, nlsys::Ready::Read, 20000, &ready);
        while (ending_ != Ending::Reset && request_.find("\r\n\r\n") == std::string::npos) {
            int n = nlsys::Recv(c, b, sizeof b);
            if (n <= 0) break;
            request_.append(b, static_cast<size_t>(n));
        }
        bool gone = false;  // the client closed: nothing more to send
        for (size_t i = 0; i < chunks_.size() && !gone; ++i) {
            // Apart in time, so that the client reads them separately.
            if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const std::string& chunk = chunks_[i];
            for (size_t sent = 0; sent < chunk.size();) {
                int n = nlsys::Send(c, chunk.data() + sent, static_cast<int>(std::min<size_t>(chunk.size() - sent, 1 << 20)));
                if (n <= 0) {
                    gone = true;
                    break;
                }
                sent += static_cast<size_t>(n);
            }
        }
        if (ending_ == Ending::Silence)
            while (!released_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (ending_ == Ending::Reset) {
            // The reset comes after the client has counted every byte (a
            // reset discards what it has not read yet). Wine reports a reset
            // only to a reader already waiting, one that comes later sees the
            // stream end quietly: the test's reset responses carry a
            // Content-Length, so either way the download is cut short.
            size_t sent = 0;
            for (const std::string& chunk : chunks_) sent += chunk.size();
            for (int i = 0; i < 2000 && nlGetInteger(NL_BYTES_RECEIVED) < static_cast<NLlong>(sent); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            linger l{};
            l.l_onoff = 1;
            l.l_linger = 0;
            setsockopt(c, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
        } else {
            shutdown(c, 1);
        }
        nlsys::CloseSocket(c);
    }

    std::vector<std::string> chunks_;
    Ending ending_;
    nlsys::Fd listener_;
    uint16_t port_ = 0;
    std::thread thread_;
    std::string request_;
    std::atomic<bool> released_{false};
};

class HttpTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("brindle-http-" + std::to_string(std::random_device()()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string File(const char* name) { return (dir_ / name).string(); }
    // The names in the test's folder, sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_;
};

double Get(const TestServer& server, const std::string& file, const char* path = "/doc.txt",
           int idleMs = kHttpIdleLimitMs) {
    return HttpDownload("127.0.0.1", path, server.port(), file.c_str(), idleMs);
}

}  // namespace

TEST_F(HttpTest, BodiesAfterTheHeaderEnd) {
    struct Case {
        std::vector<std::string> chunks;
        std::string body;
    };
    const Case cases[] = {
        {{"HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\nfirst byte"}, "first byte"},
        {{"HTTP/1.0 200 OK\nServer: lf\n\nlf body"}, "lf body"},
        {{"HTTP/1.0 200 OK\r\nA: b\r\n\r", "\nsplit body"}, "split body"},
        {{"HTTP/1.0 200 OK\r\nA: b\r\n", "\r\n", "late", " body"}, "late body"},
        {{"HTTP/1.0 404 Not Found\r\n\r\n<p>missing</p>"}, "<p>missing</p>"},  // not interpreted
    };
    std::ofstream(File("out.txt")) << "an older and longer file, replaced whole";
    for (const Case& c : cases) {
        TestServer server(c.chunks, Ending::Close);
        std::string file = File("out.txt");
        EXPECT_EQ(Get(server, file), 1) << c.body;
        EXPECT_EQ(Contents(file), c.body);
        EXPECT_EQ(server.request(),
                  "GET /doc.txt HTTP/1.0\r\nHost:127.0.0.1\r\nAccept: */*\r\nUser-Agent: Brindle game\r\n\r\n");
    }
}

TEST_F(HttpTest, LargeFileByteExact) {
    std::string body(16 << 20, '\0');
    std::mt19937 random(1);
    for (char& c : body) c = static_cast<char>(random());
    TestServer server({"HTTP/1.0 200 OK\r\n\r\n" + body}, Ending::Close);
    std::string file = File("big.bin");
    EXPECT_EQ(Get(server, file), 1);
    EXPECT_TRUE(Contents(file) == body);
}

// A download that fails gives 0 and leaves the target as it was: the old
// file, or none.
TEST_F(HttpTest, FailedTransfersKeepTheOldFile) {
    std::string body(200000, 'r');
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        Ending ending;
        int idleMs;
        const char* logged;
    };
    const Case cases[] = {
        {"reset.bin", {"HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n" + body.substr(0, 100000)}, Ending::Reset,
         kHttpIdleLimitMs, "Download cut short: "},
        {"silent.bin", {"HTTP/1.0 200 OK\r\n\r\npart"}, Ending::Silence, 300, "Download timed out: "},
        {"short.bin", {"HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n" + body.substr(0, 150000)},
         Ending::Close, kHttpIdleLimitMs, "Download cut short: "},
    };
    for (const Case& c : cases) {
        for (bool old : {true, false}) {
            std::string file = File(c.name);
            if (old) std::ofstream(file, std::ios::binary) << "the old file";
            size_t logged = Contents(ErrorLogPath()).size();
            TestServer server(c.chunks, c.ending);
            EXPECT_EQ(Get(server, file, "/doc.txt", c.idleMs), 0) << c.name;
            if (old)
                EXPECT_EQ(Contents(file), "the old file") << c.name;
            else
                EXPECT_FALSE(fs::exists(file)) << c.name;
            EXPECT_NE(Contents(ErrorLogPath()).find(c.logged + file + "\r\n", logged), std::string::npos) << c.name;
            // Nothing else beside it: no part of the download is left.
            EXPECT_EQ(Entries(), old ? std::vector<std::string>{c.name} : std::vector<std::string>{}) << c.name;
            fs::remove(file);
        }
    }
}

TEST_F(HttpTest, NoServerOrNoFileGivesZero) {
    // Nobody listening, or no such host: 0 and no file.
    nlsys::StartNetwork();
    nlsys::Fd probe = nlsys::OpenSocket(SOCK_STREAM);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(probe, reinterpret_cast<sockaddr*>(&a), &len);
    nlsys::CloseSocket(probe);
    nlsys::StopNetwork();
    std::string file = File("none.bin");
    EXPECT_EQ(HttpDownload("127.0.0.1", "/", ntohs(a.sin_port), file.c_str(), kHttpIdleLimitMs), 0);
    EXPECT_EQ(HttpDownload("no-such-host.invalid", "/", 80, file.c_str(), kHttpIdleLimitMs), 0);
    EXPECT_TRUE(Entries().empty());
    // A target that cannot be created (no such folder) or replaced (a
    // folder): 0, logged, and nothing written.
    fs::create_directory(File("folder"));
    for (const std::string& target : {File("no/such/dir/x.txt"), File("folder")}) {
        size_t logged = Contents(ErrorLogPath()).size();
        TestServer server({"HTTP/1.0 200 OK\r\n\r\nx"}, Ending::Close);
        EXPECT_EQ(Get(server, target), 0) << target;
        EXPECT_NE(Contents(ErrorLogPath()).find("File not written: " + target, logged), std::string::npos) << target;
        EXPECT_EQ(Entries(), std::vector<std::string>{"folder"}) << target;
        EXPECT_TRUE(fs::is_directory(File("folder")));
    }
}

// The headers' Content-Length: a body short of it is a failed download,
// however the server closed; a longer one is stored whole.
TEST_F(HttpTest, BodiesShortOfTheirContentLengthFail) {
    struct Case {
        std::string headers, body;
        double result;
    };
    const Case cases[] = {
        {"Content-Length: 100\r\n", std::string(40, 's'), 0},
        {"Content-Length: 10\r\n", std::string(10, 'e'), 1},
        {"content-length:\t 4 \r\nX: y\r\n", "four", 1},
        {"CONTENT-LENGTH: 4\n", "fo", 0},
        {"Content-Length: 5\r\n", std::string(9, 'l'), 1},  // longer: stored whole
        {"Content-Length: 5\r\nContent-Length: 6\r\n", "xyz", 1},  // differing: no length
        {"Content-Length: 12a\r\n", "xyz", 1},  // not a number: no length
        {"Content-Length: 99999999999999999999\r\n", "huge", 1},
    };
    for (const Case& c : cases) {
        TestServer server({"HTTP/1.0 200 OK\r\n" + c.headers + "\r\n" + c.body}, Ending::Close);
        std::string file = File("length.txt");
        std::ofstream(file, std::ios::binary) << "old";
        size_t logged = Contents(ErrorLogPath()).size();
        EXPECT_EQ(Get(server, file), c.result) << c.headers;
        EXPECT_EQ(Contents(file), c.result == 1 ? c.body : "old") << c.headers;
        bool named = Contents(ErrorLogPath()).find("Download cut short: " + file + "\r\n", logged) != std::string::npos;
        EXPECT_EQ(named, c.result == 0) << c.headers;
    }
}

// A server sending a byte now and then, never silent for the idle limit,
// is given the total limit, not for ever.
TEST_F(HttpTest, ATricklingServerMeetsTheTotalLimit) {
    std::vector<std::string> chunks = {"HTTP/1.0 200 OK\r\n\r\n"};
    chunks.resize(400, "x");  // a byte every 50 ms for 20 s
    TestServer server(chunks, Ending::Close);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpDownload("127.0.0.1", "/", server.port(), File("slow.txt").c_str(), kHttpIdleLimitMs, 1000), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(HttpTest, DownloadDuringANetworkGameLeavesTheGameRunning) {
    NetGame* game = CreateNetGame();
    double hosted = 0;
    for (int attempt = 0; attempt < 5 && !hosted; ++attempt)
        hosted = HostNetGame(*game, std::to_string(20000 + std::random_device()() % 40000).c_str());
    ASSERT_EQ(hosted, 1);
    EXPECT_EQ(CreateNetPlayer(*game, "Keeper"), 101);
    TestServer server({"HTTP/1.0 200 OK\r\n\r\nbody"}, Ending::Close);
    EXPECT_EQ(Get(server, File("during.txt")), 1);
    EXPECT_EQ(nlGetBoolean(NL_BLOCKING_IO), NL_FALSE);  // the game's sockets stay non-blocking
    EXPECT_EQ(NetPlayerCountOf(*game), 1);
    EXPECT_EQ(CreateNetPlayer(*game, "Second"), 102);
    DestroyNetGame(game);
}
