// CRC-32 by carry-less multiplication, after Gopal et al., "Fast CRC Computation for Generic
// Polynomials Using PCLMULQDQ Instruction" (Intel, 2009), for the reflected polynomial.
//
// Four 128-bit lanes of the input are folded forward 512 bits at a time (crc32_folding.h has
// the arithmetic). At the end the four lanes fold into one, the last whole 16-byte pieces are
// folded in, and the remaining 128 bits are reduced to 64 and then, by Barrett reduction, to
// the 32-bit register. The last bytes that do not fill a lane, and inputs too short to fill
// four, go through the table.
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include "crc32_folding.h"

namespace hashlib::detail {

using namespace crc32_folding;

HASHLIB_TARGET("pclmul,sse4.1")
uint32_t Crc32UpdateClmul(uint32_t crc, const uint8_t* data, uint32_t length) {
    if (length < kFoldBytes) {
        return Crc32UpdatePortable(crc, data, length);
    }
    // The register so far enters as the first 32 bits of the message, as the table code does.
    __m128i lane0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(int(crc)));
    __m128i lane1 = Load(data + 16);
    __m128i lane2 = Load(data + 32);
    __m128i lane3 = Load(data + 48);
    data += kFoldBytes;
    length -= kFoldBytes;

    const __m128i fold512 = _mm_set_epi64x(int64_t(kFold512Upper), int64_t(kFold512Lower));
    for (; length >= kFoldBytes; length -= kFoldBytes, data += kFoldBytes) {
        _mm_prefetch(reinterpret_cast<const char*>(data) + kPrefetchDistance, _MM_HINT_T0);
        lane0 = Fold(lane0, fold512, Load(data));
        lane1 = Fold(lane1, fold512, Load(data + 16));
        lane2 = Fold(lane2, fold512, Load(data + 32));
        lane3 = Fold(lane3, fold512, Load(data + 48));
    }

    const __m128i fold128 = _mm_set_epi64x(int64_t(kFold128Upper), int64_t(kFold128Lower));
    lane1 = Fold(lane0, fold128, lane1);
    lane2 = Fold(lane1, fold128, lane2);
    lane3 = Fold(lane2, fold128, lane3);
    for (; length >= kLaneBytes; length -= kLaneBytes, data += kLaneBytes) {
        lane3 = Fold(lane3, fold128, Load(data));
    }
    return Crc32UpdatePortable(Reduce(lane3), data, length);
}

}  // namespace hashlib::detail

#endif
