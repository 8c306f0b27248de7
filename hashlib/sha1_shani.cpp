// SHA-1 compression with the x86 SHA extensions. Each SHA1RNDS4 runs four rounds; SHA1NEXTE
// derives the next four rounds' E from the A of four rounds before and adds their message
// words; SHA1MSG1, an XOR and SHA1MSG2 compute the next four schedule words. The state stays in
// registers from block to block, as ABCD (A in the top lane) and E (in the top lane).
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include <immintrin.h>

namespace hashlib::detail {
namespace {

// Four rounds. `e` enters holding the E the SHA1NEXTE chain delivers (or, for the first four
// rounds, already E + W); `saved` keeps ABCD, from which the rounds after next take their E.
#define SHA1_ROUNDS4(function, e, saved, message) \
    e = _mm_sha1nexte_epu32(e, message);          \
    saved = abcd;                                 \
    abcd = _mm_sha1rnds4_epu32(abcd, e, function)

// Schedule steps for the words four groups ahead: W[t-16] ^ W[t-14], then ^ W[t-8], then the
// W[t-3] term and the rotation.
#define SHA1_MSG1(target, source) target = _mm_sha1msg1_epu32(target, source)
#define SHA1_XOR(target, source) target = _mm_xor_si128(target, source)
#define SHA1_MSG2(target, source) target = _mm_sha1msg2_epu32(target, source)

}  // namespace

HASHLIB_TARGET("sha,sse4.1")
void Sha1CompressShani(uint32_t state[5], const uint8_t* blocks, uint32_t count) {
    // Big-endian words, the first one in the top lane.
    const __m128i byte_order = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i e0 = _mm_set_epi32(int(state[4]), 0, 0, 0);
    __m128i e1;

    for (; count != 0; --count, blocks += 64) {
        const __m128i abcd_before = abcd;
        const __m128i e_before = e0;
        const __m128i* words = reinterpret_cast<const __m128i*>(blocks);
        __m128i m0 = _mm_shuffle_epi8(_mm_loadu_si128(words + 0), byte_order);
        __m128i m1 = _mm_shuffle_epi8(_mm_loadu_si128(words + 1), byte_order);
        __m128i m2 = _mm_shuffle_epi8(_mm_loadu_si128(words + 2), byte_order);
        __m128i m3 = _mm_shuffle_epi8(_mm_loadu_si128(words + 3), byte_order);

        // Rounds 0-3: E comes from the state, not from SHA1NEXTE.
        e0 = _mm_add_epi32(e0, m0);
        e1 = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, e0, 0);

        SHA1_ROUNDS4(0, e1, e0, m1);  // 4-7
        SHA1_MSG1(m0, m1);
        SHA1_ROUNDS4(0, e0, e1, m2);  // 8-11
        SHA1_MSG1(m1, m2);
        SHA1_XOR(m0, m2);
        SHA1_MSG2(m0, m3);
        SHA1_ROUNDS4(0, e1, e0, m3);  // 12-15
        SHA1_MSG1(m2, m3);
        SHA1_XOR(m1, m3);
        SHA1_MSG2(m1, m0);
        SHA1_ROUNDS4(0, e0, e1, m0);  // 16-19
        SHA1_MSG1(m3, m0);
        SHA1_XOR(m2, m0);

        SHA1_MSG2(m2, m1);
        SHA1_ROUNDS4(1, e1, e0, m1);  // 20-23
        SHA1_MSG1(m0, m1);
        SHA1_XOR(m3, m1);
        SHA1_MSG2(m3, m2);
        SHA1_ROUNDS4(1, e0, e1, m2);  // 24-27
        SHA1_MSG1(m1, m2);
        SHA1_XOR(m0, m2);
        SHA1_MSG2(m0, m3);
        SHA1_ROUNDS4(1, e1, e0, m3);  // 28-31
        SHA1_MSG1(m2, m3);
        SHA1_XOR(m1, m3);
        SHA1_MSG2(m1, m0);
        SHA1_ROUNDS4(1, e0, e1, m0);  // 32-35
        SHA1_MSG1(m3, m0);
        SHA1_XOR(m2, m0);
        SHA1_MSG2(m2, m1);
        SHA1_ROUNDS4(1, e1, e0, m1);  // 36-39
        SHA1_MSG1(m0, m1);
        SHA1_XOR(m3, m1);

        SHA1_MSG2(m3, m2);
        SHA1_ROUNDS4(2, e0, e1, m2);  // 40-43
        SHA1_MSG1(m1, m2);
        SHA1_XOR(m0, m2);
        SHA1_MSG2(m0, m3);
        SHA1_ROUNDS4(2, e1, e0, m3);  // 44-47
        SHA1_MSG1(m2, m3);
        SHA1_XOR(m1, m3);
        SHA1_MSG2(m1, m0);
        SHA1_ROUNDS4(2, e0, e1, m0);  // 48-51
        SHA1_MSG1(m3, m0);
        SHA1_XOR(m2, m0);
        SHA1_MSG2(m2, m1);
        SHA1_ROUNDS4(2, e1, e0, m1);  // 52-55
        SHA1_MSG1(m0, m1);
        SHA1_XOR(m3, m1);
        SHA1_MSG2(m3, m2);
        SHA1_ROUNDS4(2, e0, e1, m2);  // 56-59
        SHA1_MSG1(m1, m2);
        SHA1_XOR(m0, m2);

        SHA1_MSG2(m0, m3);
        SHA1_ROUNDS4(3, e1, e0, m3);  // 60-63
        SHA1_MSG1(m2, m3);
        SHA1_XOR(m1, m3);
        SHA1_MSG2(m1, m0);
        SHA1_ROUNDS4(3, e0, e1, m0);  // 64-67
        SHA1_MSG1(m3, m0);
        SHA1_XOR(m2, m0);
        SHA1_MSG2(m2, m1);
        SHA1_ROUNDS4(3, e1, e0, m1);  // 68-71
        SHA1_XOR(m3, m1);
        SHA1_MSG2(m3, m2);
        SHA1_ROUNDS4(3, e0, e1, m2);  // 72-75
        SHA1_ROUNDS4(3, e1, e0, m3);  // 76-79

        // E of the next state is A of four rounds ago, rotated, plus the saved E.
        e0 = _mm_sha1nexte_epu32(e0, e_before);
        abcd = _mm_add_epi32(abcd, abcd_before);
    }

    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = uint32_t(_mm_extract_epi32(e0, 3));
}

#undef SHA1_MSG2
#undef SHA1_XOR
#undef SHA1_MSG1
#undef SHA1_ROUNDS4

}  // namespace hashlib::detail

#endif
