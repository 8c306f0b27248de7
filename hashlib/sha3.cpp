// SHA3-256 and SHA3-512, FIPS 202: the sponge over Keccak-f[1600] with rate 136 or 72 bytes,
// the message followed by the domain bits 01 and the pad10*1 rule (so the byte 0x06 after the
// message, 0x80 in the block's last byte), and the first 32 or 64 bytes of the state as the
// digest. The context holds no buffer: input bytes are XORed straight into the state.
//
// The portable permutation keeps six lanes complemented (the Keccak team's "lane complementing"
// transform, lanes be, bi, go, ki, mi and sa) while it runs: chi's NOT then falls on one lane
// per row instead of five, which saves a fifth of the instructions where there is no and-not.
#include "sha3.h"

#include <cstring>

#include "block_hash.h"
#include "byte_order.h"
#include "cpu_dispatch.h"

namespace hashlib {
namespace {

inline uint64_t LaneXor(uint64_t a, uint64_t b) {
    return a ^ b;
}
inline uint64_t LaneXor5(uint64_t a, uint64_t b, uint64_t c, uint64_t d, uint64_t e) {
    return a ^ b ^ c ^ d ^ e;
}
template <int N>
inline uint64_t LaneRotate(uint64_t x) {
    if constexpr (N == 0) {
        return x;
    } else {
        return (x << N) | (x >> (64 - N));
    }
}

}  // namespace
}  // namespace hashlib

#include "keccak_round.h"

namespace hashlib {
namespace {

// Chi, e_x = b_x ^ (~b_x+1 & b_x+2), on rows whose lanes are held complemented in the pattern
// above (b_x here is the held value): each form below is that formula with the complements
// pushed through by De Morgan's laws, so that the held outputs come out complemented again in
// the same lanes.
#define KECCAK_CHI(y, e0, e1, e2, e3, e4, b0, b1, b2, b3, b4) \
    KECCAK_CHI_##y(e0, e1, e2, e3, e4, b0, b1, b2, b3, b4)
#define KECCAK_CHI_0(e0, e1, e2, e3, e4, b0, b1, b2, b3, b4) \
    e0 = b0 ^ (b1 | b2);                                     \
    e1 = b1 ^ (~b2 | b3);                                    \
    e2 = b2 ^ (b3 & b4);                                     \
    e3 = b3 ^ (b4 | b0);                                     \
    e4 = b4 ^ (b0 & b1)
#define KECCAK_CHI_1(e0, e1, e2, e3, e4, b0, b1, b2, b3, b4) \
    e0 = b0 ^ (b1 | b2);                                     \
    e1 = b1 ^ (b2 & b3);                                     \
    e2 = b2 ^ (b3 | ~b4);                                    \
    e3 = b3 ^ (b4 | b0);                                     \
    e4 = b4 ^ (b0 & b1)
#define KECCAK_CHI_2(e0, e1, e2, e3, e4, b0, b1, b2, b3, b4) \
    e0 = b0 ^ (b1 | b2);                                     \
    e1 = b1 ^ (b2 & b3);                                     \
    b3 = ~b3;                                                \
    e2 = b2 ^ (b3 & b4);                                     \
    e3 = b3 ^ (b4 | b0);                                     \
    e4 = b4 ^ (b0 & b1)
#define KECCAK_CHI_3(e0, e1, e2, e3, e4, b0, b1, b2, b3, b4) \
    e0 = b0 ^ (b1 & b2);                                     \
    e1 = b1 ^ (b2 | b3);                                     \
    b3 = ~b3;                                                \
    e2 = b2 ^ (b3 | b4);                                     \
    e3 = b3 ^ (b4 & b0);                                     \
    e4 = b4 ^ (b0 | b1)
#define KECCAK_CHI_4(e0, e1, e2, e3, e4, b0, b1, b2, b3, b4) \
    e4 = b4 ^ (b0 & b1);                                     \
    b1 = ~b1;                                                \
    e0 = b0 ^ (b1 & b2);                                     \
    e1 = b1 ^ (b2 | b3);                                     \
    e2 = b2 ^ (b3 & b4);                                     \
    e3 = b3 ^ (b4 | b0)
#define KECCAK_IOTA(lane, round) lane ^= detail::KeccakRoundConstants[round]

// The lanes held complemented.
constexpr bool kComplemented[25] = {false, true,  true,  false, false, false, false, false, true,
                                    false, false, false, true,  false, false, false, false, true,
                                    false, false, true,  false, false, false, false};

inline uint64_t Held(uint64_t lane, int index) {
    return kComplemented[index] ? ~lane : lane;
}

// The first `Lanes` lanes XOR the block's words; the others are left alone.
template <uint32_t Lanes, int Index>
HASHLIB_ALWAYS_INLINE uint64_t Absorbed(uint64_t lane, const uint8_t* block) {
    if constexpr (Index < int(Lanes)) {
        return lane ^ LoadLe64(block + 8 * Index);
    } else {
        return lane;
    }
}

#define KECCAK_DECLARE(name, index) name
#define KECCAK_LOAD(name, index) name = Held(state[index], index)
#define KECCAK_STORE(name, index) state[index] = Held(name, index)
#define KECCAK_ABSORB(name, index) name = Absorbed<Lanes, index>(name, blocks)

template <uint32_t Lanes>
void Absorb(uint64_t state[25], const uint8_t* blocks, uint32_t count) {
    uint64_t KECCAK_FOR_EACH_LANE(KECCAK_DECLARE, A);
    uint64_t KECCAK_FOR_EACH_LANE(KECCAK_DECLARE, E);
    uint64_t c0, c1, c2, c3, c4, d0, d1, d2, d3, d4, b0, b1, b2, b3, b4;
    KECCAK_FOR_EACH_LANE(KECCAK_LOAD, A);
    for (; count != 0; --count, blocks += 8 * Lanes) {
        KECCAK_FOR_EACH_LANE(KECCAK_ABSORB, A);
        for (int round = 0; round < 24; round += 2) {
            KECCAK_ROUND(A, E, round);
            KECCAK_ROUND(E, A, round + 1);
        }
    }
    KECCAK_FOR_EACH_LANE(KECCAK_STORE, A);
}

#undef KECCAK_ABSORB
#undef KECCAK_STORE
#undef KECCAK_LOAD
#undef KECCAK_DECLARE
#undef KECCAK_IOTA
#undef KECCAK_CHI_4
#undef KECCAK_CHI_3
#undef KECCAK_CHI_2
#undef KECCAK_CHI_1
#undef KECCAK_CHI_0
#undef KECCAK_CHI

}  // namespace

void detail::KeccakAbsorbPortable(uint64_t state[25], const uint8_t* blocks, uint32_t count, uint32_t rate) {
    if (rate == Sha3_256BlockSize) {
        Absorb<Sha3_256BlockSize / 8>(state, blocks, count);
    } else {
        Absorb<Sha3_512BlockSize / 8>(state, blocks, count);
    }
}

namespace {

// Absorbed when the state is to be permuted with no further input.
constexpr uint8_t kZeroBlock[Sha3_256BlockSize] = {};

void InitWithRate(Sha3Context* context, uint32_t rate) {
    for (uint64_t& lane : context->state) {
        lane = 0;
    }
    context->rate = rate;
    context->fill = 0;
}

// XORs bytes into the state from byte position `at` on (little-endian lanes).
void XorBytes(uint64_t state[25], uint32_t at, const uint8_t* data, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i, ++at) {
        state[at / 8] ^= uint64_t(data[i]) << (8 * (at % 8));
    }
}

// Pads (0x06 after the message, 0x80 in the block's last byte), runs the last permutation and
// writes the first `digest_size` bytes of the state.
void FinishInto(Sha3Context* context, uint8_t* digest, uint32_t digest_size) {
    const uint8_t domain_and_first_pad = 0x06;
    const uint8_t last_pad = 0x80;
    XorBytes(context->state, context->fill, &domain_and_first_pad, 1);
    XorBytes(context->state, context->rate - 1, &last_pad, 1);
    detail::ActiveKernels().keccak_absorb(context->state, kZeroBlock, 1, context->rate);
    StoreWords(digest, context->state, digest_size / 8, ByteOrder::LittleEndian);
}

}  // namespace

