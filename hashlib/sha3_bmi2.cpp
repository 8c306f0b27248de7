// The Keccak-f[1600] absorb of sha3.cpp with BMI1 and BMI2: chi's ~b1 & b2 is one ANDN, and
// RORX rotates into another register, so the lanes need no complementing and fewer copies.
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include "byte_order.h"

namespace hashlib::detail {
namespace {

HASHLIB_ALWAYS_INLINE uint64_t LaneXor(uint64_t a, uint64_t b) {
    return a ^ b;
}

HASHLIB_ALWAYS_INLINE uint64_t LaneXor5(uint64_t a, uint64_t b, uint64_t c, uint64_t d, uint64_t e) {
    return a ^ b ^ c ^ d ^ e;
}

template <int N>
HASHLIB_ALWAYS_INLINE uint64_t LaneRotate(uint64_t x) {
    if constexpr (N == 0) {
        return x;
    } else {
        return (x << N) | (x >> (64 - N));
    }
}

}  // namespace
}  // namespace hashlib::detail

#include "keccak_round.h"

namespace hashlib::detail {
namespace {

#define KECCAK_CHI(y, e0, e1, e2, e3, e4, b0, b1, b2, b3, b4) \
    e0 = b0 ^ (~b1 & b2);                                     \
    e1 = b1 ^ (~b2 & b3);                                     \
    e2 = b2 ^ (~b3 & b4);                                     \
    e3 = b3 ^ (~b4 & b0);                                     \
    e4 = b4 ^ (~b0 & b1)
#define KECCAK_IOTA(lane, round) lane ^= KeccakRoundConstants[round]

template <uint32_t Lanes, int Index>
HASHLIB_ALWAYS_INLINE uint64_t Absorbed(uint64_t lane, const uint8_t* block) {
    if constexpr (Index < int(Lanes)) {
        return lane ^ LoadLe64(block + 8 * Index);
    } else {
        return lane;
    }
}

#define KECCAK_DECLARE(name, index) name
#define KECCAK_LOAD(name, index) name = state[index]
#define KECCAK_STORE(name, index) state[index] = name
#define KECCAK_ABSORB(name, index) name = Absorbed<Lanes, index>(name, blocks)

template <uint32_t Lanes>
HASHLIB_TARGET("bmi,bmi2")
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
#undef KECCAK_CHI

}  // namespace

void KeccakAbsorbBmi2(uint64_t state[25], const uint8_t* blocks, uint32_t count, uint32_t rate) {
    if (rate == 136) {
        Absorb<17>(state, blocks, count);
    } else {
        Absorb<9>(state, blocks, count);
    }
}

}  // namespace hashlib::detail

#endif
