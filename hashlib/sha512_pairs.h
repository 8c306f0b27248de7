// The body of the SHA-512 (and SHA-384) compressions that schedule a pair of blocks in 256-bit
// registers, included once by each of sha512_avx2.cpp and sha512_avx512.cpp, which define first:
//   SHA512_PAIRS_TARGET   the instruction sets of its functions (AVX2 and BMI2 at least)
//   SHA512_PAIRS_NAME     the compression's name
//   SHA512_PAIRS_AVX512   1 to take the schedule's small sigmas with AVX-512's VPRORQ and
//                         VPTERNLOGQ (four instructions each instead of nine), else 0
//
// The message schedule does not depend on the chaining value, so the vector unit computes it for
// a pair of blocks at once: one 256-bit register holds W[t] and W[t+1] of the first block in its
// low half and of the second block in its high half, and eight such registers are the sixteen
// words a schedule step reads. It runs one pair ahead: a step of the next pair's schedule follows
// every fifth round of the current pair, where the vector work fills execution slots that the
// rounds' dependency chains leave idle. The rounds are sha512_round.h's short-chain form, taking
// W[t] + K[t] from the pair's table; BMI2's three-operand rotate (RORX) spares the register
// copies of the rotations.
#include <immintrin.h>

#include "byte_order.h"
#include "sha512_round.h"

namespace hashlib::detail {
namespace {

constexpr uint32_t kBlockBytes = 128;

// A pair's schedule, one row per two rounds: row r holds W + K of rounds 2r and 2r + 1 of the
// first block, then of the second; beside it K[2r], K[2r + 1] twice, for the vector adds.
struct alignas(32) PairSchedule {
    uint64_t wk[40][4];
    uint64_t k[40][4];
};

HASHLIB_TARGET(SHA512_PAIRS_TARGET)
inline __m256i Add(__m256i x, __m256i y) {
    return _mm256_add_epi64(x, y);
}

HASHLIB_TARGET(SHA512_PAIRS_TARGET)
inline __m256i Xor(__m256i x, __m256i y) {
    return _mm256_xor_si256(x, y);
}

#if SHA512_PAIRS_AVX512
HASHLIB_TARGET(SHA512_PAIRS_TARGET)
inline __m256i SmallSigma0(__m256i x) {
    return _mm256_ternarylogic_epi64(_mm256_ror_epi64(x, 1), _mm256_ror_epi64(x, 8), _mm256_srli_epi64(x, 7),
                                     0x96);
}

HASHLIB_TARGET(SHA512_PAIRS_TARGET)
inline __m256i SmallSigma1(__m256i x) {
    return _mm256_ternarylogic_epi64(_mm256_ror_epi64(x, 19), _mm256_ror_epi64(x, 61),
                                     _mm256_srli_epi64(x, 6), 0x96);
}
#else
HASHLIB_TARGET(SHA512_PAIRS_TARGET)
inline __m256i SmallSigma0(__m256i x) {
    return Xor(Xor(Xor(_mm256_srli_epi64(x, 1), _mm256_slli_epi64(x, 63)),
                   Xor(_mm256_srli_epi64(x, 8), _mm256_slli_epi64(x, 56))),
               _mm256_srli_epi64(x, 7));
}

HASHLIB_TARGET(SHA512_PAIRS_TARGET)
inline __m256i SmallSigma1(__m256i x) {
    return Xor(Xor(Xor(_mm256_srli_epi64(x, 19), _mm256_slli_epi64(x, 45)),
                   Xor(_mm256_srli_epi64(x, 61), _mm256_slli_epi64(x, 3))),
               _mm256_srli_epi64(x, 6));
}
#endif

HASHLIB_TARGET(SHA512_PAIRS_TARGET)
inline __m256i LoadRow(const uint64_t (&row)[4]) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(row));
}

HASHLIB_TARGET(SHA512_PAIRS_TARGET)
inline void StoreRow(uint64_t (&row)[4], __m256i value) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(row), value);
}

// W[t], W[t+1] of both blocks from the window x0..x7 (x0 the oldest two words, x7 the newest),
// written over x0; W + K into `row`. W[t-15] and W[t-7] straddle two registers.
HASHLIB_TARGET(SHA512_PAIRS_TARGET)
HASHLIB_ALWAYS_INLINE void ScheduleStep(__m256i& x0, __m256i x1, __m256i x4, __m256i x5, __m256i x7,
                                        PairSchedule& schedule, int row) {
    const __m256i w15 = _mm256_alignr_epi8(x1, x0, 8);
    const __m256i w7 = _mm256_alignr_epi8(x5, x4, 8);
    x0 = Add(Add(x0, w7), Add(SmallSigma0(w15), SmallSigma1(x7)));
    StoreRow(schedule.wk[row], Add(x0, LoadRow(schedule.k[row])));
}

// Step s of 8 from `row` on: the window's names rotate by one register per step.
#define SHA512_STEP(s, schedule, row)                                                                \
    ScheduleStep(x[(s) % 8], x[((s) + 1) % 8], x[((s) + 4) % 8], x[((s) + 5) % 8], x[((s) + 7) % 8], \
                 schedule, (row) + (s))

