// LZO1X, as a stream of instructions. Each instruction either copies a run
// of literal bytes from the input, or copies bytes already produced (a match:
// a length and a distance back from the end of the output) and then up to
// three literals, whose count it carries in its two lowest bits. The count of
// literals the previous instruction copied decides what the next instruction
// means when its opcode is below 16:
//
//   none           0000LLLL             a literal run of 3 + L bytes (L = 0:
//                                       18 + the long length that follows)
//   1 to 3         0000DDSS H           2 bytes from (H << 2) + D + 1 back
//   a run (4+)     0000DDSS H           3 bytes from (H << 2) + D + 2049 back
//
// The other opcodes mean the same after any instruction:
//
//   0001HLLL  LE16     2 + L bytes (L = 0: 9 + long length) from
//                      16384 + (H << 14) + (LE16 >> 2) back; a distance of
//                      exactly 16384 ends the stream
//   001LLLLL  LE16     2 + L bytes (L = 0: 33 + long length) from
//                      (LE16 >> 2) + 1 back
//   01LDDDSS  H        3 + L bytes from (H << 3) + D + 1 back
//   1LLDDDSS  H        5 + L bytes from the same
//
// where S (the low two bits of the opcode or of LE16) is the number of
// literals that follow the match. A long length is a run of zero bytes, each
// worth 255, ended by a non-zero byte worth its value. The first byte of a
// stream is special: a value v above 17 copies v - 17 literals (and counts
// as that many, or as a run from 4 on), since nothing precedes it to copy.
//
// Copies advance in whole 8-byte steps when the output has room past their
// end: the bytes written beyond it are overwritten by what comes next.
#include "media/lzo1x_decoder.h"

#include <cstring>

namespace pack {
namespace {

constexpr size_t kStep = 8;

// Reads a long length; false when the input ends first. A length beyond
// half the address space is clamped there (no buffer is that large, so the
// copy that follows refuses it); the sums made with it cannot overflow.
inline bool ReadLongLength(const uint8_t*& ip, const uint8_t* ipEnd, size_t& length) {
    const uint8_t* zeros = ip;
    while (ip != ipEnd && *ip == 0) ++ip;
    if (ip == ipEnd) return false;
    const size_t count = static_cast<size_t>(ip - zeros);
    constexpr size_t kLimit = static_cast<size_t>(-1) / 2;
    length += count < kLimit / 255 ? count * 255 + *ip : kLimit;
    ++ip;
    return true;
}

// Copies n bytes from an earlier position of the output; the caller has
// checked that both ranges lie inside it.
inline uint8_t* CopyMatch(uint8_t* op, const uint8_t* opEnd, size_t distance, size_t n) {
    const uint8_t* from = op - distance;
    uint8_t* const end = op + n;
    if (static_cast<size_t>(opEnd - op) < n + kStep) {
        while (op != end) *op++ = *from++;  // near the end of the output
        return end;
    }
    if (distance < kStep) {
        // Bytes that repeat every `distance`: the first step byte by byte,
        // then whole steps from a whole number of periods back, at least a
        // step away.
        for (size_t i = 0; i < kStep; ++i) op[i] = from[i];
        if (n <= kStep) return end;
        static constexpr uint8_t kPeriods[kStep] = {0, 8, 8, 9, 8, 10, 12, 14};
        op += kStep;
        from = op - kPeriods[distance];
    }
    // Each step reads only bytes written before it.
    do {
        std::memcpy(op, from, kStep);
        op += kStep;
        from += kStep;
    } while (op < end);
    return end;
}

}  // namespace

Lzo1xStatus DecodeLzo1x(const uint8_t* in, size_t inSize, uint8_t* out, size_t outCapacity,
                        size_t* written) {
    const uint8_t* ip = in;
    const uint8_t* const ipEnd = in + inSize;
    uint8_t* op = out;
    uint8_t* const opEnd = out + outCapacity;
    Lzo1xStatus status = Lzo1xStatus::kInputOverrun;
    size_t literals = 0;  // copied by the previous instruction: 0, 1 to 3, or 4 for a run
    size_t length = 0;

    if (ip == ipEnd) goto done;
    if (*ip > 17) {
        length = *ip++ - 17u;
        goto literal_run;
    }

    for (;;) {
        size_t distance, following;
        if (ip == ipEnd) goto input_overrun;
        {
            const unsigned opcode = *ip++;
            if (opcode >= 64) {
                if (ip == ipEnd) goto input_overrun;
                length = (opcode >> 5) + 1;
                distance = (static_cast<size_t>(*ip++) << 3) + ((opcode >> 2) & 7) + 1;
                following = opcode & 3;
            } else if (opcode >= 16) {
                const bool near = opcode >= 32;
                length = near ? opcode & 31 : opcode & 7;
                if (length == 0) {
                    length = near ? 31 : 7;
                    if (!ReadLongLength(ip, ipEnd, length)) goto input_overrun;
                }
                length += 2;
                if (ipEnd - ip < 2) goto input_overrun;
                const size_t le16 = ip[0] | static_cast<size_t>(ip[1]) << 8;
                ip += 2;
                following = le16 & 3;
                if (near) {
                    distance = (le16 >> 2) + 1;
                } else {
                    distance = (le16 >> 2) + (static_cast<size_t>(opcode & 8) << 11);
                    if (distance == 0) {
                        status = ip == ipEnd ? Lzo1xStatus::kOk : Lzo1xStatus::kInputNotConsumed;
                        goto done;
                    }
                    distance += 16384;
                }
            } else if (literals == 0) {
                length = opcode;
                if (length == 0) {
                    length = 15;
                    if (!ReadLongLength(ip, ipEnd, length)) goto input_overrun;
                }
                length += 3;
                goto literal_run;
            } else {
                if (ip == ipEnd) goto input_overrun;
                distance = (static_cast<size_t>(*ip++) << 2) + (opcode >> 2) + 1;
                length = 2;
                if (literals == 4) {
                    distance += 2048;
                    length = 3;
                }
                following = opcode & 3;
            }
        }
        if (distance > static_cast<size_t>(op - out)) {
            status = Lzo1xStatus::kLookbehindOverrun;
            goto done;
        }
        if (length > static_cast<size_t>(opEnd - op)) goto output_overrun;
        op = CopyMatch(op, opEnd, distance, length);

        literals = following;
        if (following == 0) continue;
        if (ipEnd - ip >= 4 && opEnd - op >= 4) {
            std::memcpy(op, ip, 4);
        } else {
            if (following > static_cast<size_t>(ipEnd - ip)) goto input_overrun;
            if (following > static_cast<size_t>(opEnd - op)) goto output_overrun;
            std::memcpy(op, ip, following);
        }
        op += following;
        ip += following;
        continue;

    literal_run:
        if (length > static_cast<size_t>(ipEnd - ip)) goto input_overrun;
        if (length > static_cast<size_t>(opEnd - op)) goto output_overrun;
        if (static_cast<size_t>(ipEnd - ip) >= length + kStep &&
            static_cast<size_t>(opEnd - op) >= length + kStep) {
            const uint8_t* from = ip;
            uint8_t* to = op;
            do {
                std::memcpy(to, from, kStep);
                to += kStep;
                from += kStep;
            } while (to < op + length);
        } else {
            std::memcpy(op, ip, length);
        }
        op += length;
        ip += length;
        literals = length < 4 ? length : 4;
    }

input_overrun:
    status = Lzo1xStatus::kInputOverrun;
    goto done;
output_overrun:
    status = Lzo1xStatus::kOutputOverrun;
done:
    *written = static_cast<size_t>(op - out);
    return status;
}

}  // namespace pack
