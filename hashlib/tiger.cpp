// Tiger, "Tiger: A Fast New Hash Function" (Anderson and Biham, FSE 1996), the original
// three-pass function with padding byte 0x01. The 24 rounds and both key schedules are unrolled;
// the eight message words stay in locals and the S-boxes are looked up by the bytes of c.
#include "tiger.h"

#include "block_hash.h"
#include "byte_order.h"

namespace hashlib {
namespace {

constexpr uint64_t kInitialState[3] = {0x0123456789ABCDEFull, 0xFEDCBA9876543210ull, 0xF096A5B4C3B2E187ull};

// The entry of box `Box` that byte `Byte` of c selects, found by the byte offset eight times
// that byte, cut from c with a shift and a mask: the load then takes an unscaled index, which
// the round's chain (byte, load, XOR, subtract) waits a cycle less for than a scaled one.
template <int Box, int Byte>
HASHLIB_ALWAYS_INLINE uint64_t Lookup(uint64_t c) {
    const uint64_t offset = Byte == 0 ? (c << 3) & 0x7F8 : (c >> (8 * Byte - 3)) & 0x7F8;
    return *reinterpret_cast<const uint64_t*>(reinterpret_cast<const uint8_t*>(TigerSboxes[Box]) + offset);
}

// One round: the even bytes of c select from the boxes in order 1..4 to reduce a, the odd bytes
// in order 4..1 to grow b.
#define TIGER_ROUND(a, b, c, x, mul)                                            \
    c ^= x;                                                                     \
    a -= Lookup<0, 0>(c) ^ Lookup<1, 2>(c) ^ Lookup<2, 4>(c) ^ Lookup<3, 6>(c); \
    b += Lookup<3, 1>(c) ^ Lookup<2, 3>(c) ^ Lookup<1, 5>(c) ^ Lookup<0, 7>(c); \
    b *= mul

#define TIGER_PASS(a, b, c, mul)   \
    TIGER_ROUND(a, b, c, x0, mul); \
    TIGER_ROUND(b, c, a, x1, mul); \
    TIGER_ROUND(c, a, b, x2, mul); \
    TIGER_ROUND(a, b, c, x3, mul); \
    TIGER_ROUND(b, c, a, x4, mul); \
    TIGER_ROUND(c, a, b, x5, mul); \
    TIGER_ROUND(a, b, c, x6, mul); \
    TIGER_ROUND(b, c, a, x7, mul)

#define TIGER_KEY_SCHEDULE            \
    x0 -= x7 ^ 0xA5A5A5A5A5A5A5A5ull; \
    x1 ^= x0;                         \
    x2 += x1;                         \
    x3 -= x2 ^ ((~x1) << 19);         \
    x4 ^= x3;                         \
    x5 += x4;                         \
    x6 -= x5 ^ ((~x4) >> 23);         \
    x7 ^= x6;                         \
    x0 += x7;                         \
    x1 -= x0 ^ ((~x7) << 19);         \
    x2 ^= x1;                         \
    x3 += x2;                         \
    x4 -= x3 ^ ((~x2) >> 23);         \
    x5 ^= x4;                         \
    x6 += x5;                         \
    x7 -= x6 ^ 0x0123456789ABCDEFull

HASHLIB_ALWAYS_INLINE void TigerTransform(uint64_t (&state)[3], const uint8_t* block) {
    uint64_t x0 = LoadLe64(block), x1 = LoadLe64(block + 8), x2 = LoadLe64(block + 16),
             x3 = LoadLe64(block + 24), x4 = LoadLe64(block + 32), x5 = LoadLe64(block + 40),
             x6 = LoadLe64(block + 48), x7 = LoadLe64(block + 56);
    uint64_t a = state[0], b = state[1], c = state[2];

    TIGER_PASS(a, b, c, 5);
    TIGER_KEY_SCHEDULE;
    TIGER_PASS(c, a, b, 7);
    TIGER_KEY_SCHEDULE;
    TIGER_PASS(b, c, a, 9);

    state[0] ^= a;
    state[1] = b - state[1];
    state[2] += c;
}

#undef TIGER_KEY_SCHEDULE
#undef TIGER_PASS
#undef TIGER_ROUND

constexpr auto TigerCompressBlocks = &CompressBlocks<uint64_t, 3, 64, TigerTransform>;

}  // namespace

void TigerInit(TigerContext* context) {
    InitBlocks64(context, kInitialState);
}

void TigerUpdate(TigerContext* context, const void* data, uint32_t length) {
    UpdateBlocks64<TigerCompressBlocks>(context, data, length);
}

void TigerFinal(TigerContext* context, uint8_t* digest) {
    FinalBlocks64<TigerCompressBlocks>(context, 0x01, ByteOrder::LittleEndian, digest);
    TigerInit(context);
}

void TigerCalculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<TigerContext, TigerInit, TigerUpdate, TigerFinal>(digest, data, length);
}

}  // namespace hashlib
