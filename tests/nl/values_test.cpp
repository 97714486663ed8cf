// Values that stored files and peers depend on: checksums, the data byte
// order of the packing helpers, address texts and the address layout.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "nl_test_support.h"

namespace {

// Bit by bit, from the polynomials' definitions.
uint16_t Crc16Entry(int i) {
    uint16_t crc = static_cast<uint16_t>(i << 8);
    for (int b = 0; b < 8; ++b) crc = static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    return crc;
}
uint16_t ReferenceCrc16(const std::vector<uint8_t>& d) {
    uint16_t crc = 0xFFFF;
    for (uint8_t byte : d) {
        int index = (crc >> 8 ^ byte) & 0xFF;
        if (index >= 192 && index < 208) index ^= 8;  // HawkNL's two exchanged rows
        crc = static_cast<uint16_t>(crc << 8 ^ Crc16Entry(index));
    }
    return crc;
}
uint32_t StandardCrc32(const std::vector<uint8_t>& d) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t byte : d) {
        crc ^= byte;
        for (int b = 0; b < 8; ++b) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

}  // namespace

TEST(NlValues, ChecksumsAsHawkNl) {
    NLubyte check[] = "123456789";
    EXPECT_EQ(nlGetCRC16(check, 9), 0x0D0C);
    EXPECT_EQ(nlGetCRC32(check, 9), 0x340BC6D9u);  // no final complement
    std::mt19937 random(7);
    for (int n : {0, 1, 31, 1000}) {
        std::vector<uint8_t> d(static_cast<size_t>(n));
        for (uint8_t& b : d) b = static_cast<uint8_t>(random());
        EXPECT_EQ(nlGetCRC16(d.data(), n), ReferenceCrc16(d)) << n;
        EXPECT_EQ(nlGetCRC32(d.data(), n), static_cast<NLulong>(~StandardCrc32(d))) << n;
    }
}

TEST_F(NlTest, AddressLayout) {
    EXPECT_EQ(sizeof(NLaddress), 40u);
    EXPECT_EQ(offsetof(NLaddress, driver), 32u);
    EXPECT_EQ(offsetof(NLaddress, valid), 36u);
    NLaddress a;
    ASSERT_TRUE(nlStringToAddr("10.1.2.3:4660", &a));
    const uint8_t want[8] = {2, 0, 0x12, 0x34, 10, 1, 2, 3};  // family, port (big-endian), IPv4
    EXPECT_EQ(memcmp(a.addr, want, 8), 0);
}

TEST_F(NlTest, PackingHelpersWriteBigEndianDataByDefault) {
    struct Case {
        NLboolean littleData;
        std::vector<uint8_t> bytes;
    };
    // short 0x1234, long -2 (4 bytes on every target), float 1.5, double -2.0,
    // string "hi" with its terminator, one byte.
    const Case cases[] = {
        {NL_FALSE, {0x12, 0x34, 0xFF, 0xFF, 0xFF, 0xFE, 0x3F, 0xC0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0, 'h', 'i', 0, 7}},
        {NL_TRUE, {0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0xC0, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0xC0, 'h', 'i', 0, 7}},
    };
    for (const Case& c : cases) {
        if (c.littleData) nlEnable(NL_LITTLE_ENDIAN_DATA);
        NLbyte buffer[64] = {};
        NLint at = 0;
        writeShort(buffer, at, 0x1234);
        writeLong(buffer, at, -2);
        writeFloat(buffer, at, 1.5f);
        writeDouble(buffer, at, -2.0);
        writeString(buffer, at, "hi");
        writeByte(buffer, at, 7);
        ASSERT_EQ(at, static_cast<NLint>(c.bytes.size()));
        EXPECT_EQ(memcmp(buffer, c.bytes.data(), c.bytes.size()), 0) << "little-endian data: " << int(c.littleData);

        NLint from = 0;
        NLushort s;
        NLlong l;
        NLfloat f;
        NLdouble d;
        char text[8];
        NLbyte b;
        readShort(buffer, from, s);
        readLong(buffer, from, l);
        readFloat(buffer, from, f);
        readDouble(buffer, from, d);
        readString(buffer, from, text);
        readByte(buffer, from, b);
        EXPECT_EQ(from, at);
        EXPECT_EQ(s, 0x1234);
        EXPECT_EQ(l, -2);
        EXPECT_EQ(f, 1.5f);
        EXPECT_EQ(d, -2.0);
        EXPECT_STREQ(text, "hi");
        EXPECT_EQ(b, 7);
        EXPECT_EQ(nlSwaps(0x1234), c.littleData ? 0x1234 : 0x3412);
        EXPECT_EQ(nlSwapl(0x12345678), c.littleData ? 0x12345678u : 0x78563412u);
        nlDisable(NL_LITTLE_ENDIAN_DATA);
    }
    // A signalling NaN keeps its bits through the helpers.
    uint32_t bits = 0x7FA00001, back = 0;
    float nan, out;
    memcpy(&nan, &bits, 4);
    NLbyte buffer[4];
    NLint at = 0, from = 0;
    writeFloat(buffer, at, nan);
    readFloat(buffer, from, out);
    memcpy(&back, &out, 4);
    EXPECT_EQ(back, bits);
}

