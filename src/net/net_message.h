// Network game messages on the wire: one datagram each, a 17-byte header
// (magic "BRDN", type, payload length, recipient, sender; little-endian,
// packed) and up to 2048 payload bytes. The join payload is a player's
// 152-byte data as the original runtime laid it out in memory on i386.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kNetHeaderSize = 17;
constexpr int kNetMaxPayload = 2048;
constexpr int kNetReadSize = kNetHeaderSize + kNetMaxPayload;  // one nlRead
constexpr int kPlayerDataSize = 152;
constexpr int kPlayerNameMax = 126;  // characters; 127 bytes with the terminator

enum NetMessageType : uint8_t {
    kNetJoin = 1,
    kNetWelcome = 2,
    kNetText = 3,
    kNetLeave = 4,
    kNetCountRequest = 101,
    kNetIdRequest = 102,
    kNetNameRequest = 103,
    kNetAliveRequest = 104,
};

constexpr int32_t kNetToHost = 0;   // recipient: the host's relay itself
constexpr int32_t kNetToAll = -1;   // recipient: every player
constexpr int32_t kNetFromHost = 0; // sender of answers and welcomes

struct NetMessage {
    uint8_t type = 0;
    int32_t recipient = 0;
    int32_t sender = 0;
    std::string payload;  // bytes
};

// The datagram reader: accepts a datagram only when it holds the magic and
// exactly 17 + length bytes with a length of 0..2048. Anything else is not a
// message (false).
bool ReadNetMessage(const uint8_t* data, size_t size, NetMessage& out);
// The datagram for a message; a payload over 2048 bytes is cut to 2048.
std::vector<uint8_t> WriteNetMessage(const NetMessage& message);

// A 32-bit little-endian value as payload, and back (0 when too short).
std::string Int32Payload(int32_t value);
int32_t PayloadInt32(const std::string& payload, bool* present = nullptr);

// The player data of a join.
struct PlayerData {
    int32_t socket = -1;
    int32_t id = -1;
    uint8_t hidden = 0;
    std::string name;  // at most 126 characters
};
std::string WritePlayerData(const PlayerData& player);
// The host reads only the hidden flag and the name; false when the payload
// is too short to hold the flag.
bool ReadPlayerData(const std::string& payload, PlayerData& player);
// Names are cut to 126 characters and end at their first NUL.
std::string PlayerName(const char* text, size_t maxBytes);
