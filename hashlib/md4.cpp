// MD4, RFC 1320. Also the inner hash of the eDonkey/eMule chunked hash.
#include "block_hash.h"
#include "byte_order.h"
#include "md5.h"

namespace hashlib {
namespace {

constexpr uint32_t kInitialState[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
constexpr uint32_t kRound2 = 0x5a827999;  // sqrt(2) * 2^30
constexpr uint32_t kRound3 = 0x6ed9eba1;  // sqrt(3) * 2^30

// x is the word the previous step produced, so each function is written with as few operations
// as it can after x is known: the selection as ((y ^ z) & x) ^ z, the majority as
// (y & z) + (x & (y ^ z)) (the two share no bit, so + is |), the parity as x ^ (y ^ z).
inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) {
    return ((y ^ z) & x) ^ z;
}
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) {
    return (y & z) + (x & (y ^ z));
}
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) {
    return x ^ (y ^ z);
}

// The message word and constant join the sum before the function, which waits for b.
#define MD4_STEP(f, a, b, c, d, x, k, s) a = RotateLeft32(a + (x) + (k) + f(b, c, d), s)

HASHLIB_ALWAYS_INLINE void Md4Transform(uint32_t (&state)[4], const uint8_t* block) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = LoadLe32(block + 4 * i);
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

    for (int i = 0; i < 16; i += 4) {
        MD4_STEP(F, a, b, c, d, x[i], 0, 3);
        MD4_STEP(F, d, a, b, c, x[i + 1], 0, 7);
        MD4_STEP(F, c, d, a, b, x[i + 2], 0, 11);
        MD4_STEP(F, b, c, d, a, x[i + 3], 0, 19);
    }
    for (int i = 0; i < 4; ++i) {
        MD4_STEP(G, a, b, c, d, x[i], kRound2, 3);
        MD4_STEP(G, d, a, b, c, x[i + 4], kRound2, 5);
        MD4_STEP(G, c, d, a, b, x[i + 8], kRound2, 9);
        MD4_STEP(G, b, c, d, a, x[i + 12], kRound2, 13);
    }
    constexpr int kRound3Order[4] = {0, 2, 1, 3};
    for (int i : kRound3Order) {
        MD4_STEP(H, a, b, c, d, x[i], kRound3, 3);
        MD4_STEP(H, d, a, b, c, x[i + 8], kRound3, 9);
        MD4_STEP(H, c, d, a, b, x[i + 4], kRound3, 11);
        MD4_STEP(H, b, c, d, a, x[i + 12], kRound3, 15);
    }

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

#undef MD4_STEP

constexpr auto Md4CompressBlocks = &CompressBlocks<uint32_t, 4, 64, Md4Transform>;

}  // namespace

void Md4Init(Md4Context* context) {
    InitBlocks64(context, kInitialState);
}

void Md4Update(Md4Context* context, const void* data, uint32_t length) {
    UpdateBlocks64<Md4CompressBlocks>(context, data, length);
}

void Md4Final(Md4Context* context, uint8_t* digest) {
    FinalBlocks64<Md4CompressBlocks>(context, 0x80, ByteOrder::LittleEndian, digest);
    Md4Init(context);
}

void Md4Calculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Md4Context, Md4Init, Md4Update, Md4Final>(digest, data, length);
}

}  // namespace hashlib
