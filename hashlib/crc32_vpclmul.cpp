// CRC-32 by carry-less multiplication on 256-bit registers (VPCLMULQDQ): the folding of
// crc32_clmul.cpp with two 128-bit lanes per register, four registers folded forward 1024 bits
// at a time, twice the bytes per instruction. At the end the registers fold into one, its two
// lanes into one, and the 128-bit path takes over from the register that leaves: it reduces
// and finishes the last bytes. crc32_folding.h has the arithmetic.
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include "crc32_folding.h"

namespace hashlib::detail {
namespace {

using namespace crc32_folding;

constexpr uint32_t kWideBytes = 32;
constexpr uint32_t kWideFoldBytes = 4 * kWideBytes;

// Each 128-bit lane of `lanes` times x^n onto `next`, n set by the constants (the lower qword's
// multiplier in the low half of each lane).
HASHLIB_TARGET("vpclmulqdq,avx2,pclmul,sse4.1")
inline __m256i WideFold(__m256i lanes, __m256i constants, __m256i next) {
    const __m256i lower = _mm256_clmulepi64_epi128(lanes, constants, 0x00);
    const __m256i upper = _mm256_clmulepi64_epi128(lanes, constants, 0x11);
    return _mm256_xor_si256(_mm256_xor_si256(lower, upper), next);
}

HASHLIB_TARGET("vpclmulqdq,avx2,pclmul,sse4.1")
inline __m256i WideLoad(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

HASHLIB_TARGET("vpclmulqdq,avx2,pclmul,sse4.1")
inline __m256i WideConstants(uint64_t lower, uint64_t upper) {
    return _mm256_set_epi64x(int64_t(upper), int64_t(lower), int64_t(upper), int64_t(lower));
}

}  // namespace

HASHLIB_TARGET("vpclmulqdq,avx2,pclmul,sse4.1")
uint32_t Crc32UpdateVpclmul(uint32_t crc, const uint8_t* data, uint32_t length) {
    if (length < kWideFoldBytes) {
        return Crc32UpdateClmul(crc, data, length);
    }
    // The register so far enters as the first 32 bits of the message, as the table code does.
    __m256i lanes0 = _mm256_xor_si256(WideLoad(data), _mm256_setr_epi32(int(crc), 0, 0, 0, 0, 0, 0, 0));
    __m256i lanes1 = WideLoad(data + 32);
    __m256i lanes2 = WideLoad(data + 64);
    __m256i lanes3 = WideLoad(data + 96);
    data += kWideFoldBytes;
    length -= kWideFoldBytes;

    const __m256i fold1024 = WideConstants(kFold1024Lower, kFold1024Upper);
    for (; length >= kWideFoldBytes; length -= kWideFoldBytes, data += kWideFoldBytes) {
        _mm_prefetch(reinterpret_cast<const char*>(data) + kPrefetchDistance, _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(data) + kPrefetchDistance + 64, _MM_HINT_T0);
        lanes0 = WideFold(lanes0, fold1024, WideLoad(data));
        lanes1 = WideFold(lanes1, fold1024, WideLoad(data + 32));
        lanes2 = WideFold(lanes2, fold1024, WideLoad(data + 64));
        lanes3 = WideFold(lanes3, fold1024, WideLoad(data + 96));
    }

    const __m256i fold256 = WideConstants(kFold256Lower, kFold256Upper);
    lanes1 = WideFold(lanes0, fold256, lanes1);
    lanes2 = WideFold(lanes1, fold256, lanes2);
    lanes3 = WideFold(lanes2, fold256, lanes3);
    const __m128i fold128 = _mm_set_epi64x(int64_t(kFold128Upper), int64_t(kFold128Lower));
    const __m128i last = Fold(_mm256_castsi256_si128(lanes3), fold128, _mm256_extracti128_si256(lanes3, 1));
    return Crc32UpdateClmul(Reduce(last), data, length);
}

}  // namespace hashlib::detail

#endif
