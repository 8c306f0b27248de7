// CRC-32 (ISO 3309, ITU-T V.42), table-driven, eight bytes a step ("slicing by 8"): table k
// holds the register after byte i and k zero bytes, so the eight bytes' contributions are
// looked up independently and XORed, instead of one dependent lookup per byte. Reads are
// aligned to four bytes and taken as 32-bit little-endian words. This is the code for CPUs
// without carry-less multiplication, and for short inputs and tails on the others.
#include "crc32.h"

#include <array>
#include <cstddef>

#include "byte_order.h"
#include "cpu_dispatch.h"

namespace hashlib {
namespace {

constexpr uint32_t kPolynomial = 0xEDB88320;  // x^32 + x^26 + ... + 1, bit-reversed

// kTables[0][i] is the register after shifting the byte i through it; kTables[k][i] the same
// followed by k zero bytes.
constexpr std::array<std::array<uint32_t, 256>, 8> kTables = [] {
    std::array<std::array<uint32_t, 256>, 8> tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = i;
        for (int bit = 0; bit < 8; ++bit) {
            r = (r & 1) ? (r >> 1) ^ kPolynomial : r >> 1;
        }
        tables[0][i] = r;
    }
    for (int k = 1; k < 8; ++k) {
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t r = tables[k - 1][i];
            tables[k][i] = (r >> 8) ^ tables[0][r & 0xff];
        }
    }
    return tables;
}();
static_assert(kTables[0][1] == 0x77073096 && kTables[0][255] == 0x2D02EF8D, "not the standard CRC-32 table");

inline uint32_t ByteStep(uint32_t crc, uint8_t byte) {
    return (crc >> 8) ^ kTables[0][(crc ^ byte) & 0xff];
}

inline uint32_t Step8Bytes(uint32_t crc, const uint8_t* p) {
    const uint32_t first = crc ^ LoadLe32(p);
    const uint32_t second = LoadLe32(p + 4);
    return kTables[7][first & 0xff] ^ kTables[6][(first >> 8) & 0xff] ^ kTables[5][(first >> 16) & 0xff] ^
           kTables[4][first >> 24] ^ kTables[3][second & 0xff] ^ kTables[2][(second >> 8) & 0xff] ^
           kTables[1][(second >> 16) & 0xff] ^ kTables[0][second >> 24];
}

}  // namespace

// The register advanced over `length` bytes.
uint32_t detail::Crc32UpdatePortable(uint32_t crc, const uint8_t* p, uint32_t length) {
    while (length != 0 && (reinterpret_cast<uintptr_t>(p) & 3) != 0) {
        crc = ByteStep(crc, *p++);
        --length;
    }
    for (; length >= 8; length -= 8, p += 8) {
        crc = Step8Bytes(crc, p);
    }
    for (; length != 0; --length) {
        crc = ByteStep(crc, *p++);
    }
    return crc;
}

void Crc32Init(Crc32Context* context) {
    context->crc = 0xFFFFFFFF;
}

void Crc32Update(Crc32Context* context, const void* data, uint32_t length) {
    if (length != 0) {
        context->crc =
            detail::ActiveKernels().crc32_update(context->crc, static_cast<const uint8_t*>(data), length);
    }
}

void Crc32Final(Crc32Context* context, uint8_t* digest) {
    StoreLe32(digest, ~context->crc);
    context->crc = 0xFFFFFFFF;
}

void Crc32Calculate(uint8_t* digest, const void* data, uint32_t length) {
    StoreLe32(digest,
              ~detail::ActiveKernels().crc32_update(0xFFFFFFFF, static_cast<const uint8_t*>(data), length));
}

}  // namespace hashlib
