// The arithmetic shared by the CRC-32 folding paths (crc32_clmul.cpp, crc32_vpclmul.cpp):
// the folding constants, computed here from the polynomial, one 128-bit fold and the final
// reduction of 128 bits to the 32-bit register.
//
// A 128-bit lane L at distance d from the end of the message is congruent, modulo P, to L's two
// 64-bit halves times x^(d + 32 + 64) and x^(d + 32) reduced mod P: products that fit the lane
// d bits further on. In reflected order the first byte's lowest bit is the highest power of x,
// so a 64 x 64-bit product of two reflected operands comes out one bit short of the 128-bit
// lane: each constant is stored reflected and shifted left by one bit to make up for it.
#pragma once

#include <cstdint>

#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include <immintrin.h>

namespace hashlib::detail::crc32_folding {

constexpr uint64_t kPolynomial = 0x104C11DB7;  // x^32 + x^26 + ... + 1, highest power first

// x^n mod P, highest power first.
constexpr uint64_t PowerOfXModP(int n) {
    uint64_t r = 1;
    for (int i = 0; i < n; ++i) {
        r <<= 1;
        if ((r >> 32) & 1) {
            r ^= kPolynomial;
        }
    }
    return r;
}

// floor(x^64 / P), the Barrett reduction's quotient estimate (33 bits).
constexpr uint64_t BarrettQuotient() {
    uint64_t remainder_high = 1;  // the x^64 term, kept apart from the 64-bit word
    uint64_t remainder = 0;
    uint64_t quotient = 0;
    for (int bit = 32; bit >= 0; --bit) {
        const int top = bit + 32;  // the degree P's leading term lands on
        const bool set = top == 64 ? remainder_high != 0 : ((remainder >> top) & 1) != 0;
        if (set) {
            quotient |= uint64_t(1) << bit;
            if (top == 64) {
                remainder_high = 0;
                remainder ^= (kPolynomial & 0xFFFFFFFF) << bit;
            } else {
                remainder ^= kPolynomial << bit;
            }
        }
    }
    return quotient;
}

constexpr uint64_t Reflect(uint64_t value, int bits) {
    uint64_t reflected = 0;
    for (int i = 0; i < bits; ++i) {
        reflected |= ((value >> i) & 1) << (bits - 1 - i);
    }
    return reflected;
}

// The multiplier for a 64-bit half that carries its product x^n further on.
constexpr uint64_t FoldConstant(int n) {
    return Reflect(PowerOfXModP(n), 32) << 1;
}

// Lower qword of a lane: the earlier 8 bytes, the higher powers of x.
constexpr uint64_t kFold1024Lower = FoldConstant(1024 + 32);
constexpr uint64_t kFold1024Upper = FoldConstant(1024 - 32);
constexpr uint64_t kFold512Lower = FoldConstant(512 + 32);
constexpr uint64_t kFold512Upper = FoldConstant(512 - 32);
constexpr uint64_t kFold256Lower = FoldConstant(256 + 32);
constexpr uint64_t kFold256Upper = FoldConstant(256 - 32);
constexpr uint64_t kFold128Lower = FoldConstant(128 + 32);
constexpr uint64_t kFold128Upper = FoldConstant(128 - 32);
constexpr uint64_t kFold64 = FoldConstant(64);
constexpr uint64_t kBarrettQuotient = Reflect(BarrettQuotient(), 33);
constexpr uint64_t kReflectedPolynomial = Reflect(kPolynomial, 33);

// The values published with the method, as a check on the arithmetic above.
static_assert(kFold512Lower == 0x154442bd4 && kFold512Upper == 0x1c6e41596);
static_assert(kFold128Lower == 0x1751997d0 && kFold128Upper == 0x0ccaa009e && kFold64 == 0x163cd6124);
static_assert(kBarrettQuotient == 0x1f7011641 && kReflectedPolynomial == 0x1db710641);

constexpr uint32_t kLaneBytes = 16;
constexpr uint32_t kFoldBytes = 4 * kLaneBytes;
// The folding outruns the hardware prefetcher on data streamed from memory: asking for the
// line 4 KiB ahead keeps the loads in flight (a prefetch never faults, even past the end).
constexpr uint32_t kPrefetchDistance = 4096;

// lane * x^n folded onto `next`, n set by the constants (lower qword multiplier in the low half).
HASHLIB_TARGET("pclmul,sse4.1")
inline __m128i Fold(__m128i lane, __m128i constants, __m128i next) {
    const __m128i lower = _mm_clmulepi64_si128(lane, constants, 0x00);
    const __m128i upper = _mm_clmulepi64_si128(lane, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(lower, upper), next);
}

HASHLIB_TARGET("pclmul,sse4.1")
inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The register for a message that ends with `lane` (the bytes before already folded into it).
HASHLIB_TARGET("pclmul,sse4.1")
inline uint32_t Reduce(__m128i lane) {
    const __m128i low32 = _mm_setr_epi32(-1, 0, 0, 0);
    // 128 bits to 96, appending the 32 zero bits the CRC's definition multiplies by: the lower
    // qword times x^96 mod P onto the upper qword.
    const __m128i fold128 = _mm_set_epi64x(int64_t(kFold128Upper), int64_t(kFold128Lower));
    __m128i value = _mm_xor_si128(_mm_srli_si128(lane, 8), _mm_clmulepi64_si128(lane, fold128, 0x10));
    // 96 bits to 64: the first 32 bits times x^64 mod P onto the other 64.
    const __m128i fold64 = _mm_set_epi64x(0, int64_t(kFold64));
    value = _mm_xor_si128(_mm_srli_si128(value, 4),
                          _mm_clmulepi64_si128(_mm_and_si128(value, low32), fold64, 0x00));
    // Barrett: q = floor(value / x^32) * floor(x^64 / P) / x^32, then value - q * P in 32 bits.
    const __m128i barrett = _mm_set_epi64x(int64_t(kBarrettQuotient), int64_t(kReflectedPolynomial));
    __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(value, low32), barrett, 0x10);
    quotient = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), barrett, 0x00);
    return uint32_t(_mm_extract_epi32(_mm_xor_si128(value, quotient), 1));
}

}  // namespace hashlib::detail::crc32_folding

#endif
