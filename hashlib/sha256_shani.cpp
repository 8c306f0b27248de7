// SHA-256 compression with the x86 SHA extensions. SHA256RNDS2 runs two rounds on the state
// held as ABEF and CDGH; SHA256MSG1, an add of W[t-7] (PALIGNR of the two latest vectors) and
// SHA256MSG2 compute the next four schedule words. The state stays in registers from block to
// block.
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include <immintrin.h>

namespace hashlib::detail {
namespace {

// Four rounds with schedule words `message` and constants K[t..t+3]: two rounds on the low
// half of W + K, two on the high half.
#define SHA256_ROUNDS4(message, t)                                                                      \
    sum = _mm_add_epi32(message,                                                                        \
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(Sha256RoundConstants + (t)))); \
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, sum);                                                      \
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(sum, 0x0E))

// The words four groups ahead: sigma0 terms (MSG1), then W[t-7] and the sigma1 terms (MSG2).
#define SHA256_MSG1(target, source) target = _mm_sha256msg1_epu32(target, source)
#define SHA256_MSG2(target, latest, previous)                             \
    target = _mm_add_epi32(target, _mm_alignr_epi8(latest, previous, 4)); \
    target = _mm_sha256msg2_epu32(target, latest)

}  // namespace

HASHLIB_TARGET("sha,sse4.1")
void Sha256CompressShani(uint32_t state[8], const uint8_t* blocks, uint32_t count) {
    // Big-endian words, the first one in the lowest lane.
    const __m128i byte_order = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    // H0..H3 and H4..H7 rearranged into the register layout the instructions use.
    const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
    __m128i sum;

    for (; count != 0; --count, blocks += 64) {
        const __m128i abef_before = abef;
        const __m128i cdgh_before = cdgh;
        const __m128i* words = reinterpret_cast<const __m128i*>(blocks);
        __m128i m0 = _mm_shuffle_epi8(_mm_loadu_si128(words + 0), byte_order);
        __m128i m1 = _mm_shuffle_epi8(_mm_loadu_si128(words + 1), byte_order);
        __m128i m2 = _mm_shuffle_epi8(_mm_loadu_si128(words + 2), byte_order);
        __m128i m3 = _mm_shuffle_epi8(_mm_loadu_si128(words + 3), byte_order);

        SHA256_ROUNDS4(m0, 0);
        SHA256_ROUNDS4(m1, 4);
        SHA256_MSG1(m0, m1);
        SHA256_ROUNDS4(m2, 8);
        SHA256_MSG1(m1, m2);
        SHA256_ROUNDS4(m3, 12);
        SHA256_MSG2(m0, m3, m2);
        SHA256_MSG1(m2, m3);
        SHA256_ROUNDS4(m0, 16);
        SHA256_MSG2(m1, m0, m3);
        SHA256_MSG1(m3, m0);
        SHA256_ROUNDS4(m1, 20);
        SHA256_MSG2(m2, m1, m0);
        SHA256_MSG1(m0, m1);
        SHA256_ROUNDS4(m2, 24);
        SHA256_MSG2(m3, m2, m1);
        SHA256_MSG1(m1, m2);
        SHA256_ROUNDS4(m3, 28);
        SHA256_MSG2(m0, m3, m2);
        SHA256_MSG1(m2, m3);
        SHA256_ROUNDS4(m0, 32);
        SHA256_MSG2(m1, m0, m3);
        SHA256_MSG1(m3, m0);
        SHA256_ROUNDS4(m1, 36);
        SHA256_MSG2(m2, m1, m0);
        SHA256_MSG1(m0, m1);
        SHA256_ROUNDS4(m2, 40);
        SHA256_MSG2(m3, m2, m1);
        SHA256_MSG1(m1, m2);
        SHA256_ROUNDS4(m3, 44);
        SHA256_MSG2(m0, m3, m2);
        SHA256_MSG1(m2, m3);
        SHA256_ROUNDS4(m0, 48);
        SHA256_MSG2(m1, m0, m3);
        SHA256_MSG1(m3, m0);
        SHA256_ROUNDS4(m1, 52);
        SHA256_MSG2(m2, m1, m0);
        SHA256_ROUNDS4(m2, 56);
        SHA256_MSG2(m3, m2, m1);
        SHA256_ROUNDS4(m3, 60);

        abef = _mm_add_epi32(abef, abef_before);
        cdgh = _mm_add_epi32(cdgh, cdgh_before);
    }

    // Back from ABEF and CDGH to H0..H3 and H4..H7.
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

#undef SHA256_MSG2
#undef SHA256_MSG1
#undef SHA256_ROUNDS4

}  // namespace hashlib::detail

#endif
