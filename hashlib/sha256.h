// SHA-256 (FIPS 180-2): a caller-owned context with Init, Update, Final and a one-shot
// Calculate. Final re-initialises the context, so one context serves message after message.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct Sha256Context {
    uint32_t state[8];    // chaining words H0..H7
    uint8_t buffer[64];   // partial input block not yet compressed
    uint32_t count_low;   // bytes absorbed, low word; the buffer fill is count_low mod 64
    uint32_t count_high;  // bytes absorbed, high word
};

void Sha256Init(Sha256Context* context);
void Sha256Update(Sha256Context* context, const void* data, uint32_t length);
void Sha256Final(Sha256Context* context, uint8_t* digest);
void Sha256Calculate(uint8_t* digest, const void* data, uint32_t length);

constexpr uint32_t Sha256DigestSize = 32;

using Sha256Object =
    PlainDigestObject<Sha256Context, Sha256Init, Sha256Update, Sha256Final, Sha256DigestSize>;

}  // namespace hashlib
