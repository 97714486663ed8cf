// The runtime's LZO1X decoder against liblzo2's lzo1x_decompress_safe on
// hostile streams: the input itself as a stream, and liblzo2's own stream of
// the input with a byte changed where the input says. Both decoders must
// accept with the same bytes or both refuse; a difference traps. The output
// buffers are exactly as large as allowed, so the address sanitizer sees any
// write past them.
#include <lzo/lzo1x.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "media/lzo1x_decoder.h"

namespace {

void Compare(const uint8_t* stream, size_t size, size_t capacity) {
    std::unique_ptr<uint8_t[]> ours(new uint8_t[capacity + 1]), theirs(new uint8_t[capacity + 1]);
    size_t oursWritten = 0;
    const bool oursOk = pack::DecodeLzo1x(stream, size, ours.get(), capacity, &oursWritten) ==
                        pack::Lzo1xStatus::kOk;
    lzo_uint theirsWritten = capacity;
    const bool theirsOk =
        lzo1x_decompress_safe(stream, size, theirs.get(), &theirsWritten, nullptr) == LZO_E_OK;
    if (oursWritten > capacity || oursOk != theirsOk) __builtin_trap();
    if (oursOk && (oursWritten != theirsWritten ||
                   std::memcmp(ours.get(), theirs.get(), oursWritten) != 0))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = lzo_init() == LZO_E_OK;
    if (!ready || size < 3) return 0;
    // The first two bytes choose the output's size (and the mutation below).
    const size_t capacity = (data[0] | data[1] << 8) % 20000;
    {
        // An exact copy, so reads past the stream are caught too.
        std::unique_ptr<uint8_t[]> stream(new uint8_t[size - 2]);
        std::memcpy(stream.get(), data + 2, size - 2);
        Compare(stream.get(), size - 2, capacity);
    }
    std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS);
    std::vector<uint8_t> compressed(size + size / 16 + 64 + 3);
    lzo_uint n = 0;
    if (lzo1x_1_compress(data + 2, size - 2, compressed.data(), &n, work.data()) != LZO_E_OK)
        return 0;
    Compare(compressed.data(), n, size - 2);  // a valid stream
    compressed[data[0] % n] ^= data[1] | 1;
    Compare(compressed.data(), n, capacity % 2 ? size - 2 : capacity);
    return 0;
}
