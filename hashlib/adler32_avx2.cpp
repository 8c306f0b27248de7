// Adler-32 with AVX2, 32 bytes a step. Over bytes b[0..31] the sums advance as
//   s1' = s1 + sum(b[i]),   s2' = s2 + 32 * s1 + sum((32 - i) * b[i]).
// Three vectors of 32-bit lanes carry a block of steps: the byte sums (VPSADBW), the weighted
// sums (VPMADDUBSW by 32..1, then VPMADDWD by ones), and the running total of the byte sums
// before each step (the 32 * s1 term, multiplied out at the end). Only at the end of a block
// are the lanes added up, in 64 bits, and the sums reduced modulo 65521: the block is as long
// as the 32-bit lanes allow. Tails shorter than a step go through the portable code.
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include <immintrin.h>

namespace hashlib::detail {
namespace {

constexpr uint32_t kModulus = 65521;
constexpr uint32_t kStepBytes = 32;

// Steps per block. The fastest-growing lane is the running total of byte sums: a byte-sum lane
// gains at most 8 * 255 a step, so after n steps the total is at most 8 * 255 * n(n - 1) / 2.
constexpr uint64_t kBlockSteps = 2048;
static_assert(8 * 255 * kBlockSteps * (kBlockSteps - 1) / 2 <= 0xFFFFFFFFu, "running total overflows");
static_assert(255 * (32 + 31 + 30 + 29) * kBlockSteps <= 0xFFFFFFFFu, "weighted sum overflows");

// The streaming loop outruns the hardware prefetcher on data coming from memory: asking for
// the line 4 KiB ahead keeps the loads in flight (a prefetch never faults, even past the end).
constexpr uint32_t kPrefetchDistance = 4096;

// One step: the totals take the byte sums so far, then the byte and weighted sums grow.
HASHLIB_TARGET("avx2")
inline void Step(__m256i bytes, __m256i& byte_sums, __m256i& weighted, __m256i& totals) {
    const __m256i weights = _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17,
                                             16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    totals = _mm256_add_epi32(totals, byte_sums);
    byte_sums = _mm256_add_epi32(byte_sums, _mm256_sad_epu8(bytes, _mm256_setzero_si256()));
    const __m256i pairs = _mm256_maddubs_epi16(bytes, weights);
    weighted = _mm256_add_epi32(weighted, _mm256_madd_epi16(pairs, _mm256_set1_epi16(1)));
}

HASHLIB_TARGET("avx2")
inline uint64_t SumOfLanes(__m256i lanes) {
    uint32_t words[8];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(words), lanes);
    uint64_t sum = 0;
    for (uint32_t word : words) {
        sum += word;
    }
    return sum;
}

}  // namespace

HASHLIB_TARGET("avx2")
uint32_t Adler32UpdateAvx2(uint32_t value, const uint8_t* data, uint32_t length) {
    if (length < kStepBytes) {
        return Adler32UpdatePortable(value, data, length);
    }
    uint64_t s1 = value & 0xffff;
    uint64_t s2 = value >> 16;
    const __m256i zero = _mm256_setzero_si256();

    while (length >= kStepBytes) {
        const uint32_t steps =
            uint32_t(length / kStepBytes < kBlockSteps ? length / kStepBytes : kBlockSteps);
        __m256i byte_sums = zero;
        __m256i weighted = zero;
        __m256i totals = zero;
        uint32_t i = 0;
        for (; i + 2 <= steps; i += 2, data += 2 * kStepBytes) {
            _mm_prefetch(reinterpret_cast<const char*>(data) + kPrefetchDistance, _MM_HINT_T0);
            const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data));
            const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + kStepBytes));
            Step(first, byte_sums, weighted, totals);
            Step(second, byte_sums, weighted, totals);
        }
        if (i < steps) {
            Step(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data)), byte_sums, weighted, totals);
            data += kStepBytes;
        }
        length -= steps * kStepBytes;
        s2 += uint64_t(kStepBytes) * steps * s1 + kStepBytes * SumOfLanes(totals) + SumOfLanes(weighted);
        s1 += SumOfLanes(byte_sums);
        s1 %= kModulus;
        s2 %= kModulus;
    }
    return Adler32UpdatePortable(uint32_t(s2) << 16 | uint32_t(s1), data, length);
}

}  // namespace hashlib::detail

#endif
