// Tiger, "Tiger: A Fast New Hash Function" (Anderson and Biham, FSE 1996), the original
// three-pass function with padding byte 0x01. The 24 rounds and both key schedules are unrolled;
// the eight message words stay in locals and the S-boxes are indexed by the bytes of c.
#include "tiger.h"

#include "block_hash.h"
#include "byte_order.h"

namespace hashlib {
namespace {

constexpr uint64_t kInitialState[3] = {0x0123456789ABCDEFull, 0xFEDCBA9876543210ull, 0xF096A5B4C3B2E187ull};

// One round: the even bytes of c select from the boxes in order 1..4 to reduce a, the odd bytes
// in order 4..1 to grow b.
#define TIGER_ROUND(a, b, c, x, mul)                                                                        \
    c ^= x;                                                                                                 \
    a -= TigerSboxes[0][uint8_t(c)] ^ TigerSboxes[1][uint8_t(c >> 16)] ^ TigerSboxes[2][uint8_t(c >> 32)] ^ \
         TigerSboxes[3][uint8_t(c >> 48)];                                                                  \
    b += TigerSboxes[3][uint8_t(c >> 8)] ^ TigerSboxes[2][uint8_t(c >> 24)] ^                               \
         TigerSboxes[1][uint8_t(c >> 40)] ^ TigerSboxes[0][uint8_t(c >> 56)];                               \
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