void Sha3_256Init(Sha3Context* context) {
    InitWithRate(context, Sha3_256BlockSize);
}

void Sha3_512Init(Sha3Context* context) {
    InitWithRate(context, Sha3_512BlockSize);
}

void Sha3Update(Sha3Context* context, const void* data, uint32_t length) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    const uint32_t rate = context->rate;
    const auto absorb = detail::ActiveKernels().keccak_absorb;
    if (context->fill != 0) {
        const uint32_t take = length < rate - context->fill ? length : rate - context->fill;
        XorBytes(context->state, context->fill, bytes, take);
        context->fill += take;
        bytes += take;
        length -= take;
        if (context->fill < rate) {
            return;
        }
        absorb(context->state, kZeroBlock, 1, rate);
        context->fill = 0;
    }
    const uint32_t blocks = length / rate;
    if (blocks != 0) {
        absorb(context->state, bytes, blocks, rate);
        bytes += blocks * rate;
        length -= blocks * rate;
    }
    XorBytes(context->state, 0, bytes, length);
    context->fill = length;
}

void Sha3_256Final(Sha3Context* context, uint8_t* digest) {
    FinishInto(context, digest, Sha3_256DigestSize);
    Sha3_256Init(context);
}

void Sha3_512Final(Sha3Context* context, uint8_t* digest) {
    FinishInto(context, digest, Sha3_512DigestSize);
    Sha3_512Init(context);
}

void Sha3_256Calculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Sha3Context, Sha3_256Init, Sha3Update, Sha3_256Final>(digest, data, length);
}

void Sha3_512Calculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Sha3Context, Sha3_512Init, Sha3Update, Sha3_512Final>(digest, data, length);
}

}  // namespace hashlib
