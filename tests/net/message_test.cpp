// The datagram reader, the join payload and the HTTP header scanner.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/http_header_scan.h"
#include "net/net_message.h"

namespace {

std::string Header(uint8_t type, int32_t length, int32_t recipient, int32_t sender) {
    std::string h = "BRDN";
    h += static_cast<char>(type);
    for (int32_t v : {length, recipient, sender})
        for (int i = 0; i < 4; ++i) h += static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
    return h;
}

bool Read(const std::string& d, NetMessage& m) {
    return ReadNetMessage(reinterpret_cast<const uint8_t*>(d.data()), d.size(), m);
}

}  // namespace

TEST(NetMessages, ReaderAcceptsOnlyExactMessages) {
    std::string full(kNetMaxPayload, 'p');
    struct Case {
        std::string datagram;
        bool accepted;
    };
    const Case cases[] = {
        {Header(3, 2, -1, 101) + "hi", true},
        {Header(4, 0, 0, 105), true},
        {Header(3, kNetMaxPayload, 7, 8) + full, true},
        {Header(3, 0, 0, 0).substr(0, 16), false},             // 16 bytes
        {"XRDN" + Header(3, 2, -1, 101).substr(4) + "hi", false},  // another magic
        {Header(3, 3, -1, 101) + "hi", false},                 // longer than what came
        {Header(3, 1, -1, 101) + "hi", false},                 // shorter than what came
        {Header(3, -1, -1, 101), false},
        {Header(3, kNetMaxPayload + 1, 7, 8) + full + "p", false},
        {Header(3, 0x7FFFFFFF, 7, 8) + "x", false},
    };
    for (const Case& c : cases) {
        NetMessage m;
        EXPECT_EQ(Read(c.datagram, m), c.accepted) << c.datagram.size() << " bytes";
    }
    NetMessage m;
    ASSERT_TRUE(Read(Header(103, 4, 0, 101) + std::string("\x65\0\0\0", 4), m));
    EXPECT_EQ(m.type, 103);
    EXPECT_EQ(m.recipient, 0);
    EXPECT_EQ(m.sender, 101);
    EXPECT_EQ(PayloadInt32(m.payload), 101);

    std::vector<uint8_t> bytes = WriteNetMessage(NetMessage{3, -1, 102, "hello"});
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), Header(3, 5, -1, 102) + "hello");
    bytes = WriteNetMessage(NetMessage{3, -1, 102, std::string(5000, 'x')});
    EXPECT_EQ(bytes.size(), static_cast<size_t>(kNetReadSize));  // cut to 2048
}

TEST(NetMessages, PlayerDataAsThe152ByteRecord) {
    PlayerData p;
    p.hidden = 1;
    p.name = std::string(200, 'n');  // cut to 126
    std::string d = WritePlayerData(p);
    ASSERT_EQ(d.size(), static_cast<size_t>(kPlayerDataSize));
    EXPECT_EQ(d.substr(0, 9), std::string("\xff\xff\xff\xff\xff\xff\xff\xff\x01", 9));
    EXPECT_EQ(d.substr(9, 126), std::string(126, 'n'));
    EXPECT_EQ(d.substr(135), std::string(17, '\0'));  // terminator, zero byte, padding, bookkeeping
    PlayerData back;
    ASSERT_TRUE(ReadPlayerData(d, back));
    EXPECT_EQ(back.hidden, 1);
    EXPECT_EQ(back.name, std::string(126, 'n'));
    // A name without terminator is cut too; a payload without the flag is refused.
    ASSERT_TRUE(ReadPlayerData(std::string(9, '\0') + std::string(300, 'm'), back));
    EXPECT_EQ(back.name.size(), 126u);
    EXPECT_FALSE(ReadPlayerData(std::string(8, '\0'), back));
}

TEST(NetHttp, HeaderEndFoundAcrossEveryChunkSplit) {
    struct Case {
        std::string response;
        size_t bodyAt;  // where the first LF CR* LF ends
    };
    const Case cases[] = {
        {"HTTP/1.0 200 OK\r\nA: b\r\n\r\nbody\n\nmore", 25},
        {"HTTP/1.0 200 OK\nA: b\n\nbody", 22},
        {"HTTP/1.0 200 OK\r\n\r\r\n\r\nx", 20},  // CRs never end or break a run of LFs
        {"HTTP/1.0 200 OK\r\nA: \n \n\nx", 24},
        {"no end\r\n", std::string::npos},
    };
    for (const Case& c : cases) {
        const uint8_t* d = reinterpret_cast<const uint8_t*>(c.response.data());
        for (size_t split = 0; split <= c.response.size(); ++split) {
            HttpHeaderScanner s;
            size_t first = s.Feed(d, split);
            size_t body = s.InBody() ? first : split + s.Feed(d + split, c.response.size() - split);
            if (!s.InBody()) body = std::string::npos;
            EXPECT_EQ(body, c.bodyAt) << c.response << " split at " << split;
        }
    }
    HttpHeaderScanner s;
    s.Feed(reinterpret_cast<const uint8_t*>("\n\n"), 2);
    EXPECT_EQ(s.Feed(reinterpret_cast<const uint8_t*>("abc"), 3), 0u);  // after the end: all body
}
