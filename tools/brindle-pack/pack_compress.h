// Writing pack entries: LZO1X-999 compression with liblzo2. Only the pack
// tool, the tests and the benchmarks compress; games only decode (with the
// runtime's own decoder, media/lzo1x_decoder.h), so liblzo2 never becomes
// part of a game.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pack {

// Stored form of a content: originalSize then the LZO1X-999 compressed bytes.
bool CompressContent(const uint8_t* data, size_t size, std::vector<uint8_t>& stored);

// lzo_init once per process; false when the library is unusable.
bool EnsureLzo();

}  // namespace pack
