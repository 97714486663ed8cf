// The runtime's own LZO1X decoder: turns the compressed bytes of a media
// pack entry back into its content. Games only ever decompress, so they need
// nothing from an LZO library (the pack tool compresses with liblzo2).
#pragma once
#include <cstddef>
#include <cstdint>

namespace pack {

enum class Lzo1xStatus {
    kOk,                 // the end marker came exactly at the end of the input
    kInputOverrun,       // the input ends inside an instruction or before the end marker
    kOutputOverrun,      // the content would not fit the output
    kLookbehindOverrun,  // a copy reaches back before the start of the output
    kInputNotConsumed,   // bytes follow the end marker
};

// Decodes the LZO1X stream in[0, inSize) into out[0, outCapacity) and sets
// *written to the bytes produced (on an error, those before the failing
// instruction). Never reads or writes outside the two ranges; bytes of out
// past *written may have been overwritten.
Lzo1xStatus DecodeLzo1x(const uint8_t* in, size_t inSize, uint8_t* out, size_t outCapacity,
                        size_t* written);

}  // namespace pack
