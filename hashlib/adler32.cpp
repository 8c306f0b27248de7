// Adler-32, RFC 1950 section 8.2. The modulo is deferred: the sums are reduced once per
// kGroupBytes bytes and once at the end of a call, and the summing is unrolled by 16 and 256.
#include "adler32.h"

#include "byte_order.h"
#include "cpu_dispatch.h"

namespace hashlib {
namespace {

constexpr uint32_t kModulus = 65521;  // the largest prime below 2^16
// Bytes summed between reductions: 21 groups of 256. From s1, s2 below kModulus, 5552 bytes of
// 0xFF are the most that keep s2 within 32 bits; 5376 is the largest multiple of 256 below.
constexpr uint32_t kGroupBytes = 21 * 256;

#define ADLER_STEP(i) \
    s1 += p[i];       \
    s2 += s1
#define ADLER_STEP4(i) \
    ADLER_STEP(i);     \
    ADLER_STEP(i + 1); \
    ADLER_STEP(i + 2); \
    ADLER_STEP(i + 3)
#define ADLER_STEP16(i) \
    ADLER_STEP4(i);     \
    ADLER_STEP4(i + 4); \
    ADLER_STEP4(i + 8); \
    ADLER_STEP4(i + 12)

inline void Sum16(uint32_t& s1, uint32_t& s2, const uint8_t* p) {
    ADLER_STEP16(0);
}

inline void Sum256(uint32_t& s1, uint32_t& s2, const uint8_t* p) {
    ADLER_STEP16(0);
    ADLER_STEP16(16);
    ADLER_STEP16(32);
    ADLER_STEP16(48);
    ADLER_STEP16(64);
    ADLER_STEP16(80);
    ADLER_STEP16(96);
    ADLER_STEP16(112);
    ADLER_STEP16(128);
    ADLER_STEP16(144);
    ADLER_STEP16(160);
    ADLER_STEP16(176);
    ADLER_STEP16(192);
    ADLER_STEP16(208);
    ADLER_STEP16(224);
    ADLER_STEP16(240);
}

#undef ADLER_STEP16
#undef ADLER_STEP4
#undef ADLER_STEP

}  // namespace

// The checksum `value` advanced over `length` bytes.
uint32_t detail::Adler32UpdatePortable(uint32_t value, const uint8_t* p, uint32_t length) {
    uint32_t s1 = value & 0xffff;
    uint32_t s2 = value >> 16;
    while (length != 0) {
        if (length >= kGroupBytes) {
            for (int group = 0; group < 21; ++group, p += 256) {
                Sum256(s1, s2, p);
            }
            length -= kGroupBytes;
            s1 %= kModulus;
            s2 %= kModulus;
        } else if (length >= 256) {
            Sum256(s1, s2, p);
            p += 256;
            length -= 256;
        } else if (length >= 16) {
            Sum16(s1, s2, p);
            p += 16;
            length -= 16;
        } else {
            for (; length != 0; --length) {
                s1 += *p++;
                s2 += s1;
            }
        }
    }
    return (s2 % kModulus) << 16 | (s1 % kModulus);
}

void Adler32Init(Adler32Context* context) {
    context->value = 1;
}

void Adler32Update(Adler32Context* context, const void* data, uint32_t length) {
    if (length != 0) {
        context->value =
            detail::ActiveKernels().adler32_update(context->value, static_cast<const uint8_t*>(data), length);
    }
}

void Adler32Final(Adler32Context* context, uint8_t* digest) {
    StoreBe32(digest, context->value);
    context->value = 1;
}

void Adler32Calculate(uint8_t* digest, const void* data, uint32_t length) {
    StoreBe32(digest, detail::ActiveKernels().adler32_update(1, static_cast<const uint8_t*>(data), length));
}

}  // namespace hashlib