TEST_F(NlTest, AddressTexts) {
    struct Case {
        const char* text;
        NLboolean ok;
        const char* shown;  // nlAddrToString after parsing
        NLenum error;
    };
    const Case cases[] = {
        {"1.2.3.4:80", NL_TRUE, "1.2.3.4:80", 0},
        {"  192.168.0.1", NL_TRUE, "192.168.0.1", 0},
        {"1.2.3.4:80abc", NL_TRUE, "1.2.3.4:80", 0},
        {"1.2.3.4.5", NL_TRUE, "1.2.3.4", 0},
        {"1.2.3", NL_FALSE, "255.255.255.255", NL_BAD_ADDR},
        {"256.1.1.1", NL_FALSE, "255.255.255.255", NL_BAD_ADDR},
        {"1.2.3.4:65536", NL_FALSE, "255.255.255.255", NL_BAD_ADDR},
        {"1.2.3.4:8%s", NL_FALSE, nullptr, NL_STRING_OVER_RUN},
        // Read as "%d.%d.%d.%d:%d": white space before a number, signs.
        {"\t1.2.3.4:7", NL_TRUE, "1.2.3.4:7", 0},
        {"\n 1. 2.3.4: 8", NL_TRUE, "1.2.3.4:8", 0},
        {"1.2.3.4:+9", NL_TRUE, "1.2.3.4:9", 0},
        {"1.2.3.4:", NL_TRUE, "1.2.3.4", 0},
        {"1.2.3.4:x", NL_TRUE, "1.2.3.4", 0},
        {"1.2.3.4:-1", NL_FALSE, "255.255.255.255", NL_BAD_ADDR},
        {"1.2.3.4:99999999999", NL_FALSE, "255.255.255.255", NL_BAD_ADDR},
        {"1 .2.3.4", NL_FALSE, "255.255.255.255", NL_BAD_ADDR},
        {"-1.2.3.4", NL_FALSE, "255.255.255.255", NL_BAD_ADDR},
    };
    for (const Case& c : cases) {
        NLaddress a{};
        EXPECT_EQ(nlStringToAddr(c.text, &a), c.ok) << c.text;
        if (c.error) EXPECT_EQ(nlGetError(), c.error) << c.text;
        if (!c.shown) continue;
        EXPECT_EQ(a.valid, c.ok) << c.text;
        char shown[NL_MAX_STRING_LENGTH];
        EXPECT_STREQ(nlAddrToString(&a, shown), c.shown) << c.text;
    }
    std::string longText(300, '1');
    NLaddress a;
    EXPECT_FALSE(nlGetAddrFromName(longText.c_str(), &a));
    EXPECT_EQ(nlGetError(), NL_STRING_OVER_RUN);

    NLaddress x, y;
    nlStringToAddr("9.8.7.6:5", &x);
    nlStringToAddr("9.8.7.6:5", &y);
    EXPECT_TRUE(nlAddrCompare(&x, &y));
    nlSetAddrPort(&y, 6);
    EXPECT_FALSE(nlAddrCompare(&x, &y));
    EXPECT_EQ(nlGetPortFromAddr(&y), 6);
}

TEST_F(NlTest, NameLookups) {
    NLaddress a;
    ASSERT_TRUE(nlGetAddrFromName("localhost:99", &a));
    char text[NL_MAX_STRING_LENGTH];
    EXPECT_STREQ(nlAddrToString(&a, text), "127.0.0.1:99");
    EXPECT_FALSE(nlGetAddrFromName("no-such-host.invalid", &a));
    EXPECT_EQ(nlGetError(), NL_SYSTEM_ERROR);
    EXPECT_EQ(a.valid, NL_FALSE);

    NLaddress later;
    ASSERT_TRUE(nlGetAddrFromNameAsync("127.0.0.1:7", &later));
    ASSERT_TRUE(Eventually([&] { return __atomic_load_n(&later.valid, __ATOMIC_ACQUIRE) != 0; }));
    EXPECT_STREQ(nlAddrToString(&later, text), "127.0.0.1:7");

    NLint count = 0;
    NLaddress* all = nlGetAllLocalAddr(&count);
    ASSERT_TRUE(all);
    ASSERT_GE(count, 1);
    EXPECT_EQ(nlGetPortFromAddr(&all[0]), 0);
}
