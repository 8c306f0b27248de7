// CRC-32 (ISO 3309, ITU-T V.42), table-driven one byte per step. Reads are aligned to four
// bytes and taken a 32-bit little-endian word at a time; XORing the word into the register and
// stepping four times is the byte step applied to its bytes in address order.
#include "crc32.h"

#include <array>
#include <cstddef>

#include "byte_order.h"

namespace hashlib {
namespace {

constexpr uint32_t kPolynomial = 0xEDB88320;  // x^32 + x^26 + ... + 1, bit-reversed

// Entry i is the register after shifting the byte i through it.
constexpr std::array<uint32_t, 256> kTable = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = i;
        for (int bit = 0; bit < 8; ++bit) {
            r = (r & 1) ? (r >> 1) ^ kPolynomial : r >> 1;
        }
        table[i] = r;
    }
    return table;
}();
static_assert(kTable[1] == 0x77073096 && kTable[255] == 0x2D02EF8D, "not the standard CRC-32 table");

inline uint32_t ByteStep(uint32_t crc, uint8_t byte) {
    return (crc >> 8) ^ kTable[(crc ^ byte) & 0xff];
}

inline uint32_t Step4Bytes(uint32_t crc, const uint8_t* p) {
    crc ^= LoadLe32(p);
    crc = (crc >> 8) ^ kTable[crc & 0xff];
    crc = (crc >> 8) ^ kTable[crc & 0xff];
    crc = (crc >> 8) ^ kTable[crc & 0xff];
    return (crc >> 8) ^ kTable[crc & 0xff];
}

inline uint32_t Step16Bytes(uint32_t crc, const uint8_t* p) {
    crc = Step4Bytes(crc, p);
    crc = Step4Bytes(crc, p + 4);
    crc = Step4Bytes(crc, p + 8);
    return Step4Bytes(crc, p + 12);
}

// The register advanced over `length` bytes.
inline uint32_t CrcSum(uint32_t crc, const uint8_t* p, uint32_t length) {
    while (length != 0 && (reinterpret_cast<uintptr_t>(p) & 3) != 0) {
        crc = ByteStep(crc, *p++);
        --length;
    }
    for (; length >= 256; length -= 256) {
        for (int i = 0; i < 16; ++i, p += 16) {
            crc = Step16Bytes(crc, p);
        }
    }
    for (; length >= 16; length -= 16, p += 16) {
        crc = Step16Bytes(crc, p);
    }
    for (; length != 0; --length) {
        crc = ByteStep(crc, *p++);
    }
    return crc;
}

}  // namespace

void Crc32Init(Crc32Context* context) {
    context->crc = 0xFFFFFFFF;
}

void Crc32Update(Crc32Context* context, const void* data, uint32_t length) {
    if (length != 0) {
        context->crc = CrcSum(context->crc, static_cast<const uint8_t*>(data), length);
    }
}

void Crc32Final(Crc32Context* context, uint8_t* digest) {
    StoreLe32(digest, ~context->crc);
    context->crc = 0xFFFFFFFF;
}

void Crc32Calculate(uint8_t* digest, const void* data, uint32_t length) {
    StoreLe32(digest, ~CrcSum(0xFFFFFFFF, static_cast<const uint8_t*>(data), length));
}

}  // namespace hashlib
