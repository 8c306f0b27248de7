// The Keccak-f[1600] absorb of sha3.cpp with AVX-512 (F and VL) on 128-bit registers, one lane
// in the low half of each: VPTERNLOGQ does a five-lane parity in two instructions and chi's
// b0 ^ (~b1 & b2) in one, VPROLQ rotates into another register, and with 32 registers far
// fewer lanes wait in memory between the steps than with the 16 general ones. (The state as
// five rows of five lanes in 512-bit registers needs a third of the instructions, but element
// permutations in every step's chain: on the processors measured it ran a fifth slower.)
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include <immintrin.h>

#include "byte_order.h"

namespace hashlib::detail {
namespace {

using Lane = __m128i;

HASHLIB_TARGET("avx512f,avx512vl")
HASHLIB_ALWAYS_INLINE Lane LaneXor(Lane a, Lane b) {
    return _mm_xor_si128(a, b);
}

HASHLIB_TARGET("avx512f,avx512vl")
HASHLIB_ALWAYS_INLINE Lane LaneXor5(Lane a, Lane b, Lane c, Lane d, Lane e) {
    return _mm_ternarylogic_epi64(_mm_ternarylogic_epi64(a, b, c, 0x96), d, e, 0x96);
}

template <int N>
HASHLIB_TARGET("avx512f,avx512vl")
HASHLIB_ALWAYS_INLINE Lane LaneRotate(Lane x) {
    if constexpr (N == 0) {
        return x;
    } else {
        return _mm_rol_epi64(x, N);
    }
}

// b0 ^ (~b1 & b2): the truth table 0xD2 over (b0, b1, b2).
HASHLIB_TARGET("avx512f,avx512vl")
HASHLIB_ALWAYS_INLINE Lane Chi(Lane b0, Lane b1, Lane b2) {
    return _mm_ternarylogic_epi64(b0, b1, b2, 0xD2);
}

}  // namespace
}  // namespace hashlib::detail

#include "keccak_round.h"

namespace hashlib::detail {
namespace {

#define KECCAK_CHI(y, e0, e1, e2, e3, e4, b0, b1, b2, b3, b4) \
    e0 = Chi(b0, b1, b2);                                     \
    e1 = Chi(b1, b2, b3);                                     \
    e2 = Chi(b2, b3, b4);                                     \
    e3 = Chi(b3, b4, b0);                                     \
    e4 = Chi(b4, b0, b1)
#define KECCAK_IOTA(lane, round) lane = LaneXor(lane, _mm_cvtsi64_si128(int64_t(KeccakRoundConstants[round])))

template <uint32_t Lanes, int Index>
HASHLIB_TARGET("avx512f,avx512vl")
HASHLIB_ALWAYS_INLINE Lane Absorbed(Lane lane, const uint8_t* block) {
    if constexpr (Index < int(Lanes)) {
        // Little-endian lanes: on x86 the block's bytes are the lane as it lies.
        return LaneXor(lane, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(block + 8 * Index)));
    } else {
        return lane;
    }
}

#define KECCAK_DECLARE(name, index) name
#define KECCAK_LOAD(name, index) name = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(state + (index)))
#define KECCAK_STORE(name, index) _mm_storel_epi64(reinterpret_cast<__m128i*>(state + (index)), name)
#define KECCAK_ABSORB(name, index) name = Absorbed<Lanes, index>(name, blocks)

template <uint32_t Lanes>
HASHLIB_TARGET("avx512f,avx512vl")
void Absorb(uint64_t state[25], const uint8_t* blocks, uint32_t count) {
    Lane KECCAK_FOR_EACH_LANE(KECCAK_DECLARE, A);
    Lane KECCAK_FOR_EACH_LANE(KECCAK_DECLARE, E);
    Lane c0, c1, c2, c3, c4, d0, d1, d2, d3, d4, b0, b1, b2, b3, b4;
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

void KeccakAbsorbAvx512(uint64_t state[25], const uint8_t* blocks, uint32_t count, uint32_t rate) {
    if (rate == 136) {
        Absorb<17>(state, blocks, count);
    } else {
        Absorb<9>(state, blocks, count);
    }
}

}  // namespace hashlib::detail

#endif
