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
inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return ((y ^ z) & x) ^ z; }
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return (y & z) + (x & (y ^ z)); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ (y ^ z); }

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

// The chaining words are locals for the whole run of blocks: stores to the caller's state could
// alias the input bytes and would force reloads after every block.
void Md4CompressBlocks(uint32_t state[4], const uint8_t* blocks, uint32_t count) {
    uint32_t h[4] = {state[0], state[1], state[2], state[3]};
    for (; count != 0; --count, blocks += 64) {
        Md4Transform(h, blocks);
    }
    for (int i = 0; i < 4; ++i) {
        state[i] = h[i];
    }
}

}  // namespace

void Md4Init(Md4Context* context) {
    for (int i = 0; i < 4; ++i) {
        context->state[i] = kInitialState[i];
    }
    context->count_low = 0;
    context->count_high = 0;
}

void Md4Update(Md4Context* context, const void* data, uint32_t length) {
    UpdateBlocks64(context, data, length,
                   [context](const uint8_t* blocks, uint32_t count) { Md4CompressBlocks(context->state, blocks, count); });
}

void Md4Final(Md4Context* context, uint8_t* digest) {
    PadBlocks64(context, 0x80, LengthOrder::LittleEndian,
                [context](const uint8_t* blocks, uint32_t count) { Md4CompressBlocks(context->state, blocks, count); });
    for (int i = 0; i < 4; ++i) {
        StoreLe32(digest + 4 * i, context->state[i]);
    }
    Md4Init(context);
}

void Md4Calculate(uint8_t* digest, const void* data, uint32_t length) {
    Md4Context context;
    Md4Init(&context);
    Md4Update(&context, data, length);
    Md4Final(&context, digest);
}

}  // namespace hashlib
