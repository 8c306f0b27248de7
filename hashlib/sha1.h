// SHA-1 (FIPS 180-1): a caller-owned context with Init, Update, Final and a one-shot
// Calculate. Final re-initialises the context, so one context serves message after message.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct Sha1Context {
    uint32_t state[5];    // chaining words H0..H4
    uint8_t buffer[64];   // partial input block not yet compressed
    uint32_t count_low;   // bytes absorbed, low word; the buffer fill is count_low mod 64
    uint32_t count_high;  // bytes absorbed, high word
};

void Sha1Init(Sha1Context* context);
void Sha1Update(Sha1Context* context, const void* data, uint32_t length);
void Sha1Final(Sha1Context* context, uint8_t* digest);
void Sha1Calculate(uint8_t* digest, const void* data, uint32_t length);

constexpr uint32_t Sha1DigestSize = 20;

using Sha1Object = PlainDigestObject<Sha1Context, Sha1Init, Sha1Update, Sha1Final, Sha1DigestSize>;

}  // namespace hashlib