// The first sixteen words of the blocks at `first` and `second` into the window, and rows 0 to 7.
HASHLIB_TARGET(SHA512_PAIRS_TARGET)
HASHLIB_ALWAYS_INLINE void LoadPair(const uint8_t* first, const uint8_t* second, PairSchedule& schedule,
                                    __m256i (&x)[8]) {
    // Big-endian 64-bit words.
    const __m256i byte_order = _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8,  //
                                                7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
    for (int i = 0; i < 8; ++i) {
        const __m256i both = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(first + 16 * i))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + 16 * i)), 1);
        x[i] = _mm256_shuffle_epi8(both, byte_order);
        StoreRow(schedule.wk[i], Add(x[i], LoadRow(schedule.k[i])));
    }
}

// The 80 rounds of one block, W + K from `wk` (the pair's rows, offset to the block's half),
// with sixteen steps of the next pair's schedule, rows `row` to `row` + 15, after every fifth.
// Forty rounds and eight steps are written out and run twice: the smallest code that keeps
// both patterns whole. Its size counts here (the loop must stay in the processor's cache of
// decoded instructions): 80 rounds written out ran about 4% slower, two copies of them about 9%.
#define SHA512_PAIR_WK(t) wk[(t) / 2 * 4 + (t) % 2]
#define SHA512_NEXT_STEP(t)              \
    if ((t) % 5 == 4) {                  \
        SHA512_STEP((t) / 5, next, row); \
    }

HASHLIB_TARGET(SHA512_PAIRS_TARGET)
HASHLIB_ALWAYS_INLINE void Rounds(uint64_t (&state)[8], const uint64_t* wk, PairSchedule& next, int row,
                                  __m256i (&x)[8]) {
    uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
    uint64_t ch, s1;
    for (int half = 0; half < 2; ++half, wk += 80, row += 8) {
        SHA512_EIGHT_ROUNDS(SHA512_ROUND_SHORT_CHAIN, 0, SHA512_PAIR_WK, SHA512_NEXT_STEP);
        SHA512_EIGHT_ROUNDS(SHA512_ROUND_SHORT_CHAIN, 8, SHA512_PAIR_WK, SHA512_NEXT_STEP);
        SHA512_EIGHT_ROUNDS(SHA512_ROUND_SHORT_CHAIN, 16, SHA512_PAIR_WK, SHA512_NEXT_STEP);
        SHA512_EIGHT_ROUNDS(SHA512_ROUND_SHORT_CHAIN, 24, SHA512_PAIR_WK, SHA512_NEXT_STEP);
        SHA512_EIGHT_ROUNDS(SHA512_ROUND_SHORT_CHAIN, 32, SHA512_PAIR_WK, SHA512_NEXT_STEP);
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

#undef SHA512_NEXT_STEP
#undef SHA512_PAIR_WK

}  // namespace

HASHLIB_TARGET(SHA512_PAIRS_TARGET)
void SHA512_PAIRS_NAME(uint64_t state[8], const uint8_t* blocks, uint32_t count) {
    if (count == 0) {
        return;
    }
    uint64_t h[8];
    for (int i = 0; i < 8; ++i) {
        h[i] = state[i];
    }
    PairSchedule schedules[2];
    for (int r = 0; r < 40; ++r) {
        const __m256i k = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(&Sha512RoundConstants[2 * r])));
        StoreRow(schedules[0].k[r], k);
        StoreRow(schedules[1].k[r], k);
    }
    __m256i x[8];
    // A lone block is paired with itself.
    const uint8_t* const last = blocks + kBlockBytes * (count - 1);
    LoadPair(blocks, count > 1 ? blocks + kBlockBytes : blocks, schedules[0], x);
    // The first pair's schedule has no rounds to hide behind.
    for (int row = 8; row < 40; row += 8) {
        SHA512_STEP(0, schedules[0], row);
        SHA512_STEP(1, schedules[0], row);
        SHA512_STEP(2, schedules[0], row);
        SHA512_STEP(3, schedules[0], row);
        SHA512_STEP(4, schedules[0], row);
        SHA512_STEP(5, schedules[0], row);
        SHA512_STEP(6, schedules[0], row);
        SHA512_STEP(7, schedules[0], row);
    }
    int current = 0;
    for (;;) {
        const uint32_t n = count < 2 ? count : 2;
        count -= n;
        blocks += kBlockBytes * n;
        // The next pair's schedule beside this pair's rounds; after the last pair the last block
        // again, computed and never used, so that the rounds need no second form.
        const uint8_t* const first = count != 0 ? blocks : last;
        LoadPair(first, count > 1 ? blocks + kBlockBytes : first, schedules[current ^ 1], x);
        // One call site, so the rounds' code exists once.
        for (uint32_t block = 0; block < n; ++block) {
            Rounds(h, &schedules[current].wk[0][2 * block], schedules[current ^ 1], 8 + 16 * int(block), x);
        }
        if (count == 0) {
            break;
        }
        current ^= 1;
    }
    for (int i = 0; i < 8; ++i) {
        state[i] = h[i];
    }
}

#undef SHA512_STEP

}  // namespace hashlib::detail
