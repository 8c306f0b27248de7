// SHA-512 (and SHA-384) compression with AVX2 and BMI2. A block's message schedule does not
// depend on the chaining value, so the schedules of up to four consecutive blocks are computed
// together, block i in 64-bit lane i, with the round constants added in. The rounds run in
// scalar code per block, taking W[t] + K[t] from that table, and BMI2's three-operand rotate
// (RORX) spares the register copies the six rotations of every round would otherwise need.
//
// The work is software-pipelined: the next group's schedule is computed a row at a time between
// the rounds of the current group, where the vector work fills execution slots the rounds'
// dependency chain leaves idle.
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include <immintrin.h>

#include "byte_order.h"

namespace hashlib::detail {
namespace {

constexpr uint32_t kBlockBytes = 128;
constexpr uint32_t kLanes = 4;

// One row per round: W[t] (or W[t] + K[t]) of the four lanes' blocks.
using ScheduleRows = uint64_t[80][kLanes];

template <int N>
HASHLIB_TARGET("avx2")
inline __m256i RotateRight(__m256i x) {
    return _mm256_or_si256(_mm256_srli_epi64(x, N), _mm256_slli_epi64(x, 64 - N));
}

HASHLIB_TARGET("avx2")
inline __m256i SmallSigma0(__m256i x) {
    return _mm256_xor_si256(_mm256_xor_si256(RotateRight<1>(x), RotateRight<8>(x)), _mm256_srli_epi64(x, 7));
}

HASHLIB_TARGET("avx2")
inline __m256i SmallSigma1(__m256i x) {
    return _mm256_xor_si256(_mm256_xor_si256(RotateRight<19>(x), RotateRight<61>(x)),
                            _mm256_srli_epi64(x, 6));
}

HASHLIB_TARGET("avx2")
inline __m256i LoadRow(const ScheduleRows& rows, int t) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[t]));
}

HASHLIB_TARGET("avx2")
inline void StoreRow(ScheduleRows& rows, int t, __m256i value) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(rows[t]), value);
}

// Rows 0 to 15 of the schedule of the blocks at lane[0..3]: their message words, W[t] into `w`
// and W[t] + K[t] into `wk`.
HASHLIB_TARGET("avx2")
void ScheduleWords(const uint8_t* const (&lane)[kLanes], ScheduleRows& w, ScheduleRows& wk) {
    // Big-endian 64-bit words.
    const __m256i byte_order = _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8,  //
                                                7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
    for (int q = 0; q < 4; ++q) {
        // Words 4q..4q+3 of each block, then a 4 x 4 transpose so each row holds one word of
        // every block.
        __m256i v[kLanes];
        for (uint32_t i = 0; i < kLanes; ++i) {
            v[i] = _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(lane[i] + 32 * q)),
                                       byte_order);
        }
        const __m256i even01 = _mm256_unpacklo_epi64(v[0], v[1]);  // words 0 and 2 of lanes 0, 1
        const __m256i odd01 = _mm256_unpackhi_epi64(v[0], v[1]);   // words 1 and 3
        const __m256i even23 = _mm256_unpacklo_epi64(v[2], v[3]);
        const __m256i odd23 = _mm256_unpackhi_epi64(v[2], v[3]);
        const __m256i rows[4] = {
            _mm256_permute2x128_si256(even01, even23, 0x20), _mm256_permute2x128_si256(odd01, odd23, 0x20),
            _mm256_permute2x128_si256(even01, even23, 0x31), _mm256_permute2x128_si256(odd01, odd23, 0x31)};
        for (int j = 0; j < 4; ++j) {
            const int t = 4 * q + j;
            StoreRow(w, t, rows[j]);
            StoreRow(wk, t, _mm256_add_epi64(rows[j], _mm256_set1_epi64x(int64_t(Sha512RoundConstants[t]))));
        }
    }
}

// Row t (16 to 79): W[t] = sigma1(W[t-2]) + W[t-7] + sigma0(W[t-15]) + W[t-16], and W[t] + K[t].
HASHLIB_TARGET("avx2")
HASHLIB_ALWAYS_INLINE void ScheduleRow(int t, ScheduleRows& w, ScheduleRows& wk) {
    const __m256i sum =
        _mm256_add_epi64(_mm256_add_epi64(SmallSigma1(LoadRow(w, t - 2)), LoadRow(w, t - 7)),
                         _mm256_add_epi64(SmallSigma0(LoadRow(w, t - 15)), LoadRow(w, t - 16)));
    StoreRow(w, t, sum);
    StoreRow(wk, t, _mm256_add_epi64(sum, _mm256_set1_epi64x(int64_t(Sha512RoundConstants[t]))));
}

// The schedule of the next group, computed a row at a time between rounds.
struct PendingRows {
    ScheduleRows* w;
    ScheduleRows* wk;
    int next;  // the next row to compute; 80 when done
};

