// BLAKE2b, RFC 7693, with the parameter block of an unkeyed 64-byte digest (digest length 64,
// key length 0, fanout 1, depth 1: the word 0x01010040 XORed into h0). Twelve rounds of G over
// the 16-word working vector, unrolled so every message index is a constant.
//
// There is no vector path: the four columns' G functions are independent, and the scalar code
// runs them side by side at the speed of one G's chain of additions, XORs and rotations. The
// usual form with the rows in 256-bit registers (AVX2, or AVX-512's VPRORQ) puts element
// permutations into that chain and ran at less than half this speed on the AMD Zen 5 measured.
#include "blake2b.h"

#include <cstring>

#include "block_hash.h"
#include "byte_order.h"
#include "cpu_dispatch.h"

namespace hashlib {

// SHA-512's initial words (the square roots of the first 8 primes), RFC 7693 section 2.6.
extern constexpr uint64_t detail::Blake2bInitialState[8] = {
    0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b, 0xa54ff53a5f1d36f1,
    0x510e527fade682d1, 0x9b05688c2b3e6c1f, 0x1f83d9abfb41bd6b, 0x5be0cd19137e2179,
};

// The message word permutations of RFC 7693 section 2.7; rounds 10 and 11 use the first two again.
extern constexpr uint8_t detail::Blake2bSigma[12][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4},
    {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13},
    {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11},
    {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5},
    {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
};

namespace {

// The mixing function G (RFC 7693 section 3.1) with message words x and y.
#define BLAKE2B_G(a, b, c, d, x, y) \
    a += b + (x);                   \
    d = RotateRight64(d ^ a, 32);   \
    c += d;                         \
    b = RotateRight64(b ^ c, 24);   \
    a += b + (y);                   \
    d = RotateRight64(d ^ a, 16);   \
    c += d;                         \
    b = RotateRight64(b ^ c, 63)

// Round r: G on the four columns, then on the four diagonals.
#define BLAKE2B_M(r, i) m[detail::Blake2bSigma[r][i]]
#define BLAKE2B_ROUND(r)                                             \
    BLAKE2B_G(v0, v4, v8, v12, BLAKE2B_M(r, 0), BLAKE2B_M(r, 1));    \
    BLAKE2B_G(v1, v5, v9, v13, BLAKE2B_M(r, 2), BLAKE2B_M(r, 3));    \
    BLAKE2B_G(v2, v6, v10, v14, BLAKE2B_M(r, 4), BLAKE2B_M(r, 5));   \
    BLAKE2B_G(v3, v7, v11, v15, BLAKE2B_M(r, 6), BLAKE2B_M(r, 7));   \
    BLAKE2B_G(v0, v5, v10, v15, BLAKE2B_M(r, 8), BLAKE2B_M(r, 9));   \
    BLAKE2B_G(v1, v6, v11, v12, BLAKE2B_M(r, 10), BLAKE2B_M(r, 11)); \
    BLAKE2B_G(v2, v7, v8, v13, BLAKE2B_M(r, 12), BLAKE2B_M(r, 13));  \
    BLAKE2B_G(v3, v4, v9, v14, BLAKE2B_M(r, 14), BLAKE2B_M(r, 15))

HASHLIB_ALWAYS_INLINE void Compress(uint64_t (&h)[8], const uint8_t* block, uint64_t t0, uint64_t t1,
                                    uint64_t last) {
    uint64_t m[16];
    for (int i = 0; i < 16; ++i) {
        m[i] = LoadLe64(block + 8 * i);
    }
    const uint64_t* iv = detail::Blake2bInitialState;
    uint64_t v0 = h[0], v1 = h[1], v2 = h[2], v3 = h[3], v4 = h[4], v5 = h[5], v6 = h[6], v7 = h[7];
    uint64_t v8 = iv[0], v9 = iv[1], v10 = iv[2], v11 = iv[3];
    uint64_t v12 = iv[4] ^ t0, v13 = iv[5] ^ t1, v14 = iv[6] ^ last, v15 = iv[7];
    BLAKE2B_ROUND(0);
    BLAKE2B_ROUND(1);
    BLAKE2B_ROUND(2);
    BLAKE2B_ROUND(3);
    BLAKE2B_ROUND(4);
    BLAKE2B_ROUND(5);
    BLAKE2B_ROUND(6);
    BLAKE2B_ROUND(7);
    BLAKE2B_ROUND(8);
    BLAKE2B_ROUND(9);
    BLAKE2B_ROUND(10);
    BLAKE2B_ROUND(11);
    h[0] ^= v0 ^ v8;
    h[1] ^= v1 ^ v9;
    h[2] ^= v2 ^ v10;
    h[3] ^= v3 ^ v11;
    h[4] ^= v4 ^ v12;
    h[5] ^= v5 ^ v13;
    h[6] ^= v6 ^ v14;
    h[7] ^= v7 ^ v15;
}

#undef BLAKE2B_ROUND
#undef BLAKE2B_M
#undef BLAKE2B_G

}  // namespace

void detail::Blake2bCompressPortable(uint64_t state[8], uint64_t count[2], const uint8_t* blocks, uint32_t n,
                                     uint32_t increment, uint64_t last) {
    uint64_t h[8];
    for (int i = 0; i < 8; ++i) {
        h[i] = state[i];
    }
    uint64_t t0 = count[0], t1 = count[1];
    for (; n != 0; --n, blocks += Blake2bBlockSize) {
        t0 += increment;
        t1 += t0 < increment ? 1 : 0;
        Compress(h, blocks, t0, t1, last);
    }
    count[0] = t0;
    count[1] = t1;
    for (int i = 0; i < 8; ++i) {
        state[i] = h[i];
    }
}

void Blake2bInit(Blake2bContext* context) {
    for (int i = 0; i < 8; ++i) {
        context->state[i] = detail::Blake2bInitialState[i];
    }
    context->state[0] ^= 0x01010000 | Blake2bDigestSize;
    context->count[0] = 0;
    context->count[1] = 0;
    context->fill = 0;
}

// A block is compressed only once a byte beyond it has arrived, since the last block of the
// message is compressed differently.
void Blake2bUpdate(Blake2bContext* context, const void* data, uint32_t length) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (length > Blake2bBlockSize - context->fill) {
        const auto compress = detail::ActiveKernels().blake2b_compress;
        if (context->fill != 0) {
            const uint32_t take = Blake2bBlockSize - context->fill;
            std::memcpy(context->buffer + context->fill, bytes, take);
            bytes += take;
            length -= take;
            compress(context->state, context->count, context->buffer, 1, Blake2bBlockSize, 0);
            context->fill = 0;
        }
        // Whole blocks straight from the caller's data, all but the last (length stays above 0).
        const uint32_t blocks = (length - 1) / Blake2bBlockSize;
        if (blocks != 0) {
            compress(context->state, context->count, bytes, blocks, Blake2bBlockSize, 0);
            bytes += blocks * Blake2bBlockSize;
            length -= blocks * Blake2bBlockSize;
        }
    }
    if (length != 0) {
        std::memcpy(context->buffer + context->fill, bytes, length);
        context->fill += length;
    }
}

void Blake2bFinal(Blake2bContext* context, uint8_t* digest) {
    std::memset(context->buffer + context->fill, 0, Blake2bBlockSize - context->fill);
    detail::ActiveKernels().blake2b_compress(context->state, context->count, context->buffer, 1,
                                             context->fill, ~uint64_t(0));
    StoreWords(digest, context->state, 8, ByteOrder::LittleEndian);
    Blake2bInit(context);
}

void Blake2bCalculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Blake2bContext, Blake2bInit, Blake2bUpdate, Blake2bFinal>(digest, data, length);
}

}  // namespace hashlib
