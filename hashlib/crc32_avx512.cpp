// CRC-32 by carry-less multiplication on 512-bit registers (VPCLMULQDQ with AVX-512): the folding
// of crc32_vpclmul.cpp with four 128-bit lanes per register, four registers folded forward 2048
// bits at a time, on processors that run 512-bit operations at full width twice the bytes per
// instruction again. At the end the registers fold into one and its lanes into one, and the
// 128-bit path reduces it and finishes the last bytes. crc32_folding.h has the arithmetic.
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include "avx512_intrinsics.h"
#include "crc32_folding.h"

namespace hashlib::detail {
namespace {

using namespace crc32_folding;

constexpr uint32_t kZmmBytes = 64;
constexpr uint32_t kZmmFoldBytes = 4 * kZmmBytes;
constexpr uint64_t kFold2048Lower = FoldConstant(2048 + 32);
constexpr uint64_t kFold2048Upper = FoldConstant(2048 - 32);

#define HASHLIB_AVX512_CLMUL HASHLIB_TARGET("vpclmulqdq,avx512f,avx512vl,avx2,pclmul,sse4.1")

// Each 128-bit lane of `lanes` times x^n onto `next`, n set by the constants (the lower qword's
// multiplier in the low half of each lane).
HASHLIB_AVX512_CLMUL
inline __m512i ZmmFold(__m512i lanes, __m512i constants, __m512i next) {
    const __m512i lower = _mm512_clmulepi64_epi128(lanes, constants, 0x00);
    const __m512i upper = _mm512_clmulepi64_epi128(lanes, constants, 0x11);
    return _mm512_ternarylogic_epi64(lower, upper, next, 0x96);  // lower ^ upper ^ next
}

HASHLIB_AVX512_CLMUL
inline __m512i ZmmLoad(const uint8_t* p) {
    return _mm512_loadu_si512(p);
}

HASHLIB_AVX512_CLMUL
inline __m512i ZmmConstants(uint64_t lower, uint64_t upper) {
    return _mm512_broadcast_i32x4(_mm_set_epi64x(int64_t(upper), int64_t(lower)));
}

}  // namespace

HASHLIB_AVX512_CLMUL
uint32_t Crc32UpdateAvx512(uint32_t crc, const uint8_t* data, uint32_t length) {
    if (length < kZmmFoldBytes) {
        return Crc32UpdateVpclmul(crc, data, length);
    }
    // The register so far enters as the first 32 bits of the message, as the table code does.
    __m512i lanes0 = _mm512_xor_si512(ZmmLoad(data), _mm512_maskz_set1_epi32(1, int(crc)));
    __m512i lanes1 = ZmmLoad(data + 64);
    __m512i lanes2 = ZmmLoad(data + 128);
    __m512i lanes3 = ZmmLoad(data + 192);
    data += kZmmFoldBytes;
    length -= kZmmFoldBytes;

    const __m512i fold2048 = ZmmConstants(kFold2048Lower, kFold2048Upper);
    for (; length >= kZmmFoldBytes; length -= kZmmFoldBytes, data += kZmmFoldBytes) {
        _mm_prefetch(reinterpret_cast<const char*>(data) + kPrefetchDistance, _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(data) + kPrefetchDistance + 64, _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(data) + kPrefetchDistance + 128, _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(data) + kPrefetchDistance + 192, _MM_HINT_T0);
        lanes0 = ZmmFold(lanes0, fold2048, ZmmLoad(data));
        lanes1 = ZmmFold(lanes1, fold2048, ZmmLoad(data + 64));
        lanes2 = ZmmFold(lanes2, fold2048, ZmmLoad(data + 128));
        lanes3 = ZmmFold(lanes3, fold2048, ZmmLoad(data + 192));
    }

    const __m512i fold512 = ZmmConstants(kFold512Lower, kFold512Upper);
    lanes1 = ZmmFold(lanes0, fold512, lanes1);
    lanes2 = ZmmFold(lanes1, fold512, lanes2);
    lanes3 = ZmmFold(lanes2, fold512, lanes3);
    const __m128i fold128 = _mm_set_epi64x(int64_t(kFold128Upper), int64_t(kFold128Lower));
    __m128i last = Fold(_mm512_extracti32x4_epi32(lanes3, 0), fold128, _mm512_extracti32x4_epi32(lanes3, 1));
    last = Fold(last, fold128, _mm512_extracti32x4_epi32(lanes3, 2));
    last = Fold(last, fold128, _mm512_extracti32x4_epi32(lanes3, 3));
    return Crc32UpdateClmul(Reduce(last), data, length);
}

}  // namespace hashlib::detail

#endif
