// Datagrams from anyone on the network: the message reader and, for joins,
// the player data. An accepted message must describe exactly the bytes it
// came from and write back to them.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "net/net_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NetMessage m;
    if (!ReadNetMessage(data, size, m)) return 0;
    if (m.payload.size() > kNetMaxPayload || m.payload.size() + kNetHeaderSize != size) __builtin_trap();
    std::vector<uint8_t> back = WriteNetMessage(m);
    if (back.size() != size || memcmp(back.data(), data, size) != 0) __builtin_trap();
    PlayerData player;
    if (ReadPlayerData(m.payload, player) && player.name.size() > kPlayerNameMax) __builtin_trap();
    return 0;
}
