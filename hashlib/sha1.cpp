// SHA-1, FIPS 180-1 (the revision whose message schedule rotates by one bit). The 80 steps are
// unrolled; the schedule lives in a 16-word window that is rewritten in place from step 16 on,
// and the five working words change roles from step to step instead of being shifted.
#include "sha1.h"

#include "block_hash.h"
#include "byte_order.h"
#include "cpu_dispatch.h"

namespace hashlib {
namespace {

constexpr uint32_t kInitialState[5] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};

// Round constants: 2^30 times the square roots of 2, 3, 5 and 10.
constexpr uint32_t kRound1 = 0x5a827999;
constexpr uint32_t kRound2 = 0x6ed9eba1;
constexpr uint32_t kRound3 = 0x8f1bbcdc;
constexpr uint32_t kRound4 = 0xca62c1d6;

// Ch as ((c ^ d) & b) ^ d and Maj as (b & c) | ((b | c) & d): the standard's functions with
// fewer operations.
inline uint32_t Choose(uint32_t b, uint32_t c, uint32_t d) {
    return ((c ^ d) & b) ^ d;
}
inline uint32_t Parity(uint32_t b, uint32_t c, uint32_t d) {
    return b ^ c ^ d;
}
inline uint32_t Majority(uint32_t b, uint32_t c, uint32_t d) {
    return (b & c) | ((b | c) & d);
}

// W[t] = (W[t-3] ^ W[t-8] ^ W[t-14] ^ W[t-16]) <<< 1, written over W[t-16] in the window.
#define SHA1_SCHEDULE(t) \
    (w[(t)&15] = RotateLeft32(w[((t) + 13) & 15] ^ w[((t) + 8) & 15] ^ w[((t) + 2) & 15] ^ w[(t)&15], 1))
#define SHA1_LOADED(t) w[t]

// One step; the caller passes the words in their roles for this step.
#define SHA1_STEP(f, k, a, b, c, d, e, x)             \
    e += RotateLeft32(a, 5) + f(b, c, d) + (k) + (x); \
    b = RotateLeft32(b, 30)

// Five steps bring the roles back to where they started.
#define SHA1_FIVE_STEPS(f, k, t, W)             \
    SHA1_STEP(f, k, a, b, c, d, e, W((t) + 0)); \
    SHA1_STEP(f, k, e, a, b, c, d, W((t) + 1)); \
    SHA1_STEP(f, k, d, e, a, b, c, W((t) + 2)); \
    SHA1_STEP(f, k, c, d, e, a, b, W((t) + 3)); \
    SHA1_STEP(f, k, b, c, d, e, a, W((t) + 4))

HASHLIB_ALWAYS_INLINE void Sha1Transform(uint32_t (&state)[5], const uint8_t* block) {
    uint32_t w[16];
    for (int i = 0; i < 16; ++i) {
        w[i] = LoadBe32(block + 4 * i);
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];

    SHA1_FIVE_STEPS(Choose, kRound1, 0, SHA1_LOADED);
    SHA1_FIVE_STEPS(Choose, kRound1, 5, SHA1_LOADED);
    SHA1_FIVE_STEPS(Choose, kRound1, 10, SHA1_LOADED);
    SHA1_STEP(Choose, kRound1, a, b, c, d, e, w[15]);
    SHA1_STEP(Choose, kRound1, e, a, b, c, d, SHA1_SCHEDULE(16));
    SHA1_STEP(Choose, kRound1, d, e, a, b, c, SHA1_SCHEDULE(17));
    SHA1_STEP(Choose, kRound1, c, d, e, a, b, SHA1_SCHEDULE(18));
    SHA1_STEP(Choose, kRound1, b, c, d, e, a, SHA1_SCHEDULE(19));

    SHA1_FIVE_STEPS(Parity, kRound2, 20, SHA1_SCHEDULE);
    SHA1_FIVE_STEPS(Parity, kRound2, 25, SHA1_SCHEDULE);
    SHA1_FIVE_STEPS(Parity, kRound2, 30, SHA1_SCHEDULE);
    SHA1_FIVE_STEPS(Parity, kRound2, 35, SHA1_SCHEDULE);

    SHA1_FIVE_STEPS(Majority, kRound3, 40, SHA1_SCHEDULE);
    SHA1_FIVE_STEPS(Majority, kRound3, 45, SHA1_SCHEDULE);
    SHA1_FIVE_STEPS(Majority, kRound3, 50, SHA1_SCHEDULE);
    SHA1_FIVE_STEPS(Majority, kRound3, 55, SHA1_SCHEDULE);

    SHA1_FIVE_STEPS(Parity, kRound4, 60, SHA1_SCHEDULE);
    SHA1_FIVE_STEPS(Parity, kRound4, 65, SHA1_SCHEDULE);
    SHA1_FIVE_STEPS(Parity, kRound4, 70, SHA1_SCHEDULE);
    SHA1_FIVE_STEPS(Parity, kRound4, 75, SHA1_SCHEDULE);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
}

#undef SHA1_FIVE_STEPS
#undef SHA1_STEP
#undef SHA1_LOADED
#undef SHA1_SCHEDULE

}  // namespace

void detail::Sha1CompressPortable(uint32_t state[5], const uint8_t* blocks, uint32_t count) {
    CompressBlocks<uint32_t, 5, 64, Sha1Transform>(state, blocks, count);
}

namespace {

// The kernel this CPU level runs.
void Sha1Compress(uint32_t* state, const uint8_t* blocks, uint32_t count) {
    detail::ActiveKernels().sha1_compress(state, blocks, count);
}

}  // namespace

void Sha1Init(Sha1Context* context) {
    InitBlocks64(context, kInitialState);
}

void Sha1Update(Sha1Context* context, const void* data, uint32_t length) {
    UpdateBlocks64<Sha1Compress>(context, data, length);
}

void Sha1Final(Sha1Context* context, uint8_t* digest) {
    FinalBlocks64<Sha1Compress>(context, 0x80, ByteOrder::BigEndian, digest);
    Sha1Init(context);
}

void Sha1Calculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Sha1Context, Sha1Init, Sha1Update, Sha1Final>(digest, data, length);
}

}  // namespace hashlib
