#include "net/net_message.h"

#include <cstring>

namespace {

const uint8_t kMagic[4] = {'B', 'R', 'D', 'N'};

void PutInt32(uint8_t* p, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

int32_t GetInt32(const uint8_t* p) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return static_cast<int32_t>(v);
}

}  // namespace

bool ReadNetMessage(const uint8_t* data, size_t size, NetMessage& out) {
    if (!data || size < kNetHeaderSize || memcmp(data, kMagic, 4) != 0) return false;
    int32_t length = GetInt32(data + 5);
    // The length must describe exactly what arrived.
    if (length < 0 || length > kNetMaxPayload || size != static_cast<size_t>(kNetHeaderSize + length)) return false;
    out.type = data[4];
    out.recipient = GetInt32(data + 9);
    out.sender = GetInt32(data + 13);
    out.payload.assign(reinterpret_cast<const char*>(data + kNetHeaderSize), static_cast<size_t>(length));
    return true;
}

std::vector<uint8_t> WriteNetMessage(const NetMessage& message) {
    size_t length = message.payload.size() > kNetMaxPayload ? kNetMaxPayload : message.payload.size();
    std::vector<uint8_t> bytes(kNetHeaderSize + length);
    memcpy(bytes.data(), kMagic, 4);
    bytes[4] = message.type;
    PutInt32(&bytes[5], static_cast<int32_t>(length));
    PutInt32(&bytes[9], message.recipient);
    PutInt32(&bytes[13], message.sender);
    if (length > 0) memcpy(&bytes[kNetHeaderSize], message.payload.data(), length);
    return bytes;
}

std::string Int32Payload(int32_t value) {
    uint8_t bytes[4];
    PutInt32(bytes, value);
    return std::string(reinterpret_cast<char*>(bytes), 4);
}

int32_t PayloadInt32(const std::string& payload, bool* present) {
    bool ok = payload.size() >= 4;
    if (present) *present = ok;
    return ok ? GetInt32(reinterpret_cast<const uint8_t*>(payload.data())) : 0;
}

std::string PlayerName(const char* text, size_t maxBytes) {
    size_t n = 0;
    while (n < maxBytes && n < kPlayerNameMax && text[n] != 0) ++n;
    return std::string(text, n);
}

// Layout: socket (4), id (4), hidden (1), name (127), a zero byte, 3 bytes
// of padding and the inbox's list bookkeeping (12 bytes), which this side
// sends as zeros and the host ignores.
std::string WritePlayerData(const PlayerData& player) {
    uint8_t bytes[kPlayerDataSize] = {};
    PutInt32(bytes, player.socket);
    PutInt32(bytes + 4, player.id);
    bytes[8] = player.hidden;
    std::string name = PlayerName(player.name.c_str(), player.name.size());
    memcpy(bytes + 9, name.data(), name.size());
    return std::string(reinterpret_cast<char*>(bytes), kPlayerDataSize);
}

bool ReadPlayerData(const std::string& payload, PlayerData& player) {
    if (payload.size() < 9) return false;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(payload.data());
    player.socket = GetInt32(p);
    player.id = GetInt32(p + 4);
    player.hidden = p[8];
    player.name = PlayerName(payload.data() + 9, payload.size() - 9);
    return true;
}
