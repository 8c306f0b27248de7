// SHA-512 and SHA-384, FIPS 180-2. The 80 rounds (sha512_round.h) are unrolled; the schedule
// lives in a 16-word window that is rewritten in place from round 16 on, and the eight working
// words change roles from round to round instead of being shifted. The length is a 128-bit
// byte count, turned into the 128-bit bit length only when the message is padded.
#include "sha512.h"

#include "block_hash.h"
#include "byte_order.h"
#include "cpu_dispatch.h"
#include "sha512_round.h"

namespace hashlib {
namespace {

// The first 64 bits of the fractional parts of the square roots of the first 8 primes.
constexpr uint64_t kSha512InitialState[8] = {
    0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b, 0xa54ff53a5f1d36f1,
    0x510e527fade682d1, 0x9b05688c2b3e6c1f, 0x1f83d9abfb41bd6b, 0x5be0cd19137e2179,
};

// The same for the 9th to 16th primes.
constexpr uint64_t kSha384InitialState[8] = {
    0xcbbb9d5dc1059ed8, 0x629a292a367cd507, 0x9159015a3070dd17, 0x152fecd8f70e5939,
    0x67332667ffc00b31, 0x8eb44a8768581511, 0xdb0c2e0d64f98fa7, 0x47b5481dbefa4fa4,
};

}  // namespace

// The first 64 bits of the fractional parts of the cube roots of the first 80 primes. The
// portable rounds index it with constants, so each becomes an immediate operand there.
extern constexpr uint64_t detail::Sha512RoundConstants[80] = {
    0x428a2f98d728ae22, 0x7137449123ef65cd, 0xb5c0fbcfec4d3b2f, 0xe9b5dba58189dbbc, 0x3956c25bf348b538,
    0x59f111f1b605d019, 0x923f82a4af194f9b, 0xab1c5ed5da6d8118, 0xd807aa98a3030242, 0x12835b0145706fbe,
    0x243185be4ee4b28c, 0x550c7dc3d5ffb4e2, 0x72be5d74f27b896f, 0x80deb1fe3b1696b1, 0x9bdc06a725c71235,
    0xc19bf174cf692694, 0xe49b69c19ef14ad2, 0xefbe4786384f25e3, 0x0fc19dc68b8cd5b5, 0x240ca1cc77ac9c65,
    0x2de92c6f592b0275, 0x4a7484aa6ea6e483, 0x5cb0a9dcbd41fbd4, 0x76f988da831153b5, 0x983e5152ee66dfab,
    0xa831c66d2db43210, 0xb00327c898fb213f, 0xbf597fc7beef0ee4, 0xc6e00bf33da88fc2, 0xd5a79147930aa725,
    0x06ca6351e003826f, 0x142929670a0e6e70, 0x27b70a8546d22ffc, 0x2e1b21385c26c926, 0x4d2c6dfc5ac42aed,
    0x53380d139d95b3df, 0x650a73548baf63de, 0x766a0abb3c77b2a8, 0x81c2c92e47edaee6, 0x92722c851482353b,
    0xa2bfe8a14cf10364, 0xa81a664bbc423001, 0xc24b8b70d0f89791, 0xc76c51a30654be30, 0xd192e819d6ef5218,
    0xd69906245565a910, 0xf40e35855771202a, 0x106aa07032bbd1b8, 0x19a4c116b8d2d0c8, 0x1e376c085141ab53,
    0x2748774cdf8eeb99, 0x34b0bcb5e19b48a8, 0x391c0cb3c5c95a63, 0x4ed8aa4ae3418acb, 0x5b9cca4f7763e373,
    0x682e6ff3d6b2b8a3, 0x748f82ee5defb2fc, 0x78a5636f43172f60, 0x84c87814a1f0ab72, 0x8cc702081a6439ec,
    0x90befffa23631e28, 0xa4506cebde82bde9, 0xbef9a3f7b2c67915, 0xc67178f2e372532b, 0xca273eceea26619c,
    0xd186b8c721c0c207, 0xeada7dd6cde0eb1e, 0xf57d4f7fee6ed178, 0x06f067aa72176fba, 0x0a637dc5a2c898a6,
    0x113f9804bef90dae, 0x1b710b35131c471b, 0x28db77f523047d84, 0x32caab7b40c72493, 0x3c9ebe0a15c9bebc,
    0x431d67c49c100d4c, 0x4cc5d4becb3e42b6, 0x597f299cfc657e2a, 0x5fcb6fab3ad6faec, 0x6c44198c4a475817,
};

namespace {

// W[t] = sigma1(W[t-2]) + W[t-7] + sigma0(W[t-15]) + W[t-16], written over W[t-16]; the first
// sixteen are the message words.
#define SHA512_SCHEDULED(t) \
    (w[(t)&15] +=           \
     detail::SmallSigma1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + detail::SmallSigma0(w[((t) + 1) & 15]))
#define SHA512_WK(t) (detail::Sha512RoundConstants[t] + ((t) < 16 ? w[(t)&15] : SHA512_SCHEDULED(t)))
#define SHA512_NOTHING_AFTER(t)

HASHLIB_ALWAYS_INLINE void Sha512Transform(uint64_t (&state)[8], const uint8_t* block) {
    uint64_t w[16];
    for (int i = 0; i < 16; ++i) {
        w[i] = LoadBe64(block + 8 * i);
    }
    SHA512_ALL_ROUNDS(state, SHA512_WK, SHA512_NOTHING_AFTER);
}

#undef SHA512_NOTHING_AFTER
#undef SHA512_WK
#undef SHA512_SCHEDULED

}  // namespace

void detail::Sha512CompressPortable(uint64_t state[8], const uint8_t* blocks, uint32_t count) {
    CompressBlocks<uint64_t, 8, 128, Sha512Transform>(state, blocks, count);
}

namespace {

void InitWith(Sha512Context* context, const uint64_t (&initial)[8]) {
    for (int i = 0; i < 8; ++i) {
        context->state[i] = initial[i];
    }
    for (uint32_t& word : context->count) {
        word = 0;
    }
}

// Pads the message and writes the first `words` state words big-endian.
void FinishInto(Sha512Context* context, uint8_t* digest, size_t words) {
    const uint32_t* count = context->count;
    // The 128-bit byte count shifted left by 3 across all four words, as two 64-bit halves.
    const uint64_t bytes_low = uint64_t(count[1]) << 32 | count[0];
    const uint64_t bytes_high = uint64_t(count[3]) << 32 | count[2];
    const uint64_t bits_low = bytes_low << 3;
    const uint64_t bits_high = bytes_high << 3 | bytes_low >> 61;
    const auto compress = detail::ActiveKernels().sha512_compress;
    PadAndCompress<128, 16>(
        context->buffer, count[0] % 128, 0x80,
        [&](uint8_t* at) {
            StoreBe64(at, bits_high);
            StoreBe64(at + 8, bits_low);
        },
        [context, compress](const uint8_t* blocks, uint32_t n) { compress(context->state, blocks, n); });
    StoreWords(digest, context->state, words, ByteOrder::BigEndian);
}

}  // namespace

void Sha512Init(Sha512Context* context) {
    InitWith(context, kSha512InitialState);
}

void Sha384Init(Sha512Context* context) {
    InitWith(context, kSha384InitialState);
}

void Sha512Update(Sha512Context* context, const void* data, uint32_t length) {
    if (length == 0) {
        return;
    }
    const uint32_t fill = context->count[0] % 128;
    AddToCount(context->count, length);
    const auto compress = detail::ActiveKernels().sha512_compress;
    AbsorbBlocks<128>(
        context->buffer, fill, static_cast<const uint8_t*>(data), length,
        [context, compress](const uint8_t* blocks, uint32_t n) { compress(context->state, blocks, n); });
}

void Sha512Final(Sha512Context* context, uint8_t* digest) {
    FinishInto(context, digest, 8);
    Sha512Init(context);
}

void Sha384Final(Sha512Context* context, uint8_t* digest) {
    FinishInto(context, digest, 6);
    Sha384Init(context);
}

void Sha512Calculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Sha512Context, Sha512Init, Sha512Update, Sha512Final>(digest, data, length);
}

void Sha384Calculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Sha512Context, Sha384Init, Sha512Update, Sha384Final>(digest, data, length);
}

}  // namespace hashlib
