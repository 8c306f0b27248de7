// Adler-32 (RFC 1950): two sums modulo 65521 in one 32-bit word. Final writes the value
// big-endian, so its bytes print as the usual eight-digit checksum, and resets the context.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct Adler32Context {
    uint32_t value;  // s2 << 16 | s1: s1 the byte sum plus 1, s2 the sum of the s1 values; both below 65521
};

void Adler32Init(Adler32Context* context);
void Adler32Update(Adler32Context* context, const void* data, uint32_t length);
void Adler32Final(Adler32Context* context, uint8_t* digest);
void Adler32Calculate(uint8_t* digest, const void* data, uint32_t length);

constexpr uint32_t Adler32DigestSize = 4;

using Adler32Object =
    PlainDigestObject<Adler32Context, Adler32Init, Adler32Update, Adler32Final, Adler32DigestSize>;

}  // namespace hashlib
