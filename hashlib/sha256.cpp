// SHA-256, FIPS 180-2. The 64 rounds are unrolled; the schedule lives in a 16-word window that
// is rewritten in place from round 16 on, and the eight working words change roles from round
// to round instead of being shifted.
#include "sha256.h"

#include "block_hash.h"
#include "byte_order.h"
#include "cpu_dispatch.h"

namespace hashlib {
namespace {

// The first 32 bits of the fractional parts of the square roots of the first 8 primes.
constexpr uint32_t kInitialState[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

}  // namespace

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
extern constexpr uint32_t detail::Sha256RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

namespace {

inline uint32_t BigSigma0(uint32_t x) {
    return RotateRight32(x, 2) ^ RotateRight32(x, 13) ^ RotateRight32(x, 22);
}
inline uint32_t BigSigma1(uint32_t x) {
    return RotateRight32(x, 6) ^ RotateRight32(x, 11) ^ RotateRight32(x, 25);
}
inline uint32_t SmallSigma0(uint32_t x) {
    return RotateRight32(x, 7) ^ RotateRight32(x, 18) ^ (x >> 3);
}
inline uint32_t SmallSigma1(uint32_t x) {
    return RotateRight32(x, 17) ^ RotateRight32(x, 19) ^ (x >> 10);
}

// Ch as ((f ^ g) & e) ^ g and Maj as ((a | b) & c) | (a & b): the standard's functions with
// fewer operations.
inline uint32_t Choose(uint32_t e, uint32_t f, uint32_t g) {
    return ((f ^ g) & e) ^ g;
}
inline uint32_t Majority(uint32_t a, uint32_t b, uint32_t c) {
    return ((a | b) & c) | (a & b);
}

// W[t] = sigma1(W[t-2]) + W[t-7] + sigma0(W[t-15]) + W[t-16], written over W[t-16].
#define SHA256_SCHEDULED(t) \
    (w[(t)&15] += SmallSigma1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + SmallSigma0(w[((t) + 1) & 15]))
#define SHA256_LOADED(t) w[t]

// One round: T1 goes into d's slot, and the new a (T1 + T2) into h's slot.
#define SHA256_ROUND(a, b, c, d, e, f, g, h, t, x)                               \
    h += BigSigma1(e) + Choose(e, f, g) + detail::Sha256RoundConstants[t] + (x); \
    d += h;                                                                      \
    h += BigSigma0(a) + Majority(a, b, c)

// Eight rounds bring the roles back to where they started.
#define SHA256_EIGHT_ROUNDS(t, W)                              \
    SHA256_ROUND(a, b, c, d, e, f, g, h, (t) + 0, W((t) + 0)); \
    SHA256_ROUND(h, a, b, c, d, e, f, g, (t) + 1, W((t) + 1)); \
    SHA256_ROUND(g, h, a, b, c, d, e, f, (t) + 2, W((t) + 2)); \
    SHA256_ROUND(f, g, h, a, b, c, d, e, (t) + 3, W((t) + 3)); \
    SHA256_ROUND(e, f, g, h, a, b, c, d, (t) + 4, W((t) + 4)); \
    SHA256_ROUND(d, e, f, g, h, a, b, c, (t) + 5, W((t) + 5)); \
    SHA256_ROUND(c, d, e, f, g, h, a, b, (t) + 6, W((t) + 6)); \
    SHA256_ROUND(b, c, d, e, f, g, h, a, (t) + 7, W((t) + 7))

HASHLIB_ALWAYS_INLINE void Sha256Transform(uint32_t (&state)[8], const uint8_t* block) {
    uint32_t w[16];
    for (int i = 0; i < 16; ++i) {
        w[i] = LoadBe32(block + 4 * i);
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];

    SHA256_EIGHT_ROUNDS(0, SHA256_LOADED);
    SHA256_EIGHT_ROUNDS(8, SHA256_LOADED);
    SHA256_EIGHT_ROUNDS(16, SHA256_SCHEDULED);
    SHA256_EIGHT_ROUNDS(24, SHA256_SCHEDULED);
    SHA256_EIGHT_ROUNDS(32, SHA256_SCHEDULED);
    SHA256_EIGHT_ROUNDS(40, SHA256_SCHEDULED);
    SHA256_EIGHT_ROUNDS(48, SHA256_SCHEDULED);
    SHA256_EIGHT_ROUNDS(56, SHA256_SCHEDULED);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

#undef SHA256_EIGHT_ROUNDS
#undef SHA256_ROUND
#undef SHA256_LOADED
#undef SHA256_SCHEDULED

}  // namespace

void detail::Sha256CompressPortable(uint32_t state[8], const uint8_t* blocks, uint32_t count) {
    CompressBlocks<uint32_t, 8, 64, Sha256Transform>(state, blocks, count);
}

namespace {

// The kernel this CPU level runs.
void Sha256Compress(uint32_t* state, const uint8_t* blocks, uint32_t count) {
    detail::ActiveKernels().sha256_compress(state, blocks, count);
}

}  // namespace

void Sha256Init(Sha256Context* context) {
    InitBlocks64(context, kInitialState);
}

void Sha256Update(Sha256Context* context, const void* data, uint32_t length) {
    UpdateBlocks64<Sha256Compress>(context, data, length);
}

void Sha256Final(Sha256Context* context, uint8_t* digest) {
    FinalBlocks64<Sha256Compress>(context, 0x80, ByteOrder::BigEndian, digest);
    Sha256Init(context);
}

void Sha256Calculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Sha256Context, Sha256Init, Sha256Update, Sha256Final>(digest, data, length);
}

}  // namespace hashlib