inline uint64_t BigSigma0(uint64_t x) {
    return RotateRight64(x, 28) ^ RotateRight64(x, 34) ^ RotateRight64(x, 39);
}
inline uint64_t BigSigma1(uint64_t x) {
    return RotateRight64(x, 14) ^ RotateRight64(x, 18) ^ RotateRight64(x, 41);
}
inline uint64_t Choose(uint64_t e, uint64_t f, uint64_t g) {
    return ((f ^ g) & e) ^ g;
}

// One round as in the portable code (sha512.cpp), with W[t] + K[t] from the table; Maj(a, b, c)
// is b ^ ((a ^ b) & (b ^ c)), this round's a ^ b being the next round's b ^ c.
#define SHA512_ROUND(a, b, c, d, e, f, g, h, t) \
    h += wk[t][lane];                           \
    h += Choose(e, f, g);                       \
    h += BigSigma1(e);                          \
    d += h;                                     \
    ab = a ^ b;                                 \
    h += BigSigma0(a) + (b ^ (ab & bc));        \
    bc = ab

#define SHA512_PENDING_ROW                                    \
    if (pending.next < 80) {                                  \
        ScheduleRow(pending.next++, *pending.w, *pending.wk); \
    }

#define SHA512_EIGHT_ROUNDS(t)                     \
    SHA512_ROUND(a, b, c, d, e, f, g, h, (t) + 0); \
    SHA512_ROUND(h, a, b, c, d, e, f, g, (t) + 1); \
    SHA512_ROUND(g, h, a, b, c, d, e, f, (t) + 2); \
    SHA512_ROUND(f, g, h, a, b, c, d, e, (t) + 3); \
    SHA512_PENDING_ROW;                            \
    SHA512_ROUND(e, f, g, h, a, b, c, d, (t) + 4); \
    SHA512_ROUND(d, e, f, g, h, a, b, c, (t) + 5); \
    SHA512_ROUND(c, d, e, f, g, h, a, b, (t) + 6); \
    SHA512_ROUND(b, c, d, e, f, g, h, a, (t) + 7); \
    SHA512_PENDING_ROW

// The 80 rounds of the block in `lane`, with up to 20 of the next group's schedule rows between
// them.
HASHLIB_TARGET("avx2,bmi2")
void Rounds(uint64_t (&state)[8], const ScheduleRows& wk, uint32_t lane, PendingRows& pending) {
    uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
    uint64_t ab, bc = b ^ c;
    SHA512_EIGHT_ROUNDS(0);
    SHA512_EIGHT_ROUNDS(8);
    SHA512_EIGHT_ROUNDS(16);
    SHA512_EIGHT_ROUNDS(24);
    SHA512_EIGHT_ROUNDS(32);
    SHA512_EIGHT_ROUNDS(40);
    SHA512_EIGHT_ROUNDS(48);
    SHA512_EIGHT_ROUNDS(56);
    SHA512_EIGHT_ROUNDS(64);
    SHA512_EIGHT_ROUNDS(72);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

#undef SHA512_EIGHT_ROUNDS
#undef SHA512_PENDING_ROW
#undef SHA512_ROUND

// The blocks at `blocks` as lanes of one schedule: fewer than four, the spare lanes repeat the
// last block, never reading past it.
inline void LanesOf(const uint8_t* blocks, uint32_t n, const uint8_t* (&lane)[kLanes]) {
    for (uint32_t i = 0; i < kLanes; ++i) {
        lane[i] = blocks + kBlockBytes * (i < n ? i : n - 1);
    }
}

}  // namespace

HASHLIB_TARGET("avx2,bmi2")
void Sha512CompressAvx2(uint64_t state[8], const uint8_t* blocks, uint32_t count) {
    if (count == 0) {
        return;
    }
    uint64_t h[8];
    for (int i = 0; i < 8; ++i) {
        h[i] = state[i];
    }
    ScheduleRows w;
    ScheduleRows wk[2];  // the current group's and the next group's
    int current = 0;
    const uint8_t* lane[kLanes];

    // The first group's schedule has no rounds to hide behind.
    uint32_t n = count < kLanes ? count : kLanes;
    LanesOf(blocks, n, lane);
    ScheduleWords(lane, w, wk[current]);
    for (int t = 16; t < 80; ++t) {
        ScheduleRow(t, w, wk[current]);
    }
    while (n != 0) {
        const uint32_t rest = count - n;
        const uint32_t next = rest < kLanes ? rest : kLanes;
        PendingRows pending{&w, &wk[current ^ 1], 80};
        if (next != 0) {
            LanesOf(blocks + kBlockBytes * n, next, lane);
            ScheduleWords(lane, w, wk[current ^ 1]);
            pending.next = 16;
        }
        for (uint32_t i = 0; i < n; ++i) {
            Rounds(h, wk[current], i, pending);
        }
        while (pending.next < 80) {  // a group of fewer than four blocks leaves rows over
            ScheduleRow(pending.next++, w, wk[current ^ 1]);
        }
        blocks += kBlockBytes * n;
        count = rest;
        n = next;
        current ^= 1;
    }
    for (int i = 0; i < 8; ++i) {
        state[i] = h[i];
    }
}

}  // namespace hashlib::detail

#endif
