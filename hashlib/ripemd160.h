// RIPEMD-160 (Dobbertin, Bosselaers, Preneel, 1996): a caller-owned context with Init, Update,
// Final and a one-shot Calculate. Final re-initialises the context, so one context serves
// message after message.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct Ripemd160Context {
    uint32_t state[5];    // chaining words h0..h4
    uint8_t buffer[64];   // partial input block not yet compressed
    uint32_t count_low;   // bytes absorbed, low word; the buffer fill is count_low mod 64
    uint32_t count_high;  // bytes absorbed, high word
};

void Ripemd160Init(Ripemd160Context* context);
void Ripemd160Update(Ripemd160Context* context, const void* data, uint32_t length);
void Ripemd160Final(Ripemd160Context* context, uint8_t* digest);
void Ripemd160Calculate(uint8_t* digest, const void* data, uint32_t length);

constexpr uint32_t Ripemd160DigestSize = 20;

using Ripemd160Object =
    PlainDigestObject<Ripemd160Context, Ripemd160Init, Ripemd160Update, Ripemd160Final, Ripemd160DigestSize>;

}  // namespace hashlib
