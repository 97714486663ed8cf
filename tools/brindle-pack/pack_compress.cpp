#include "pack_compress.h"

#include <lzo/lzo1x.h>

#include <memory>
#include <new>

#include "media/pack_format.h"

namespace pack {

bool EnsureLzo() {
    static const bool ready = lzo_init() == LZO_E_OK;
    return ready;
}

bool CompressContent(const uint8_t* data, size_t size, std::vector<uint8_t>& stored) {
    if (size > kMaxOriginalSize || !EnsureLzo()) return false;
    // Worst case for incompressible input, as documented by LZO.
    stored.resize(4 + size + size / 16 + 64 + 3);
    std::unique_ptr<uint8_t[]> work(new (std::nothrow) uint8_t[LZO1X_999_MEM_COMPRESS]);
    if (!work) return false;
    lzo_uint written = 0;
    int rc = lzo1x_999_compress(data, static_cast<lzo_uint>(size), stored.data() + 4, &written,
                                work.get());
    if (rc != LZO_E_OK) return false;
    PutU32(stored.data(), static_cast<uint32_t>(size));
    stored.resize(4 + written);
    return true;
}

}  // namespace pack
